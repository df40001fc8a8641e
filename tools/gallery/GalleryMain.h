#pragma once
// The gallery program:
//
//   gallery [CARTELLA] [--archivio FILE] [--screenshot FILE.png]
//
// copies the archive (by default the one of the alias "Bracotene", which
// the utility opens) into CARTELLA ("galleria" in the current folder unless
// given), afresh at every start, and opens the window over the copy. With
// --screenshot it grabs the window, with its popup menu open, into the
// file and ends. Without a display it says so and ends with status 1.

// The whole program; the result is the process's exit code.
int GalleryMain(int argc, char** argv);
