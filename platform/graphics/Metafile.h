#pragma once
// TMetafile: a recorded picture, replayed scaled into any rectangle.
// TMetafileCanvas records into one; the recording is complete when the
// metafile canvas is destroyed (or Finish() is called).

#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <QPicture>

class TMetafile : public TGraphic {
public:
    QUOR_CLASS_NAME(TMetafile)
    TMetafile();
    ~TMetafile() override;

    // The frame replayed into a target rectangle; without an explicit size,
    // the bounds of what was recorded (from the origin).
    int Width() const override;
    int Height() const override;
    void SetWidth(int width) { width_ = width; }
    void SetHeight(int height) { height_ = height; }
    bool Empty() const override;

    void Draw(TCanvas* canvas, const TRect& rect) override;
    std::unique_ptr<TGraphic> Clone() const override;

    const QPicture& Picture() const { return picture_; }
    void SetPicture(const QPicture& picture) { picture_ = picture; }

private:
    QPicture picture_;
    int width_ = 0;
    int height_ = 0;
};

class TMetafileCanvas : public TCanvas {
public:
    QUOR_CLASS_NAME(TMetafileCanvas)
    // reference (may be null) gives the resolution and font of the device
    // the recording is meant for.
    TMetafileCanvas(TMetafile* metafile, TCanvas* reference);
    ~TMetafileCanvas() override;
    void Finish();

private:
    TMetafile* metafile_;
    QPicture recording_;
    bool finished_ = false;
};
