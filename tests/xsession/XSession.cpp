#include "tests/xsession/XSession.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <sys/wait.h>
#include <unistd.h>

XSession& XSession::Shared() {
    static XSession session;
    return session;
}

XSession::XSession() {
    int ready[2];
    if (pipe(ready) != 0) {
        problem_ = "pipe failed";
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
#ifdef __linux__
        // The server goes with the test, also when the test dies.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const std::string fd = std::to_string(ready[1]);
        // -noreset: the server would otherwise start afresh, turning clients
        // away meanwhile, each time its last client leaves.
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
               "1280x800x24", "-dpi", "96", "-noreset", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    if (pid < 0) {
        close(ready[0]);
        problem_ = "fork failed";
        return;
    }
    pid_ = pid;
    // The server writes its display number once it accepts connections, and
    // the pipe closes without one when it ends first. The bound is only for a
    // server that hangs while starting.
    std::string number;
    for (;;) {
        pollfd p{ready[0], POLLIN, 0};
        const int n = poll(&p, 1, 60000);
        if (n < 0 && errno == EINTR) continue;
        char c;
        if (n <= 0 || read(ready[0], &c, 1) != 1 || c == '\n') break;
        number += c;
    }
    close(ready[0]);
    if (number.empty()) {
        int status = 0;
        const bool ended = waitpid(pid_, &status, WNOHANG) == pid_;
        problem_ = ended && WIFEXITED(status) && WEXITSTATUS(status) == 127
                       ? "Xvfb is not installed"
                       : "Xvfb did not start";
        if (!ended) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        pid_ = -1;
        return;
    }
    display_ = ":" + number;
    // The number comes as soon as the server listens; clients it accepts
    // before it has set up who may connect are turned away. Ready is when a
    // client is served.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        int status = -1;
        Run("xwininfo -root >/dev/null 2>&1", &status);
        if (status == 0) return;
        if (waitpid(pid_, nullptr, WNOHANG) == pid_ ||
            std::chrono::steady_clock::now() > deadline) {
            problem_ = "Xvfb on " + display_ + " serves no client";
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

XSession::~XSession() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }
}

bool XSession::UseForQt() const {
    if (!Running()) return false;
    setenv("DISPLAY", display_.c_str(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    unsetenv("WAYLAND_DISPLAY");
    return true;
}

std::string XSession::Run(const std::string& command, int* status) const {
    const std::string full = "DISPLAY=" + display_ + " " + command;
    std::string out;
    FILE* pipe = popen(full.c_str(), "r");
    if (!pipe) {
        if (status) *status = -1;
        return out;
    }
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.append(buffer, n);
    const int result = pclose(pipe);
    if (status) *status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return out;
}

bool XSession::WaitForWindow(const std::string& title, int timeoutMs, int pid) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const std::string wanted = "\"" + title + "\"";
    for (;;) {
        // Mapped windows only: a window made but not shown does not count.
        const std::string tree = Run("xwininfo -root -tree 2>/dev/null");
        std::size_t at = 0;
        while ((at = tree.find(wanted, at)) != std::string::npos) {
            const std::size_t lineStart = tree.rfind('\n', at) + 1;
            const std::size_t lineEnd = tree.find('\n', at);
            const std::string line = tree.substr(lineStart, lineEnd - lineStart);
            const std::string id = line.substr(line.find_first_not_of(' '));
            const std::string info =
                Run("xwininfo -id " + id.substr(0, id.find(' ')) + " 2>/dev/null");
            if (info.find("IsViewable") != std::string::npos) return true;
            at += wanted.size();
        }
        if (pid > 0 && kill(pid, 0) != 0) return false;
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
