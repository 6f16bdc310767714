#include "platform/db/ClientDataSet.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <unordered_set>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "platform/db/RecordBuffer.h"

struct TClientDataSet::RecordSet {
    // Natural order; deleted records stay (usDeleted) until their change is merged.
    std::vector<std::unique_ptr<Record>> records;
};

struct TClientDataSet::Record {
    TRecordBuffer values;
    std::unique_ptr<TRecordBuffer> original;   // the row as the provider has it, once changed
    TUpdateStatus status = TUpdateStatus::usUnmodified;
    uint64_t changeSeq = 0;                    // order of the first change
    TBookmark id = 0;
    int lastError = 0;                         // code of the last rejection
    std::unique_ptr<std::vector<RecordSet>> nested;   // one set per DataSet field
};

namespace {

using Record = TClientDataSet::Record;
using RecordSet = TClientDataSet::RecordSet;

std::atomic<int64_t> gNextId{0};
std::atomic<uint64_t> gNextSeq{0};

std::vector<int> NestedSlots(const TFieldDefs& defs) {
    std::vector<int> slots;
    for (int f = 0; f < defs.Count(); ++f)
        if (defs[f].DataType == TFieldType::ftDataSet) slots.push_back(f);
    return slots;
}

std::unique_ptr<Record> NewRecord(TRecordBuffer values) {
    auto rec = std::make_unique<Record>();
    rec->values = std::move(values);
    rec->id = ++gNextId;
    return rec;
}

// Appends rows (a 2-D array over defs, or Null) to a set. Each record gets
// `slots` values (more than the definitions when there are internal-calculated
// fields, which `calculate` fills); nested rows load into the records' own sets.
void AppendRows(RecordSet& set, const TFieldDefs& defs, const Variant& rows, size_t slots,
                const std::function<void(std::vector<Variant>&)>& calculate) {
    if (!rows.IsArray() || rows.Count(1) == 0) return;
    const std::vector<int> nested = NestedSlots(defs);
    const size_t n = static_cast<size_t>(defs.Count());
    const auto& items = rows.Elements();
    const bool plain = nested.empty() && slots == n && !calculate;
    std::vector<Variant> values;
    for (size_t r = 0; r < items.size() / n; ++r) {
        if (plain) {
            // The hot path: the packet's row goes straight into the packed record.
            set.records.push_back(NewRecord(TRecordBuffer(std::span<const Variant>(items.data() + r * n, n))));
            continue;
        }
        values.assign(slots, Variant::Null());
        std::copy_n(items.begin() + static_cast<std::ptrdiff_t>(r * n), n, values.begin());
        for (int slot : nested) values[static_cast<size_t>(slot)] = Variant::Null();
        if (calculate) calculate(values);
        auto rec = NewRecord(TRecordBuffer(values));
        if (!nested.empty()) {
            rec->nested = std::make_unique<std::vector<RecordSet>>(nested.size());
            for (size_t k = 0; k < nested.size(); ++k) {
                const TFieldDefs children = ChildDefsOf(defs[nested[k]]);
                AppendRows((*rec->nested)[k], children, items[r * n + static_cast<size_t>(nested[k])],
                           static_cast<size_t>(children.Count()), {});
            }
        }
        set.records.push_back(std::move(rec));
    }
}

bool HasChanges(const RecordSet& set);

bool HasChanges(const Record& rec) {
    if (rec.status != TUpdateStatus::usUnmodified) return true;
    if (rec.nested)
        for (const RecordSet& s : *rec.nested)
            if (HasChanges(s)) return true;
    return false;
}

bool HasChanges(const RecordSet& set) {
    return std::any_of(set.records.begin(), set.records.end(), [](const auto& r) { return HasChanges(*r); });
}

int CountChanges(const RecordSet& set) {
    int count = 0;
    for (const auto& r : set.records) {
        if (r->status != TUpdateStatus::usUnmodified) ++count;
        if (r->nested)
            for (const RecordSet& s : *r->nested) count += CountChanges(s);
    }
    return count;
}

uint64_t FirstChange(const Record& rec) {
    uint64_t first = rec.status != TUpdateStatus::usUnmodified ? rec.changeSeq : UINT64_MAX;
    if (rec.nested)
        for (const RecordSet& s : *rec.nested)
            for (const auto& r : s.records)
                if (HasChanges(*r)) first = std::min(first, FirstChange(*r));
    return first;
}

std::vector<Record*> CollectChanges(const RecordSet& set) {
    std::vector<Record*> changes;
    for (const auto& r : set.records)
        if (HasChanges(*r)) changes.push_back(r.get());
    std::stable_sort(changes.begin(), changes.end(),
                     [](const Record* a, const Record* b) { return FirstChange(*a) < FirstChange(*b); });
    return changes;
}

Variant SlotValue(const TRecordBuffer& values, int slot) {
    return static_cast<size_t>(slot) < values.Count() ? values.Value(static_cast<size_t>(slot)) : Variant::Null();
}

std::vector<TDeltaChange> BuildChanges(const std::vector<Record*>& records, const TFieldDefs& defs) {
    const std::vector<int> nested = NestedSlots(defs);
    const int n = defs.Count();
    std::vector<TDeltaChange> changes;
    changes.reserve(records.size());
    for (const Record* rec : records) {
        TDeltaChange c;
        c.Kind = rec->status == TUpdateStatus::usInserted  ? TUpdateKind::ukInsert
                 : rec->status == TUpdateStatus::usDeleted ? TUpdateKind::ukDelete
                                                           : TUpdateKind::ukModify;
        const TRecordBuffer& old = rec->original ? *rec->original : rec->values;
        auto isNested = [&](int f) { return std::find(nested.begin(), nested.end(), f) != nested.end(); };
        if (c.Kind != TUpdateKind::ukInsert) {
            c.OldValues = Variant::CreateArray({VarBounds{0, n - 1}});
            for (int f = 0; f < n; ++f)
                if (!isNested(f)) c.OldValues[f] = SlotValue(old, f);
        }
        Variant fresh = Variant::CreateArray({VarBounds{0, n - 1}});
        bool any = false;
        for (int f = 0; f < n; ++f) {
            if (isNested(f)) continue;
            const auto slot = static_cast<size_t>(f);
            if (c.Kind == TUpdateKind::ukInsert ||
                (rec->status == TUpdateStatus::usModified &&
                 (old.IsNull(slot) != rec->values.IsNull(slot) ||
                  TRecordBuffer::Compare(old, slot, rec->values, slot) != 0 ||
                  old.Value(slot).Type() != rec->values.Value(slot).Type()))) {
                fresh[f] = SlotValue(rec->values, f);
                if (fresh[f].IsEmpty()) fresh[f] = Variant::Null();
                any = true;
            }
        }
        for (size_t k = 0; k < nested.size() && rec->nested; ++k) {
            const RecordSet& set = (*rec->nested)[k];
            if (!HasChanges(set)) continue;
            fresh[nested[k]] = EncodeChanges(BuildChanges(CollectChanges(set), ChildDefsOf(defs[nested[k]])));
            any = true;
        }
        if (c.Kind != TUpdateKind::ukDelete || any) c.NewValues = std::move(fresh);
        changes.push_back(std::move(c));
    }
    return changes;
}

void MergeSet(RecordSet& set);
void RevertSet(RecordSet& set);

// Accepts a record's changes as applied; true when the record is to be removed.
bool MergeRecord(Record& rec) {
    if (rec.nested)
        for (RecordSet& s : *rec.nested) MergeSet(s);
    if (rec.status == TUpdateStatus::usDeleted) return true;
    rec.status = TUpdateStatus::usUnmodified;
    rec.original.reset();
    rec.lastError = 0;
    return false;
}

// Restores a record as fetched; true when the record is to be removed (an insert).
bool RevertRecord(Record& rec) {
    if (rec.status == TUpdateStatus::usInserted) return true;
    if (rec.original) rec.values = std::move(*rec.original);
    rec.original.reset();
    rec.status = TUpdateStatus::usUnmodified;
    rec.lastError = 0;
    if (rec.nested)
        for (RecordSet& s : *rec.nested) RevertSet(s);
    return false;
}

void EraseMarked(RecordSet& set, const std::unordered_set<const Record*>& marked) {
    if (marked.empty()) return;
    std::erase_if(set.records, [&](const auto& r) { return marked.count(r.get()) > 0; });
}

void MergeSet(RecordSet& set) {
    std::unordered_set<const Record*> gone;
    for (auto& r : set.records)
        if (MergeRecord(*r)) gone.insert(r.get());
    EraseMarked(set, gone);
}

void RevertSet(RecordSet& set) {
    std::unordered_set<const Record*> gone;
    for (auto& r : set.records)
        if (RevertRecord(*r)) gone.insert(r.get());
    EraseMarked(set, gone);
}

bool InList(const std::string& list, const std::string& name) {
    for (const std::string& item : SplitString(list, ';'))
        if (SameText(Trim(item), name)) return true;
    return false;
}

}  // namespace

// ---------------------------------------------------------------- index definitions

TIndexDef& TIndexDefs::Add(const std::string& name, const std::string& fields, TIndexOptions options) {
    TIndexDef* def = Find(name);
    if (!def) {
        items_.push_back({});
        def = &items_.back();
        def->Name = name;
    }
    def->Fields = fields;
    def->Options = options;
    def->DescFields.clear();
    def->CaseInsFields.clear();
    return *def;
}

TIndexDef* TIndexDefs::Find(std::string_view name) noexcept {
    for (TIndexDef& d : items_)
        if (SameText(d.Name, name)) return &d;
    return nullptr;
}

// ---------------------------------------------------------------- the dataset

const TClassInfo& TClientDataSet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TClientDataSet", &TDataSet::StaticClass(),
                     [](TComponent* owner) -> TComponent* { return new TClientDataSet(owner); });
        c.Add(Property("ProviderName", &TClientDataSet::ProviderName, &TClientDataSet::SetProviderName));
        c.Add(Property("PacketRecords", &TClientDataSet::PacketRecords, &TClientDataSet::SetPacketRecords));
        c.Add(Property("FetchOnDemand", &TClientDataSet::FetchOnDemand, &TClientDataSet::SetFetchOnDemand));
        c.Add(Property("IndexFieldNames", &TClientDataSet::IndexFieldNames, &TClientDataSet::SetIndexFieldNames));
        c.Add(Property("IndexName", &TClientDataSet::IndexName, &TClientDataSet::SetIndexName));
        c.Add(EventProperty("OnReconcileError", &TClientDataSet::OnReconcileError));
        return c;
    }();
    return info;
}

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner) {}

TClientDataSet::~TClientDataSet() {
    if (dataSetField_ && dataSetField_->NestedDataSet() == this) dataSetField_->SetNestedDataSet(nullptr);
    view_.clear();
    set_ = nullptr;
}

void TClientDataSet::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == dataSetField_) {
        if (Active() && !Destroying()) Close();
        dataSetField_ = nullptr;
    }
    TDataSet::Notification(component, operation);
}

void TClientDataSet::SetDataSetField(TDataSetField* field) {
    if (field == dataSetField_) return;
    if (Active()) throw EDatabaseError(Name() + ": Cannot perform this operation on an open dataset");
    if (dataSetField_) {
        if (dataSetField_->NestedDataSet() == this) dataSetField_->SetNestedDataSet(nullptr);
        RemoveFreeNotification(dataSetField_);
    }
    dataSetField_ = field;
    if (field) {
        field->SetNestedDataSet(this);
        FreeNotification(field);
    }
}

void TClientDataSet::CreateDataSet() {
    if (FieldDefs().Count() == 0 && FieldCount() == 0)
        throw EDatabaseError(Name() + ": Field definitions are missing");
    if (FieldDefs().Count() == 0) {
        // Build the definitions from the fields created in code.
        for (int i = 0; i < FieldCount(); ++i) {
            TField* f = Fields(i);
            if (f->FieldKind() == TFieldKind::fkData)
                FieldDefs().Add(f->FieldName(), f->DataType(), f->Size(), f->Required());
        }
    }
    Close();
    createdInMemory_ = true;
    Open();
}

void TClientDataSet::InternalOpen() {
    ownSet_ = std::make_unique<RecordSet>();
    set_ = ownSet_.get();
    fetchedRows_ = 0;
    allFetched_ = true;
    if (dataSetField_) {
        auto* master = dynamic_cast<TClientDataSet*>(dataSetField_->DataSet());
        if (!master || !master->Active()) throw EDatabaseError(Name() + ": The master dataset is not open");
        const TFieldDef* def = master->FieldDefs().Find(dataSetField_->FieldName());
        if (!def) throw EDatabaseError(Name() + ": Field '" + dataSetField_->FieldName() + "' not found");
        FieldDefs() = ChildDefsOf(*def);
    } else if (!createdInMemory_) {
        if (!remoteServer_.IsDispatch()) throw EDatabaseError(Name() + ": Missing data provider or data packet");
        // The packet is checked completely before anything is taken from it.
        TDataPacket packet = DecodeDataPacket(
            remoteServer_.Call(kGetRecordsCall, providerName_, packetRecords_, 0, request_));
        FieldDefs() = packet.Fields;
        pendingRows_ = std::move(packet.Rows);
        allFetched_ = packet.Eof || packetRecords_ < 0;
    }
    nestedSlots_ = NestedSlots(FieldDefs());
}

void TClientDataSet::InternalLoadRecords() {
    keys_ = IndexKeys(indexFieldNames_, indexName_);
    const TIndexDef* def = indexName_.empty() ? nullptr : indexDefs_.Find(indexName_);
    uniqueIndex_ = def && (def->Options.Contains(TIndexOption::ixUnique) || def->Options.Contains(TIndexOption::ixPrimary));
    if (dataSetField_) {
        auto* master = dynamic_cast<TClientDataSet*>(dataSetField_->DataSet());
        set_ = master->NestedSetFor(dataSetField_);
        if (!set_) set_ = ownSet_.get();
        RebuildView();
        return;
    }
    const Variant rows = std::move(pendingRows_);
    pendingRows_ = Variant();
    if (rows.IsArray()) {
        LoadRows(rows);
        fetchedRows_ = rows.Count(1);
    }
    RebuildView();
}

void TClientDataSet::InternalClose() {
    for (int i = 0; i < FieldCount(); ++i)
        if (auto* f = dynamic_cast<TDataSetField*>(Fields(i)); f && f->NestedDataSet()) f->NestedDataSet()->Close();
    view_.clear();
    keys_.clear();
    set_ = nullptr;
    ownSet_.reset();
    pendingRows_ = Variant();
    fetchedRows_ = 0;
    allFetched_ = true;
    createdInMemory_ = false;
}

void TClientDataSet::LoadRows(const Variant& rows) {
    std::function<void(std::vector<Variant>&)> calculate;
    if (HasInternalCalcFields()) calculate = [this](std::vector<Variant>& values) { CalculateInternal(values); };
    AppendRows(*set_, FieldDefs(), rows, static_cast<size_t>(SlotCount()), calculate);
}

void TClientDataSet::CheckPacketFields(const TFieldDefs& defs) const {
    bool same = defs.Count() == FieldDefs().Count();
    for (int f = 0; same && f < defs.Count(); ++f)
        same = SameText(defs[f].Name, FieldDefs()[f].Name) && defs[f].DataType == FieldDefs()[f].DataType;
    if (!same) throw EDatabaseError(Name() + ": The next packet's fields differ from the open dataset's");
}

int TClientDataSet::GetNextPacket() {
    if (!Active() || allFetched_ || dataSetField_ || !remoteServer_.IsDispatch()) return 0;
    TDataPacket packet = DecodeDataPacket(
        remoteServer_.Call(kGetRecordsCall, providerName_, packetRecords_, fetchedRows_, request_));
    CheckPacketFields(packet.Fields);
    const TBookmark keep = GetBookmark();
    const size_t before = set_->records.size();
    LoadRows(packet.Rows);
    const int added = packet.RowCount();
    fetchedRows_ += added;
    allFetched_ = packet.Eof || added == 0;
    if (indexFieldNames_.empty() && indexName_.empty()) {
        for (size_t i = before; i < set_->records.size(); ++i) view_.push_back(set_->records[i].get());
    } else {
        RebuildView();
    }
    ResyncTo(keep);
    return added;
}

bool TClientDataSet::InternalFetchMore() {
    if (!fetchOnDemand_ || allFetched_) return false;
    return GetNextPacket() > 0;
}

void TClientDataSet::InternalFetchAll() {
    if (!fetchOnDemand_) return;
    while (!allFetched_ && GetNextPacket() > 0) {
    }
}

Variant TClientDataSet::DataRequest(const Variant& data) {
    request_ = data;
    if (!remoteServer_.IsDispatch()) return Variant();
    return remoteServer_.Call(kDataRequestCall, providerName_, data);
}

// ---------------------------------------------------------------- records

int TClientDataSet::InternalRecordCount() const { return static_cast<int>(view_.size()); }

Variant TClientDataSet::InternalGetValue(int position, int slot) const {
    return SlotValue(view_[static_cast<size_t>(position)]->values, slot);
}

Variant TClientDataSet::InternalOldValue(int position, int slot) const {
    const Record* rec = view_[static_cast<size_t>(position)];
    return SlotValue(rec->original ? *rec->original : rec->values, slot);
}

TBookmark TClientDataSet::InternalBookmark(int position) const { return view_[static_cast<size_t>(position)]->id; }

int TClientDataSet::InternalBookmarkPosition(TBookmark bookmark) const {
    for (size_t i = 0; i < view_.size(); ++i)
        if (view_[i]->id == bookmark) return static_cast<int>(i);
    return -1;
}

std::vector<TClientDataSet::IndexKey> TClientDataSet::IndexKeys(const std::string& fieldNames, const std::string& indexName) const {
    std::vector<IndexKey> keys;
    std::string fields = fieldNames;
    const TIndexDef* def = nullptr;
    if (!indexName.empty()) {
        def = const_cast<TIndexDefs&>(indexDefs_).Find(indexName);
        if (!def) throw EDatabaseError(Name() + ": Index '" + indexName + "' not found");
        fields = def->Fields;
    }
    for (const std::string& item : SplitString(fields, ';')) {
        const std::string name = Trim(item);
        if (name.empty()) continue;
        TField* f = FieldByName(name);
        const int slot = FieldSlot(f);
        if (slot < 0) throw EDatabaseError(Name() + ": Field '" + name + "' cannot be used in an index");
        IndexKey key{slot, false, false};
        if (def) {
            key.descending = def->Options.Contains(TIndexOption::ixDescending) || InList(def->DescFields, name);
            key.caseInsensitive = def->Options.Contains(TIndexOption::ixCaseInsensitive) || InList(def->CaseInsFields, name);
        }
        keys.push_back(key);
    }
    return keys;
}

bool TClientDataSet::Before(const Record* a, const Record* b) const {
    for (const IndexKey& k : keys_) {
        int c = TRecordBuffer::Compare(a->values, static_cast<size_t>(k.slot), b->values, static_cast<size_t>(k.slot),
                                       k.caseInsensitive);
        if (k.descending) c = -c;
        if (c != 0) return c < 0;
    }
    return false;
}

void TClientDataSet::RebuildView() {
    view_.clear();
    if (!set_) return;
    view_.reserve(set_->records.size());
    for (const auto& r : set_->records)
        if (r->status != TUpdateStatus::usDeleted) view_.push_back(r.get());
    if (!keys_.empty())
        std::stable_sort(view_.begin(), view_.end(), [this](const Record* a, const Record* b) { return Before(a, b); });
}

void TClientDataSet::ResyncTo(TBookmark keep) {
    const int current = CurrentPosition();
    if (keep != 0 && current >= 0 && current < static_cast<int>(view_.size()) &&
        view_[static_cast<size_t>(current)]->id == keep) {
        Resync(current);   // the common case (a packet appended): no search
        return;
    }
    const int position = keep == 0 ? -1 : InternalBookmarkPosition(keep);
    Resync(position >= 0 ? position : std::max(CurrentPosition(), 0));
}

void TClientDataSet::SetIndexFieldNames(const std::string& fields) {
    std::vector<IndexKey> keys;
    if (Active()) keys = IndexKeys(fields, {});   // refuses unknown fields before changing anything
    indexFieldNames_ = fields;
    indexName_.clear();
    uniqueIndex_ = false;
    if (!Active()) return;
    keys_ = std::move(keys);
    const TBookmark keep = GetBookmark();
    RebuildView();
    ResyncTo(keep);
}

void TClientDataSet::SetIndexName(const std::string& name) {
    std::vector<IndexKey> keys;
    if (Active()) keys = IndexKeys({}, name);
    indexName_ = name;
    indexFieldNames_.clear();
    const TIndexDef* def = name.empty() ? nullptr : indexDefs_.Find(name);
    uniqueIndex_ = def && (def->Options.Contains(TIndexOption::ixUnique) || def->Options.Contains(TIndexOption::ixPrimary));
    if (!Active()) return;
    keys_ = std::move(keys);
    const TBookmark keep = GetBookmark();
    RebuildView();
    ResyncTo(keep);
}

bool TClientDataSet::FindKey(const std::vector<Variant>& values) {
    CheckActive();
    std::string fields;
    if (!indexName_.empty()) {
        if (const TIndexDef* def = indexDefs_.Find(indexName_)) fields = def->Fields;
    } else {
        fields = indexFieldNames_;
    }
    std::vector<std::string> names;
    for (const std::string& item : SplitString(fields, ';'))
        if (!Trim(item).empty()) names.push_back(Trim(item));
    if (names.empty()) throw EDatabaseError(Name() + ": No index is active");
    if (values.size() > names.size()) throw EDatabaseError(Name() + ": More key values than index fields");
    names.resize(values.size());
    std::string keyFields;
    for (const std::string& n : names) keyFields += (keyFields.empty() ? "" : ";") + n;
    const TIndexDef* def = indexName_.empty() ? nullptr : indexDefs_.Find(indexName_);
    TLocateOptions options;
    if (def && def->Options.Contains(TIndexOption::ixCaseInsensitive)) options.Include(TLocateOption::loCaseInsensitive);
    return Locate(keyFields, Variant::ArrayOf(values), options);
}

void TClientDataSet::CheckUnique(const TRecordBuffer& values, const Record* self) const {
    if (!uniqueIndex_ || keys_.empty()) return;
    for (const Record* other : view_) {
        if (other == self) continue;
        bool same = true;
        for (const IndexKey& k : keys_)
            same = same && TRecordBuffer::Compare(values, static_cast<size_t>(k.slot), other->values,
                                                  static_cast<size_t>(k.slot), k.caseInsensitive) == 0;
        if (same) throw EDatabaseError(Name() + ": Key violation");
    }
}

int TClientDataSet::InternalPost(const std::vector<Variant>& values, bool inserting, int position) {
    TRecordBuffer buffer(values);
    if (inserting) {
        CheckUnique(buffer, nullptr);
        auto rec = NewRecord(std::move(buffer));
        rec->status = TUpdateStatus::usInserted;
        rec->changeSeq = ++gNextSeq;
        if (!nestedSlots_.empty()) rec->nested = std::make_unique<std::vector<RecordSet>>(nestedSlots_.size());
        Record* raw = rec.get();
        // Natural order: before the record the insert was made at, else at the end.
        auto natural = set_->records.end();
        if (position < static_cast<int>(view_.size())) {
            const Record* at = view_[static_cast<size_t>(position)];
            natural = std::find_if(set_->records.begin(), set_->records.end(),
                                   [at](const auto& r) { return r.get() == at; });
        }
        set_->records.insert(natural, std::move(rec));
        auto where = keys_.empty() ? view_.begin() + std::min<std::ptrdiff_t>(position, static_cast<std::ptrdiff_t>(view_.size()))
                                   : std::upper_bound(view_.begin(), view_.end(), raw,
                                                      [this](const Record* a, const Record* b) { return Before(a, b); });
        const auto placed = view_.insert(where, raw);   // may reallocate: measure afterwards
        return static_cast<int>(placed - view_.begin());
    }
    Record* rec = view_[static_cast<size_t>(position)];
    CheckUnique(buffer, rec);
    if (rec->status == TUpdateStatus::usUnmodified) {
        rec->original = std::make_unique<TRecordBuffer>(std::move(rec->values));
        rec->status = TUpdateStatus::usModified;
        rec->changeSeq = ++gNextSeq;
    }
    rec->values = std::move(buffer);
    if (keys_.empty()) return position;
    view_.erase(view_.begin() + position);
    auto where = std::upper_bound(view_.begin(), view_.end(), rec,
                                  [this](const Record* a, const Record* b) { return Before(a, b); });
    const auto placed = view_.insert(where, rec);
    return static_cast<int>(placed - view_.begin());
}

void TClientDataSet::InternalDelete(int position) {
    Record* rec = view_[static_cast<size_t>(position)];
    view_.erase(view_.begin() + position);
    if (rec->status == TUpdateStatus::usInserted) {
        std::erase_if(set_->records, [rec](const auto& r) { return r.get() == rec; });
        return;
    }
    if (rec->status == TUpdateStatus::usUnmodified) rec->changeSeq = ++gNextSeq;
    rec->status = TUpdateStatus::usDeleted;
}

// ---------------------------------------------------------------- nesting

TClientDataSet::RecordSet* TClientDataSet::NestedSetFor(const TDataSetField* field) const {
    const int slot = FieldDefs().IndexOf(field->FieldName());
    const auto k = std::find(nestedSlots_.begin(), nestedSlots_.end(), slot) - nestedSlots_.begin();
    const int position = CurrentPosition();
    if (static_cast<size_t>(k) >= nestedSlots_.size() || position < 0 || State() == TDataSetState::dsInsert)
        return nullptr;
    Record* rec = view_[static_cast<size_t>(position)];
    if (!rec->nested) rec->nested = std::make_unique<std::vector<RecordSet>>(nestedSlots_.size());
    return &(*rec->nested)[static_cast<size_t>(k)];
}

void TClientDataSet::CurrentRecordChanged() { AttachNested(); }

void TClientDataSet::AttachNested() {
    if (nestedSlots_.empty()) return;
    for (int i = 0; i < FieldCount(); ++i) {
        auto* field = dynamic_cast<TDataSetField*>(Fields(i));
        if (!field) continue;
        auto* nested = dynamic_cast<TClientDataSet*>(field->NestedDataSet());
        if (!nested) {
            nested = new TClientDataSet(field);
            nested->SetDataSetField(field);
        }
        if (!nested->Active()) {
            nested->Open();
            continue;
        }
        // A pending detail edit belongs to the records being left: store it there first.
        nested->CheckBrowseMode();
        RecordSet* set = NestedSetFor(field);
        nested->set_ = set ? set : nested->ownSet_.get();
        nested->RebuildView();
        nested->Resync(0);
    }
}

void TClientDataSet::SettleDetails(bool post) {
    for (int i = 0; i < FieldCount(); ++i) {
        auto* field = dynamic_cast<TDataSetField*>(Fields(i));
        TDataSet* nested = field ? field->NestedDataSet() : nullptr;
        if (!nested || !nested->Active()) continue;
        if (post) nested->CheckBrowseMode();
        else nested->Cancel();
    }
}

void TClientDataSet::PrepareChange() {
    // Records may go away (a deleted insert): no detail may still be editing them.
    SettleDetails(true);
    if (!dataSetField_) return;
    // Detail rows belong to a stored master record: settle the master first.
    TDataSet* master = dataSetField_->DataSet();
    master->CheckBrowseMode();
    if (master->RecordCount() == 0) throw EDatabaseError(Name() + ": The master dataset has no current record");
}

// ---------------------------------------------------------------- change log

int TClientDataSet::ChangeCount() const { return set_ ? CountChanges(*set_) : 0; }

TUpdateStatus TClientDataSet::UpdateStatus() const {
    if (State() == TDataSetState::dsInsert) return TUpdateStatus::usInserted;
    const int position = CurrentPosition();
    return position < 0 ? TUpdateStatus::usUnmodified : view_[static_cast<size_t>(position)]->status;
}

Variant TClientDataSet::Delta() const {
    TDelta delta;
    delta.Fields = FieldDefs();
    if (set_) delta.Changes = BuildChanges(CollectChanges(*set_), FieldDefs());
    return EncodeDelta(delta);
}

int TClientDataSet::ApplyUpdates(int maxErrors) {
    if (dataSetField_) {
        auto* master = dynamic_cast<TClientDataSet*>(dataSetField_->DataSet());
        CheckBrowseMode();
        return master ? master->ApplyUpdates(maxErrors) : 0;
    }
    if (!Active()) return 0;
    CheckBrowseMode();
    SettleDetails(true);
    const std::vector<Record*> changes = CollectChanges(*set_);
    if (changes.empty()) return 0;
    if (!remoteServer_.IsDispatch()) throw EDatabaseError(Name() + ": Missing data provider or data packet");
    TDelta delta;
    delta.Fields = FieldDefs();
    delta.Changes = BuildChanges(changes, FieldDefs());
    Variant errorCount = 0;
    const Variant reply =
        remoteServer_.Call(kApplyUpdatesCall, providerName_, EncodeDelta(delta), maxErrors, ByRef(errorCount));
    const std::vector<TUpdateError> errors = DecodeUpdateErrors(reply);
    const int rejected = std::max(errorCount.AsInt(), static_cast<int>(errors.size()));
    // Beyond the limit the provider applied nothing: every change stays.
    const bool rolledBack = maxErrors >= 0 && rejected > maxErrors;

    std::vector<bool> failed(changes.size(), false);
    std::vector<TReconcileAction> actions(changes.size(), TReconcileAction::raSkip);
    bool aborted = false;
    for (const TUpdateError& e : errors) {
        if (e.Index < 0 || static_cast<size_t>(e.Index) >= changes.size()) continue;
        const auto i = static_cast<size_t>(e.Index);
        Record* rec = changes[i];
        failed[i] = true;
        if (!aborted && OnReconcileError) {
            EReconcileError error(e.Message, e.ErrorCode, rec->lastError, e.Context);
            OnReconcileError(this, error, delta.Changes[i].Kind, actions[i]);
            aborted = actions[i] == TReconcileAction::raAbort;
        }
        rec->lastError = e.ErrorCode;
    }
    const TBookmark keep = GetBookmark();
    std::unordered_set<const Record*> gone;
    for (size_t i = 0; i < changes.size(); ++i) {
        Record* rec = changes[i];
        if (!failed[i]) {
            if (!rolledBack && MergeRecord(*rec)) gone.insert(rec);
        } else if (actions[i] == TReconcileAction::raMerge) {
            if (MergeRecord(*rec)) gone.insert(rec);
        } else if (actions[i] == TReconcileAction::raCancel) {
            if (RevertRecord(*rec)) gone.insert(rec);
        }
    }
    EraseMarked(*set_, gone);
    RebuildView();
    ResyncTo(keep);
    return rejected;
}

void TClientDataSet::CancelUpdates() {
    if (!Active()) return;
    Cancel();
    SettleDetails(false);
    const TBookmark keep = GetBookmark();
    RevertSet(*set_);
    RebuildView();
    ResyncTo(keep);
}
