#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/gui/QtDialogs.h"

#include <gtest/gtest.h>

#include <QInputDialog>
#include <QDialog>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

// Installs the Qt dialogs for one test.
class QtDialogsScope {
public:
    QtDialogsScope() : previous_(Application->SetDialogProvider(std::make_unique<TQtDialogs>())) {}
    ~QtDialogsScope() { Application->SetDialogProvider(std::move(previous_)); }

private:
    std::unique_ptr<TDialogProvider> previous_;
};

// How long a dialog may take to come up, and to go once answered.
constexpr int kDialogMs = 10000;

// Runs action on the modal dialog that the next call brings up. A dialog the
// action does not close is rejected after a while, and so is any further one;
// either fails the test instead of hanging it. Leaving the scope without a
// dialog having come up fails too.
class ModalScript {
public:
    explicit ModalScript(std::function<void(QWidget*)> action) : action_(std::move(action)) {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        clock_.start();
        timer_.start();
    }
    ~ModalScript() {
        timer_.stop();
        if (!handled_) ADD_FAILURE() << "no dialog came up";
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    void Poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (!handled_) {
            handled_ = true;
            answered_ = modal;
            clock_.restart();
            action_(modal);
            return;
        }
        if (modal != answered_) {
            ADD_FAILURE() << "a second dialog came up: "
                          << modal->windowTitle().toStdString();
            Reject(modal);
        } else if (clock_.elapsed() > kDialogMs) {
            ADD_FAILURE() << "the dialog stayed open after its answer";
            Reject(modal);
        }
    }

    std::function<void(QWidget*)> action_;
    QTimer timer_;
    QElapsedTimer clock_;
    QPointer<QWidget> answered_;
    bool handled_ = false;

public:
    static void Reject(QWidget* modal) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
    }
};

// Fails the test, and rejects the dialog, for every dialog that comes up
// while it lives.
class NoDialogExpected {
public:
    NoDialogExpected() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                ADD_FAILURE() << "a dialog came up: " << modal->windowTitle().toStdString();
                ModalScript::Reject(modal);
            }
        });
        timer_.start();
    }

private:
    QTimer timer_;
};

void PressKey(QWidget* modal, Qt::Key key) {
    TypeKey(modal, key);
}

struct SeenBox {
    QString title, text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

SeenBox Inspect(QWidget* modal) {
    SeenBox seen;
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) return seen;
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.icon = box->icon();
    // Left to right as shown.
    QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(),
              [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
    for (QPushButton* b : buttons)
        seen.buttons << b->text();
    if (box->defaultButton()) seen.defaultButton = box->defaultButton()->text();
    return seen;
}

QPushButton* ButtonNamed(QWidget* modal, const QString& text) {
    for (QPushButton* b : modal->findChildren<QPushButton*>())
        if (b->text() == text) return b;
    return nullptr;
}

} // namespace

TEST(MessageBoxLayout, FlagsGiveButtonsDefaultEscapeAndIcon) {
    TMessageBoxLayout l = MessageBoxLayoutFor(0x23);
    EXPECT_EQ(l.buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(l.defaultButton, IDYES);
    EXPECT_EQ(l.escapeButton, IDCANCEL);
    EXPECT_EQ(l.icon, TMessageIcon::Question);

    l = MessageBoxLayoutFor(0x133);
    EXPECT_EQ(l.buttons, (std::vector<int>{IDYES, IDNO, IDCANCEL}));
    EXPECT_EQ(l.defaultButton, IDNO);
    EXPECT_EQ(l.icon, TMessageIcon::Warning);

    l = MessageBoxLayoutFor(MB_OKCANCEL | MB_ICONEXCLAMATION);
    EXPECT_EQ(l.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_EQ(l.icon, TMessageIcon::Warning);
    EXPECT_EQ(MessageBoxLayoutFor(0x41).icon, TMessageIcon::Information);
    EXPECT_EQ(MessageBoxLayoutFor(MB_ICONERROR).buttons, (std::vector<int>{IDOK}));
    EXPECT_EQ(MessageBoxLayoutFor(MB_ICONERROR).icon, TMessageIcon::Error);
    EXPECT_EQ(MessageBoxLayoutFor(0).icon, TMessageIcon::None);

    // Yes/No cannot be escaped; a third default on two buttons is the first.
    l = MessageBoxLayoutFor(0x24);
    EXPECT_EQ(l.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(l.escapeButton, 0);
    EXPECT_EQ(MessageBoxLayoutFor(MB_YESNO | MB_DEFBUTTON3).defaultButton, IDYES);
    EXPECT_EQ(MessageBoxLayoutFor(MB_ABORTRETRYIGNORE | MB_DEFBUTTON3).defaultButton, IDIGNORE);
    EXPECT_EQ(MessageBoxLayoutFor(MB_RETRYCANCEL).buttons, (std::vector<int>{IDRETRY, IDCANCEL}));

    // Enter answers what the scripted dialogs answer by default.
    for (int type = 0; type <= MB_RETRYCANCEL; ++type)
        for (int def : {MB_DEFBUTTON1, MB_DEFBUTTON2, MB_DEFBUTTON3})
            EXPECT_EQ(MessageBoxLayoutFor(type | def).defaultButton, DefaultButton(type | def))
                << "flags " << (type | def);

    EXPECT_EQ(MessageButtonText(IDYES), AnsiString("S\xEC"));
    EXPECT_EQ(MessageButtonText(IDCANCEL), AnsiString("Annulla"));
    EXPECT_EQ(MessageButtonText(IDNO), AnsiString("No"));
    EXPECT_EQ(MessageButtonText(IDOK), AnsiString("OK"));
}

TEST(QtDialogs, MessageBoxShowsItalianButtonsAndAnswersTheOnePressed) {
    TestApp();
    QtDialogsScope scope;
    const AnsiString oldTitle = Application->Title();
    Application->SetTitle("BracUtil");

    SeenBox seen;
    int answer = 0;
    {
        ModalScript script([&](QWidget* modal) {
            seen = Inspect(modal);
            ButtonNamed(modal, "No")->click();
        });
        answer = Application->MessageBox("L'archivio \xE8 utilizzato da un altro utente.", "",
                                         0x23);
    }
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen.title, QString("BracUtil"));
    EXPECT_EQ(seen.text, QString::fromUtf8("L'archivio è utilizzato da un altro utente."));
    EXPECT_EQ(seen.buttons, (QStringList{QString::fromUtf8("Sì"), "No", "Annulla"}));
    EXPECT_EQ(seen.defaultButton, QString::fromUtf8("Sì"));
    EXPECT_EQ(seen.icon, QMessageBox::Question);

    // Enter presses the default (the second here), Escape the cancel button.
    {
        ModalScript script([&](QWidget* modal) {
            seen = Inspect(modal);
            PressKey(modal, Qt::Key_Return);
        });
        answer = Application->MessageBox("Cancello la scheda selezionata?", "Conferma", 0x133);
    }
    EXPECT_EQ(answer, IDNO);
    EXPECT_EQ(seen.title, QString("Conferma"));
    EXPECT_EQ(seen.defaultButton, QString("No"));
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    {
        ModalScript script([&](QWidget* modal) { PressKey(modal, Qt::Key_Escape); });
        answer = Application->MessageBox("Continuo?", "", 0x23);
    }
    EXPECT_EQ(answer, IDCANCEL);
    {
        ModalScript script([&](QWidget* modal) { ButtonNamed(modal, "OK")->click(); });
        answer = Application->MessageBox("Fatto", "", MB_OKCANCEL | MB_ICONINFORMATION);
    }
    EXPECT_EQ(answer, IDOK);

    Application->SetTitle(oldTitle);
}

TEST(QtDialogs, InputQueryMessagesAndErrors) {
    TestApp();
    QtDialogsScope scope;

    QString prompt;
    AnsiString value = "Bar";
    bool accepted = false;
    {
        ModalScript script([&](QWidget* modal) {
            auto* dialog = qobject_cast<QInputDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            prompt = dialog->labelText();
            EXPECT_EQ(dialog->textValue(), QString("Bar"));
            dialog->setTextValue(QString::fromUtf8("Caffè"));
            dialog->accept();
        });
        accepted = InputQuery("Nuova voce", "Nome della voce:", value);
    }
    EXPECT_TRUE(accepted);
    EXPECT_EQ(value, AnsiString("Caff\xE8"));
    EXPECT_EQ(prompt, QString("Nome della voce:"));

    {
        ModalScript script([&](QWidget* modal) {
            EXPECT_NE(ButtonNamed(modal, "Annulla"), nullptr);
            qobject_cast<QDialog*>(modal)->reject();
        });
        value = InputBox("Nuova voce", "Nome:", "Predefinito");
    }
    EXPECT_EQ(value, AnsiString("Predefinito"));

    SeenBox seen;
    {
        ModalScript script([&](QWidget* modal) {
            seen = Inspect(modal);
            PressKey(modal, Qt::Key_Return);
        });
        ShowMessage("Copiato negli appunti");
    }
    EXPECT_EQ(seen.text, QString("Copiato negli appunti"));
    EXPECT_EQ(seen.buttons, QStringList{"OK"});

    // An error shows its message with the error icon; an abort shows nothing.
    seen = SeenBox();
    {
        ModalScript script([&](QWidget* modal) {
            seen = Inspect(modal);
            PressKey(modal, Qt::Key_Return);
        });
        Application->HandleException(
            std::make_exception_ptr(EDatabaseError("Alias 'Bracotene' mancante")));
    }
    EXPECT_TRUE(seen.text.startsWith("Alias 'Bracotene' mancante"));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    {
        NoDialogExpected none;
        Application->HandleException(std::make_exception_ptr(EAbort("silenzioso")));
        QApplication::processEvents();
    }
}
