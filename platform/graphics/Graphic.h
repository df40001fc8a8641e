#pragma once
// TGraphic: an image that can draw itself into a rectangle of a canvas.

#include "platform/core/AnsiString.h"
#include "platform/core/Component.h"
#include "platform/core/Exception.h"
#include "platform/core/Types.h"

#include <memory>

class TCanvas;

// A picture file that cannot be read or decoded; the message names the file.
QUOR_DECLARE_EXCEPTION(EInvalidGraphic, Exception);

class TGraphic : public TObject {
public:
    QUOR_CLASS_NAME(TGraphic)
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() <= 0 || Height() <= 0; }
    // Scaled into rect (Left..Right-1 x Top..Bottom-1).
    virtual void Draw(TCanvas* canvas, const TRect& rect) = 0;
    virtual std::unique_ptr<TGraphic> Clone() const = 0;
};
