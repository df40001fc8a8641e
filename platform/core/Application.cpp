#include "platform/core/Application.h"

#include "platform/core/Exception.h"
#include "platform/core/Files.h"

TApplication::TApplication() {
    // The platform's default title is the program's name without its extension.
    AnsiString name = ExtractFileName(ProgramFileName());
    const AnsiString ext = ExtractFileExt(name);
    if (!ext.IsEmpty()) name.SetLength(name.Length() - ext.Length());
    title_ = name;
}

TApplication::~TApplication() = default;

AnsiString TApplication::ExeName() const {
    return ProgramFileName();
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, int flags) {
    return Dialogs().MessageBox(text, caption.IsEmpty() ? title_ : caption, flags);
}

void TApplication::ShowException(const std::exception& error) {
    AnsiString message;
    if (auto* platform = dynamic_cast<const Exception*>(&error))
        message = platform->Message();
    else
        message = AnsiString(error.what());
    // As the platform's handler does, a message not ending in punctuation gets a full stop.
    if (!message.IsEmpty() && static_cast<unsigned char>(message[message.Length()]) > '.')
        message += '.';
    Dialogs().ShowException(message, title_);
}

void TApplication::HandleException(const std::exception_ptr& error) {
    if (!error) return;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        // Silent by design: Abort() ends an operation without a message.
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        // Something that is not an exception class at all: the platform shows an empty message.
        Dialogs().ShowException(AnsiString(), title_);
    }
}

TDialogProvider& TApplication::Dialogs() {
    if (!dialogs_) dialogs_ = MakeConsoleDialogs();
    return *dialogs_;
}

std::unique_ptr<TDialogProvider>
TApplication::SetDialogProvider(std::unique_ptr<TDialogProvider> provider) {
    std::unique_ptr<TDialogProvider> previous = std::move(dialogs_);
    dialogs_ = std::move(provider);
    return previous;
}

// Never destroyed: forms and modules owned by it may outlive static destruction order.
// DestroyComponents() releases what it owns when the program ends.
TApplication* const Application = new TApplication();

void ShowMessage(const AnsiString& text) {
    Application->Dialogs().ShowMessage(text, Application->Title());
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& value) {
    AnsiString answer = value;
    if (InputQuery(caption, prompt, answer)) return answer;
    return value;
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) {
    AnsiString answer = value;
    const bool confirmed = Application->Dialogs().InputQuery(
        caption.IsEmpty() ? Application->Title() : caption, prompt, answer);
    if (confirmed) value = answer;
    return confirmed;
}

void Beep() {
    Application->Dialogs().Beep();
}
