#pragma once
// `TCollection`: an owned, ordered list of `TCollectionItem`s of one class (a
// grid's columns, a status bar's panels). The collection owns its items: an item
// created for a collection is added to it, deleting an item removes it, and the
// collection deletes its items when it is destroyed.
#include <functional>
#include <string>
#include <vector>

#include "platform/classes/Persistent.h"

class TCollection;

class TCollectionItem : public TPersistent {
    VELMORA_CLASS(TCollectionItem)
public:
    // Adds itself to `collection` when one is given.
    explicit TCollectionItem(TCollection* collection);
    ~TCollectionItem() override;

    TCollection* Collection() const noexcept { return collection_; }
    // Moves the item to another collection (or none).
    void SetCollection(TCollection* collection);
    int Index() const noexcept;
    // Moves the item within its collection; an index out of range is clamped.
    void SetIndex(int index);
    // A number unique within the collection, kept when items move.
    int ID() const noexcept { return id_; }
    virtual std::string DisplayName() const;
    TPersistent* GetOwner() const override;
    std::string GetNamePath() const override;

protected:
    // Tells the collection that this item changed (all items when `allItems`).
    void Changed(bool allItems);

private:
    friend class TCollection;
    TCollection* collection_ = nullptr;
    int id_ = 0;
};

class TCollection : public TPersistent {
    VELMORA_CLASS(TCollection)
public:
    using ItemFactory = std::function<TCollectionItem*(TCollection*)>;

    // `owner` is the object the collection is a property of; `factory` makes one item.
    TCollection(TPersistent* owner, ItemFactory factory);
    ~TCollection() override;

    int Count() const noexcept { return static_cast<int>(items_.size()); }
    // Raises EListError out of range.
    TCollectionItem* Items(int index) const;
    TCollectionItem* Add();
    TCollectionItem* Insert(int index);
    void Delete(int index);
    void Clear();
    TCollectionItem* FindItemID(int id) const noexcept;

    void BeginUpdate();
    void EndUpdate();

    TPersistent* GetOwner() const override { return owner_; }
    std::string GetNamePath() const override;
    // Copies the items of another collection of the same item class (each with Assign).
    void Assign(const TPersistent* source) override;

    // Raised after a change of one item (nullptr: of the whole collection) outside updates.
    std::function<void(TCollection*, TCollectionItem*)> OnUpdate;

protected:
    // Called after a change; item is nullptr when the whole collection changed.
    virtual void Update(TCollectionItem* item);
    void Changed(TCollectionItem* item);

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* item);
    void RemoveItem(TCollectionItem* item);
    void MoveItem(TCollectionItem* item, int index);

    TPersistent* owner_;
    ItemFactory factory_;
    std::vector<TCollectionItem*> items_;
    int nextId_ = 0;
    int updateCount_ = 0;
};

// A collection of items of class T (T has a constructor taking TCollection*).
template <typename T>
class TCollectionOf : public TCollection {
public:
    explicit TCollectionOf(TPersistent* owner) : TCollection(owner, [](TCollection* c) { return new T(c); }) {}
    T* Items(int index) const { return static_cast<T*>(TCollection::Items(index)); }
    T* Add() { return static_cast<T*>(TCollection::Add()); }
    T* Insert(int index) { return static_cast<T*>(TCollection::Insert(index)); }
};
