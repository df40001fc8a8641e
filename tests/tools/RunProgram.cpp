#include "tests/tools/RunProgram.h"

#include "tests/platform/core/TempDir.h"

#ifdef _WIN32
#include <windows.h>
#include "tests/WindowsText.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tooltest {

#ifdef _WIN32

namespace {

// One argument on a command line, quoted so that the C runtime's parser
// gives it back unchanged.
void AppendArgument(std::wstring& line, const std::wstring& arg) {
    if (!line.empty()) line += L' ';
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

HANDLE OpenStream(const std::wstring& name, bool write) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                       write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& cwd) {
    TempDir streams;
    const std::string out = streams / "out", err = streams / "err";
    ProgramRun run;
    std::wstring line;
    AppendArgument(line, Widen(exe));
    for (const std::string& arg : args)
        AppendArgument(line, Widen(arg));
    const HANDLE in = OpenStream(L"NUL", false), o = OpenStream(Widen(out), true),
                 e = OpenStream(Widen(err), true);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = o;
    startup.hStdError = e;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Widen(cwd);
    if (in != INVALID_HANDLE_VALUE && o != INVALID_HANDLE_VALUE && e != INVALID_HANDLE_VALUE &&
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                       &startup, &process)) {
        WaitForSingleObject(process.hProcess, INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.hProcess, &code)) run.status = static_cast<int>(code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    for (const HANDLE handle : {in, o, e})
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}
#else
ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                      const std::string& cwd) {
    TempDir streams;
    const std::string out = streams / "out", err = streams / "err";
    ProgramRun run;
    const pid_t pid = fork();
    if (pid == 0) {
        const int in = open("/dev/null", O_RDONLY);
        const int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || o < 0 || e < 0 || dup2(in, 0) < 0 || dup2(o, 1) < 0 || dup2(e, 2) < 0 ||
            chdir(cwd.c_str()) != 0)
            _exit(126);
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(exe.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
}
#endif

} // namespace tooltest
