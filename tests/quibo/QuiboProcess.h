#pragma once
// Runs the program binary headless from a program folder of its own (a
// ProgramCopy), its registry in the folder too. Standard input stays open
// until the test closes it, so a run can be held while another starts.

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/quibo/ProgramCopy.h"

namespace quibo::test {

// One run of the program; what it wrote to its outputs is collected when it ends.
class QuiboRun {
public:
    // `workingFolder` empty: the program folder.
    // `asNobody`: as an unprivileged user, for whom read-only means read-only.
    explicit QuiboRun(const ProgramCopy& copy, std::filesystem::path workingFolder = {},
                      bool asNobody = false) {
        int in[2], out[2], err[2];
        if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0)
            throw std::runtime_error("pipe");
        std::string program = (copy.folder() / "quibo").string();
        std::string registry = (copy.folder() / "registry").string();
        if (workingFolder.empty())
            workingFolder = copy.folder();
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(err[1], 2);
            for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]})
                close(fd);
            if (asNobody && geteuid() == 0 &&
                (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
                _exit(125);
            if (chdir(workingFolder.c_str()) != 0)
                _exit(126);
            setenv("QUIBO_BACKENDS", "sim", 1);
            setenv("QUIBO_REGISTRY_DIR", registry.c_str(), 1);
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        close(err[1]);
        m_in = in[1];
        m_out = out[0];
        m_err = err[0];
        signal(SIGPIPE, SIG_IGN);
    }
    ~QuiboRun() {
        if (m_pid > 0 && !m_ended) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
        for (int fd : {m_in, m_out, m_err})
            if (fd >= 0)
                close(fd);
    }
    QuiboRun(const QuiboRun&) = delete;
    QuiboRun& operator=(const QuiboRun&) = delete;

    void say(const std::string& line) {
        std::string text = line + "\n";
        ASSERT_EQ(::write(m_in, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }
    // The status bar the program wrote after the next phrase (the lines
    // after it, indented, tell what the phrase did), or "" when none comes
    // in time.
    std::string nextStatus(std::chrono::seconds within = std::chrono::seconds(20)) {
        auto deadline = std::chrono::steady_clock::now() + within;
        while (true) {
            while (m_outText.find('\n') == std::string::npos) {
                if (!pump(m_out, m_outText, deadline))
                    return {};
            }
            size_t nl = m_outText.find('\n');
            std::string line = m_outText.substr(0, nl);
            m_outText.erase(0, nl + 1);
            if (line.rfind("  ", 0) != 0) {
                size_t tab = line.find('\t');
                m_problems = tab == std::string::npos ? "" : line.substr(tab + 1);
                return line.substr(0, tab);
            }
            m_effects += line.substr(2) + "\n";
        }
    }
    // Closes standard input (the end of the run) and waits for the exit
    // status; -1 when the program did not end in time (it is then killed).
    int finish(std::chrono::seconds within = std::chrono::seconds(30)) {
        if (m_in >= 0) {
            close(m_in);
            m_in = -1;
        }
        return wait(within);
    }
    int wait(std::chrono::seconds within = std::chrono::seconds(30)) {
        auto deadline = std::chrono::steady_clock::now() + within;
        while (true) {
            int status = 0;
            pid_t r = waitpid(m_pid, &status, WNOHANG);
            if (r == m_pid) {
                m_ended = true;
                drain();
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() > deadline) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
                m_ended = true;
                return -1;
            }
            drain(std::chrono::milliseconds(20));
        }
    }
    const std::string& errors() const { return m_errText; }
    // The status bar's second panel at the last status read.
    const std::string& problems() const { return m_problems; }
    // What the phrases before the last status read did, a line each.
    const std::string& effects() const { return m_effects; }

private:
    static bool pump(int fd, std::string& into, std::chrono::steady_clock::time_point deadline) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, static_cast<int>(left.count())) <= 0)
            return false;
        char buf[4096];
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0)
            return false;
        into.append(buf, static_cast<size_t>(n));
        return true;
    }
    void drain(std::chrono::milliseconds wait = std::chrono::milliseconds(0)) {
        for (auto [fd, text] : {std::pair{m_out, &m_outText}, std::pair{m_err, &m_errText}}) {
            pollfd p{fd, POLLIN, 0};
            while (poll(&p, 1, static_cast<int>(wait.count())) > 0) {
                char buf[4096];
                ssize_t n = ::read(fd, buf, sizeof buf);
                if (n <= 0)
                    break;
                text->append(buf, static_cast<size_t>(n));
            }
        }
    }

    pid_t m_pid = -1;
    bool m_ended = false;
    int m_in = -1, m_out = -1, m_err = -1;
    std::string m_outText, m_errText, m_effects, m_problems;
};

} // namespace quibo::test
