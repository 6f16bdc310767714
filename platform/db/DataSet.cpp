#include "platform/db/DataSet.h"

#include <algorithm>

#include "platform/core/Strings.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"

namespace {

bool IsEditing(TDataSetState s) { return s == TDataSetState::dsEdit || s == TDataSetState::dsInsert; }

bool IsCalculated(const TField* f) {
    return f->FieldKind() == TFieldKind::fkCalculated || f->FieldKind() == TFieldKind::fkLookup;
}

bool HasSlot(const TField* f) {
    return f->FieldKind() == TFieldKind::fkData || f->FieldKind() == TFieldKind::fkInternalCalc;
}

}  // namespace

const TTypeInfo& DataSetStateType() {
    static const TTypeInfo info("TDataSetState", TTypeKind::tkEnumeration,
                                {"dsInactive", "dsBrowse", "dsEdit", "dsInsert", "dsCalcFields", "dsInternalCalc"});
    return info;
}

const TClassInfo& TDataSet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TDataSet", &TComponent::StaticClass());
        c.Add(Property("Active", &TDataSet::Active, &TDataSet::SetActive));
        c.Add(Property("ReadOnly", &TDataSet::ReadOnly, &TDataSet::SetReadOnly));
        c.Add(TypedProperty("State", DataSetStateType(), &TDataSet::State));
        c.Add(ObjectProperty("ControlType", &TDataSet::ControlType));
        c.Add(EventProperty("BeforeOpen", &TDataSet::BeforeOpen));
        c.Add(EventProperty("AfterOpen", &TDataSet::AfterOpen));
        c.Add(EventProperty("BeforeClose", &TDataSet::BeforeClose));
        c.Add(EventProperty("AfterClose", &TDataSet::AfterClose));
        c.Add(EventProperty("BeforeInsert", &TDataSet::BeforeInsert));
        c.Add(EventProperty("AfterInsert", &TDataSet::AfterInsert));
        c.Add(EventProperty("BeforeEdit", &TDataSet::BeforeEdit));
        c.Add(EventProperty("AfterEdit", &TDataSet::AfterEdit));
        c.Add(EventProperty("BeforePost", &TDataSet::BeforePost));
        c.Add(EventProperty("AfterPost", &TDataSet::AfterPost));
        c.Add(EventProperty("BeforeCancel", &TDataSet::BeforeCancel));
        c.Add(EventProperty("AfterCancel", &TDataSet::AfterCancel));
        c.Add(EventProperty("BeforeDelete", &TDataSet::BeforeDelete));
        c.Add(EventProperty("AfterDelete", &TDataSet::AfterDelete));
        c.Add(EventProperty("BeforeScroll", &TDataSet::BeforeScroll));
        c.Add(EventProperty("AfterScroll", &TDataSet::AfterScroll));
        c.Add(EventProperty("OnNewRecord", &TDataSet::OnNewRecord));
        c.Add(EventProperty("OnCalcFields", &TDataSet::OnCalcFields));
        return c;
    }();
    return info;
}

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    // No events while going: the handlers' owners may already be gone.
    if (Active()) {
        state_ = TDataSetState::dsInactive;
        // Derived classes close their storage in their own destructors.
    }
    while (!dataSources_.empty()) dataSources_.back()->SetDataSet(nullptr);
    while (!fields_.empty()) delete fields_.back();   // a field leaves the list as it goes
}

// ---------------------------------------------------------------- opening

void TDataSet::SetActive(bool active) {
    if (active == Active()) return;
    if (active) {
        Fire(BeforeOpen);
        try {
            InternalOpen();
            BindFields();
            InternalLoadRecords();
        } catch (...) {
            InternalClose();
            UnbindFields();
            throw;
        }
        cursor_ = 0;
        bof_ = true;
        eof_ = InternalRecordCount() == 0;
        modified_ = false;
        ClearCalcCache();
        SetState(TDataSetState::dsBrowse);
        CurrentRecordChanged();
        DataEvent(TDataEvent::deDataSetChange);
        Fire(AfterOpen);
        if (!IsEmpty()) Fire(AfterScroll);
        return;
    }
    // Closing discards an unposted edit, as it always has.
    Fire(BeforeClose);
    editBuffer_.clear();
    modified_ = false;
    SetState(TDataSetState::dsInactive);
    InternalClose();
    UnbindFields();
    ClearCalcCache();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterClose);
}

void TDataSet::BindFields() {
    const bool defaultFields = std::none_of(fields_.begin(), fields_.end(),
                                            [](const TField* f) { return f->FieldKind() == TFieldKind::fkData; });
    if (defaultFields) {
        for (const TFieldDef& def : fieldDefs_) {
            if (FindField(def.Name)) continue;
            TField* field = CreateField(def.DataType, this);
            field->SetFieldName(def.Name);
            if (def.DataType != TFieldType::ftDataSet && ValueKindOf(def.DataType) == TValueKind::Text)
                field->SetSize(def.Size);
            field->SetRequired(def.Required);
            field->SetReadOnly(def.ReadOnly);
            field->SetDataSet(this);
            dynamicFields_.push_back(field);
        }
    }
    slotCount_ = fieldDefs_.Count();
    hasCalc_ = hasInternalCalc_ = false;
    for (TField* f : fields_) {
        f->slot_ = -1;
        f->fieldNo_ = 0;
        if (f->FieldKind() == TFieldKind::fkData) {
            const int i = fieldDefs_.IndexOf(f->FieldName());
            if (i < 0) throw EDatabaseError(Name() + ": Field '" + f->FieldName() + "' not found");
            if (ValueKindOf(fieldDefs_[i].DataType) != ValueKindOf(f->DataType()))
                throw EDatabaseError(Name() + ": Type mismatch for field '" + f->FieldName() + "', expecting: " +
                                     FieldTypeName(f->DataType()) + " actual: " +
                                     FieldTypeName(fieldDefs_[i].DataType));
            f->slot_ = i;
            f->fieldNo_ = i + 1;
        } else if (f->FieldKind() == TFieldKind::fkInternalCalc) {
            f->slot_ = slotCount_++;
            hasInternalCalc_ = true;
        } else if (IsCalculated(f)) {
            hasCalc_ = true;
        }
    }
}

void TDataSet::UnbindFields() {
    for (TField* f : fields_) {
        f->slot_ = -1;
        f->fieldNo_ = 0;
    }
    std::vector<TField*> dynamic;
    dynamic.swap(dynamicFields_);
    for (TField* f : dynamic) delete f;
}

void TDataSet::AddField(TField* field) {
    if (Active()) throw EDatabaseError(Name() + ": Cannot perform this operation on an open dataset");
    if (!field->FieldName().empty() && FindField(field->FieldName()))
        throw EDatabaseError(Name() + ": Duplicate field name '" + field->FieldName() + "'");
    fields_.push_back(field);
    FreeNotification(field);
}

void TDataSet::RemoveField(TField* field) {
    auto it = std::find(fields_.begin(), fields_.end(), field);
    if (it == fields_.end()) return;
    fields_.erase(it);
    dynamicFields_.erase(std::remove(dynamicFields_.begin(), dynamicFields_.end(), field), dynamicFields_.end());
    RemoveFreeNotification(field);
    ClearCalcCache();
    if (Active() && !Destroying()) DataEvent(TDataEvent::deLayoutChange);
}

void TDataSet::MoveField(TField* field, int index) {
    auto it = std::find(fields_.begin(), fields_.end(), field);
    if (it == fields_.end()) return;
    index = std::clamp(index, 0, FieldCount() - 1);
    fields_.erase(it);
    fields_.insert(fields_.begin() + index, field);
    ClearCalcCache();
    DataEvent(TDataEvent::deLayoutChange);
}

void TDataSet::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) {
        if (auto* f = dynamic_cast<TField*>(component); f && f->dataSet_ == this) {
            RemoveField(f);
            f->dataSet_ = nullptr;
        }
    }
    TComponent::Notification(component, operation);
}

TField* TDataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount())
        throw EDatabaseError("List index out of bounds (" + std::to_string(index) + ")");
    return fields_[static_cast<size_t>(index)];
}

TField* TDataSet::FindField(std::string_view name) const noexcept {
    for (TField* f : fields_)
        if (SameText(f->FieldName(), name)) return f;
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
    TField* f = FindField(name);
    if (!f) throw EDatabaseError(Name() + ": Field '" + std::string(name) + "' not found");
    return f;
}

// ---------------------------------------------------------------- state

void TDataSet::SetState(TDataSetState state) {
    if (state_ == state) return;
    state_ = state;
    DataEvent(TDataEvent::deUpdateState);
}

void TDataSet::CheckActive() const {
    if (!Active()) throw EDatabaseError(Name() + ": Cannot perform this operation on a closed dataset");
}

int TDataSet::RecordCount() const { return Active() ? InternalRecordCount() : 0; }

int TDataSet::RecNo() const noexcept {
    if (!Active()) return 0;
    if (state_ == TDataSetState::dsInsert) return insertPosition_ + 1;
    return InternalRecordCount() == 0 ? 0 : cursor_ + 1;
}

int TDataSet::ReadPosition() const noexcept {
    if (displayPosition_ >= 0) return displayPosition_;
    return InternalRecordCount() == 0 ? -1 : cursor_;
}

// ---------------------------------------------------------------- navigation

void TDataSet::First() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    cursor_ = 0;
    bof_ = true;
    eof_ = InternalRecordCount() == 0;
    ClearCalcCache();
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterScroll);
}

void TDataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    InternalFetchAll();
    const int count = InternalRecordCount();
    cursor_ = std::max(count - 1, 0);
    eof_ = true;
    bof_ = count == 0;
    ClearCalcCache();
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterScroll);
}

int TDataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    Fire(BeforeScroll);
    int moved = 0;
    // Moving away from an end leaves it, even when no record follows ("not
    // empty" is never Bof and Eof at once).
    if (distance > 0) {
        bof_ = false;
        while (moved < distance) {
            if (cursor_ + 1 < InternalRecordCount()) {
                ++cursor_;
                ++moved;
            } else if (!InternalFetchMore()) {
                eof_ = true;
                break;
            }
        }
    } else if (distance < 0) {
        eof_ = false;
        while (moved > distance) {
            if (cursor_ > 0) {
                --cursor_;
                --moved;
            } else {
                bof_ = true;
                break;
            }
        }
    }
    if (InternalRecordCount() == 0) bof_ = eof_ = true;
    if (moved != 0) {
        ClearCalcCache();
        CurrentRecordChanged();
        DataEvent(TDataEvent::deDataSetScroll);
    }
    Fire(AfterScroll);
    return moved;
}

void TDataSet::MoveTo(int position) {
    CheckBrowseMode();
    Fire(BeforeScroll);
    cursor_ = position;
    bof_ = eof_ = false;
    ClearCalcCache();
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetScroll);
    Fire(AfterScroll);
}

void TDataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    while (recNo > InternalRecordCount() && InternalFetchMore()) {
    }
    if (recNo < 1 || recNo > InternalRecordCount() || recNo == cursor_ + 1) return;
    MoveTo(recNo - 1);
}

void TDataSet::Resync(int position) {
    const int count = InternalRecordCount();
    cursor_ = std::clamp(position, 0, std::max(count - 1, 0));
    if (count == 0) bof_ = eof_ = true;
    ClearCalcCache();
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
}

// ---------------------------------------------------------------- changing

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(TDataEvent::deCheckBrowseMode);
    if (IsEditing(state_)) {
        UpdateRecord();
        if (modified_) Post();
        else Cancel();
    }
}

void TDataSet::UpdateRecord() {
    if (IsEditing(state_)) DataEvent(TDataEvent::deUpdateRecord);
}

void TDataSet::Edit() {
    CheckActive();
    if (IsEditing(state_)) return;
    if (InternalRecordCount() == 0) {
        Insert();
        return;
    }
    if (!CanModify()) throw EDatabaseError(Name() + ": Cannot modify a read-only dataset");
    PrepareChange();
    Fire(BeforeEdit);
    editBuffer_.resize(static_cast<size_t>(slotCount_));
    for (int s = 0; s < slotCount_; ++s) editBuffer_[static_cast<size_t>(s)] = InternalGetValue(cursor_, s);
    modified_ = false;
    ClearCalcCache();
    SetState(TDataSetState::dsEdit);
    DataEvent(TDataEvent::deRecordChange);
    Fire(AfterEdit);
}

void TDataSet::Append() { BeginInsertAppend(true); }
void TDataSet::Insert() { BeginInsertAppend(false); }

void TDataSet::BeginInsertAppend(bool append) {
    CheckActive();
    CheckBrowseMode();
    if (!CanModify()) throw EDatabaseError(Name() + ": Cannot modify a read-only dataset");
    PrepareChange();
    Fire(BeforeInsert);
    Fire(BeforeScroll);
    const int count = InternalRecordCount();
    insertPosition_ = (append || count == 0) ? count : cursor_;
    editBuffer_.assign(static_cast<size_t>(slotCount_), Variant::Null());
    ClearCalcCache();
    SetState(TDataSetState::dsInsert);
    bof_ = eof_ = false;
    try {
        Fire(OnNewRecord);
    } catch (...) {
        editBuffer_.clear();
        bof_ = count == 0;
        eof_ = count == 0;
        SetState(TDataSetState::dsBrowse);
        DataEvent(TDataEvent::deDataSetChange);
        throw;
    }
    modified_ = false;
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterInsert);
    Fire(AfterScroll);
}

void TDataSet::CheckRequiredFields() {
    for (TField* f : fields_) {
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == TFieldKind::fkData && f->IsNull()) {
            f->FocusControl();
            throw EDatabaseError("Field '" + f->DisplayName() + "' must have a value");
        }
    }
}

void TDataSet::Post() {
    CheckActive();
    if (!IsEditing(state_)) return;
    UpdateRecord();
    DataEvent(TDataEvent::deCheckBrowseMode);
    Fire(BeforePost);
    CheckRequiredFields();
    if (hasInternalCalc_) CalculateInternal(editBuffer_);
    const bool inserting = state_ == TDataSetState::dsInsert;
    const int position = InternalPost(editBuffer_, inserting, inserting ? insertPosition_ : cursor_);
    editBuffer_.clear();
    cursor_ = position;
    bof_ = eof_ = false;
    modified_ = false;
    ClearCalcCache();
    SetState(TDataSetState::dsBrowse);
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterPost);
}

void TDataSet::Cancel() {
    CheckActive();
    if (!IsEditing(state_)) return;
    DataEvent(TDataEvent::deCheckBrowseMode);
    Fire(BeforeCancel);
    editBuffer_.clear();
    modified_ = false;
    const int count = InternalRecordCount();
    bof_ = eof_ = count == 0;
    ClearCalcCache();
    SetState(TDataSetState::dsBrowse);
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterCancel);
}

void TDataSet::Delete() {
    CheckActive();
    if (state_ == TDataSetState::dsInsert) {
        Cancel();
        return;
    }
    if (InternalRecordCount() == 0)
        throw EDatabaseError(Name() + ": Cannot perform this operation on an empty dataset");
    if (!CanModify()) throw EDatabaseError(Name() + ": Cannot modify a read-only dataset");
    PrepareChange();
    DataEvent(TDataEvent::deCheckBrowseMode);
    Fire(BeforeDelete);
    Fire(BeforeScroll);
    InternalDelete(cursor_);
    editBuffer_.clear();
    modified_ = false;
    const int count = InternalRecordCount();
    if (cursor_ >= count) {
        cursor_ = std::max(count - 1, 0);
        eof_ = true;
    } else {
        eof_ = false;
    }
    bof_ = count == 0 || (cursor_ == 0 && bof_);
    if (count == 0) eof_ = true;
    ClearCalcCache();
    SetState(TDataSetState::dsBrowse);
    CurrentRecordChanged();
    DataEvent(TDataEvent::deDataSetChange);
    Fire(AfterDelete);
    Fire(AfterScroll);
}

// ---------------------------------------------------------------- values

Variant TDataSet::GetFieldValue(const TField* field) const {
    if (field == validating_) return validatingValue_;
    if (!Active()) return Variant::Null();
    const bool calculating = state_ == TDataSetState::dsCalcFields || state_ == TDataSetState::dsInternalCalc;
    if (IsCalculated(field)) {
        if (!calculating) EnsureCalculated(ReadPosition());
        const auto it = std::find(fields_.begin(), fields_.end(), field);
        const auto i = static_cast<size_t>(it - fields_.begin());
        return i < calcValues_.size() ? calcValues_[i] : Variant::Null();
    }
    if (!HasSlot(field) || field->slot_ < 0) return Variant::Null();
    const auto slot = static_cast<size_t>(field->slot_);
    if (calculating) {
        if (calcSource_) return slot < calcSource_->size() ? (*calcSource_)[slot] : Variant::Null();
        return calcSourcePosition_ >= 0 ? InternalGetValue(calcSourcePosition_, field->slot_) : Variant::Null();
    }
    if (IsEditing(state_) && displayPosition_ < 0) return editBuffer_[slot];
    const int position = ReadPosition();
    if (position < 0 || position >= InternalRecordCount()) return Variant::Null();
    return InternalGetValue(position, field->slot_);
}

Variant TDataSet::GetOldFieldValue(const TField* field) const {
    if (!Active() || !HasSlot(field) || field->slot_ < 0) return Variant::Null();
    if (state_ == TDataSetState::dsInsert) return Variant::Null();
    const int position = ReadPosition();
    if (position < 0 || position >= InternalRecordCount()) return Variant::Null();
    return InternalOldValue(position, field->slot_);
}

void TDataSet::SetFieldValue(TField* field, const Variant& value) {
    if (state_ == TDataSetState::dsCalcFields || state_ == TDataSetState::dsInternalCalc) {
        if (IsCalculated(field) && state_ == TDataSetState::dsCalcFields) {
            const auto i = static_cast<size_t>(std::find(fields_.begin(), fields_.end(), field) - fields_.begin());
            if (i < calcValues_.size()) calcValues_[i] = value;
        } else if (field->FieldKind() == TFieldKind::fkInternalCalc && internalCalcTarget_) {
            (*internalCalcTarget_)[static_cast<size_t>(field->slot_)] = value;
        }
        return;
    }
    if (!IsEditing(state_)) throw EDatabaseError(Name() + ": Dataset not in edit or insert mode");
    if (!HasSlot(field) || field->slot_ < 0)
        throw EDatabaseError("Field '" + field->DisplayName() + "' cannot be modified");
    editBuffer_[static_cast<size_t>(field->slot_)] = value;
    if (field->FieldKind() == TFieldKind::fkData) modified_ = true;
    ClearCalcCache();
    if (field->OnChange) field->OnChange(field);
    DataEvent(TDataEvent::deFieldChange, field);
}

void TDataSet::EnsureCalculated(int position) const {
    const int key = (IsEditing(state_) && displayPosition_ < 0) ? -1 : position;
    if (calcPosition_ == key && calcValues_.size() == fields_.size()) return;
    calcValues_.assign(fields_.size(), Variant::Null());
    calcPosition_ = key;
    if (!hasCalc_ || !OnCalcFields || (key < 0 && !IsEditing(state_))) return;
    // OnCalcFields may set calculated fields only: the state says so while it runs.
    auto* self = const_cast<TDataSet*>(this);
    const TDataSetState saved = state_;
    self->state_ = TDataSetState::dsCalcFields;
    calcSource_ = key < 0 ? &editBuffer_ : nullptr;
    calcSourcePosition_ = key;
    const int savedDisplay = displayPosition_;
    try {
        OnCalcFields(self);
    } catch (...) {
        self->state_ = saved;
        calcSource_ = nullptr;
        displayPosition_ = savedDisplay;
        throw;
    }
    self->state_ = saved;
    calcSource_ = nullptr;
    displayPosition_ = savedDisplay;
}

void TDataSet::CalculateInternal(std::vector<Variant>& values) {
    if (!OnCalcFields) return;
    const TDataSetState saved = state_;
    state_ = TDataSetState::dsInternalCalc;
    calcSource_ = &values;
    internalCalcTarget_ = &values;
    try {
        OnCalcFields(this);
    } catch (...) {
        state_ = saved;
        calcSource_ = nullptr;
        internalCalcTarget_ = nullptr;
        throw;
    }
    state_ = saved;
    calcSource_ = nullptr;
    internalCalcTarget_ = nullptr;
}

// ---------------------------------------------------------------- controls

void TDataSet::AddDataSource(TDataSource* source) {
    if (std::find(dataSources_.begin(), dataSources_.end(), source) == dataSources_.end())
        dataSources_.push_back(source);
}

void TDataSet::RemoveDataSource(TDataSource* source) {
    dataSources_.erase(std::remove(dataSources_.begin(), dataSources_.end(), source), dataSources_.end());
}

void TDataSet::DataEvent(TDataEvent event, TField* field) {
    if (disableCount_ > 0) {
        if (event == TDataEvent::deUpdateState) pendingStateChange_ = true;
        return;
    }
    const std::vector<TDataSource*> sources = dataSources_;   // a handler may detach one
    for (TDataSource* s : sources)
        if (std::find(dataSources_.begin(), dataSources_.end(), s) != dataSources_.end()) s->DataEvent(event, field);
}

void TDataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ > 0) return;
    if (pendingStateChange_) {
        pendingStateChange_ = false;
        DataEvent(TDataEvent::deUpdateState);
    }
    DataEvent(TDataEvent::deDataSetChange);
}

// ---------------------------------------------------------------- bookmarks and search

TBookmark TDataSet::GetBookmark() const {
    if (!Active() || InternalRecordCount() == 0) return 0;
    return InternalBookmark(cursor_);
}

bool TDataSet::BookmarkValid(TBookmark bookmark) const {
    return Active() && bookmark != 0 && InternalBookmarkPosition(bookmark) >= 0;
}

void TDataSet::GotoBookmark(TBookmark bookmark) {
    CheckActive();
    CheckBrowseMode();
    const int position = bookmark == 0 ? -1 : InternalBookmarkPosition(bookmark);
    if (position < 0) throw EDatabaseError(Name() + ": Record not found");
    MoveTo(position);
}

bool TDataSet::Locate(std::string_view keyFields, const Variant& keyValues, TLocateOptions options) {
    CheckActive();
    CheckBrowseMode();
    std::vector<TField*> keys;
    for (const std::string& name : SplitString(keyFields, ';')) {
        const std::string trimmed = Trim(name);
        if (!trimmed.empty()) keys.push_back(FieldByName(trimmed));
    }
    if (keys.empty()) return false;
    std::vector<Variant> values;
    if (keyValues.IsArray()) values = keyValues.Elements();
    else values.push_back(keyValues);
    if (values.size() != keys.size())
        throw EDatabaseError(Name() + ": Locate needs one value per key field");
    const bool caseInsensitive = options.Contains(TLocateOption::loCaseInsensitive);
    const bool partial = options.Contains(TLocateOption::loPartialKey);

    auto matches = [&](int position) {
        displayPosition_ = position;
        bool all = true;
        for (size_t k = 0; k < keys.size() && all; ++k) {
            const Variant v = keys[k]->Value();
            const Variant& want = values[k];
            if (v.IsClear() || want.IsClear()) {
                all = v.IsClear() && want.IsClear();
            } else if (v.IsString() || (partial || caseInsensitive)) {
                const std::string text = keys[k]->AsString();
                const std::string target = want.AsString();
                if (partial) {
                    const std::string_view head = std::string_view(text).substr(0, target.size());
                    all = caseInsensitive ? SameText(head, target) : head == target;
                } else {
                    all = caseInsensitive ? SameText(text, target) : text == target;
                }
            } else {
                all = v == want;
            }
        }
        displayPosition_ = -1;
        return all;
    };
    for (int position = 0;; ++position) {
        while (position >= InternalRecordCount())
            if (!InternalFetchMore()) return false;
        bool found;
        try {
            found = matches(position);
        } catch (...) {
            displayPosition_ = -1;
            throw;
        }
        if (found) {
            MoveTo(position);
            return true;
        }
    }
}
