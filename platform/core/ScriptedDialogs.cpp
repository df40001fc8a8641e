#include "platform/core/ScriptedDialogs.h"

#include <vector>

namespace {

std::vector<int> ButtonsOf(int flags) {
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {IDOK, IDCANCEL};
    case MB_ABORTRETRYIGNORE:
        return {IDABORT, IDRETRY, IDIGNORE};
    case MB_YESNOCANCEL:
        return {IDYES, IDNO, IDCANCEL};
    case MB_YESNO:
        return {IDYES, IDNO};
    case MB_RETRYCANCEL:
        return {IDRETRY, IDCANCEL};
    default:
        return {IDOK};
    }
}

} // namespace

std::vector<int> MessageBoxButtons(int flags) {
    return ButtonsOf(flags);
}

int DefaultButton(int flags) {
    const std::vector<int> buttons = ButtonsOf(flags);
    const auto index = static_cast<std::size_t>((flags & MB_DEFMASK) >> 8);
    // A default beyond the buttons shown falls back to the first, as the system does.
    return index < buttons.size() ? buttons[index] : buttons.front();
}

int ScriptedDialogs::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    questions_.push_back({Kind::MessageBox, text, caption, flags});
    if (answers_.empty()) return DefaultButton(flags);
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer.button;
}

void ScriptedDialogs::ShowMessage(const AnsiString& text, const AnsiString& caption) {
    questions_.push_back({Kind::ShowMessage, text, caption, 0});
}

bool ScriptedDialogs::InputQuery(const AnsiString& caption, const AnsiString& prompt,
                                 AnsiString& value) {
    questions_.push_back({Kind::InputQuery, prompt, caption, 0});
    // With nothing queued the user just presses Enter on the proposal.
    if (answers_.empty()) return true;
    const Answer answer = answers_.front();
    answers_.pop_front();
    if (!answer.confirmed) return false;
    value = answer.text;
    return true;
}

void ScriptedDialogs::Beep() {
    questions_.push_back({Kind::Beep, {}, {}, 0});
}

void ScriptedDialogs::ShowException(const AnsiString& message, const AnsiString& caption) {
    questions_.push_back({Kind::ShowException, message, caption, 0});
}

ScopedScriptedDialogs::ScopedScriptedDialogs() {
    auto dialogs = std::make_unique<ScriptedDialogs>();
    dialogs_ = dialogs.get();
    previous_ = Application->SetDialogProvider(std::move(dialogs));
}

ScopedScriptedDialogs::~ScopedScriptedDialogs() {
    Application->SetDialogProvider(std::move(previous_));
}
