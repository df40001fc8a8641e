#pragma once
// Code 39 barcodes scaled to fill a rectangle, each character printed under
// its bars, with optional captions under the barcode.

#include "platform/core/Types.h"
#include "quorbase/clsString.h"

#include <cstdint>

class TCanvas;

class clsBarCode {
public:
    clsBarCode() = default;
    clsBarCode(const clsBarCode&) = delete;
    clsBarCode& operator=(const clsBarCode&) = delete;

    // pixels false: rect and margins in mm, converted with the device's resolution.
    virtual void Paint(TCanvas* canvas, const TRect& rect, bool pixels, int marginY, int marginX,
                       int textSize, int captionSize) = 0;
    // Symbol indexes: start, one per encoded character, stop.
    virtual quorbase::clsString Encode() = 0;
    virtual ~clsBarCode() = default;

    // Element table of the symbology: bit j set when element j is wide.
    const std::uint32_t* Pattern = nullptr;
    quorbase::clsString Data;
    // Left caption before the first line feed, right one after the last.
    quorbase::clsString Captions;
};

// Code 39. Data is encoded without a check character. A lower-case letter is
// encoded (and labelled) as its capital; characters outside the 43 of the
// symbology are left out of bars and labels, so the labels always show what
// a scanner reads.
class clsBarCodeEAN39 : public clsBarCode {
public:
    // Table index of the start/stop character; stored in Encode() as 255.
    static constexpr int kStartStop = 0;
    static constexpr int kSymbols = 44;

    clsBarCodeEAN39();
    void Paint(TCanvas* canvas, const TRect& rect, bool pixels, int marginY, int marginX,
               int textSize, int captionSize) override;
    quorbase::clsString Encode() override;

    // Table index of a character, -1 when the symbology cannot encode it.
    static int IndexOf(char ch);
    // The characters Encode() encodes, as the labels show them.
    quorbase::clsString EncodedText() const;
};
