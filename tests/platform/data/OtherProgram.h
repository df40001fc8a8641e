#pragma once
// Another program on the same archive: a forked child that runs a body and
// talks to the test through a pipe, one line at a time.

#include <cerrno>
#include <csignal>
#include <functional>
#include <stdexcept>
#include <string>

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

class OtherProgram {
public:
    // body runs in the child with Say/Hear for talking to the parent.
    explicit OtherProgram(const std::function<void(OtherProgram&)>& body) {
        int down[2], up[2];
        if (pipe(down) != 0 || pipe(up) != 0) throw std::runtime_error("pipe");
        pid_ = fork();
        if (pid_ == 0) {
            close(down[1]);
            close(up[0]);
            in_ = down[0];
            out_ = up[1];
            try {
                body(*this);
            } catch (const std::exception& e) {
                Say(std::string("errore: ") + e.what());
            }
            _exit(0);
        }
        close(down[0]);
        close(up[1]);
        in_ = up[0];
        out_ = down[1];
    }
    ~OtherProgram() {
        Kill();
        close(in_);
        close(out_);
    }

    void Say(const std::string& line) {
        const std::string text = line + "\n";
        if (write(out_, text.data(), text.size()) < 0) _exit(3);
    }
    // The next line, or "<timeout>" after 20 seconds.
    std::string Hear() { return HearWithin(20000); }
    // The next line, however long the other program works for it; "<closed>"
    // when it ends without one.
    std::string HearWhenDone() { return HearWithin(-1); }
    void Kill() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            int status;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
    }

private:
    std::string HearWithin(int milliseconds) {
        std::string line;
        char c;
        for (;;) {
            pollfd p{in_, POLLIN, 0};
            int ready;
            while ((ready = poll(&p, 1, milliseconds)) < 0 && errno == EINTR) {
            }
            if (ready <= 0) return "<timeout>";
            if (read(in_, &c, 1) != 1) return line.empty() ? "<closed>" : line;
            if (c == '\n') return line;
            line += c;
        }
    }

    pid_t pid_ = -1;
    int in_ = -1, out_ = -1;
};
