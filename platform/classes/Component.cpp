#include "platform/classes/Component.h"

#include <algorithm>

#include "platform/core/Strings.h"

namespace {
bool IsIdent(std::string_view s) {
    if (s.empty()) return false;
    auto letter = [](unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    if (!letter(static_cast<unsigned char>(s[0]))) return false;
    return std::all_of(s.begin(), s.end(), [&](char c) {
        auto u = static_cast<unsigned char>(c);
        return letter(u) || (u >= '0' && u <= '9');
    });
}

void EraseOne(std::vector<TComponent*>& list, TComponent* c) {
    auto it = std::find(list.begin(), list.end(), c);
    if (it != list.end()) list.erase(it);
}
}  // namespace

const TClassInfo& TComponent::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TComponent", &TPersistent::StaticClass(),
                     [](TComponent* owner) { return new TComponent(owner); });
        c.Add(Property("Name", &TComponent::Name, &TComponent::SetName));
        c.Add(Property("Tag", &TComponent::Tag, &TComponent::SetTag));
        return c;
    }();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (!owner) return;
    if (owner->state_.Contains(TComponentStateItem::csLoading)) BeginLoading();
    owner->InsertComponent(this);
}

TComponent::~TComponent() {
    MarkDestroying();
    // Everyone that holds a reference to this one lets go before anything is freed.
    while (!freeNotifies_.empty()) {
        TComponent* other = freeNotifies_.back();
        freeNotifies_.pop_back();
        EraseOne(other->freeNotifies_, this);
        other->Notification(this, TOperation::opRemove);
    }
    DestroyComponents();
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::MarkDestroying() {
    if (Destroying()) return;
    state_.Include(TComponentStateItem::csDestroying);
    for (TComponent* c : components_) c->MarkDestroying();
}

void TComponent::EndLoading() {
    if (!state_.Contains(TComponentStateItem::csLoading)) return;
    // By index: a Loaded may create further components.
    for (size_t i = 0; i < components_.size(); ++i) components_[i]->EndLoading();
    state_.Exclude(TComponentStateItem::csLoading);
    Loaded();
}

void TComponent::SetName(const std::string& name) {
    if (name == name_) return;
    if (!name.empty() && !IsIdent(name)) throw EComponentError("'" + name + "' is not a valid component name");
    if (!name.empty() && owner_) {
        TComponent* other = owner_->FindComponent(name);
        if (other && other != this) throw EComponentError("A component named " + name + " already exists");
    }
    name_ = name;
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount())
        throw EComponentError("List index out of bounds (" + std::to_string(index) + ")");
    return components_[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const noexcept {
    if (!owner_) return -1;
    auto& list = owner_->components_;
    return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

TComponent* TComponent::FindComponent(std::string_view name) const noexcept {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (SameText(c->name_, name)) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* component) {
    if (!component || component->owner_ == this) return;
    if (!component->name_.empty()) {
        TComponent* other = FindComponent(component->name_);
        if (other) throw EComponentError("A component named " + component->name_ + " already exists");
    }
    if (component->owner_) component->owner_->RemoveComponent(component);
    Insert(component);
    Notification(component, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
    if (!component || component->owner_ != this) return;
    Notification(component, TOperation::opRemove);
    Remove(component);
}

void TComponent::Insert(TComponent* component) {
    components_.push_back(component);
    component->owner_ = this;
}

void TComponent::Remove(TComponent* component) {
    EraseOne(components_, component);
    component->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
    for (TComponent* c : components_) c->MarkDestroying();
    while (!components_.empty()) {
        TComponent* c = components_.back();
        Remove(c);
        delete c;
    }
}

void TComponent::FreeNotification(TComponent* component) {
    if (!component || component == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), component) == freeNotifies_.end())
        freeNotifies_.push_back(component);
    if (std::find(component->freeNotifies_.begin(), component->freeNotifies_.end(), this) ==
        component->freeNotifies_.end())
        component->freeNotifies_.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component) {
    if (!component) return;
    EraseOne(freeNotifies_, component);
    EraseOne(component->freeNotifies_, this);
}

void TComponent::Notification(TComponent* component, TOperation operation) {
    // An owned component's own references are told too, as the owner's would be.
    if (operation == TOperation::opRemove && component != this)
        for (TComponent* c : components_)
            if (c != component) c->Notification(component, operation);
}
