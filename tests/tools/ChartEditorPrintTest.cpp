// The chart editor's printing: through the platform's print dialog to a PDF
// printer, the drawing the same as the export's, fitted to the page.

#include "tests/tools/EditorFixture.h"

#include <QAction>
#include <QDialog>
#include <QPainter>
#include <QPrinter>
#include <QTimer>

namespace editortest {
namespace {

// Answers the print dialog once it is up.
[[maybe_unused]] void AnswerPrintDialog(bool accept) {
    QTimer::singleShot(0, [accept] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
}

// Windows shows its own print dialog, outside Qt's widgets: no test answers it.
#ifndef _WIN32
TEST_F(Editor, PrintingGoesThroughThePrintDialogToTheChosenPrinter) {
    OpenExample();
    const std::string pdf = dir / "stampa.pdf";
    // The window's own dialog, on a printer that writes a PDF file.
    auto dialog = editor().AskPrinter;
    ASSERT_TRUE(dialog);
    int shown = 0;
    editor().AskPrinter = [&](QPrinter& printer) {
        ++shown;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf));
        return dialog(printer);
    };
    AnswerPrintDialog(false);
    form->actPrint->trigger();
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(std::filesystem::exists(pdf));

    AnswerPrintDialog(true);
    EXPECT_EQ(form->actPrint->shortcut(), QKeySequence(QKeySequence::Print));
    form->actPrint->trigger();
    EXPECT_EQ(shown, 2);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_EQ(FileText(pdf).substr(0, 4), "%PDF");
    EXPECT_GT(std::filesystem::file_size(pdf), 2000u);
    EXPECT_TRUE(dialogs->Questions().empty());
    // Printing changes nothing.
    EXPECT_FALSE(editor().Modified());
}
#endif

TEST_F(Editor, ThePrintedDrawingIsTheExportsFittedToThePage) {
    OpenExample();
    Click(Middle(Box("Saldo")).x(), Middle(Box("Saldo")).y());
    const int width = chart().Width(), height = chart().Height();
    exportNames = {dir / "grafico.png"};
    ASSERT_TRUE(editor().Export(".png"));
    const QImage exported(QString::fromStdString(dir / "grafico.png"));
    ASSERT_EQ(exported.size(), QSize(width, height));

    // On a page of the chart's own size: the export's pixels, without the
    // selection.
    QImage page(width, height, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        editor().DrawFitted(painter, QRectF(0, 0, width, height));
    }
    EXPECT_EQ(page.convertToFormat(QImage::Format_RGB32),
              exported.convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(chart().SelectedBox(), Box("Saldo"));

    // On a page twice as wide and three times as high, with a margin: twice
    // as large, from the margin's corner.
    QImage large(2 * width + 40, 3 * height, QImage::Format_RGB32);
    large.fill(Qt::white);
    {
        QPainter painter(&large);
        editor().DrawFitted(painter, QRectF(40, 0, 2 * width, 3 * height));
    }
    const clsBox* saldo = Box("Saldo");
    const QPoint inside(saldo->Frame.Left + 8, saldo->Frame.Top + 8);
    EXPECT_EQ(QColor(large.pixel(40 + 2 * inside.x(), 2 * inside.y())),
              QColor(exported.pixel(inside)));
    EXPECT_NE(QColor(exported.pixel(inside)), QColor(Qt::white));
    // Nothing below twice the chart's height.
    for (int x = 0; x < large.width(); x += 7)
        ASSERT_EQ(QColor(large.pixel(x, 2 * height + 10)), QColor(Qt::white)) << x;
}

} // namespace
} // namespace editortest
