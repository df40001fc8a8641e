#pragma once
// The gallery's pictures for the documentation: the window in a state that
// shows each component of the page on show at work.

#include <string>

class TfrmGalleria;

namespace gallery {

// On the archive's page opens the chart of accounts down to its fifth
// level, selects an account there and opens the tree's popup menu beside
// it. On the chart's page enters the group Verifiche, with its parent in
// the preview, and selects a box there.
void StageScreenshot(TfrmGalleria* form);

// Grabs the window, with the popup menu when open, into a PNG file (written
// aside and renamed). False with a message naming the file when it cannot.
bool SaveScreenshot(TfrmGalleria* form, const std::string& file, std::string& error);

} // namespace gallery
