#include "platform/classes/Collection.h"

#include <algorithm>

const TClassInfo& TCollectionItem::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCollectionItem", &TPersistent::StaticClass());
        c.Add(Property("Index", &TCollectionItem::Index, &TCollectionItem::SetIndex));
        c.Add(Property("DisplayName", &TCollectionItem::DisplayName));
        return c;
    }();
    return info;
}

TCollectionItem::TCollectionItem(TCollection* collection) { SetCollection(collection); }

TCollectionItem::~TCollectionItem() {
    if (collection_) collection_->RemoveItem(this);
}

void TCollectionItem::SetCollection(TCollection* collection) {
    if (collection == collection_) return;
    if (collection_) collection_->RemoveItem(this);
    if (collection) collection->InsertItem(this);
}

int TCollectionItem::Index() const noexcept {
    if (!collection_) return -1;
    auto& items = collection_->items_;
    return static_cast<int>(std::find(items.begin(), items.end(), this) - items.begin());
}

void TCollectionItem::SetIndex(int index) {
    if (collection_) collection_->MoveItem(this, index);
}

std::string TCollectionItem::DisplayName() const { return ClassName(); }

TPersistent* TCollectionItem::GetOwner() const { return collection_; }

std::string TCollectionItem::GetNamePath() const {
    if (!collection_) return ClassName();
    return collection_->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool allItems) {
    if (collection_) collection_->Changed(allItems ? nullptr : this);
}

// ---- TCollection ----

const TClassInfo& TCollection::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCollection", &TPersistent::StaticClass());
        c.Add(Property("Count", &TCollection::Count));
        return c;
    }();
    return info;
}

TCollection::TCollection(TPersistent* owner, ItemFactory factory) : owner_(owner), factory_(std::move(factory)) {}

TCollection::~TCollection() {
    updateCount_ = 1;   // no change events while going away
    Clear();
}

TCollectionItem* TCollection::Items(int index) const {
    if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = factory_(this);
    if (item->collection_ != this) item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int index) {
    BeginUpdate();
    TCollectionItem* item = Add();
    item->SetIndex(index);
    EndUpdate();
    return item;
}

void TCollection::Delete(int index) { delete Items(index); }

void TCollection::Clear() {
    if (items_.empty()) return;
    BeginUpdate();
    while (!items_.empty()) delete items_.back();
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int id) const noexcept {
    for (TCollectionItem* item : items_)
        if (item->id_ == id) return item;
    return nullptr;
}

void TCollection::BeginUpdate() { ++updateCount_; }

void TCollection::EndUpdate() {
    if (updateCount_ > 0 && --updateCount_ == 0) Changed(nullptr);
}

std::string TCollection::GetNamePath() const {
    if (!owner_) return ClassName();
    return owner_->GetNamePath() + "." + ClassName();
}

void TCollection::Assign(const TPersistent* source) {
    auto* other = dynamic_cast<const TCollection*>(source);
    if (!other) {
        TPersistent::Assign(source);
        return;
    }
    if (other == this) return;
    BeginUpdate();
    try {
        Clear();
        for (TCollectionItem* item : other->items_) Add()->Assign(item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Update(TCollectionItem* item) {
    if (OnUpdate) OnUpdate(this, item);
}

void TCollection::Changed(TCollectionItem* item) {
    if (updateCount_ == 0) Update(item);
}

void TCollection::InsertItem(TCollectionItem* item) {
    items_.push_back(item);
    item->collection_ = this;
    item->id_ = nextId_++;
    Changed(nullptr);
}

void TCollection::RemoveItem(TCollectionItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->collection_ = nullptr;
    Changed(nullptr);
}

void TCollection::MoveItem(TCollectionItem* item, int index) {
    const int from = item->Index();
    index = std::clamp(index, 0, Count() - 1);
    if (from == index) return;
    items_.erase(items_.begin() + from);
    items_.insert(items_.begin() + index, item);
    Changed(nullptr);
}
