// The terminal fallback: questions on standard error, answers on standard input.

#include "platform/core/Application.h"
#include "platform/core/Encoding.h"
#include "platform/core/ScriptedDialogs.h"

#include <cstdio>
#include <iostream>
#include <string>

#ifdef _WIN32
#include <io.h>
#define QUOR_ISATTY _isatty
#define QUOR_FILENO _fileno
#else
#include <unistd.h>
#define QUOR_ISATTY isatty
#define QUOR_FILENO fileno
#endif

namespace {

const char* ButtonCaption(int button) {
    switch (button) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Annulla";
    case IDABORT:
        return "Interrompi";
    case IDRETRY:
        return "Riprova";
    case IDIGNORE:
        return "Ignora";
    case IDYES:
        return "S\xEC";
    case IDNO:
        return "No";
    default:
        return "?";
    }
}

bool InteractiveInput() {
    return QUOR_ISATTY(QUOR_FILENO(stdin)) != 0;
}

void Say(const AnsiString& text) {
    std::cerr << Cp1252ToUtf8(text.view());
}

// False at end of input.
bool ReadLine(AnsiString& line) {
    std::string raw;
    if (!std::getline(std::cin, raw)) return false;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    line = AnsiString(Utf8ToCp1252(raw));
    return true;
}

class ConsoleDialogs : public TDialogProvider {
public:
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) override {
        const std::vector<int> buttons = MessageBoxButtons(flags);
        const int fallback = DefaultButton(flags);
        AnsiString choices;
        for (int b : buttons) {
            if (!choices.IsEmpty()) choices += " / ";
            choices += ButtonCaption(b);
        }
        Say(caption + ": " + text + "\n");
        for (;;) {
            Say("[" + choices + "] (Invio: " + ButtonCaption(fallback) + ") ");
            AnsiString line;
            if (!InteractiveInput() || !ReadLine(line)) {
                Say(AnsiString(ButtonCaption(fallback)) + "\n");
                return fallback;
            }
            line = line.Trim();
            if (line.IsEmpty()) return fallback;
            for (int b : buttons) {
                const AnsiString name = ButtonCaption(b);
                if (name.SubString(1, line.Length()).EqualsIC(line) ||
                    // "si" without the accent is what most keyboards type.
                    (b == IDYES && AnsiString("si").SubString(1, line.Length()).EqualsIC(line)))
                    return b;
            }
        }
    }

    void ShowMessage(const AnsiString& text, const AnsiString& caption) override {
        Say(caption + ": " + text + "\n");
    }

    bool InputQuery(const AnsiString& caption, const AnsiString& prompt,
                    AnsiString& value) override {
        Say(caption + ": " + prompt + " [" + value + "] ");
        AnsiString line;
        if (!InteractiveInput() || !ReadLine(line)) {
            Say("\n");
            return true;
        }
        if (!line.IsEmpty()) value = line;
        return true;
    }

    void Beep() override { std::cerr << '\a' << std::flush; }

    void ShowException(const AnsiString& message, const AnsiString& caption) override {
        Say(caption + ": " + message + "\n");
    }
};

} // namespace

std::unique_ptr<TDialogProvider> MakeConsoleDialogs() {
    return std::make_unique<ConsoleDialogs>();
}
