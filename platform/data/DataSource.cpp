#include "platform/data/DataSource.h"

#include <algorithm>

namespace {
// The dataset's events, in the order of TDataSet::LinkEvent.
enum { evActive, evDataSet, evScrolled, evRecord, evEditing };
} // namespace

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    if (dataSet_) dataSet_->RemoveDataSource(this);
    for (TDataLink* link : std::vector<TDataLink*>(links_)) {
        link->source_ = nullptr;
        link->ActiveChanged();
    }
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) dataSet_->RemoveDataSource(this);
    dataSet_ = dataSet;
    if (dataSet_) dataSet_->AddDataSource(this);
    DataEvent(evActive, 0, nullptr);
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    DataEvent(evActive, 0, nullptr);
}

TDataSetState TDataSource::State() const {
    return dataSet_ && enabled_ ? dataSet_->State() : dsInactive;
}

void TDataSource::Edit() {
    if (autoEdit_ && State() == dsBrowse) dataSet_->Edit();
}

void TDataSource::AddLink(TDataLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::DataSetDestroyed() {
    dataSet_ = nullptr;
    DataEvent(evActive, 0, nullptr);
}

void TDataSource::DataEvent(int event, int distance, TField* field) {
    if (!enabled_ && event != evActive) return;
    // A link may leave (or a handler destroy others) while being told.
    for (TDataLink* link : std::vector<TDataLink*>(links_)) {
        if (std::find(links_.begin(), links_.end(), link) == links_.end()) continue;
        switch (event) {
        case evActive:
            link->ActiveChanged();
            break;
        case evDataSet:
            link->DataSetChanged();
            break;
        case evScrolled:
            link->DataSetScrolled(distance);
            break;
        case evRecord:
            link->RecordChanged(field);
            break;
        case evEditing:
            link->EditingChanged();
            break;
        }
    }
    if (event == evEditing || event == evActive) {
        if (OnStateChange) OnStateChange(this);
    }
    if (event == evDataSet || event == evScrolled || event == evRecord ||
        (event == evActive && State() != dsInactive)) {
        if (OnDataChange) OnDataChange(this, event == evRecord ? field : nullptr);
    }
}

TDataLink::~TDataLink() {
    if (source_) source_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == source_) return;
    if (source_) source_->RemoveLink(this);
    source_ = source;
    if (source_) source_->AddLink(this);
    ActiveChanged();
}

bool TDataLink::Active() const {
    return source_ && source_->Enabled() && source_->DataSet() && source_->DataSet()->Active();
}
