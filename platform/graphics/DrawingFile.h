#pragma once
// A drawing written to a file: a PNG image or a PDF page, chosen by the
// file's extension. The file is written aside and renamed, so a failure
// never leaves half a file or takes the place of an older one.

#include "platform/core/AnsiString.h"

#include <functional>

class TCanvas;

// True for the names SaveDrawing can write: ending in .png or .pdf.
bool IsDrawingFileName(const AnsiString& fileName);

// Calls draw on a width x height image (PNG) or on an A4 page at dpi dots per
// inch (PDF) and writes it to fileName. On failure answers false with an
// Italian message naming the file in error.
bool SaveDrawing(const AnsiString& fileName, int width, int height, int dpi,
                 const std::function<void(TCanvas*)>& draw, AnsiString* error = nullptr);
