#pragma once
// The application object: title, program file, and the user dialogs. The
// dialogs go through a replaceable provider: the GUI installs its windows,
// tests install ScriptedDialogs, and without either the console asks.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"

#include <memory>

// Message box flags, as the Windows API numbers them.
constexpr int MB_OK = 0x00;
constexpr int MB_OKCANCEL = 0x01;
constexpr int MB_ABORTRETRYIGNORE = 0x02;
constexpr int MB_YESNOCANCEL = 0x03;
constexpr int MB_YESNO = 0x04;
constexpr int MB_RETRYCANCEL = 0x05;
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONERROR = MB_ICONHAND;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int MB_ICONEXCLAMATION = 0x30;
constexpr int MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr int MB_ICONASTERISK = 0x40;
constexpr int MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr int MB_DEFBUTTON1 = 0x000;
constexpr int MB_DEFBUTTON2 = 0x100;
constexpr int MB_DEFBUTTON3 = 0x200;
constexpr int MB_TYPEMASK = 0x0F;
constexpr int MB_ICONMASK = 0xF0;
constexpr int MB_DEFMASK = 0xF00;

// Button codes a message box returns.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

class TDialogProvider {
public:
    virtual ~TDialogProvider() = default;
    // caption is never empty here: the application puts its title in.
    virtual int MessageBox(const AnsiString& text, const AnsiString& caption, int flags) = 0;
    virtual void ShowMessage(const AnsiString& text, const AnsiString& caption) = 0;
    // True when confirmed; value holds the proposal on entry, the answer on exit.
    virtual bool InputQuery(const AnsiString& caption, const AnsiString& prompt,
                            AnsiString& value) = 0;
    virtual void Beep() = 0;
    // The platform's error display for an exception that left a handler.
    virtual void ShowException(const AnsiString& message, const AnsiString& caption) = 0;
};

// Asks on the terminal: standard error for the question, standard input for
// the answer. With no terminal input, answers the default button.
std::unique_ptr<TDialogProvider> MakeConsoleDialogs();

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;
    QUOR_CLASS_NAME(TApplication)

    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& title) { title_ = title; }
    // The running program's file, absolute.
    AnsiString ExeName() const;

    // An empty caption shows the title.
    int MessageBox(const AnsiString& text, const AnsiString& caption, int flags);
    void ShowException(const std::exception& error);
    // Shows the exception through the provider, as the platform's default
    // handler does: EAbort silently, others with their message.
    void HandleException(const std::exception_ptr& error);

    TDialogProvider& Dialogs();
    // Installs a provider and returns the previous one.
    std::unique_ptr<TDialogProvider> SetDialogProvider(std::unique_ptr<TDialogProvider> provider);

private:
    AnsiString title_;
    std::unique_ptr<TDialogProvider> dialogs_;
};

// The process's application object.
extern TApplication* const Application;

void ShowMessage(const AnsiString& text);
// The text entered, or value when the user cancels.
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& value);
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
void Beep();
