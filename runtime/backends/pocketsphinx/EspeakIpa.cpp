#include "runtime/backends/pocketsphinx/EspeakIpa.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace rt::speech {

namespace {

struct Child {
    pid_t pid = 0;
    int out = -1; // its standard output
};

// Every descriptor is opened close-on-exec: children started by other
// threads at the same time must not hold our ends, or a child waiting for
// the end of its input would never see it.
Child start(const std::vector<std::string>& extra, int in) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (in >= 0)
        posix_spawn_file_actions_adddup2(&actions, in, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<std::string> args{"espeak-ng", "-q", "--ipa", "-v", "en-us"};
    args.insert(args.end(), extra.begin(), extra.end());
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    int rc = posix_spawnp(&pid, "espeak-ng", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        return {};
    }
    return {pid, out[0]};
}

bool endedWell(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR)
            return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string trimmed(const std::string& s) {
    size_t first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

// Writes all of `input` to `in` while reading the child's output, so that
// neither side waits on a full buffer. A child that stops reading ends the
// writing (no signal: the input is a socket written with MSG_NOSIGNAL).
// With no input (in < 0) it only reads. Closes both descriptors.
bool exchange(int in, int out, const std::string& input, std::string& text) {
    bool ok = true;
    size_t sent = 0;
    char buf[4096];
    for (;;) {
        pollfd fds[2] = {{out, POLLIN, 0}, {in, POLLOUT, 0}};
        if (poll(fds, in >= 0 ? 2 : 1, -1) < 0) {
            if (errno == EINTR)
                continue;
            ok = false;
            break;
        }
        if (in >= 0 && fds[1].revents != 0) {
            ssize_t n =
                send(in, input.data() + sent, input.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0)
                sent += size_t(n);
            else if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                ok = false;
            if (sent == input.size() || !ok) {
                close(in);
                in = -1;
            }
        }
        if (fds[0].revents != 0) {
            ssize_t n = ::read(out, buf, sizeof buf);
            if (n > 0) {
                text.append(buf, size_t(n));
            } else if (n == 0) {
                break;
            } else if (errno != EINTR && errno != EAGAIN) {
                ok = false;
                break;
            }
        }
    }
    if (in >= 0) {
        close(in);
        ok = false; // ended before taking all its input
    }
    close(out);
    return ok;
}

} // namespace

std::optional<std::string> EspeakIpa::ofRun(const std::string& run) {
    Child child = start({run}, -1);
    if (child.out < 0)
        return std::nullopt;
    std::string text;
    exchange(-1, child.out, {}, text);
    endedWell(child.pid);
    return trimmed(text);
}

std::optional<std::vector<std::string>> EspeakIpa::ofRuns(const std::vector<std::string>& runs) {
    if (runs.empty())
        return std::vector<std::string>{};
    std::string input;
    for (const auto& run : runs) {
        if (run.find('\n') != std::string::npos)
            return std::nullopt;
        input += run + '\n';
    }
    int in[2];
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, in) != 0)
        return std::nullopt;
    Child child = start({}, in[1]);
    close(in[1]);
    if (child.out < 0) {
        close(in[0]);
        return std::nullopt;
    }
    std::string text;
    bool exchanged = exchange(in[0], child.out, input, text);
    if (!endedWell(child.pid) || !exchanged)
        return std::nullopt;
    std::vector<std::string> lines;
    size_t from = 0;
    while (from < text.size()) {
        size_t end = text.find('\n', from);
        if (end == std::string::npos)
            end = text.size();
        std::string line = trimmed(text.substr(from, end - from));
        if (!line.empty())
            lines.push_back(std::move(line));
        from = end + 1;
    }
    if (lines.size() != runs.size())
        return std::nullopt;
    return lines;
}

} // namespace rt::speech
