#pragma once
// The box panel beside the chart: the selected box's name, text, colours,
// font, script lines and named values. What is typed changes the box at
// once; colours and the font are chosen in the dialogs the window offers
// through AskColor and AskFont.

#include "platform/core/AnsiString.h"
#include "platform/core/Types.h"
#include "platform/gui/Panel.h"

#include <functional>
#include <vector>

class TButton;
class TEdit;
class TLabel;
class TMemo;

namespace quorgrafica {
class clsBox;
}

namespace charteditor {

class ChartEditor;

class TBoxPanel : public TPanel {
public:
    TBoxPanel(TComponent* owner, ChartEditor& editor);
    QUOR_CLASS_NAME(TBoxPanel)

    // Shows the selected box (what several selected boxes share), or that
    // none is; the fields being typed into keep their text when it is
    // already the box's.
    void Refresh();

    // The colour chosen (color holds the current one); false: cancelled.
    std::function<bool(const AnsiString& title, TColor& color)> AskColor;
    // The font chosen: face and size in points; false: cancelled.
    std::function<bool(AnsiString& name, int& size)> AskFont;

    TLabel* lblBox;
    TEdit* edName;
    TLabel* lblSameName;
    TMemo* memText;
    TPanel* pnlFill;
    TButton* cmdFill;
    TPanel* pnlFontColor;
    TButton* cmdFontColor;
    TPanel* pnlShadow;
    TButton* cmdShadow;
    TLabel* lblFont;
    TButton* cmdFont;
    TMemo* memScript;
    TMemo* memVariables;
    TLabel* lblFrame;

private:
    TLabel* Caption(const char* text, int top);
    TPanel* ColorRow(const char* text, int top, TButton*& button);
    void ChooseColor(const char* title, TColor quorgrafica::clsBox::*field,
                     bool (ChartEditor::*set)(TColor));
    void ShowSameName();
    void ShowShared(const std::vector<quorgrafica::clsBox*>& boxes);
    // A field's change reaches the box, unless the panel itself made it.
    void Edited(const std::function<void()>& apply);

    ChartEditor& editor_;
    bool refreshing_ = false;
};

} // namespace charteditor
