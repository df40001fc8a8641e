// The window on a real X display (the tests' own Xvfb session): the copy
// button clicked through the window system, and the clipboard read by
// another program, as a spreadsheet or an editor reads it.

#include "app/ContoCorrenteExport.h"
#include "app/MainUtil.h"
#include "app/datBracUtil.h"
#include "tests/app/AppFixture.h"
#include "tests/xsession/XSession.h"

#include "platform/core/Encoding.h"
#include "platform/core/ScriptedDialogs.h"
#include "platform/data/Table.h"
#include "platform/data/Variant.h"
#include "platform/gui/Button.h"
#include "platform/gui/Forms.h"
#include "platform/gui/PageControl.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>
#include <QWindow>

namespace {

int gArgc = 1;
char gArg0[] = "test_app_x";
char* gArgv[] = {gArg0, nullptr};

class RealDisplayTest : public AppArchiveTest {
protected:
    void SetUp() override {
        if (!XSession::Shared().UseForQt()) GTEST_SKIP() << XSession::Shared().Problem();
        AppArchiveTest::SetUp();
        WriteRegistry("\"Archivi\"=\"" + RegText(dir_) + "/Archivi\"\n\"Net\"=\"" + RegText(dir_) +
                      "/Net\"\n\"Priv\"=\"" + RegText(dir_) + "/Priv\"\n");
        application_ = std::make_unique<TGuiApplication>(gArgc, gArgv);
        ASSERT_EQ(QGuiApplication::platformName(), "xcb");
        dialogs_ = std::make_unique<ScopedScriptedDialogs>();
        form_ = application_->CreateForm<TfrmBracUtil>();
        module_ = application_->CreateForm<TdatBracoUtil>();
        form_->ConnectDataModule(module_);
    }
    void TearDown() override {
        dialogs_.reset();
        application_.reset();
        AppArchiveTest::TearDown();
    }

    // Another program's output, run while this one keeps answering the
    // window system (the clipboard's owner must hand the data over).
    std::string OtherProgram(const QString& program, const QStringList& args) {
        QProcess process;
        process.start(program, args);
        if (!process.waitForStarted()) {
            ADD_FAILURE() << program.toStdString() << " did not start";
            return {};
        }
        QElapsedTimer clock;
        clock.start();
        while (!process.waitForFinished(10)) {
            QCoreApplication::processEvents();
            if (clock.elapsed() > 60000) {
                process.kill();
                ADD_FAILURE() << program.toStdString() << " never ended";
                break;
            }
        }
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
        return process.readAllStandardOutput().toStdString();
    }

    std::unique_ptr<TGuiApplication> application_;
    std::unique_ptr<ScopedScriptedDialogs> dialogs_;
    TfrmBracUtil* form_ = nullptr;
    TdatBracoUtil* module_ = nullptr;
};

TEST_F(RealDisplayTest, AnotherProgramReadsTheCopyAsTextAndAsATable) {
    form_->Show();
    QWindow* window = form_->Widget()->windowHandle();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window, 60000));
    EXPECT_TRUE(XSession::Shared().WaitForWindow(form_->Caption().str(), 60000));
    ASSERT_TRUE(module_->tblCondomini->Locate("IdCondominio", Variant(1)));
    form_->pgMain->SetActivePage(form_->tbsContoCorrente);
    const quorbase::clsString expected = BuildContoCorrenteText(module_->tblCondomini);
    ASSERT_GT(expected.Length(), 100);

    // Clicked where the user clicks, through the window.
    auto* button = qobject_cast<QAbstractButton*>(form_->cmdCopiaCC->Widget());
    ASSERT_NE(button, nullptr);
    const QPoint centre = button->mapTo(form_->Widget(), button->rect().center());
    QTest::mouseClick(window, Qt::LeftButton, {}, centre);
    EXPECT_TRUE((*dialogs_)->Questions().empty());

    const std::string text =
        OtherProgram("xclip", {"-o", "-selection", "clipboard", "-t", "UTF8_STRING"});
    EXPECT_EQ(text, Cp1252ToUtf8(std::string_view(expected.CStr(),
                                                  static_cast<std::size_t>(expected.Length()))));
    const std::string targets =
        OtherProgram("xclip", {"-o", "-selection", "clipboard", "-t", "TARGETS"});
    EXPECT_NE(targets.find("text/html"), std::string::npos) << targets;
    const QString html = QString::fromStdString(
        OtherProgram("xclip", {"-o", "-selection", "clipboard", "-t", "text/html"}));
    EXPECT_TRUE(html.contains("<table")) << html.left(300).toStdString();
    EXPECT_EQ(html.count("<tr>"), DemoMovements() + 1);
    EXPECT_EQ(html.count("<td"), 5 * DemoMovements());
    EXPECT_TRUE(html.contains(QString::fromUtf8(">€</td>")));
}

} // namespace
