#pragma once
// The GUI application: the toolkit's application object, the forms and data
// modules the program creates (owned here, destroyed in reverse order), and
// the message loop. Creating it installs the Qt dialogs on the core
// Application object; destroying it puts the previous dialogs back.

#include "platform/core/AnsiString.h"
#include "platform/core/Application.h"
#include "platform/core/Component.h"

#include <exception>
#include <memory>
#include <vector>

class QApplication;
class QTranslator;
class TForm;

class TGuiApplication {
public:
    // Uses the process's QApplication when there is one, else makes one.
    TGuiApplication(int& argc, char** argv);
    ~TGuiApplication();
    TGuiApplication(const TGuiApplication&) = delete;
    TGuiApplication& operator=(const TGuiApplication&) = delete;

    // The one alive, or null.
    static TGuiApplication* Instance();

    const AnsiString& Title() const { return Application->Title(); }
    void SetTitle(const AnsiString& title) { Application->SetTitle(title); }

    // Creates a form or data module through factory and keeps it until the
    // application ends; the first form created is the main form. An
    // exception from the factory reaches the caller, and nothing is kept.
    template <class T, class Factory> T* CreateForm(Factory&& factory) {
        T* component = factory();
        Adopt(component);
        return component;
    }
    template <class T> T* CreateForm() {
        return CreateForm<T>([] { return new T(nullptr); });
    }

    TForm* MainForm() const { return mainForm_; }
    // Shows the main form and runs the message loop until the main form
    // closes or Terminate() is called; returns 0.
    int Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Handles the events waiting, then returns.
    void ProcessMessages();

    // The platform's default handling of an exception that left a handler.
    void HandleException(std::exception_ptr error) { Application->HandleException(error); }

    // Told by the forms.
    void FormClosed(TForm* form);
    void FormDestroyed(TForm* form);

private:
    void Adopt(TComponent* component);

    std::unique_ptr<QApplication> ownApp_;
    std::unique_ptr<QTranslator> translator_;
    std::vector<TComponent*> components_;
    TForm* mainForm_ = nullptr;
    std::unique_ptr<TDialogProvider> previousDialogs_;
    bool terminated_ = false;
};

// Whether a display can show windows: a Qt platform named in QT_QPA_PLATFORM,
// or an X11 or Wayland display on Linux. Without one a program should work
// on the console.
bool GuiAvailable();
// Why the X11 display the environment names cannot be opened, naming it;
// empty when it answers or when no X11 display is to be used. The toolkit
// ends the program when its display does not answer: ask this first.
AnsiString DisplayProblem();
