#include "platform/gui/DBLookupComboBox.h"

#include "platform/data/Field.h"
#include "platform/gui/ControlWidget.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>

#include <algorithm>

// The list's dataset ---------------------------------------------------------------

class TLookupListLink : public TDataLink {
public:
    explicit TLookupListLink(TDBLookupComboBox* box) : box_(box) {}

protected:
    void ActiveChanged() override { box_->ListChanged(); }
    void DataSetChanged() override { box_->ListChanged(); }
    void RecordChanged(TField*) override { box_->ListChanged(); }

private:
    TDBLookupComboBox* box_;
};

// The widgets ------------------------------------------------------------------------

namespace {

bool IsListKey(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown || key == Qt::Key_Home || key == Qt::Key_End;
}

// The closed box: every key goes through the control, which does the work
// Qt's combo box would otherwise do on its own list.
class LookupBox : public TControlWidget<QComboBox> {
public:
    LookupBox(TDBLookupComboBox* box, QWidget* parent)
        : TControlWidget<QComboBox>(box, parent), box_(box) {}

    void showPopup() override {
        ControlEvents::Guard([this] { box_->DropDown(); });
    }
    void hidePopup() override {
        ControlEvents::Guard([this] {
            if (box_->ListVisible()) box_->CloseUp(false);
        });
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool listOpen = box_->ListVisible();
        QString text;
        const bool pass = ControlEvents::KeyPress(box_, event, text);
        const int key = event->key();
        // Enter and Escape of a closed list belong to the form, Ctrl+Tab and
        // Ctrl+Shift+Tab to the page control around the box.
        const bool pageKey = (key == Qt::Key_Tab || key == Qt::Key_Backtab) &&
                             (event->modifiers() & Qt::ControlModifier);
        if (pass && !listOpen &&
            (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape || pageKey))
            event->ignore();
        else
            event->accept();
    }
    void wheelEvent(QWheelEvent* event) override { event->ignore(); }

private:
    TDBLookupComboBox* box_;
};

} // namespace

class TLookupListPopup : public QListWidget {
public:
    TLookupListPopup(TDBLookupComboBox* box, QWidget* parent) : QListWidget(parent), box_(box) {
        setWindowFlags(Qt::Popup);
        // The box keeps the keyboard; a click in the list does not take it.
        setFocusPolicy(Qt::NoFocus);
        setUniformItemSizes(true);
        connect(this, &QListWidget::currentRowChanged, [this](int row) {
            if (!filling_ && box_) box_->listIndex_ = row;
        });
    }

    void Fill(const std::vector<AnsiString>& texts, int current) {
        filling_ = true;
        clear();
        for (const AnsiString& t : texts)
            addItem(ToQString(t));
        setCurrentRow(current);
        filling_ = false;
    }
    // The box's widget is going: nothing may reach the box any more.
    void Detach() { box_ = nullptr; }
    void Highlight(int row) {
        filling_ = true;
        setCurrentRow(row);
        if (row >= 0) scrollToItem(item(row));
        filling_ = false;
    }

protected:
    bool event(QEvent* event) override {
        // A press outside the list closes it unchanged. The list's frame
        // never hears such a press by itself: the scroll area drops it.
        if (event->type() == QEvent::MouseButtonPress &&
            !rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint())) {
            ControlEvents::Guard([this] {
                if (box_ && box_->ListVisible()) box_->CloseUp(false);
            });
            hide();
            return true;
        }
        return QListWidget::event(event);
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (!box_) return;
        // The box keeps the keyboard, as on the platform: only moving in
        // the list stays here.
        if (IsListKey(event->key()) && !(event->modifiers() & Qt::AltModifier)) {
            QListWidget::keyPressEvent(event);
            return;
        }
        if (QWidget* owner = box_->ExistingWidget()) QApplication::sendEvent(owner, event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const int row = indexAt(event->position().toPoint()).row();
        if (row < 0 || !box_) return;
        ControlEvents::Guard([&] {
            box_->SetListIndex(row);
            box_->CloseUp(true);
        });
    }
    void hideEvent(QHideEvent* event) override {
        QListWidget::hideEvent(event);
        // A click elsewhere closed the list.
        ControlEvents::Guard([this] {
            if (box_ && box_->ListVisible()) box_->CloseUp(false);
        });
    }

private:
    TDBLookupComboBox* box_;
    bool filling_ = false;
};

// State ------------------------------------------------------------------------------

TDBLookupComboBox::TDBLookupComboBox(TComponent* owner)
    : TWinControl(owner), listLink_(std::make_unique<TLookupListLink>(this)) {
    SetColor(clWindow);
    SetBounds(0, 0, 145, 21);
    dataLink_.OnDataChange = [this] { ShowValue(); };
}

TDBLookupComboBox::~TDBLookupComboBox() {
    dataLink_.OnDataChange = nullptr;
    listLink_.reset();
    DestroyWidget();
}

void TDBLookupComboBox::SetDataSource(TDataSource* source) {
    dataLink_.SetDataSource(source);
}

void TDBLookupComboBox::SetDataField(const AnsiString& name) {
    dataLink_.SetFieldName(name);
}

TDataSource* TDBLookupComboBox::ListSource() const {
    return listLink_->DataSource();
}

void TDBLookupComboBox::SetListSource(TDataSource* source) {
    listLink_->SetDataSource(source);
}

void TDBLookupComboBox::SetListField(const AnsiString& name) {
    listField_ = name;
    ListChanged();
}

void TDBLookupComboBox::SetKeyField(const AnsiString& name) {
    keyField_ = name;
    ListChanged();
}

void TDBLookupComboBox::SetDropDownRows(int rows) {
    dropDownRows_ = std::max(1, rows);
}

void TDBLookupComboBox::ListChanged() {
    listLoaded_ = false;
    if (listVisible_ && popup_) popup_->Fill(ListTexts(), listIndex_);
    ShowValue();
}

void TDBLookupComboBox::LoadList() const {
    if (listLoaded_) return;
    texts_.clear();
    keys_.clear();
    listLoaded_ = true;
    TDataSet* ds = listLink_->DataSet();
    if (!listLink_->Active() || listField_.IsEmpty() || keyField_.IsEmpty()) return;
    const TField* shown = ds->FindField(listField_);
    const TField* key = ds->FindField(keyField_);
    if (!shown || !key) return;
    const int count = ds->RecordCount();
    texts_.reserve(static_cast<size_t>(count));
    keys_.reserve(static_cast<size_t>(count));
    for (int row = 0; row < count; ++row) {
        texts_.push_back(ds->DisplayTextAt(row, shown));
        keys_.push_back(ds->ValueAt(row, key));
    }
}

const std::vector<AnsiString>& TDBLookupComboBox::ListTexts() const {
    LoadList();
    return texts_;
}

int TDBLookupComboBox::ListCount() const {
    LoadList();
    return static_cast<int>(texts_.size());
}

AnsiString TDBLookupComboBox::ListText(int index) const {
    LoadList();
    if (index < 0 || index >= static_cast<int>(texts_.size())) return AnsiString();
    return texts_[static_cast<size_t>(index)];
}

Variant TDBLookupComboBox::ListKey(int index) const {
    LoadList();
    if (index < 0 || index >= static_cast<int>(keys_.size())) return Variant();
    return keys_[static_cast<size_t>(index)];
}

int TDBLookupComboBox::IndexOfKey(const Variant& key) const {
    if (key.IsNull()) return -1;
    LoadList();
    for (size_t i = 0; i < keys_.size(); ++i)
        if (keys_[i] == key) return static_cast<int>(i);
    return -1;
}

Variant TDBLookupComboBox::KeyValue() const {
    if (!DataField().IsEmpty() || DataSource()) {
        TField* field = Field();
        return field ? field->AsVariant() : Variant();
    }
    return ownValue_;
}

void TDBLookupComboBox::SetKeyValue(const Variant& value) {
    if (!DataField().IsEmpty() || DataSource()) {
        TField* field = Field();
        if (!field || !dataLink_.Edit()) return;
        field->SetAsVariant(value);
        return;
    }
    ownValue_ = value;
    ShowValue();
}

AnsiString TDBLookupComboBox::Text() const {
    return ListText(IndexOfKey(KeyValue()));
}

bool TDBLookupComboBox::CanModify() const {
    if (readOnly_) return false;
    if (!DataField().IsEmpty() || DataSource()) return dataLink_.CanModify();
    return true;
}

bool TDBLookupComboBox::SelectKeyValue(const Variant& key) {
    if (!CanModify()) return false;
    if (!DataField().IsEmpty() || DataSource()) {
        if (!dataLink_.Edit()) return false;
        Field()->SetAsVariant(key);
    } else {
        ownValue_ = key;
        ShowValue();
    }
    Click();
    return true;
}

void TDBLookupComboBox::ShowValue() {
    auto* combo = qobject_cast<QComboBox*>(ExistingWidget());
    if (!combo) return;
    const AnsiString text = Text();
    const QSignalBlocker block(combo);
    if (combo->count() == 0) combo->addItem(QString());
    combo->setItemText(0, ToQString(text));
    combo->setCurrentIndex(text.IsEmpty() ? -1 : 0);
}

void TDBLookupComboBox::SetListIndex(int index) {
    const int count = ListCount();
    listIndex_ = count == 0 ? -1 : std::clamp(index, -1, count - 1);
    if (listVisible_ && popup_) popup_->Highlight(listIndex_);
}

void TDBLookupComboBox::DropDown() {
    if (listVisible_) return;
    if (OnDropDown) OnDropDown(this);
    listVisible_ = true;
    searchText_ = AnsiString();
    listIndex_ = IndexOfKey(KeyValue());
    ShowPopup();
}

void TDBLookupComboBox::CloseUp(bool accept) {
    if (!listVisible_) return;
    listVisible_ = false;
    searchText_ = AnsiString();
    HidePopup();
    if (accept && listIndex_ >= 0) {
        const Variant key = ListKey(listIndex_);
        if (!(key == KeyValue())) SelectKeyValue(key);
    }
    if (OnCloseUp) OnCloseUp(this);
}

void TDBLookupComboBox::ShowPopup() {
    QWidget* box = ExistingWidget();
    if (!box) return;
    if (!popup_) popup_ = new TLookupListPopup(this, box);
    popup_->Fill(ListTexts(), listIndex_);
    const int rows = std::clamp(ListCount(), 1, dropDownRows_);
    const int rowHeight = std::max(popup_->sizeHintForRow(0), box->fontMetrics().height());
    const int frame = 2 * popup_->frameWidth();
    popup_->resize(box->width(), rows * rowHeight + frame);
    QPoint at = box->mapToGlobal(QPoint(0, box->height()));
    // Above the box when there is no room below it.
    if (QScreen* screen = box->screen()) {
        const QRect avail = screen->availableGeometry();
        if (at.y() + popup_->height() > avail.bottom())
            at.setY(box->mapToGlobal(QPoint(0, 0)).y() - popup_->height());
    }
    popup_->move(at);
    popup_->show();
    if (listIndex_ >= 0) popup_->scrollToItem(popup_->item(listIndex_));
}

void TDBLookupComboBox::HidePopup() {
    if (popup_ && popup_->isVisible()) popup_->hide();
}

QWidget* TDBLookupComboBox::CreateWidget(QWidget* parent) {
    return new LookupBox(this, parent);
}

void TDBLookupComboBox::InitWidget(QWidget* widget) {
    TWinControl::InitWidget(widget);
    ShowValue();
    if (listVisible_) ShowPopup();
}

void TDBLookupComboBox::DestroyWidget() {
    // The popup is a child of the box's widget and goes with it.
    if (popup_) popup_->Detach();
    popup_ = nullptr;
    // A list cannot stay open on a box that is gone.
    if (ExistingWidget()) listVisible_ = false;
    TWinControl::DestroyWidget();
}

void TDBLookupComboBox::KeyDown(unsigned short& key, TShiftState shift) {
    TWinControl::KeyDown(key, shift);
    if (key == 0) return;
    const bool alt = shift.Contains(ssAlt);
    if (key == VK_F1 + 3 || (alt && (key == VK_DOWN || key == VK_UP))) {
        if (listVisible_)
            CloseUp(true);
        else
            DropDown();
        key = 0;
        return;
    }
    const int count = ListCount();
    if (listVisible_) {
        int row = listIndex_;
        switch (key) {
        case VK_UP:
            row = row <= 0 ? 0 : row - 1;
            break;
        case VK_DOWN:
            row = row + 1;
            break;
        case VK_PRIOR:
            row = std::max(0, row - dropDownRows_);
            break;
        case VK_NEXT:
            row = row + dropDownRows_;
            break;
        case VK_HOME:
            row = 0;
            break;
        case VK_END:
            row = count - 1;
            break;
        default:
            return;
        }
        SetListIndex(std::min(row, count - 1));
        key = 0;
        return;
    }
    if (key == VK_UP || key == VK_DOWN) {
        const int current = IndexOfKey(KeyValue());
        int row = key == VK_DOWN ? current + 1 : current - 1;
        if (current < 0) row = 0;
        if (row >= 0 && row < count && row != current) SelectKeyValue(ListKey(row));
        key = 0;
    }
}

void TDBLookupComboBox::KeyPress(char& key) {
    TWinControl::KeyPress(key);
    if (key == 0) return;
    if (listVisible_ && (key == 13 || key == 27)) {
        CloseUp(key == 13);
        key = 0;
        return;
    }
    if (key == 8 || key == 27) {
        searchText_ = AnsiString();
        return;
    }
    if (static_cast<unsigned char>(key) < 32 || !CanModify()) return;
    // Incremental search: the first name that starts with what was typed.
    const AnsiString wanted = (searchText_ + AnsiString(key)).UpperCase();
    const int count = ListCount();
    for (int row = 0; row < count; ++row) {
        const AnsiString text = ListText(row);
        if (text.Length() < wanted.Length() ||
            !(text.SubString(1, wanted.Length()).UpperCase() == wanted))
            continue;
        searchText_ += AnsiString(key);
        if (listVisible_)
            SetListIndex(row);
        else if (!(ListKey(row) == KeyValue()))
            SelectKeyValue(ListKey(row));
        return;
    }
}

void TDBLookupComboBox::DoExit() {
    searchText_ = AnsiString();
    if (listVisible_) CloseUp(false);
    TWinControl::DoExit();
}
