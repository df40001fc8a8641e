#include "platform/graphics/Metafile.h"

#include "platform/graphics/GuiApplication.h"

#include <QPainter>

TMetafile::TMetafile() = default;
TMetafile::~TMetafile() = default;

int TMetafile::Width() const {
    if (width_ > 0) return width_;
    QRect r = picture_.boundingRect();
    return r.isValid() ? r.x() + r.width() : 0;
}

int TMetafile::Height() const {
    if (height_ > 0) return height_;
    QRect r = picture_.boundingRect();
    return r.isValid() ? r.y() + r.height() : 0;
}

bool TMetafile::Empty() const {
    return picture_.isNull() || Width() <= 0 || Height() <= 0;
}

void TMetafile::Draw(TCanvas* canvas, const TRect& rect) {
    if (!canvas || Empty()) return;
    QPainter* p = canvas->Painter();
    if (!p) return;
    p->save();
    p->translate(rect.Left, rect.Top);
    p->scale(static_cast<double>(rect.Right - rect.Left) / Width(),
             static_cast<double>(rect.Bottom - rect.Top) / Height());
    p->drawPicture(0, 0, picture_);
    p->restore();
}

std::unique_ptr<TGraphic> TMetafile::Clone() const {
    return std::make_unique<TMetafile>(*this);
}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, TCanvas* reference) : metafile_(metafile) {
    EnsureGuiApplication();
    SetDevice(&recording_);
    if (reference) {
        Font()->SetPixelsPerInch(reference->DpiY());
        Font()->Assign(*reference->Font());
    }
}

TMetafileCanvas::~TMetafileCanvas() {
    Finish();
}

void TMetafileCanvas::Finish() {
    if (finished_) return;
    finished_ = true;
    EndPaint();
    if (metafile_) metafile_->SetPicture(recording_);
}
