#include "platform/db/DataSource.h"

#include <algorithm>

#include "platform/core/Strings.h"
#include "platform/db/DataLink.h"

// ---------------------------------------------------------------- TDataSource

const TClassInfo& TDataSource::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataSource", &TComponent::StaticClass(),
                     [](TComponent* owner) -> TComponent* { return new TDataSource(owner); });
        c.Add(ObjectProperty("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet));
        c.Add(Property("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled));
        c.Add(Property("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit));
        c.Add(EventProperty("OnDataChange", &TDataSource::OnDataChange));
        c.Add(EventProperty("OnStateChange", &TDataSource::OnStateChange));
        c.Add(EventProperty("OnUpdateData", &TDataSource::OnUpdateData));
        return c;
    }();
    return info;
}

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    SetDataSet(nullptr);
    while (!links_.empty()) links_.back()->SetDataSource(nullptr);
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == dataSet_) return;
    if (dataSet_) {
        dataSet_->RemoveDataSource(this);
        RemoveFreeNotification(dataSet_);
    }
    dataSet_ = dataSet;
    if (dataSet_) {
        dataSet_->AddDataSource(this);
        FreeNotification(dataSet_);
    }
    NotifyActiveChanged();
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    NotifyActiveChanged();
}

TDataSetState TDataSource::State() const noexcept {
    return (enabled_ && dataSet_) ? dataSet_->State() : TDataSetState::dsInactive;
}

void TDataSource::Edit() {
    if (autoEdit_ && State() == TDataSetState::dsBrowse) dataSet_->Edit();
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == dataSet_) {
        dataSet_ = nullptr;
        NotifyActiveChanged();
    }
    TComponent::Notification(component, operation);
}

void TDataSource::NotifyActiveChanged() {
    const std::vector<TDataLink*> links = links_;
    for (TDataLink* l : links) l->UpdateState();
    if (State() != lastState_) {
        lastState_ = State();
        if (OnStateChange) OnStateChange(this);
    }
}

void TDataSource::DataEvent(TDataEvent event, TField* field) {
    if (!enabled_) return;
    if (event == TDataEvent::deUpdateState) {
        NotifyActiveChanged();
        return;
    }
    if (event == TDataEvent::deUpdateRecord && OnUpdateData) OnUpdateData(this);
    const std::vector<TDataLink*> links = links_;   // a handler may detach a link
    for (TDataLink* l : links)
        if (std::find(links_.begin(), links_.end(), l) != links_.end()) l->DataEvent(event, field);
    if (OnDataChange && (event == TDataEvent::deFieldChange || event == TDataEvent::deRecordChange ||
                         event == TDataEvent::deDataSetChange || event == TDataEvent::deDataSetScroll ||
                         event == TDataEvent::deLayoutChange))
        OnDataChange(this, event == TDataEvent::deFieldChange ? field : nullptr);
}

void TDataSource::AddLink(TDataLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end()) links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) { links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end()); }

// ---------------------------------------------------------------- TDataLink

TDataLink::~TDataLink() {
    if (dataSource_) dataSource_->RemoveLink(this);
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == dataSource_) return;
    if (dataSource_) dataSource_->RemoveLink(this);
    dataSource_ = source;
    if (dataSource_) dataSource_->AddLink(this);
    UpdateState();
}

void TDataLink::SetReadOnly(bool readOnly) {
    if (readOnly_ == readOnly) return;
    readOnly_ = readOnly;
    UpdateState();
}

void TDataLink::UpdateState() {
    const TDataSetState state = dataSource_ ? dataSource_->State() : TDataSetState::dsInactive;
    const bool active = state != TDataSetState::dsInactive;
    if (active != active_) {
        active_ = active;
        first_ = 0;
        if (active_) UpdateWindow();
        ActiveChanged();
    }
    const bool editing = active && !readOnly_ &&
                         (state == TDataSetState::dsEdit || state == TDataSetState::dsInsert);
    if (editing != editing_) {
        editing_ = editing;
        EditingChanged();
    }
}

bool TDataLink::Edit() {
    if (!readOnly_ && dataSource_) dataSource_->Edit();
    return editing_;
}

void TDataLink::UpdateRecord() {
    if (TDataSet* ds = DataSet()) ds->UpdateRecord();
}

void TDataLink::SetBufferCount(int count) {
    bufferCount_ = std::max(count, 1);
    UpdateWindow();
}

void TDataLink::UpdateWindow() {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return;
    const int count = ds->RecordCount();
    const int current = std::max(ds->CurrentPosition(), 0);
    first_ = std::clamp(first_, 0, std::max(count - bufferCount_, 0));
    if (current < first_) first_ = current;
    if (current >= first_ + bufferCount_) first_ = current - bufferCount_ + 1;
}

int TDataLink::ActiveRecord() const noexcept {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return 0;
    return std::max(ds->CurrentPosition(), 0) - first_;
}

void TDataLink::SetActiveRecord(int row) const {
    TDataSet* ds = DataSet();
    if (!ds) return;
    ds->SetDisplayPosition(row < 0 || row == ActiveRecord() ? -1 : first_ + row);
}

int TDataLink::RecordCount() const noexcept {
    TDataSet* ds = DataSet();
    if (!ds || !ds->Active()) return 0;
    return std::clamp(ds->RecordCount() - first_, 0, bufferCount_);
}

void TDataLink::DataEvent(TDataEvent event, TField* field) {
    if (!active_) return;
    switch (event) {
        case TDataEvent::deFieldChange:
        case TDataEvent::deRecordChange:
            if (!updating_) RecordChanged(field);
            break;
        case TDataEvent::deDataSetChange:
            UpdateWindow();
            DataSetChanged();
            break;
        case TDataEvent::deDataSetScroll: {
            const int before = first_;
            UpdateWindow();
            DataSetScrolled(first_ - before);
            break;
        }
        case TDataEvent::deLayoutChange:
            LayoutChanged();
            break;
        case TDataEvent::deUpdateRecord:
            // The control writes its value; the field change it causes is its own.
            updating_ = true;
            try {
                UpdateData();
            } catch (...) {
                updating_ = false;
                throw;
            }
            updating_ = false;
            break;
        case TDataEvent::deCheckBrowseMode:
            CheckBrowseMode();
            break;
        case TDataEvent::deFocusControl:
            FocusControl(field);
            break;
        case TDataEvent::deUpdateState:
            UpdateState();
            break;
    }
}

// ---------------------------------------------------------------- TFieldDataLink

void TFieldDataLink::SetFieldName(const std::string& name) {
    if (name == fieldName_) return;
    fieldName_ = name;
    UpdateField();
}

void TFieldDataLink::UpdateField() {
    TDataSet* ds = DataSet();
    field_ = (Active() && ds && !fieldName_.empty()) ? ds->FindField(fieldName_) : nullptr;
    modified_ = false;
    if (OnDataChange) OnDataChange(control_);
}

bool TFieldDataLink::CanModify() const { return !ReadOnly() && field_ && field_->CanModify(); }

bool TFieldDataLink::Edit() {
    if (CanModify()) TDataLink::Edit();
    return Editing();
}

void TFieldDataLink::Reset() {
    modified_ = false;
    if (OnDataChange) OnDataChange(control_);
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange) OnActiveChange(control_);
}

void TFieldDataLink::EditingChanged() {
    if (OnEditingChange) OnEditingChange(control_);
}

void TFieldDataLink::FocusControl(TField* field) {
    if (field && field == field_ && OnFocusRequest) OnFocusRequest(control_, field);
}

void TFieldDataLink::LayoutChanged() { UpdateField(); }

void TFieldDataLink::RecordChanged(TField* field) {
    if (field && field != field_) return;
    modified_ = false;
    if (OnDataChange) OnDataChange(control_);
}

void TFieldDataLink::UpdateData() {
    if (!modified_ || !field_) return;
    if (OnUpdateData) OnUpdateData(control_);
    modified_ = false;
}
