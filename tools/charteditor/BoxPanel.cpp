#include "tools/charteditor/BoxPanel.h"

#include "platform/graphics/Font.h"
#include "platform/gui/Button.h"
#include "platform/gui/Edit.h"
#include "platform/gui/Label.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/ChartEditor.h"
#include "tools/charteditor/EditorChart.h"

#include <vector>

namespace charteditor {

using quorgrafica::clsBox;

namespace {

constexpr int Margin = 10;
constexpr int FieldWidth = 260;

AnsiString Text(const quorbase::clsString& s) {
    return AnsiString(std::string(s.CStr() ? s.CStr() : "", static_cast<std::size_t>(s.Length())));
}

// A memo shows line feeds as line breaks only when they are CR LF.
AnsiString MemoText(const quorbase::clsString& s) {
    return JoinLines(SplitLines(Text(s)));
}

void SetTextIfOther(TCustomEdit* edit, const AnsiString& text) {
    if (edit->Text() != text) edit->SetText(text);
}

} // namespace

TBoxPanel::TBoxPanel(TComponent* owner, ChartEditor& editor) : TPanel(owner), editor_(editor) {
    SetWidth(FieldWidth + 2 * Margin);

    lblBox = Caption("", 8);
    lblBox->Font()->SetStyle(fsBold);

    Caption("Nome", 34);
    edName = new TEdit(this);
    edName->SetParent(this);
    edName->SetBounds(Margin, 52, FieldWidth, 24);
    edName->OnChange = [this](TObject*) { Edited([this] { editor_.SetBoxName(edName->Text()); }); };
    lblSameName = Caption("", 78);
    lblSameName->Font()->SetColor(0x0000C0);

    Caption("Testo", 98);
    memText = new TMemo(this);
    memText->SetParent(this);
    memText->SetBounds(Margin, 116, FieldWidth, 56);
    memText->OnChange = [this](TObject*) {
        Edited([this] { editor_.SetBoxText(memText->Text()); });
    };

    Caption("Colori", 182);
    pnlFill = ColorRow("Sfondo", 202, cmdFill);
    cmdFill->OnClick = [this](TObject*) {
        ChooseColor("Colore di sfondo", &clsBox::FillColor, &ChartEditor::SetFillColor);
    };
    pnlFontColor = ColorRow("Testo", 232, cmdFontColor);
    cmdFontColor->OnClick = [this](TObject*) {
        ChooseColor("Colore del testo", &clsBox::FontColor, &ChartEditor::SetFontColor);
    };
    pnlShadow = ColorRow("Ombra", 262, cmdShadow);
    cmdShadow->OnClick = [this](TObject*) {
        ChooseColor("Colore dell'ombra", &clsBox::ShadowColor, &ChartEditor::SetShadowColor);
    };

    Caption("Carattere", 296);
    lblFont = Caption("", 318);
    lblFont->SetAutoSize(false);
    lblFont->SetWidth(FieldWidth - 100);
    cmdFont = new TButton(this);
    cmdFont->SetParent(this);
    cmdFont->SetBounds(Margin + FieldWidth - 90, 313, 90, 26);
    cmdFont->SetCaption("Scegli...");
    cmdFont->OnClick = [this](TObject*) {
        clsBox* box = editor_.Chart().SelectedBox();
        if (!box || !AskFont) return;
        AnsiString name = Text(box->FontName);
        int size = box->FontSize;
        if (AskFont(name, size)) editor_.SetBoxFont(name, size);
    };

    Caption("Script (una riga per istruzione)", 350);
    memScript = new TMemo(this);
    memScript->SetParent(this);
    memScript->SetBounds(Margin, 368, FieldWidth, 80);
    memScript->SetWordWrap(false);
    memScript->OnChange = [this](TObject*) {
        Edited([this] { editor_.SetScript(memScript->Text()); });
    };

    Caption("Valori (nome=valore)", 456);
    memVariables = new TMemo(this);
    memVariables->SetParent(this);
    memVariables->SetBounds(Margin, 474, FieldWidth, 80);
    memVariables->SetWordWrap(false);
    memVariables->OnChange = [this](TObject*) {
        Edited([this] { editor_.SetVariables(memVariables->Text()); });
    };

    lblFrame = Caption("", 564);

    // Leaving a field ends its step of undo.
    for (TCustomEdit* edit :
         {static_cast<TCustomEdit*>(edName), static_cast<TCustomEdit*>(memText),
          static_cast<TCustomEdit*>(memScript), static_cast<TCustomEdit*>(memVariables)})
        edit->OnExit = [this](TObject*) { editor_.EndTyping(); };
    Refresh();
}

TLabel* TBoxPanel::Caption(const char* text, int top) {
    auto* label = new TLabel(this);
    label->SetParent(this);
    label->SetLeft(Margin);
    label->SetTop(top);
    label->SetCaption(text);
    return label;
}

TPanel* TBoxPanel::ColorRow(const char* text, int top, TButton*& button) {
    Caption(text, top + 4);
    auto* swatch = new TPanel(this);
    swatch->SetParent(this);
    swatch->SetBounds(Margin + 70, top, 60, 24);
    button = new TButton(this);
    button->SetParent(this);
    button->SetBounds(Margin + FieldWidth - 90, top - 1, 90, 26);
    button->SetCaption("Cambia...");
    return swatch;
}

void TBoxPanel::ChooseColor(const char* title, TColor clsBox::*field,
                            bool (ChartEditor::*set)(TColor)) {
    clsBox* box = editor_.Chart().SelectedBox();
    if (!box || !AskColor) return;
    TColor color = box->*field;
    if (AskColor(title, color)) (editor_.*set)(color);
}

void TBoxPanel::Edited(const std::function<void()>& apply) {
    if (!refreshing_) apply();
}

void TBoxPanel::ShowSameName() {
    // Another box of the same name takes its links when the chart is read.
    const clsBox* box = editor_.Chart().SelectedBox();
    bool same = false;
    if (box && box->OwnerGraf && box->Name.Length() > 0)
        for (int i = 0; i < box->OwnerGraf->GetCount() && !same; ++i)
            same =
                box->OwnerGraf->BoxAt(i) != box && box->OwnerGraf->BoxAt(i)->Name.Equals(box->Name);
    lblSameName->SetCaption(same ? "Un altro box ha lo stesso nome" : "");
}

void TBoxPanel::ShowShared(const std::vector<clsBox*>& boxes) {
    // A field shows what every selected box holds, and is empty where they
    // differ; what is typed or chosen goes to all of them. A name is one
    // box's only.
    const clsBox& first = *boxes.front();
    auto shared = [&](auto get) {
        for (const clsBox* box : boxes)
            if (!(get(*box) == get(first))) return false;
        return true;
    };
    lblBox->SetCaption(AnsiString(static_cast<int>(boxes.size())) + " box selezionati");
    edName->SetEnabled(false);
    SetTextIfOther(edName, AnsiString());
    lblSameName->SetCaption("");
    auto text = [](const clsBox& b) { return MemoText(b.Text); };
    SetTextIfOther(memText, shared(text) ? text(first) : AnsiString());
    auto script = [](const clsBox& b) { return ScriptLines(b); };
    if (!shared(script))
        SetTextIfOther(memScript, AnsiString());
    else if (KeepableScript(SplitLines(memScript->Text())) != script(first))
        memScript->SetText(JoinLines(script(first)));
    auto variables = [](const clsBox& b) { return VariableLines(b); };
    if (!shared(variables))
        SetTextIfOther(memVariables, AnsiString());
    else if (KeepableVariables(SplitLines(memVariables->Text())) != variables(first))
        memVariables->SetText(JoinLines(variables(first)));
    pnlFill->SetColor(shared([](const clsBox& b) { return b.FillColor; }) ? first.FillColor
                                                                           : clBtnFace);
    pnlFontColor->SetColor(shared([](const clsBox& b) { return b.FontColor; }) ? first.FontColor
                                                                               : clBtnFace);
    pnlShadow->SetColor(shared([](const clsBox& b) { return b.ShadowColor; }) ? first.ShadowColor
                                                                              : clBtnFace);
    const bool sameFont = shared([](const clsBox& b) { return Text(b.FontName); }) &&
                          shared([](const clsBox& b) { return b.FontSize; });
    const AnsiString face =
        first.FontName.Length() > 0 ? Text(first.FontName) : AnsiString("(del disegno)");
    lblFont->SetCaption(!sameFont            ? AnsiString("(diversi)")
                        : first.FontSize > 0 ? face + ", " + AnsiString(first.FontSize) + " pt"
                                             : face);
    lblFrame->SetCaption("");
}

void TBoxPanel::Refresh() {
    refreshing_ = true;
    clsBox* box = editor_.Chart().SelectedBox();
    const bool shown = box != nullptr;
    for (TControl* control : std::initializer_list<TControl*>{
             edName, memText, cmdFill, cmdFontColor, cmdShadow, cmdFont, memScript, memVariables})
        control->SetEnabled(shown);
    if (!box) {
        lblBox->SetCaption("Nessun box selezionato");
        for (TCustomEdit* edit :
             {static_cast<TCustomEdit*>(edName), static_cast<TCustomEdit*>(memText),
              static_cast<TCustomEdit*>(memScript), static_cast<TCustomEdit*>(memVariables)})
            SetTextIfOther(edit, AnsiString());
        for (TPanel* swatch : {pnlFill, pnlFontColor, pnlShadow})
            swatch->SetColor(clBtnFace);
        lblSameName->SetCaption("");
        lblFont->SetCaption("");
        lblFrame->SetCaption("");
        refreshing_ = false;
        return;
    }
    const std::vector<clsBox*> boxes = editor_.Chart().SelectedBoxes();
    if (boxes.size() > 1) {
        ShowShared(boxes);
        refreshing_ = false;
        return;
    }
    lblBox->SetCaption("Box selezionato: " + KindCaption(box->TypeName()));
    SetTextIfOther(edName, Text(box->Name));
    SetTextIfOther(memText, MemoText(box->Text));
    // A memo that says what the box keeps stays as typed (an empty line at
    // the end, a value without "=").
    if (KeepableScript(SplitLines(memScript->Text())) != ScriptLines(*box))
        memScript->SetText(JoinLines(ScriptLines(*box)));
    if (KeepableVariables(SplitLines(memVariables->Text())) != VariableLines(*box))
        memVariables->SetText(JoinLines(VariableLines(*box)));
    pnlFill->SetColor(box->FillColor);
    pnlFontColor->SetColor(box->FontColor);
    pnlShadow->SetColor(box->ShadowColor);
    ShowSameName();
    const AnsiString face =
        box->FontName.Length() > 0 ? Text(box->FontName) : AnsiString("(del disegno)");
    lblFont->SetCaption(box->FontSize > 0 ? face + ", " + AnsiString(box->FontSize) + " pt" : face);
    const TRect& f = box->Frame;
    lblFrame->SetCaption("Riquadro: " + AnsiString(f.Left) + ", " + AnsiString(f.Top) + " \x96 " +
                         AnsiString(f.Right) + ", " + AnsiString(f.Bottom));
    refreshing_ = false;
}

} // namespace charteditor
