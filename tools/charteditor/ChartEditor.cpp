// The chart editor's core: the component's events, the undo history,
// moving about the tree of graphs and the chart's keys. Files are in
// ChartEditorFiles.cpp, the box panel's edits in ChartEditorBoxes.cpp.

#include "tools/charteditor/ChartEditor.h"

#include "platform/core/Application.h"
#include "platform/gui/Screen.h"
#include "quorgrafica/ChartLinks.h"
#include "quorgrafica/Clsgraf.h"
#include "tools/charteditor/Applying.h"
#include "tools/charteditor/BoxEdits.h"
#include "tools/charteditor/ChartSnapshot.h"
#include "tools/charteditor/EditorChart.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace charteditor {

using quorgrafica::clsBox;
using quorgrafica::clsBoxGroup;
using quorgrafica::clsGraf;

ChartEditor::ChartEditor(TEditorChart& chart) : chart_(chart) {
    chart_.OnAfterNewBox = [this](TObject*, clsBox* box, bool&) {
        // A box links and is found by its name: every new one gets its own.
        box->Name = UniqueBoxName(*chart_.CurrentGraf(), box->TypeName());
        newBox_ = box;
    };
    chart_.OnChange = [this](TObject*) { ChartChanged(); };
    chart_.OnSelect = [this] {
        EndTyping();
        SelectionChanged();
    };
    chart_.SetMultiSelect(true);
    chart_.OnSelectionChange = [this](TObject*) {
        EndTyping();
        SelectionChanged();
    };
    chart_.OnNavigate = [this] {
        ShowGraf();
        SelectionChanged();
        StateChanged();
    };
    chart_.RootGraf()->Clear();
    chart_.RootGraf()->Name = quorbase::clsString();
    chart_.RootGraf()->Title = quorbase::clsString();
    Started(AnsiString());
}

ChartEditor::~ChartEditor() {
    chart_.OnAfterNewBox = nullptr;
    chart_.OnChange = nullptr;
    chart_.OnSelect = nullptr;
    chart_.OnSelectionChange = nullptr;
    chart_.OnNavigate = nullptr;
}

bool ChartEditor::Idle() const {
    return chart_.InputState() == quorgrafica::qfcNothing;
}

int ChartEditor::Ask(const AnsiString& text, int flags) const {
    return Application->MessageBox(text, AnsiString(), flags);
}

void ChartEditor::StateChanged() {
    if (OnStateChange) OnStateChange();
}

void ChartEditor::SelectionChanged() {
    if (OnSelectionChange) OnSelectionChange();
}

void ChartEditor::Started(const AnsiString& fileName) {
    fileName_ = fileName;
    newBox_ = nullptr;
    chart_.SetCurrentGraf(chart_.RootGraf());
    chart_.SetSelectedBox(nullptr);
    history_.Reset(TakeSnapshot(*chart_.RootGraf()));
    ShowGraf();
    SelectionChanged();
    StateChanged();
}

// Undo ----------------------------------------------------------------------------------

void ChartEditor::Record(const std::string& mergeKey, const BoxPlace& before,
                         const BoxPlace& after) {
    ChartChange change;
    change.snapshot = TakeSnapshot(*chart_.RootGraf());
    change.graf = PlaceOf(chart_.CurrentGraf());
    change.before = before;
    change.after = after;
    change.mergeKey = mergeKey;
    history_.Add(std::move(change));
    StateChanged();
}

void ChartEditor::ChartChanged() {
    if (applying_) return;
    clsGraf* graf = chart_.CurrentGraf();
    const int count = graf->GetCount();
    clsBox* made = newBox_ && count > 0 && graf->BoxAt(count - 1) == newBox_ ? newBox_ : nullptr;
    newBox_ = nullptr;
    BoxPlace before, after;
    if (made) {
        // A new box is selected at once, ready to be named.
        chart_.SetSelectedBox(made);
        after = PlaceOf(made);
    } else if (clsBox* selected = chart_.SelectedBox()) {
        before = after = PlaceOf(selected);
    }
    Record(std::string(), before, after);
    SelectionChanged();
}

void ChartEditor::Restore(const std::string& snapshot, const GrafPlace& graf, const BoxPlace& box) {
    {
        Applying applying(applying_);
        TWaitCursor wait;
        newBox_ = nullptr;
        clsGraf* root = chart_.RootGraf();
        // Reading the root anew shows the root; then the graph of the change.
        RestoreSnapshot(*root, snapshot);
        clsGraf* shown = GrafAt(root, graf);
        chart_.SetCurrentGraf(shown);
        chart_.SetSelectedBox(BoxAt(shown, box));
        ShowGraf();
    }
    SelectionChanged();
    StateChanged();
}

bool ChartEditor::Undo() {
    if (!CanUndo() || !Idle()) return false;
    const std::string* snapshot = nullptr;
    const ChartChange& undone = history_.Undo(snapshot);
    Restore(*snapshot, undone.graf, undone.before);
    return true;
}

bool ChartEditor::Redo() {
    if (!CanRedo() || !Idle()) return false;
    const ChartChange& redone = history_.Redo();
    Restore(redone.snapshot, redone.graf, redone.after);
    return true;
}

// The graph on show -----------------------------------------------------------------------

void ChartEditor::ShowGraf() {
    clsGraf* graf = chart_.CurrentGraf();
    graf->GridShow = chart_.GridShow();
    graf->GridAlign = chart_.GridAlignTo();
    graf->GridColor = chart_.GridColor();
    PlacePreview();
    chart_.Invalidate();
}

void ChartEditor::SetGridShow(bool show) {
    chart_.SetGridShow(show);
    ShowGraf();
    StateChanged();
}

void ChartEditor::SetGridAlign(bool align) {
    chart_.SetGridAlignTo(align);
    ShowGraf();
    StateChanged();
}

void ChartEditor::PlacePreview() {
    const clsGraf* graf = chart_.CurrentGraf();
    if (!graf->Owner || !graf->Owner->OwnerGraf) return;
    clsGraf* parent = graf->Owner->OwnerGraf;
    const double pageWidth = std::max(1, parent->MaxRight());
    const double pageHeight = std::max(1, parent->MaxBottom());
    const int margin = 10;
    // Beside the scroll bars, not under them.
    const double room = std::max(40, std::min(260, chart_.ViewWidth() / 3));
    const double roomHeight = std::max(30, std::min(200, chart_.ViewHeight() / 3));
    const double scale = std::min(room / pageWidth, roomHeight / pageHeight);
    const int width = std::max(1, static_cast<int>(pageWidth * scale));
    const int height = std::max(1, static_cast<int>(pageHeight * scale));
    const int right = chart_.ViewWidth() - margin;
    chart_.SetPreviewLeft(right - width);
    chart_.SetPreviewTop(margin);
    chart_.SetPreviewWidth(right);
    chart_.SetPreviewHeight(margin + height);
}

void ChartEditor::SetPageOfGraf() {
    if (chart_.Width() > 0 && chart_.Height() > 0)
        chart_.CurrentGraf()->SetPage(chart_.Width(), chart_.Height(), chart_.GridHorizontalChars(),
                                      chart_.GridVerticalChars());
}

bool ChartEditor::EnterGroup() {
    auto* group = dynamic_cast<clsBoxGroup*>(chart_.SelectedBox());
    if (!group || !group->Graf || !Idle()) return false;
    EndTyping();
    chart_.SetCurrentGraf(group->Graf);
    ShowGraf();
    SelectionChanged();
    StateChanged();
    return true;
}

bool ChartEditor::GoUp() {
    clsBox* owner = chart_.CurrentGraf()->Owner;
    if (!owner || !Idle()) return false;
    EndTyping();
    chart_.PreviousGraf();
    // The group just left stays selected, and the preview shows it so.
    if (chart_.CurrentGraf() == owner->OwnerGraf) chart_.SetSelectedBox(owner);
    ShowGraf();
    SelectionChanged();
    StateChanged();
    return true;
}

// The selected box --------------------------------------------------------------------------

bool ChartEditor::DeleteSelected() {
    const std::vector<clsBox*> boxes = chart_.SelectedBoxes();
    if (boxes.empty() && chart_.SelectedLink()) return DeleteSelectedLink();
    if (boxes.empty() || !Idle()) return false;
    clsBox* box = chart_.SelectedBox();
    EndTyping();
    AnsiString question;
    if (boxes.size() > 1) {
        question = "Eliminare i " + AnsiString(static_cast<int>(boxes.size())) +
                   " box selezionati, con ci\xF2 che contengono i gruppi?";
    } else {
        const AnsiString name(std::string(box->Name.CStr() ? box->Name.CStr() : "",
                                          static_cast<std::size_t>(box->Name.Length())));
        if (dynamic_cast<clsBoxGroup*>(box))
            question = "Eliminare il gruppo \"" + name + "\" con tutto ci\xF2 che contiene?";
        else if (name.IsEmpty())
            question = "Eliminare il box selezionato?";
        else
            question = "Eliminare il box \"" + name + "\"?";
    }
    if (Ask(question, MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    // The boxes may have gone or changed while the question was up.
    if (chart_.SelectedBoxes() != boxes || !Idle()) return false;
    return RemoveBoxes(boxes);
}

bool ChartEditor::DeleteSelectedLink() {
    const quorgrafica::LinkRef link = chart_.SelectedLink();
    if (!link || !Idle()) return false;
    EndTyping();
    {
        Applying applying(applying_);
        quorgrafica::RemoveLinkOf(*link.Source, *link.Target);
        chart_.SelectLink(quorgrafica::LinkRef{});
    }
    Record(std::string(), PlaceOf(link.Source), BoxPlace{});
    SelectionChanged();
    return true;
}

bool ChartEditor::RemoveBoxes(const std::vector<clsBox*>& boxes) {
    if (boxes.empty()) return false;
    clsGraf* graf = chart_.CurrentGraf();
    const BoxPlace before = PlaceOf(chart_.SelectedBox() ? chart_.SelectedBox() : boxes.front());
    const int count = graf->GetCount();
    {
        Applying applying(applying_);
        for (clsBox* each : boxes) {
            // The graph removes the first box of a name: make it this one.
            if (graf->GetBox(each->Name) != each)
                RenameBox(*graf, *each, UniqueBoxName(*graf, each->TypeName()));
            if (each == chart_.SelectedBox())
                chart_.RemoveBox();
            else
                graf->RemoveBox(each->Name);
        }
        chart_.SetSelectedBox(nullptr);
        chart_.Invalidate();
    }
    if (graf->GetCount() == count) return false;
    Record(std::string(), before, BoxPlace{});
    SelectionChanged();
    return true;
}

bool ChartEditor::MoveSelected(int columns, int rows) {
    clsBox* box = chart_.SelectedBox();
    if (!box || !Idle()) return false;
    SetPageOfGraf();
    const clsGraf& graf = *chart_.CurrentGraf();
    int left = box->Frame.Left, top = box->Frame.Top;
    for (int i = 0; i < std::abs(columns); ++i)
        left = GridStepX(graf, left, columns > 0 ? 1 : -1);
    for (int i = 0; i < std::abs(rows); ++i)
        top = GridStepY(graf, top, rows > 0 ? 1 : -1);
    if (left == box->Frame.Left && top == box->Frame.Top) return false;
    EndTyping();
    // The others keep their places relative to the selected box.
    const long long dx = static_cast<long long>(left) - box->Frame.Left;
    const long long dy = static_cast<long long>(top) - box->Frame.Top;
    for (clsBox* each : chart_.SelectedBoxes()) {
        const TRect f = each->Frame;
        each->Frame = TRect{static_cast<int>(f.Left + dx), static_cast<int>(f.Top + dy),
                            static_cast<int>(f.Right + dx), static_cast<int>(f.Bottom + dy)};
    }
    chart_.Invalidate();
    const BoxPlace place = PlaceOf(box);
    Record(std::string(), place, place);
    SelectionChanged();
    return true;
}

bool ChartEditor::SelectAll() {
    if (!Idle() || chart_.CurrentGraf()->GetCount() == 0) return false;
    EndTyping();
    chart_.SelectAll();
    return true;
}

void ChartEditor::SetPointerTool(bool on) {
    chart_.SetPointerTool(on);
    StateChanged();
}

bool ChartEditor::Compute(ComputeWay way) {
    clsBox* box = chart_.SelectedBox();
    if (!box || !Idle()) return false;
    TWaitCursor wait;
    const bool backwards = way == ComputeWay::Backwards, reset = way == ComputeWay::Reset;
    // The component computes the first box of the name: when that is
    // another, the selected box computes itself.
    if (chart_.GetBox(box->Name) == box) {
        chart_.Compute(box->Name, backwards, reset);
    } else {
        box->Compute(nullptr, backwards, reset);
        chart_.Invalidate();
    }
    chart_.SetDrawFlags(true);
    StateChanged();
    return true;
}

bool ChartEditor::ChartKey(unsigned short key, TShiftState shift) {
    if (shift.Contains(ssCtrl) && !shift.Contains(ssAlt) && !shift.Contains(ssShift)) {
        TPoint at;
        switch (key) {
        case 'A':
            SelectAll();
            return true;
        case 'C':
            Copy();
            return true;
        case 'X':
            Cut();
            return true;
        case 'V':
            if (PointerOnChart && PointerOnChart(at))
                Paste(&at);
            else
                Paste();
            return true;
        case 'D':
            Duplicate();
            return true;
        default:
            break;
        }
    }
    // Page Up and Page Down scroll the view.
    if (chart_.ViewKey(key, shift)) return true;
    if (shift.Contains(ssCtrl) || shift.Contains(ssAlt)) return false;
    switch (key) {
    case VK_LEFT:
        MoveSelected(-1, 0);
        return true;
    case VK_RIGHT:
        MoveSelected(1, 0);
        return true;
    case VK_UP:
        MoveSelected(0, -1);
        return true;
    case VK_DOWN:
        MoveSelected(0, 1);
        return true;
    case VK_DELETE:
        DeleteSelected();
        return true;
    case VK_RETURN:
        EnterGroup();
        return true;
    case VK_BACK:
        GoUp();
        return true;
    case VK_TAB:
        // The boxes in reading order.
        chart_.SelectNextBox(shift.Contains(ssShift));
        return true;
    default:
        return false;
    }
}

} // namespace charteditor
