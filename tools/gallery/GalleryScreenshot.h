#pragma once
// The gallery's picture for the documentation: the window in a state that
// shows each component at work, with the tree's popup menu open.

#include <string>

class TfrmGalleria;

namespace gallery {

// Opens the chart down to its fifth level, selects an account there and
// opens the tree's popup menu beside it.
void StageScreenshot(TfrmGalleria* form);

// Grabs the window with its open popup menu into a PNG file (written aside
// and renamed). False with a message naming the file when it cannot.
bool SaveScreenshot(TfrmGalleria* form, const std::string& file, std::string& error);

} // namespace gallery
