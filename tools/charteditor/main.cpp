// charteditor: the chart editor.
//
//   charteditor [options] [chart-file]

#include "tools/charteditor/EditorMain.h"

int main(int argc, char** argv) {
    return ChartEditorMain(argc, argv);
}
