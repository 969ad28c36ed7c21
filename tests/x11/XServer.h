#pragma once
// A private X server for one test: Xvfb on a display number it finds free, with or
// without a window manager, stopped at the end. Every wait is bounded.

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>

class XServer {
public:
    explicit XServer(bool windowManager) {
        // The server takes a free display number itself and writes it to
        // the pipe once it listens, so no two runs race for one number.
        int ready[2];
        if (pipe(ready) != 0)
            return;
        m_server = spawn({"Xvfb", "-displayfd", std::to_string(ready[1]), "-screen", "0",
                          "1280x1024x24", "-nolisten", "tcp"},
                         ready[0]);
        close(ready[1]);
        std::string number = readLine(ready[0], 10000);
        close(ready[0]);
        if (!number.empty())
            m_name = ":" + number;
        for (int i = 0; i < 100 && !m_name.empty() && !m_display && running(m_server); ++i) {
            m_display = XOpenDisplay(m_name.c_str());
            if (!m_display)
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        if (!m_display && m_server > 0) {
            if (running(m_server)) // an exited one is reaped already
                stop(m_server);
            m_server = 0;
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
    // The digits written to fd up to a newline, within ms; empty on none.
    static std::string readLine(int fd, int ms) {
        std::string line;
        auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        while (std::chrono::steady_clock::now() < until) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, 50) <= 0)
                continue;
            char c = 0;
            if (read(fd, &c, 1) != 1 || c == '\n')
                break;
            line += c;
        }
        return line.find_first_not_of("0123456789") == std::string::npos ? line : std::string{};
    }
    // closeInChild: a descriptor the child must not hold.
    static pid_t spawn(const std::vector<std::string>& argv, int closeInChild = -1) {
        pid_t p = fork();
        if (p == 0) {
            if (closeInChild >= 0)
                close(closeInChild);
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
