#!/usr/bin/env python3
"""Times Quibo's start and end under Xvfb with openbox, beside a bare window
of the same toolkit started on the same server in the same run.

  startup.py <build folder> [runs]

For each run it prints, in milliseconds from the process start: when the
window is mapped (polled with xwininfo), when the status bar first says
"Listening" (the program's status trace, same monotonic clock), and how long
the process lives on after its window went away when asked to close.
The microphone is ALSA's null device, so listening needs no sound card.
"""
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

TITLE = "QUIBO! Voice Control"
ANCHOR_TITLE = "Bare window"


def start_server():
    """Xvfb on a display number it finds free itself, written to a pipe once it listens."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x1024x24",
                               "-nolisten", "tcp"], stderr=subprocess.DEVNULL, pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number.isdigit():
        server.kill()
        server.wait()
        raise SystemExit("Xvfb did not start")
    return server, f":{number}"


def mapped(title, env):
    out = subprocess.run(["xwininfo", "-name", title], env=env, capture_output=True, text=True)
    return "IsViewable" in out.stdout


def wait(pred, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if pred():
            return time.monotonic()
    return None


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 7
    server, display = start_server()
    work = tempfile.mkdtemp(prefix="quibo-startup-")
    # Qt makes a runtime folder where none is set: this one goes with the rest.
    runtime = os.path.join(work, "runtime")
    os.mkdir(runtime, 0o700)
    env = dict(os.environ, DISPLAY=display, HOME=work, QUIBO_REGISTRY_DIR=os.path.join(work, "registry"),
               QUIBO_TRACE_STATUS="1", PULSE_SERVER="unix:/nonexistent",
               XDG_RUNTIME_DIR=runtime)
    env.pop("QUIBO_BACKENDS", None)
    with open(os.path.join(work, ".asoundrc"), "w") as f:
        f.write("pcm.!default { type null }\n")
    wm = None
    try:
        wm = subprocess.Popen(["openbox", "--sm-disable"], env=env, stderr=subprocess.DEVNULL)
        time.sleep(1)
        folder = os.path.join(work, "program")
        os.makedirs(folder)
        shutil.copy(os.path.join(build, "bin", "quibo"), folder)
        subprocess.run([os.path.join(build, "bin", "compreg"), os.path.join(build, "bin", "libtlvFormControls.so")],
                       env=env, check=True, stdout=subprocess.DEVNULL)
        anchor, shown, listening, closing = [], [], [], []
        for _ in range(runs):
            t0 = time.monotonic()
            bare = subprocess.Popen([os.path.join(build, "bin", "bare_window")], env=env,
                                    stderr=subprocess.DEVNULL)
            t = wait(lambda: mapped(ANCHOR_TITLE, env), 10)
            anchor.append((t - t0) * 1000 if t else float("nan"))
            bare.kill()
            bare.wait()

            t0 = time.monotonic()
            quibo = subprocess.Popen([os.path.join(folder, "quibo")], env=env, stderr=subprocess.PIPE, text=True)
            t = wait(lambda: mapped(TITLE, env), 10)
            shown.append((t - t0) * 1000 if t else float("nan"))
            heard = None
            deadline = time.monotonic() + 10
            while heard is None and time.monotonic() < deadline:
                line = quibo.stderr.readline()
                if not line:
                    break
                if line.startswith("quibo-status "):
                    _, stamp, text = line.rstrip("\n").split(" ", 2)
                    if text.startswith("Listening"):
                        heard = float(stamp) / 1000
            listening.append((heard - t0) * 1000 if heard else float("nan"))
            quibo.send_signal(signal.SIGTERM)
            gone = wait(lambda: not mapped(TITLE, env), 10)
            try:
                quibo.wait(10)
                ended = time.monotonic()
            except subprocess.TimeoutExpired:
                quibo.kill()
                ended = None
            closing.append((ended - gone) * 1000 if ended and gone else float("nan"))
            quibo.stderr.close()

        def row(name, values, target=""):
            print(f"{name:<40} median {statistics.median(values):8.1f} ms   "
                  f"min {min(values):8.1f}   max {max(values):8.1f}   {target}")

        print(f"{runs} runs under Xvfb with openbox")
        row("anchor: bare Qt window mapped", anchor)
        row("Quibo: main window mapped", shown, "target <= 250")
        row("Quibo: status says Listening", listening, "target <= 700")
        row("Quibo: process ends after window went", closing, "target < 300")
    finally:
        if wm:
            wm.terminate()
            wm.wait()
        server.terminate()
        server.wait()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
