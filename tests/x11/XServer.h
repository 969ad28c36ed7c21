#pragma once
// A private X server for one test: Xvfb on a free display number, with or
// without a window manager, stopped at the end. Every wait is bounded.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>

class XServer {
public:
    explicit XServer(bool windowManager) {
        for (int n = 90; n < 140 && !m_display; ++n) {
            if (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(n)) ||
                std::filesystem::exists("/tmp/.X" + std::to_string(n) + "-lock"))
                continue;
            std::string name = ":" + std::to_string(n);
            m_server = spawn({"Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"});
            for (int i = 0; i < 100 && !m_display && running(m_server); ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                m_display = XOpenDisplay(name.c_str());
            }
            // A server of another test run that took the number first answers
            // too; ours has then given up, and the next number is tried.
            if (m_display && !running(m_server)) {
                XCloseDisplay(m_display);
                m_display = nullptr;
            }
            if (m_display) {
                m_name = name;
            } else {
                if (running(m_server)) // an exited one is reaped already
                    stop(m_server);
                m_server = 0;
            }
        }
        if (!m_display)
            return;
        setenv("DISPLAY", m_name.c_str(), 1);
        if (windowManager) {
            m_wm = spawn({"openbox", "--sm-disable"});
            waitFor([&] { return hasWindowManager(); });
            // The window manager names itself before it takes over the root
            // window; a window mapped in between would stay unmanaged.
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    }
    ~XServer() {
        for (pid_t p : m_clients)
            stop(p);
        if (m_display)
            XCloseDisplay(m_display);
        stop(m_wm);
        stop(m_server);
    }
    bool ok() const { return m_display != nullptr; }
    Display* display() const { return m_display; }

    // A client program of the test, stopped with the server.
    pid_t client(const std::vector<std::string>& argv) {
        pid_t p = spawn(argv);
        m_clients.push_back(p);
        return p;
    }

    template <class Pred> static bool waitFor(Pred pred, int ms = 5000) {
        for (int waited = 0; waited < ms; waited += 20) {
            if (pred())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return pred();
    }

private:
    bool hasWindowManager() {
        Atom check = XInternAtom(m_display, "_NET_SUPPORTING_WM_CHECK", False);
        Atom type = 0;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        bool found =
            XGetWindowProperty(m_display, DefaultRootWindow(m_display), check, 0, 1, False,
                               AnyPropertyType, &type, &format, &count, &after, &data) == Success &&
            count > 0;
        if (data)
            XFree(data);
        return found;
    }
    static pid_t spawn(const std::vector<std::string>& argv) {
        pid_t p = fork();
        if (p == 0) {
            std::vector<char*> args;
            for (const auto& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        return p;
    }
    static bool running(pid_t p) { return waitpid(p, nullptr, WNOHANG) == 0; }
    static void stop(pid_t p) {
        if (p <= 0)
            return;
        kill(p, SIGTERM);
        for (int i = 0; i < 100; ++i) {
            if (waitpid(p, nullptr, WNOHANG) == p)
                return;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        kill(p, SIGKILL);
        waitpid(p, nullptr, 0);
    }

    Display* m_display = nullptr;
    std::string m_name;
    pid_t m_server = 0;
    pid_t m_wm = 0;
    std::vector<pid_t> m_clients;
};
