#include "GuiTestSupport.h"

#include "platform/core/Exception.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/core/TextBlocks.h"
#include "platform/gui/Clipboard.h"
#include "platform/gui/Form.h"
#include "platform/gui/Forms.h"
#include "platform/gui/QtDialogs.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <cstdlib>

#include "tests/PosixOnWindows.h"

namespace {

std::vector<std::string>* destroyed = nullptr;

class LoggedForm : public TForm {
public:
    explicit LoggedForm(const std::string& name) : TForm(nullptr) { SetName(AnsiString(name)); }
    ~LoggedForm() override {
        if (destroyed) destroyed->push_back(Name().str());
    }
};

class LoggedModule : public TComponent {
public:
    explicit LoggedModule(const std::string& name) { SetName(AnsiString(name)); }
    ~LoggedModule() override {
        if (destroyed) destroyed->push_back(Name().str());
    }
};

// Sets or clears an environment variable for one scope.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~EnvScope() {
        if (had_)
            setenv(name_, old_.c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

} // namespace

TEST(Clipboard, TextCrossesAsWindows1252AndReplacesTheContent) {
    TestApp();
    Clipboard()->SetTextBuf("prima");
    Clipboard()->SetTextBuf("\"Data\"\t\"Valuta\"\r\n01/02/2024\t\x80\t'Caff\xE8'");
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QString::fromUtf8("\"Data\"\t\"Valuta\"\r\n01/02/2024\t€\t'Caffè'"));
    EXPECT_EQ(Clipboard()->AsText(),
              AnsiString("\"Data\"\t\"Valuta\"\r\n01/02/2024\t\x80\t'Caff\xE8'"));
    EXPECT_TRUE(Clipboard()->HasText());

    // Text another program put there reads back in Windows-1252.
    QGuiApplication::clipboard()->setText(QString::fromUtf8("Città"));
    EXPECT_EQ(Clipboard()->AsText(), AnsiString("Citt\xE0"));
    Clipboard()->SetTextBuf(nullptr);
    EXPECT_EQ(Clipboard()->AsText(), AnsiString());

    // A text and its HTML go on together, both in UTF-8, across blocks.
    TTextBlocks text(4), html(4);
    text.Append("Caff\xE8\t\x80 12,5");
    html.Append("<html><head><meta charset=\"utf-8\"/></head><body><p>Caff\xE8 \x80</p></body></html>");
    Clipboard()->SetTextAndHtml(text, html);
    EXPECT_TRUE(text.Empty());
    EXPECT_TRUE(html.Empty());
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_TRUE(data->hasText());
    EXPECT_TRUE(data->hasHtml());
    EXPECT_EQ(data->text(), QString::fromUtf8("Caffè\t€ 12,5"));
    EXPECT_EQ(data->data("text/html"),
              QByteArray("<html><head><meta charset=\"utf-8\"/></head><body><p>Caff\xC3\xA8 "
                         "\xE2\x82\xAC</p></body></html>"));
    EXPECT_EQ(Clipboard()->AsText(), AnsiString("Caff\xE8\t\x80 12,5"));
    // Setting text alone replaces both.
    Clipboard()->SetAsText("solo");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
}

TEST(GuiApplication, CreatesInOrderRunsTheMainFormAndDestroysInReverse) {
    TestApp();
    std::vector<std::string> log;
    destroyed = &log;
    TDialogProvider* before = &Application->Dialogs();
    {
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        TGuiApplication app(argc, argv);
        EXPECT_EQ(TGuiApplication::Instance(), &app);
        EXPECT_NE(dynamic_cast<TQtDialogs*>(&Application->Dialogs()), nullptr);
        app.SetTitle("BracUtil - Utilities per Bracotene");
        EXPECT_EQ(Application->Title(), AnsiString("BracUtil - Utilities per Bracotene"));

        auto* main = app.CreateForm<LoggedForm>([] { return new LoggedForm("frmBracUtil"); });
        auto* module =
            app.CreateForm<LoggedModule>([] { return new LoggedModule("datBracoUtil"); });
        auto* other = app.CreateForm<LoggedForm>([] { return new LoggedForm("frmAltro"); });
        EXPECT_EQ(app.MainForm(), main);
        EXPECT_NE(module, nullptr);
        EXPECT_NE(other, nullptr);
        // A factory that fails leaves nothing behind and reaches the caller.
        auto failing = []() -> LoggedForm* { throw EDatabaseError("Alias mancante"); };
        EXPECT_THROW(app.CreateForm<LoggedForm>(failing), EDatabaseError);

        int shows = 0;
        main->OnShow = [&](TObject*) {
            ++shows;
            // Closing the main form ends the loop.
            QTimer::singleShot(0, [main] { main->Widget()->close(); });
        };
        EXPECT_EQ(app.Run(), 0);
        EXPECT_EQ(shows, 1);
        EXPECT_FALSE(main->Visible());
        EXPECT_TRUE(app.Terminated());
        EXPECT_TRUE(log.empty());
    }
    EXPECT_EQ(log, (std::vector<std::string>{"frmAltro", "datBracoUtil", "frmBracUtil"}));
    EXPECT_EQ(&Application->Dialogs(), before);
    EXPECT_EQ(TGuiApplication::Instance(), nullptr);
    destroyed = nullptr;
}

TEST(GuiApplication, TheToolkitsOwnDialogsSpeakItalian) {
    TestApp();
    const QString before = QCoreApplication::translate("QPlatformTheme", "Cancel");
    {
        int argc = 1;
        char name[] = "test";
        char* argv[] = {name, nullptr};
        TGuiApplication app(argc, argv);
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                           QStringLiteral("/qtbase_it.qm")))
            GTEST_SKIP() << "the system has no Italian texts for Qt (qt6-translations-l10n)";
        EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Annulla"));
        EXPECT_EQ(QCoreApplication::translate("QFileDialog", "File &name:"),
                  QString::fromUtf8("&Nome del file:"));
    }
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), before);
}

TEST(GuiApplication, AFormDestroyedEarlyIsForgotten) {
    TestApp();
    int argc = 1;
    char name[] = "test";
    char* argv[] = {name, nullptr};
    TGuiApplication app(argc, argv);
    auto* form = app.CreateForm<TForm>();
    EXPECT_EQ(app.MainForm(), form);
    delete form;
    EXPECT_EQ(app.MainForm(), nullptr);
    EXPECT_EQ(app.Run(), 0); // nothing to show: returns at once
}

#ifdef _WIN32
// Windows always has its desktop.
TEST(GuiAvailable, IsTheDesktopOnWindows) {
    EnvScope display("DISPLAY", nullptr);
    EnvScope platform("QT_QPA_PLATFORM", nullptr);
    EXPECT_TRUE(GuiAvailable());
}
#else
TEST(GuiAvailable, FollowsTheEnvironment) {
    {
        EnvScope platform("QT_QPA_PLATFORM", "offscreen");
        EXPECT_TRUE(GuiAvailable());
    }
    EnvScope platform("QT_QPA_PLATFORM", nullptr);
    EnvScope wayland("WAYLAND_DISPLAY", nullptr);
    {
        EnvScope display("DISPLAY", nullptr);
        EXPECT_FALSE(GuiAvailable());
    }
    {
        EnvScope display("DISPLAY", ":0");
        EXPECT_TRUE(GuiAvailable());
    }
    EnvScope display("DISPLAY", "");
    EnvScope wayland2("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(GuiAvailable());
}
#endif
