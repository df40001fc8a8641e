#include "platform/graphics/PdfCanvas.h"

#include "platform/core/Encoding.h"
#include "platform/core/Exception.h"
#include "platform/graphics/GuiApplication.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

TPdfCanvas::TPdfCanvas(const AnsiString& fileName, int dpi) {
    EnsureGuiApplication();
    writer_ =
        std::make_unique<QPdfWriter>(QString::fromStdU16String(Cp1252ToUtf16(fileName.view())));
    writer_->setResolution(dpi);
    writer_->setPageSize(QPageSize(QPageSize::A4));
    writer_->setPageMargins(QMarginsF(0, 0, 0, 0));
    SetDevice(writer_.get());
}

TPdfCanvas::~TPdfCanvas() {
    // A file that cannot be written must not end the program from here.
    try {
        Finish();
    } catch (const Exception&) {
    }
}

void TPdfCanvas::NewPage() {
    if (finished_) return;
    Painter();
    writer_->newPage();
}

void TPdfCanvas::Finish() {
    if (finished_) return;
    finished_ = true;
    // The file is written when the painter closes; open it for an empty document too.
    Painter();
    EndPaint();
}

int TPdfCanvas::PageWidth() const {
    return writer_->width();
}
int TPdfCanvas::PageHeight() const {
    return writer_->height();
}
