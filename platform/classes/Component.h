#pragma once
// `TComponent`: a named object with an owner. The owner keeps its components in
// creation order, finds them by name without regard to case and destroys them
// when it is destroyed. Free notification tells every component that asked for
// it when another one is about to go, so that references are cleared instead of
// left dangling.
//
// Ownership: a component created with an owner is destroyed by that owner; one
// created without an owner belongs to whoever created it (delete it, or hold it
// in a std::unique_ptr). Deleting an owned component directly is allowed: it
// leaves its owner's list first.
//
// Loading: a form or data module is "loading" (csLoading) while its creation step
// runs, and so is every component created meanwhile with a loading owner. When
// the step is over, EndLoading takes each of them out of csLoading and calls its
// Loaded, owned components before their owner, each once.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/classes/Persistent.h"

VELMORA_DECLARE_EXCEPTION(EComponentError, Exception);

enum class TOperation { opInsert, opRemove };

enum class TComponentStateItem { csLoading, csReading, csWriting, csDestroying, csDesigning };
using TComponentState = TSet<TComponentStateItem>;

class TComponent : public TPersistent {
    VELMORA_CLASS(TComponent)
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    // The name: empty, or an identifier (letter or "_" first, then letters, digits, "_")
    // that no other component of the same owner has (any case). Raises EComponentError.
    const std::string& Name() const noexcept { return name_; }
    virtual void SetName(const std::string& name);

    TComponent* Owner() const noexcept { return owner_; }
    TPersistent* GetOwner() const override { return owner_; }
    std::string GetNamePath() const override { return name_; }

    int ComponentCount() const noexcept { return static_cast<int>(components_.size()); }
    // The owned component at index (creation order); raises EComponentError out of range.
    TComponent* Components(int index) const;
    // Position in the owner's list, or -1 without an owner.
    int ComponentIndex() const noexcept;
    // The owned component with that name (any case), or nullptr. Not recursive.
    TComponent* FindComponent(std::string_view name) const noexcept;

    // Moves a component into this one's list (removing it from its old owner first).
    void InsertComponent(TComponent* component);
    // Takes a component out of this one's list; it then has no owner.
    void RemoveComponent(TComponent* component);
    // Destroys every owned component, the last created first.
    void DestroyComponents();

    // Asks to be told (Notification opRemove) when `component` is destroyed.
    // The request is mutual, so either side may go first.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    int64_t Tag() const noexcept { return tag_; }
    void SetTag(int64_t tag) { tag_ = tag; }

    const TComponentState& ComponentState() const noexcept { return state_; }
    bool Destroying() const noexcept { return state_.Contains(TComponentStateItem::csDestroying); }
    // Marks this component and its owned components as being destroyed.
    void MarkDestroying();

    // Called once this component and its owned components have been created and
    // their properties set; overrides finish what needs every property in place.
    virtual void Loaded() {}
    // Ends loading (see above); does nothing for a component that is not loading.
    void EndLoading();

protected:
    // Told when a component is inserted into or removed from this one, and when a
    // component this one asked to be notified about is destroyed. Overrides clear
    // their references to `component` on opRemove and then call the base.
    virtual void Notification(TComponent* component, TOperation operation);
    void SetComponentState(TComponentState state) { state_ = state; }
    // Starts loading: called by the constructor of a component with a creation step.
    void BeginLoading() { state_.Include(TComponentStateItem::csLoading); }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    std::string name_;
    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    int64_t tag_ = 0;
    TComponentState state_;
};
