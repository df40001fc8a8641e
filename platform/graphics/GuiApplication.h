#pragma once

// Fonts need the toolkit's GUI application. Creates one (offscreen when no
// platform is named) if the process has none yet; harmless otherwise.
void EnsureGuiApplication();
