#pragma once
// A real X session for the tests that need the window system as users meet
// it: an Xvfb server of the test's own. It picks a free display itself
// (-displayfd) and is used only once it says it accepts connections; windows
// are waited for on the server, never for a fixed time.

#include <string>

class XSession {
public:
    // The process's session, started on first use and stopped at exit;
    // Problem() tells why when it could not start (Xvfb missing...).
    static XSession& Shared();

    bool Running() const { return pid_ > 0; }
    const std::string& Problem() const { return problem_; }
    // ":N", for DISPLAY.
    const std::string& Display() const { return display_; }

    // Points the Qt application this process is about to make at the
    // session; false, leaving everything alone, when it is not running.
    bool UseForQt() const;

    // Whether a window named title is mapped on the display; waits while the
    // program that should show it is still running (pid, when given), at most
    // timeoutMs. "xwininfo" asks the server itself.
    bool WaitForWindow(const std::string& title, int timeoutMs, int pid = -1) const;

    // Runs a command with DISPLAY set to the session; its standard output,
    // and its exit status in *status.
    std::string Run(const std::string& command, int* status = nullptr) const;

    ~XSession();
    XSession(const XSession&) = delete;
    XSession& operator=(const XSession&) = delete;

private:
    XSession();
    int pid_ = -1;
    std::string display_;
    std::string problem_;
};
