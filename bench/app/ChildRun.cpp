#include "bench/app/ChildRun.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

namespace benchapp {

ChildRun RunChild(std::vector<std::string> args, bool keepOutput) {
    ChildRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        close(fds[1]);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(fds[1]);
    char buffer[1 << 16];
    ssize_t n;
    while ((n = read(fds[0], buffer, sizeof buffer)) > 0) {
        run.outBytes += static_cast<std::size_t>(n);
        if (keepOutput) run.out.append(buffer, static_cast<std::size_t>(n));
    }
    close(fds[0]);
    rusage usage{};
    int status = 0;
    wait4(pid, &status, 0, &usage);
    run.realSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.cpuSeconds = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                     static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    run.peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

} // namespace benchapp
