#pragma once
// TLabel: a caption painted on the control's canvas.

#include "platform/core/AnsiString.h"
#include "platform/gui/GraphicControl.h"

#include <vector>

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner = nullptr);
    QUOR_CLASS_NAME(TLabel)

    const AnsiString& Caption() const { return caption_; }
    void SetCaption(const AnsiString& caption);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    // A transparent label paints no background.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    // Fits the size to the caption (only the height when word-wrapping).
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);

    // Lines of the caption as painted: split at line breaks and, with word
    // wrap, at spaces so that each fits the width.
    std::vector<AnsiString> CaptionLines() const;

protected:
    // Background unless transparent, then the caption lines, aligned.
    void Paint() override;
    void PaintBackground();
    void PaintCaption();
    void FontChanged() override;

private:
    void AdjustSize();

    AnsiString caption_;
    TAlignment alignment_ = taLeftJustify;
    bool transparent_ = false;
    bool autoSize_ = true;
    bool wordWrap_ = false;
};
