#include "platform/core/Application.h"
#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <stdlib.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

using Kind = ScriptedDialogs::Kind;

TEST(Application, DefaultButtonFollowsTheFlags) {
    EXPECT_EQ(DefaultButton(MB_OK), IDOK);
    EXPECT_EQ(DefaultButton(0x23), IDYES); // yes/no/cancel, question
    EXPECT_EQ(DefaultButton(0x24), IDYES); // yes/no, question
    EXPECT_EQ(DefaultButton(0x124), IDNO); // second button
    EXPECT_EQ(DefaultButton(0x133), IDNO);
    EXPECT_EQ(DefaultButton(0x223), IDCANCEL);
    EXPECT_EQ(DefaultButton(0x31), IDOK);
    EXPECT_EQ(DefaultButton(0x131), IDCANCEL);
    EXPECT_EQ(DefaultButton(0x41), IDOK);
    EXPECT_EQ(DefaultButton(0x215), IDRETRY); // a third button that is not there
    EXPECT_EQ(DefaultButton(0x102), IDRETRY);
    EXPECT_EQ(MessageBoxButtons(MB_YESNOCANCEL), (std::vector<int>{IDYES, IDNO, IDCANCEL}));
}

TEST(Application, MessageBoxGoesThroughTheProviderWithTheTitle) {
    ScopedScriptedDialogs dialogs;
    const AnsiString oldTitle = Application->Title();
    Application->SetTitle("BracUtil - Utilities per Bracotene");
    dialogs->AnswerButton(IDNO);
    EXPECT_EQ(Application->MessageBox("Continuare?", "", MB_YESNO | MB_ICONQUESTION), IDNO);
    // With the queue empty the default button answers.
    EXPECT_EQ(Application->MessageBox("Ancora?", "Domanda", 0x124), IDNO);
    EXPECT_EQ(Application->MessageBox("Ancora?", "Domanda", 0x23), IDYES);
    ShowMessage("Fatto");
    Beep();
    ASSERT_EQ(dialogs->Questions().size(), 5u);
    const auto& q = dialogs->Questions();
    EXPECT_EQ(q[0].kind, Kind::MessageBox);
    EXPECT_EQ(q[0].text, "Continuare?");
    EXPECT_EQ(q[0].caption, "BracUtil - Utilities per Bracotene");
    EXPECT_EQ(q[0].flags, 0x24);
    EXPECT_EQ(q[1].caption, "Domanda");
    EXPECT_EQ(q[3].kind, Kind::ShowMessage);
    EXPECT_EQ(q[3].caption, "BracUtil - Utilities per Bracotene");
    EXPECT_EQ(q[4].kind, Kind::Beep);
    EXPECT_EQ(dialogs->PendingAnswers(), 0);
    Application->SetTitle(oldTitle);
}

TEST(Application, InputBoxKeepsTheProposalOnCancel) {
    ScopedScriptedDialogs dialogs;
    dialogs->AnswerInput("Rossi");
    dialogs->AnswerInputCancel();
    EXPECT_EQ(InputBox("Ricerca", "Nome:", "Bianchi"), "Rossi");
    EXPECT_EQ(InputBox("Ricerca", "Nome:", "Bianchi"), "Bianchi");
    EXPECT_EQ(InputBox("Ricerca", "Nome:", "Verdi"), "Verdi"); // Enter on the proposal
    AnsiString value = "x";
    dialogs->AnswerInputCancel();
    EXPECT_FALSE(InputQuery("", "Valore:", value));
    EXPECT_EQ(value, "x");
    ASSERT_EQ(dialogs->Questions().size(), 4u);
    EXPECT_EQ(dialogs->Questions()[0].kind, Kind::InputQuery);
    EXPECT_EQ(dialogs->Questions()[0].text, "Nome:");
    EXPECT_EQ(dialogs->Questions()[0].caption, "Ricerca");
    EXPECT_EQ(dialogs->Questions()[3].caption, Application->Title());
}

TEST(Application, HandleExceptionShowsAllButAbort) {
    ScopedScriptedDialogs dialogs;
    auto raise = [](auto error) {
        try {
            throw error;
        } catch (...) {
            Application->HandleException(std::current_exception());
        }
    };
    raise(EAbort("silenzio"));
    EXPECT_TRUE(dialogs->Questions().empty());
    try {
        Abort();
    } catch (...) {
        Application->HandleException(std::current_exception());
    }
    EXPECT_TRUE(dialogs->Questions().empty());

    raise(EDatabaseError("Tabella Condomini non trovata"));
    raise(std::runtime_error("Disco pieno."));
    raise(42);
    Application->HandleException(nullptr);
    ASSERT_EQ(dialogs->Questions().size(), 3u);
    EXPECT_EQ(dialogs->Questions()[0].kind, Kind::ShowException);
    EXPECT_EQ(dialogs->Questions()[0].text, "Tabella Condomini non trovata.");
    EXPECT_EQ(dialogs->Questions()[0].caption, Application->Title());
    EXPECT_EQ(dialogs->Questions()[1].text, "Disco pieno.");
    EXPECT_EQ(dialogs->Questions()[2].kind, Kind::ShowException);
    EXPECT_EQ(dialogs->Questions()[2].text, "");
}

TEST(Application, ScopedDialogsRestoreThePreviousProvider) {
    ScopedScriptedDialogs outer;
    {
        ScopedScriptedDialogs inner;
        ShowMessage("dentro");
        EXPECT_EQ(inner->Questions().size(), 1u);
    }
    ShowMessage("fuori");
    ASSERT_EQ(outer->Questions().size(), 1u);
    EXPECT_EQ(outer->Questions()[0].text, "fuori");
}

TEST(Application, ConsoleAnswersTheDefaultWithoutATerminal) {
    ASSERT_NE(std::freopen("/dev/null", "r", stdin), nullptr);
    auto console = MakeConsoleDialogs();
    EXPECT_EQ(console->MessageBox("Sovrascrivere?", "BracUtil", 0x124), IDNO);
    EXPECT_EQ(console->MessageBox("Sovrascrivere?", "BracUtil", 0x23), IDYES);
    AnsiString value = "proposta";
    EXPECT_TRUE(console->InputQuery("BracUtil", "Nome:", value));
    EXPECT_EQ(value, "proposta");
    // The application falls back to the console when no provider is installed.
    auto previous = Application->SetDialogProvider(nullptr);
    EXPECT_EQ(Application->MessageBox("?", "", 0x131), IDCANCEL);
    Application->SetDialogProvider(std::move(previous));
}

TEST(Application, TitleAndExeName) {
    EXPECT_EQ(Application->Title(), "test_platform_core");
#ifdef _WIN32
    EXPECT_EQ(Application->ExeName().SubString(2, 2), ":\\"); // a drive letter
#else
    EXPECT_EQ(Application->ExeName().SubString(1, 1), "/");
#endif
    EXPECT_TRUE(Application->ClassNameIs("TApplication"));
}

// A pseudo-terminal is a POSIX device.
#ifndef _WIN32
namespace {

// Puts a pseudo-terminal on standard input for the console provider to read.
class TerminalInput {
public:
    TerminalInput() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const int slave = open(ptsname(master_), O_RDWR | O_NOCTTY);
        if (slave < 0) return;
        savedStdin_ = dup(0);
        dup2(slave, 0);
        close(slave);
        clearerr(stdin);
        std::cin.clear();
    }
    ~TerminalInput() {
        if (savedStdin_ >= 0) {
            dup2(savedStdin_, 0);
            close(savedStdin_);
        }
        if (master_ >= 0) close(master_);
        clearerr(stdin);
        std::cin.clear();
    }
    bool Ready() const { return savedStdin_ >= 0; }
    void Type(const std::string& keys) {
        ASSERT_EQ(write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size()));
    }

private:
    int master_ = -1;
    int savedStdin_ = -1;
};

} // namespace

TEST(Application, ConsoleReadsAnswersFromATerminal) {
    TerminalInput terminal;
    ASSERT_TRUE(terminal.Ready());
    auto console = MakeConsoleDialogs();
    terminal.Type("forse\nn\n"); // an unknown answer asks again
    EXPECT_EQ(console->MessageBox("Salvare?", "BracUtil", MB_YESNOCANCEL), IDNO);
    terminal.Type("\n");
    EXPECT_EQ(console->MessageBox("Salvare?", "BracUtil", 0x123), IDNO);
    terminal.Type("si\n");
    EXPECT_EQ(console->MessageBox("Salvare?", "BracUtil", 0x124), IDYES);
    terminal.Type("S\xC3\xAC\n");
    EXPECT_EQ(console->MessageBox("Salvare?", "BracUtil", 0x124), IDYES);
    terminal.Type("ANN\n");
    EXPECT_EQ(console->MessageBox("Salvare?", "BracUtil", MB_OKCANCEL), IDCANCEL);
    terminal.Type("ig\n");
    EXPECT_EQ(console->MessageBox("Errore", "BracUtil", MB_ABORTRETRYIGNORE), IDIGNORE);
    AnsiString value = "Bianchi";
    terminal.Type("Citt\xC3\xA0\n");
    EXPECT_TRUE(console->InputQuery("Ricerca", "Nome:", value));
    EXPECT_EQ(value, "Citt\xE0");
    terminal.Type("\n");
    EXPECT_TRUE(console->InputQuery("Ricerca", "Nome:", value));
    EXPECT_EQ(value, "Citt\xE0");
}
#endif
