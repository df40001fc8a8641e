#include "platform/data/DataSet.h"

#include "platform/data/DataSource.h"

#include <algorithm>

namespace {

std::vector<AnsiString> SplitNames(const AnsiString& names) {
    std::vector<AnsiString> out;
    std::string current;
    for (char c : names.str()) {
        if (c == ';' || c == ',') {
            out.emplace_back(AnsiString(current).Trim());
            current.clear();
        } else {
            current += c;
        }
    }
    out.emplace_back(AnsiString(current).Trim());
    out.erase(
        std::remove_if(out.begin(), out.end(), [](const AnsiString& s) { return s.IsEmpty(); }),
        out.end());
    return out;
}

bool IsText(const TField* f) {
    return f->DataType() == ftString || f->DataType() == ftMemo;
}

} // namespace

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    // A concrete dataset closes itself in its own destructor, while its hooks
    // still exist; what is left here is only memory.
    for (TDataSource* source : std::vector<TDataSource*>(sources_))
        source->DataSetDestroyed();
    for (TField* f : dynamic_) {
        f->dataSet_ = nullptr;
        delete f;
    }
    DropSpareFields();
    for (TField* f : persistent_) {
        f->dataSet_ = nullptr;
        if (!f->Owner()) delete f;
    }
}

AnsiString TDataSet::DisplayName() const {
    return Name().IsEmpty() ? AnsiString(ClassName()) : Name();
}

void TDataSet::DatabaseError(const AnsiString& message) const {
    throw EDatabaseError(message);
}

void TDataSet::CheckActive() const {
    if (!Active())
        DatabaseError("Operazione non permessa su un dataset chiuso (" + DisplayName() + ")");
}

void TDataSet::CheckInactive() const {
    if (Active())
        DatabaseError("Operazione non permessa su un dataset aperto (" + DisplayName() + ")");
}

// --- opening and closing ---------------------------------------------------------

void TDataSet::Open() {
    if (Active()) return;
    if (IsLoading()) {
        openWhenLoaded_ = true;
        return;
    }
    try {
        DoOpen();
    } catch (const EDatabaseError&) {
        if (!RetryOpen()) throw;
        DoOpen();
    }
}

void TDataSet::DoOpen() {
    try {
        ParseFilter();
        BindFields(InternalDescribe());
        rows_.clear();
        more_ = false;
        dropped_ = 0;
        InternalFetch(rows_);
    } catch (...) {
        rows_.clear();
        more_ = false;
        try {
            InternalClose();
        } catch (...) {
        }
        ClearDynamicFields();
        throw;
    }
    state_ = dsBrowse;
    cur_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    modified_ = false;
    Notify(LinkEvent::ActiveChanged);
    if (AfterOpen) AfterOpen(this);
}

void TDataSet::Close() {
    openWhenLoaded_ = false;
    if (!Active()) return;
    if (state_ == dsEdit || state_ == dsInsert) Cancel();
    if (BeforeClose) BeforeClose(this);
    more_ = false;
    InternalClose();
    rows_.clear();
    dropped_ = 0;
    ClearDynamicFields();
    state_ = dsInactive;
    cur_ = -1;
    bof_ = eof_ = true;
    Notify(LinkEvent::ActiveChanged);
}

void TDataSet::SetActive(bool active) {
    if (active)
        Open();
    else
        Close();
}

void TDataSet::Loaded() {
    if (openWhenLoaded_) {
        openWhenLoaded_ = false;
        DoOpen();
    }
}

namespace {

bool SameDef(const TFieldDef& a, const TFieldDef& b) {
    return a.DataType == b.DataType && a.Size == b.Size && a.Precision == b.Precision &&
           a.Scale == b.Scale && a.Required == b.Required && a.Name == b.Name;
}

} // namespace

void TDataSet::BindFields(const std::vector<TFieldDef>& defs) {
    ClearDynamicFields();
    if (!spare_.empty()) {
        const bool same = persistent_.empty() && spareDefs_.size() == defs.size() &&
                          std::equal(defs.begin(), defs.end(), spareDefs_.begin(), SameDef);
        if (same) {
            dynamic_.swap(spare_);
            fields_.fields_ = dynamic_;
            for (std::size_t i = 0; i < dynamic_.size(); ++i)
                dynamic_[i]->position_ = static_cast<int>(i);
            return;
        }
        DropSpareFields();
    }
    if (persistent_.empty()) {
        if (reuseFields_) spareDefs_ = defs;
        for (std::size_t i = 0; i < defs.size(); ++i) {
            TField* f = CreateField(defs[i].DataType, nullptr);
            f->SetFieldName(defs[i].Name);
            f->ApplyDef(defs[i]);
            if (auto* bcd = dynamic_cast<TBCDField*>(f); bcd && defs[i].DataType == ftBCD) {
                bcd->SetPrecision(defs[i].Precision);
                bcd->SetScale(defs[i].Scale);
            }
            f->dataSet_ = this;
            f->column_ = static_cast<int>(i);
            dynamic_.push_back(f);
        }
        fields_.fields_ = dynamic_;
    } else {
        for (TField* f : persistent_) {
            auto it = std::find_if(defs.begin(), defs.end(), [f](const TFieldDef& d) {
                return d.Name.EqualsIC(f->FieldName());
            });
            if (it == defs.end())
                DatabaseError("Campo '" + f->FieldName() + "' non trovato in " + DisplayName());
            f->ApplyDef(*it);
            if (auto* bcd = dynamic_cast<TBCDField*>(f); bcd && it->DataType == ftBCD) {
                bcd->SetPrecision(it->Precision);
                bcd->SetScale(it->Scale);
            }
            f->column_ = static_cast<int>(it - defs.begin());
        }
        fields_.fields_ = persistent_;
    }
    for (std::size_t i = 0; i < fields_.fields_.size(); ++i)
        fields_.fields_[i]->position_ = static_cast<int>(i);
}

void TDataSet::ClearDynamicFields() {
    if (dynamic_.empty()) return;
    std::vector<TField*> old;
    old.swap(dynamic_);
    fields_.fields_ = persistent_;
    if (reuseFields_ && spare_.empty()) {
        // Kept bound to this dataset, but at no position: they read as null.
        for (TField* f : old)
            f->position_ = -1;
        spare_.swap(old);
        return;
    }
    for (TField* f : old) {
        f->dataSet_ = nullptr;
        delete f;
    }
}

void TDataSet::SetReuseFields(bool reuse) {
    reuseFields_ = reuse;
    if (!reuse) DropSpareFields();
}

void TDataSet::DropSpareFields() {
    std::vector<TField*> old;
    old.swap(spare_);
    spareDefs_.clear();
    for (TField* f : old) {
        f->dataSet_ = nullptr;
        delete f;
    }
}

TField* TDataSet::AddField(TField* field) {
    if (!field) return nullptr;
    if (field->dataSet_ == this) return field;
    CheckInactive();
    if (field->dataSet_) field->dataSet_->RemoveField(field);
    persistent_.push_back(field);
    field->dataSet_ = this;
    fields_.fields_ = persistent_;
    for (std::size_t i = 0; i < persistent_.size(); ++i)
        persistent_[i]->position_ = static_cast<int>(i);
    return field;
}

TField* TDataSet::AddPersistentField(const AnsiString& fieldName, TFieldType type,
                                     const AnsiString& displayLabel, bool visible, int displayWidth,
                                     bool readOnly) {
    CheckInactive();
    TField* f = CreateField(type, nullptr);
    f->SetFieldName(fieldName);
    f->SetDisplayLabel(displayLabel);
    f->SetVisible(visible);
    f->SetDisplayWidth(displayWidth);
    f->SetReadOnly(readOnly);
    return AddField(f);
}

void TDataSet::RemoveField(TField* field) {
    // The record layout changes with the field list: a field leaving an open
    // dataset (its owner being destroyed) closes it.
    if (Active()) {
        try {
            Close();
        } catch (...) {
        }
    }
    persistent_.erase(std::remove(persistent_.begin(), persistent_.end(), field),
                      persistent_.end());
    dynamic_.erase(std::remove(dynamic_.begin(), dynamic_.end(), field), dynamic_.end());
    if (std::find(spare_.begin(), spare_.end(), field) != spare_.end()) {
        // The others no longer match the columns as a set.
        spare_.erase(std::remove(spare_.begin(), spare_.end(), field), spare_.end());
        field->dataSet_ = nullptr;
        DropSpareFields();
    }
    fields_.fields_.erase(std::remove(fields_.fields_.begin(), fields_.fields_.end(), field),
                          fields_.fields_.end());
    for (std::size_t i = 0; i < fields_.fields_.size(); ++i)
        fields_.fields_[i]->position_ = static_cast<int>(i);
    field->dataSet_ = nullptr;
    field->position_ = -1;
}

TField* TDataSet::FieldByName(const AnsiString& name) const {
    TField* f = FindField(name);
    if (!f) DatabaseError("Campo '" + name + "' non trovato in " + DisplayName());
    return f;
}

// --- values ----------------------------------------------------------------------

const Variant& TDataSet::FieldValue(const TField* field) const {
    static const Variant null;
    if (!Active() || !HasCurrent() || field->dataSet_ != this || field->position_ < 0)
        return null;
    return rows_[static_cast<std::size_t>(cur_)].Values[static_cast<std::size_t>(field->position_)];
}

void TDataSet::SetFieldValue(TField* field, const Variant& value) {
    if (state_ != dsEdit && state_ != dsInsert)
        DatabaseError("Il dataset " + DisplayName() + " non \xE8 in modifica o inserimento");
    if (field->ReadOnly())
        DatabaseError("Il campo '" + field->FieldName() + "' di " + DisplayName() +
                      " non pu\xF2 essere modificato");
    if (field->dataSet_ != this || !HasCurrent()) return;
    const auto pos = static_cast<std::size_t>(field->position_);
    rows_[static_cast<std::size_t>(cur_)].Values[pos] = value;
    if (changed_.size() < fields_.fields_.size()) changed_.resize(fields_.fields_.size(), false);
    changed_[pos] = true;
    modified_ = true;
    Notify(LinkEvent::RecordChanged, 0, field);
}

Variant TDataSet::ValueAt(int row, const TField* field) const {
    row -= dropped_;
    FetchUpTo(row);
    if (!field || field->dataSet_ != this || row < 0 || row >= static_cast<int>(rows_.size()) ||
        field->position_ < 0)
        return Variant();
    return rows_[static_cast<std::size_t>(row)].Values[static_cast<std::size_t>(field->position_)];
}

AnsiString TDataSet::DisplayTextAt(int row, const TField* field) const {
    if (!field) return AnsiString();
    return field->DisplayTextOf(ValueAt(row, field));
}

// --- navigation ------------------------------------------------------------------

void TDataSet::CheckBrowseForMove() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) Post();
}

void TDataSet::MoveTo(int row) {
    const int n = static_cast<int>(rows_.size());
    if (n == 0) {
        cur_ = -1;
        return;
    }
    row = std::clamp(row, 0, n - 1);
    const int distance = row - cur_;
    cur_ = row;
    if (distance != 0) {
        Notify(LinkEvent::Scrolled, distance);
        if (AfterScroll) AfterScroll(this);
    }
}

void TDataSet::First() {
    CheckBrowseForMove();
    CheckFromFirstRow();
    MoveTo(0);
    bof_ = true;
    eof_ = rows_.empty();
}

void TDataSet::Last() {
    CheckBrowseForMove();
    FetchAll();
    MoveTo(static_cast<int>(rows_.size()) - 1);
    DropPassedRows();
    eof_ = true;
    bof_ = rows_.empty();
}

void TDataSet::Next() {
    CheckBrowseForMove();
    FetchUpTo(cur_ + 1);
    if (cur_ + 1 < static_cast<int>(rows_.size())) {
        MoveTo(cur_ + 1);
        DropPassedRows();
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void TDataSet::Prior() {
    CheckBrowseForMove();
    if (cur_ > 0) {
        MoveTo(cur_ - 1);
        bof_ = eof_ = false;
    } else {
        if (HasCurrent()) CheckFromFirstRow();
        bof_ = true;
    }
}

int TDataSet::MoveBy(int distance) {
    CheckBrowseForMove();
    if (distance > 0) FetchUpTo(cur_ + distance);
    if (rows_.empty() || distance == 0) return 0;
    const int n = static_cast<int>(rows_.size());
    if (cur_ + distance < 0) CheckFromFirstRow();
    const int target = std::clamp(cur_ + distance, 0, n - 1);
    const int moved = target - cur_;
    MoveTo(target);
    DropPassedRows();
    bof_ = eof_ = false;
    if (moved != distance) (distance > 0 ? eof_ : bof_) = true;
    return moved;
}

int TDataSet::RecNo() const {
    return Active() && HasCurrent() ? dropped_ + cur_ + 1 : 0;
}

void TDataSet::SetRecNo(int recNo) {
    CheckBrowseForMove();
    const int row = recNo - 1 - dropped_;
    if (row < 0) CheckFromFirstRow();
    FetchUpTo(row);
    MoveTo(row);
    DropPassedRows();
    bof_ = eof_ = false;
}

int TDataSet::RecordCount() const {
    if (Active()) FetchAll();
    return Active() ? dropped_ + static_cast<int>(rows_.size()) : 0;
}

void TDataSet::DropPassedRows() {
    // In batches, so that the rows kept move once per batch.
    if (keptBehind_ < 0 || cur_ <= 2 * keptBehind_) return;
    const int gone = cur_ - keptBehind_;
    rows_.erase(rows_.begin(), rows_.begin() + gone);
    dropped_ += gone;
    cur_ -= gone;
}

void TDataSet::CheckFromFirstRow() const {
    if (dropped_ > 0)
        DatabaseError(DisplayName() + " legge solo in avanti e ha gi\xE0 lasciato le prime " +
                      IntToStr(dropped_) + " righe: non pu\xF2 tornare indietro");
}

// --- editing ---------------------------------------------------------------------

bool TDataSet::CanModify() const {
    return false;
}

void TDataSet::RunWithErrorEvent(const TDataSetErrorEvent& handler,
                                 const std::function<void()>& action) {
    for (;;) {
        try {
            action();
            return;
        } catch (EDatabaseError& error) {
            if (!handler) throw;
            TDataAction choice = daFail;
            handler(this, &error, choice);
            if (choice == daFail) throw;
            if (choice == daAbort) throw EAbort(error.Message());
        }
    }
}

void TDataSet::SetState(TDataSetState state) {
    if (state_ == state) return;
    state_ = state;
    Notify(LinkEvent::EditingChanged);
}

void TDataSet::Edit() {
    CheckActive();
    if (state_ == dsEdit || state_ == dsInsert) return;
    if (!CanModify())
        DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
    if (rows_.empty()) {
        Insert();
        return;
    }
    RunWithErrorEvent(OnEditError, [this] { InternalEdit(rows_[static_cast<std::size_t>(cur_)]); });
    saved_ = rows_[static_cast<std::size_t>(cur_)];
    changed_.assign(fields_.fields_.size(), false);
    modified_ = false;
    SetState(dsEdit);
    Notify(LinkEvent::RecordChanged);
}

void TDataSet::Insert() {
    CheckBrowseForMove();
    FetchAll();
    if (!CanModify())
        DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
    const int pos = HasCurrent() ? cur_ : 0;
    TRecordBuffer record;
    record.Values.resize(fields_.fields_.size());
    InternalInitRecord(record);
    rows_.insert(rows_.begin() + pos, std::move(record));
    cur_ = pos;
    bof_ = eof_ = false;
    changed_.assign(fields_.fields_.size(), false);
    modified_ = false;
    SetState(dsInsert);
    if (OnNewRecord) OnNewRecord(this);
    Notify(LinkEvent::DataSetChanged);
}

void TDataSet::Append() {
    CheckBrowseForMove();
    FetchAll();
    if (!CanModify())
        DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
    TRecordBuffer record;
    record.Values.resize(fields_.fields_.size());
    InternalInitRecord(record);
    rows_.push_back(std::move(record));
    cur_ = static_cast<int>(rows_.size()) - 1;
    bof_ = eof_ = false;
    changed_.assign(fields_.fields_.size(), false);
    modified_ = false;
    SetState(dsInsert);
    if (OnNewRecord) OnNewRecord(this);
    Notify(LinkEvent::DataSetChanged);
}

void TDataSet::Post() {
    CheckActive();
    if (state_ != dsEdit && state_ != dsInsert) return;
    if (BeforePost) BeforePost(this);
    const bool inserting = state_ == dsInsert;
    TRecordBuffer& record = rows_[static_cast<std::size_t>(cur_)];
    for (TField* f : fields_.fields_) {
        if (f->Required() && f->DataType() != ftAutoInc &&
            record.Values[static_cast<std::size_t>(f->position_)].IsNull())
            DatabaseError("Il campo '" + f->FieldName() + "' di " + DisplayName() +
                          " deve avere un valore");
    }
    changed_.resize(fields_.fields_.size(), false);
    RunWithErrorEvent(OnPostError, [&] {
        InternalPost(rows_[static_cast<std::size_t>(cur_)], inserting, changed_);
    });
    modified_ = false;
    SetState(dsBrowse);
    Notify(LinkEvent::DataSetChanged);
    if (AfterPost) AfterPost(this);
}

void TDataSet::Cancel() {
    if (state_ != dsEdit && state_ != dsInsert) return;
    TRecordBuffer& record = rows_[static_cast<std::size_t>(cur_)];
    if (state_ == dsEdit) {
        record = saved_;
        InternalCancel(record);
    } else {
        InternalCancel(record);
        rows_.erase(rows_.begin() + cur_);
        if (cur_ >= static_cast<int>(rows_.size())) cur_ = static_cast<int>(rows_.size()) - 1;
        bof_ = eof_ = rows_.empty();
    }
    modified_ = false;
    SetState(dsBrowse);
    Notify(LinkEvent::DataSetChanged);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == dsInsert) {
        Cancel();
        return;
    }
    if (state_ == dsEdit) Cancel();
    FetchAll();
    if (rows_.empty()) DatabaseError("Nessun record da cancellare in " + DisplayName());
    if (!CanModify())
        DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
    RunWithErrorEvent(OnDeleteError,
                      [this] { InternalDelete(rows_[static_cast<std::size_t>(cur_)]); });
    rows_.erase(rows_.begin() + cur_);
    if (cur_ >= static_cast<int>(rows_.size())) {
        cur_ = static_cast<int>(rows_.size()) - 1;
        eof_ = true;
    }
    bof_ = rows_.empty();
    if (rows_.empty()) eof_ = true;
    Notify(LinkEvent::DataSetChanged);
}

void TDataSet::InternalEdit(TRecordBuffer&) {}
void TDataSet::InternalPost(TRecordBuffer&, bool, const std::vector<bool>&) {
    DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
}
void TDataSet::InternalCancel(TRecordBuffer&) {}
void TDataSet::InternalInitRecord(TRecordBuffer&) {}
void TDataSet::InternalDelete(const TRecordBuffer&) {
    DatabaseError("Impossibile modificare " + DisplayName() + ": archivio di sola lettura");
}

void TDataSet::Refresh() {
    CheckBrowseForMove();
    Requery(true);
}

void TDataSet::Requery(bool keepPosition) {
    if (!Active()) return;
    if (state_ == dsEdit || state_ == dsInsert) Cancel();
    const bool had = HasCurrent();
    const std::int64_t key = had ? rows_[static_cast<std::size_t>(cur_)].Key : 0;
    const int oldRow = dropped_ + cur_;
    rows_.clear();
    more_ = false;
    dropped_ = 0;
    cur_ = -1;
    try {
        InternalFetch(rows_);
    } catch (...) {
        rows_.clear();
        more_ = false;
        bof_ = eof_ = true;
        Notify(LinkEvent::DataSetChanged);
        throw;
    }
    int row = rows_.empty() ? -1 : 0;
    if (keepPosition && had) {
        const int found = FindRowByKey(key);
        row = found >= 0 ? found : std::min(oldRow, static_cast<int>(rows_.size()) - 1);
    }
    cur_ = row;
    bof_ = row <= 0;
    eof_ = rows_.empty();
    Notify(LinkEvent::DataSetChanged);
}

// --- filter ----------------------------------------------------------------------

void TDataSet::SetFilter(const AnsiString& filter) {
    if (filter == filter_) return;
    filter_ = filter;
    if (Active() && filtered_) {
        CheckBrowseForMove();
        ParseFilter();
        Requery(false);
    }
}

void TDataSet::SetFiltered(bool filtered) {
    if (filtered == filtered_) return;
    filtered_ = filtered;
    if (Active()) {
        CheckBrowseForMove();
        ParseFilter();
        Requery(false);
    }
}

// --- locate and bookmarks --------------------------------------------------------

int TDataSet::FindMatch(const AnsiString& keyFields, const Variant& keyValues,
                        TLocateOptions options) const {
    CheckActive();
    CheckFromFirstRow();
    const std::vector<AnsiString> names = SplitNames(keyFields);
    if (names.empty()) DatabaseError("Nessun campo chiave indicato per " + DisplayName());
    std::vector<TField*> keys;
    for (const AnsiString& n : names)
        keys.push_back(FieldByName(n));
    std::vector<Variant> wanted;
    if (keys.size() == 1) {
        wanted.push_back(keyValues.IsArray() && keyValues.ArrayCount() == 1 ? keyValues.ArrayItem(0)
                                                                            : keyValues);
    } else {
        if (!keyValues.IsArray() || keyValues.ArrayCount() != static_cast<int>(keys.size()))
            DatabaseError("Il numero dei valori non corrisponde ai campi chiave '" + keyFields +
                          "' di " + DisplayName());
        for (int i = 0; i < keyValues.ArrayCount(); ++i)
            wanted.push_back(keyValues.ArrayItem(i));
    }
    // Convert the wanted values once; text keys compare as text.
    std::vector<Variant> converted(keys.size());
    std::vector<AnsiString> texts(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (wanted[k].IsNull()) continue;
        if (IsText(keys[k])) {
            texts[k] = wanted[k].ToString();
            if (options & loCaseInsensitive) texts[k] = texts[k].UpperCase();
        } else {
            converted[k] = keys[k]->Coerce(wanted[k]);
        }
    }
    const bool partial = options & loPartialKey;
    for (std::size_t r = 0; r < rows_.size() || (more_ && FetchNext()); ++r) {
        bool match = true;
        for (std::size_t k = 0; k < keys.size() && match; ++k) {
            const Variant& v = rows_[r].Values[static_cast<std::size_t>(keys[k]->position_)];
            if (wanted[k].IsNull()) {
                match = v.IsNull();
            } else if (v.IsNull()) {
                match = false;
            } else if (IsText(keys[k])) {
                AnsiString have = v.ToString();
                if (options & loCaseInsensitive) have = have.UpperCase();
                match = partial
                            ? have.str().compare(0, texts[k].str().size(), texts[k].str()) == 0 &&
                                  have.Length() >= texts[k].Length()
                            : have == texts[k];
            } else {
                match = v == converted[k];
            }
        }
        if (match) return static_cast<int>(r);
    }
    return -1;
}

bool TDataSet::Locate(const AnsiString& keyFields, const Variant& keyValues,
                      TLocateOptions options) {
    const int row = FindMatch(keyFields, keyValues, options);
    if (row < 0) return false;
    CheckBrowseForMove();
    MoveTo(row);
    bof_ = eof_ = false;
    return true;
}

Variant TDataSet::Lookup(const AnsiString& keyFields, const Variant& keyValues,
                         const AnsiString& resultFields) {
    // Reads the matching row in place: the current record does not move.
    const int row = FindMatch(keyFields, keyValues, 0);
    if (row < 0) return Variant();
    const std::vector<AnsiString> names = SplitNames(resultFields);
    if (names.size() == 1) return ValueAt(row, FieldByName(names[0]));
    std::vector<Variant> items;
    for (const AnsiString& n : names)
        items.push_back(ValueAt(row, FieldByName(n)));
    return Variant(std::move(items));
}

int TDataSet::FindRowByKey(std::int64_t key) const {
    for (std::size_t i = 0; i < rows_.size() || (more_ && FetchNext()); ++i)
        if (rows_[i].Key == key) return static_cast<int>(i);
    return -1;
}

bool TDataSet::InternalFetchMore(std::vector<TRecordBuffer>&) {
    return false;
}

bool TDataSet::FetchNext() const {
    if (!more_) return false;
    // Reading on changes only what is known of the rows, not the dataset's
    // state: the const readers (counting, searching, grids) may do it.
    auto* self = const_cast<TDataSet*>(this);
    const std::size_t before = rows_.size();
    try {
        self->more_ = self->InternalFetchMore(self->rows_);
    } catch (...) {
        self->more_ = false;
        throw;
    }
    return rows_.size() > before;
}

void TDataSet::FetchUpTo(int row) const {
    while (row >= static_cast<int>(rows_.size()) && FetchNext()) {
    }
}

void TDataSet::FetchAll() const {
    while (FetchNext()) {
    }
}

TBookmark TDataSet::GetBookmark() const {
    TBookmark b;
    if (Active() && HasCurrent() && state_ != dsInsert) {
        b.valid_ = true;
        b.key_ = rows_[static_cast<std::size_t>(cur_)].Key;
    }
    return b;
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
    return bookmark.valid_ && Active() && FindRowByKey(bookmark.key_) >= 0;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    CheckActive();
    const int row = bookmark.valid_ ? FindRowByKey(bookmark.key_) : -1;
    if (row < 0) DatabaseError("Segnalibro non valido: record non trovato in " + DisplayName());
    CheckBrowseForMove();
    MoveTo(row);
    bof_ = eof_ = false;
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ == 0) {
        pendingChange_ = false;
        Notify(LinkEvent::DataSetChanged);
    }
}

// --- links -----------------------------------------------------------------------

void TDataSet::Notify(LinkEvent event, int distance, TField* field) {
    if (disableCount_ > 0) {
        pendingChange_ = true;
        return;
    }
    for (TDataSource* source : std::vector<TDataSource*>(sources_))
        if (std::find(sources_.begin(), sources_.end(), source) != sources_.end())
            source->DataEvent(static_cast<int>(event), distance, field);
}

void TDataSet::AddDataSource(TDataSource* source) {
    if (std::find(sources_.begin(), sources_.end(), source) == sources_.end())
        sources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
    sources_.erase(std::remove(sources_.begin(), sources_.end(), source), sources_.end());
}
