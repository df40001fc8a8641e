#pragma once
// The charteditor program: its command line, and the window opened on the
// chart it names.

int ChartEditorMain(int argc, char** argv);
