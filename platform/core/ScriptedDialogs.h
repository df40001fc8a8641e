#pragma once
// A dialog provider that answers from a queue and records every question:
// for automated runs and tests of code that talks to the user.

#include "platform/core/Application.h"

#include <deque>
#include <vector>

class ScriptedDialogs : public TDialogProvider {
public:
    enum class Kind { MessageBox, ShowMessage, InputQuery, Beep, ShowException };
    struct Question {
        Kind kind;
        AnsiString text; // message, prompt or exception text
        AnsiString caption;
        int flags = 0;
    };
    struct Answer {
        int button = IDOK;     // for message boxes
        bool confirmed = true; // for input queries
        AnsiString text;       // for input queries
    };

    // Queue answers; a message box with no queued answer returns its default button.
    void AnswerButton(int button) { answers_.push_back({button, true, {}}); }
    void AnswerInput(const AnsiString& text) { answers_.push_back({IDOK, true, text}); }
    void AnswerInputCancel() { answers_.push_back({IDCANCEL, false, {}}); }

    const std::vector<Question>& Questions() const { return questions_; }
    int PendingAnswers() const { return static_cast<int>(answers_.size()); }
    void Reset() {
        questions_.clear();
        answers_.clear();
    }

    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) override;
    void ShowMessage(const AnsiString& text, const AnsiString& caption) override;
    bool InputQuery(const AnsiString& caption, const AnsiString& prompt,
                    AnsiString& value) override;
    void Beep() override;
    void ShowException(const AnsiString& message, const AnsiString& caption) override;

private:
    std::vector<Question> questions_;
    std::deque<Answer> answers_;
};

// The button a message box of these flags returns when Enter is pressed.
int DefaultButton(int flags);
// The buttons a message box of these flags shows, left to right.
std::vector<int> MessageBoxButtons(int flags);

// Installs a ScriptedDialogs on the application for the lifetime of the
// object and puts the previous provider back afterwards.
class ScopedScriptedDialogs {
public:
    ScopedScriptedDialogs();
    ~ScopedScriptedDialogs();
    ScriptedDialogs& operator*() { return *dialogs_; }
    ScriptedDialogs* operator->() { return dialogs_; }

private:
    ScriptedDialogs* dialogs_;
    std::unique_ptr<TDialogProvider> previous_;
};
