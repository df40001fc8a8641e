#pragma once

// Fonts need the toolkit's GUI application. Creates one (a QApplication, so
// widgets work too; offscreen when no platform is named) if the process has
// none yet; harmless otherwise.
void EnsureGuiApplication();
