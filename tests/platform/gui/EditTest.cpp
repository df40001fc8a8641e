#include "GuiTestSupport.h"

#include "platform/gui/Edit.h"
#include "platform/gui/Form.h"

#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

void Type(QWidget* widget, int key, const QString& text,
          Qt::KeyboardModifiers mods = Qt::NoModifier) {
    TypeInto(widget, static_cast<Qt::Key>(key), text, mods);
}

} // namespace

TEST(Edit, TextAndSelectionWithAndWithoutWidget) {
    TestApp();
    TForm form;
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->SetText("1.234");
    edit->SetText("1.234");
    EXPECT_EQ(changes, 1);
    edit->SetSelStart(2);
    edit->SetSelLength(10); // cut at the end of the text
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 3);

    // The widget starts from the state and keeps feeding it.
    auto* line = qobject_cast<QLineEdit*>(edit->Widget());
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QString("1.234"));
    EXPECT_EQ(line->selectedText(), QString("234"));
    edit->SelectAll();
    EXPECT_EQ(line->selectedText(), QString("1.234"));
    edit->SetSelStart(5);
    Type(line, Qt::Key_E, QString::fromUtf8("è"));
    EXPECT_EQ(edit->Text(), AnsiString("1.234\xE8"));
    EXPECT_EQ(edit->SelStart(), 6);
    EXPECT_EQ(changes, 2);
    edit->SetText("caff\xE8");
    EXPECT_EQ(line->text(), QString::fromUtf8("caffè"));
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(changes, 3);
    // Letters the code page lacks reach the program as Windows would give them.
    line->setText(QString::fromUtf8("\xC5\x81ukasz \xCE\xBB"));
    EXPECT_EQ(edit->Text(), AnsiString("Lukasz ?"));
    edit->SetReadOnly(true);
    EXPECT_TRUE(line->isReadOnly());
}

TEST(Edit, KeyHooksCanChangeOrSwallowKeys) {
    TestApp();
    TForm form;
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    std::vector<unsigned short> downs;
    edit->OnKeyDown = [&](TObject*, unsigned short& key, TShiftState) { downs.push_back(key); };
    edit->OnKeyPress = [](TObject*, char& key) {
        if (key == '.') key = ','; // the point types the decimal comma
        if (key == 'x') key = 0;   // swallowed
    };
    QWidget* line = edit->Widget();
    Type(line, Qt::Key_1, "1");
    Type(line, Qt::Key_Period, ".");
    Type(line, Qt::Key_X, "x");
    Type(line, Qt::Key_5, "5");
    EXPECT_EQ(edit->Text(), AnsiString("1,5"));
    Type(line, Qt::Key_Return, "\r");
    ASSERT_EQ(downs.size(), 4u); // the point has no key code of its own
    EXPECT_EQ(downs[0], '1');
    EXPECT_EQ(downs[1], 'X');
    EXPECT_EQ(downs[3], VK_RETURN);

    // A key swallowed in KeyDown never reaches KeyPress.
    int presses = 0;
    edit->OnKeyDown = [](TObject*, unsigned short& key, TShiftState) {
        if (key == VK_BACK) key = 0;
    };
    edit->OnKeyPress = [&](TObject*, char&) { ++presses; };
    Type(line, Qt::Key_Backspace, "\b");
    EXPECT_EQ(edit->Text(), AnsiString("1,5"));
    EXPECT_EQ(presses, 0);
}

TEST(Memo, LinesUseCrLfAndPositionsCountBothCharacters) {
    TestApp();
    TForm form;
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->SetText("uno\r\ndue");
    auto* editor = qobject_cast<QPlainTextEdit*>(memo->Widget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->toPlainText(), QString("uno\ndue"));

    memo->SetSelStart(5); // after the line break: before "due"
    EXPECT_EQ(editor->textCursor().position(), 4);
    EXPECT_EQ(memo->SelStart(), 5);
    memo->SetSelLength(3);
    EXPECT_EQ(editor->textCursor().selectedText(), QString("due"));
    memo->SelectAll();
    EXPECT_EQ(memo->SelLength(), 8);

    // Enter types a line break only when the memo wants returns.
    QTextCursor end = editor->textCursor();
    end.movePosition(QTextCursor::End);
    editor->setTextCursor(end);
    Type(editor, Qt::Key_Return, "\r");
    EXPECT_EQ(memo->Text(), AnsiString("uno\r\ndue\r\n"));
    memo->SetWantReturns(false);
    Type(editor, Qt::Key_Return, "\r");
    Type(editor, Qt::Key_T, "t");
    EXPECT_EQ(memo->Text(), AnsiString("uno\r\ndue\r\nt"));
    EXPECT_EQ(memo->SelStart(), 11);

    memo->SetWordWrap(false);
    EXPECT_EQ(editor->lineWrapMode(), QPlainTextEdit::NoWrap);
    memo->SetWantTabs(true);
    EXPECT_FALSE(editor->tabChangesFocus());
}

TEST(Edit, TheSelectionShowsOnlyWithTheFocusUnlessAskedToStay) {
    TestApp();
    TForm form;
    form.SetBounds(0, 0, 300, 200);
    auto* memo = new TMemo(&form);
    memo->SetParent(&form);
    memo->SetBounds(0, 0, 200, 60);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(0, 100, 200, 24);
    EXPECT_TRUE(memo->HideSelection());
    EXPECT_TRUE(edit->HideSelection());
    form.Show();
    const QColor highlight = memo->Widget()->palette().color(QPalette::Active, QPalette::Highlight);
    const unsigned rgb = highlight.rgb() & 0xFFFFFF;
    const auto highlighted = [&](TCustomEdit* control) {
        const QImage image = control->Widget()->grab().toImage();
        return CountPixels(image, rgb, 0, 0, image.width(), image.height());
    };
    for (TCustomEdit* control : {static_cast<TCustomEdit*>(memo), static_cast<TCustomEdit*>(edit)}) {
        control->SetText("Riparazione del portone");
        control->SelectAll();
        // Neither has the focus of an active window here.
        ASSERT_FALSE(control->Widget()->isActiveWindow() && control->Widget()->hasFocus());
        EXPECT_EQ(highlighted(control), 0) << control->ClassName();
        control->SetHideSelection(false);
        EXPECT_GT(highlighted(control), 100) << control->ClassName();
        // A new colour keeps the choice.
        control->SetColor(clWhite);
        EXPECT_GT(highlighted(control), 100) << control->ClassName();
        control->SetHideSelection(true);
        control->SetColor(clYellow);
        EXPECT_EQ(highlighted(control), 0) << control->ClassName();
        // The focused control of the active window shows it.
        EXPECT_EQ(control->Widget()->palette().color(QPalette::Active, QPalette::Highlight),
                  highlight);
    }
}
