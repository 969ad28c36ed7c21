#pragma once
// A sound server of the test's own: a PulseAudio daemon in a folder of its
// own (runtime, home and socket), with a silent sink whose monitor is the
// default source. What is played into the sink is what the microphone
// hears. This process is pointed at it while the object lives, and ALSA's
// default capture device is one of the test's too: silence, as a sound card
// that the server let go of gives, or none.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace rt::test {

class SoundServer {
public:
    static bool installed() {
        return std::system("command -v pulseaudio >/dev/null && command -v pactl >/dev/null && "
                           "command -v paplay >/dev/null") == 0;
    }

    enum class Beside { NoCaptureDevice, ACaptureDevice };

    explicit SoundServer(Beside beside = Beside::NoCaptureDevice)
        : m_dir(uniqueTempDir("quibo-sound-server")) {
        std::filesystem::create_directories(m_dir / "run");
        std::filesystem::create_directories(m_dir / "home");
        std::ofstream(m_dir / "server.pa")
            << "load-module module-native-protocol-unix auth-anonymous=1 socket="
            << socket().string() << "\nload-module module-null-sink sink_name=" << kSink
            << " rate=16000 channels=1\nset-default-source " << kSink << ".monitor\n";
        // A client that finds no server must not start one of its own.
        std::ofstream(m_dir / "client.conf") << "autospawn = no\n";
        std::ofstream(m_dir / "asound.conf")
            << (beside == Beside::ACaptureDevice ? "pcm.!default { type null }\n"
                                                 : "pcm.!default { type hw card 31 }\n");
        for (const auto& [name, value] :
             {std::pair<std::string, std::string>{"PULSE_SERVER", address()},
              {"PULSE_CLIENTCONFIG", (m_dir / "client.conf").string()},
              {"PULSE_COOKIE", (m_dir / "cookie").string()},
              {"ALSA_CONFIG_PATH", (m_dir / "asound.conf").string()}}) {
            const char* old = std::getenv(name.c_str());
            m_saved.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
            setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~SoundServer() {
        kill();
        for (const auto& [name, value] : m_saved)
            value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    std::filesystem::path socket() const { return m_dir / "run" / "native"; }
    std::string address() const { return "unix:" + socket().string(); }

    // Starts the daemon and waits until it answers; false when it does not
    // within ten seconds.
    bool start() {
        kill();
        std::vector<std::string> env = {"HOME=" + (m_dir / "home").string(),
                                        "XDG_RUNTIME_DIR=" + (m_dir / "run").string(),
                                        "PULSE_RUNTIME_PATH=" + (m_dir / "run").string()};
        for (char** e = environ; *e; ++e) {
            std::string entry = *e;
            if (entry.rfind("HOME=", 0) != 0 && entry.rfind("XDG_RUNTIME_DIR=", 0) != 0 &&
                entry.rfind("PULSE_", 0) != 0 && entry.rfind("DISPLAY=", 0) != 0)
                env.push_back(entry);
        }
        std::string script = (m_dir / "server.pa").string();
        std::string log = (m_dir / "server.log").string();
        std::vector<std::string> args = {"pulseaudio",
                                         "-n",
                                         "--daemonize=no",
                                         "--exit-idle-time=-1",
                                         "--use-pid-file=no",
                                         "--disable-shm=yes",
                                         "-F",
                                         script,
                                         "--log-target=file:" + log};
        std::vector<char*> argv, envp;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        for (auto& e : env)
            envp.push_back(e.data());
        envp.push_back(nullptr);
        if (posix_spawnp(&m_pid, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0) {
            m_pid = 0;
            return false;
        }
        std::string probe = "pactl --server=" + address() + " info >/dev/null 2>&1";
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < until) {
            if (std::system(probe.c_str()) == 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }

    // Ends the daemon at once, as a crash or a restart does.
    void kill() {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = 0;
    }

    // Plays a WAV file into the sink, in real time; false when it cannot.
    bool play(const std::filesystem::path& wav) const {
        std::string cmd = "timeout 30 paplay --server=" + address() + " --device=" + kSink + " '" +
                          wav.string() + "'";
        return std::system(cmd.c_str()) == 0;
    }

    std::string log() const {
        std::ifstream in(m_dir / "server.log");
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    static constexpr const char* kSink = "quibo_speaker";
    std::filesystem::path m_dir;
    pid_t m_pid = 0;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace rt::test
