#pragma once
// A canvas over the pages of a PDF file. Coordinates are device pixels at the
// writer's resolution (GetDeviceCaps LOGPIXELSX/Y); the file is complete when
// the canvas is destroyed or Finish() is called.

#include "platform/graphics/Canvas.h"

#include <memory>

class QPdfWriter;

class TPdfCanvas : public TCanvas {
public:
    QUOR_CLASS_NAME(TPdfCanvas)
    // An A4 portrait page at dpi dots per inch.
    explicit TPdfCanvas(const AnsiString& fileName, int dpi = 300);
    ~TPdfCanvas() override;
    void NewPage();
    void Finish();
    // Page size in device pixels.
    int PageWidth() const;
    int PageHeight() const;

private:
    std::unique_ptr<QPdfWriter> writer_;
    bool finished_ = false;
};
