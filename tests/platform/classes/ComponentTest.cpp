#include "platform/classes/Component.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {
// Records its own destruction, so that tests can see the order owners free things.
class TTracked : public TComponent {
public:
    TTracked(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
    ~TTracked() override { log_->push_back(Name()); }

private:
    std::vector<std::string>* log_;
};

// Holds a reference to another component and clears it when told it goes away.
class THolder : public TComponent {
public:
    using TComponent::TComponent;
    TComponent* Target() const { return target_; }
    void SetTarget(TComponent* t) {
        if (target_) RemoveFreeNotification(target_);
        target_ = t;
        if (t) FreeNotification(t);
    }

protected:
    void Notification(TComponent* c, TOperation op) override {
        if (op == TOperation::opRemove && c == target_) target_ = nullptr;
        TComponent::Notification(c, op);
    }

private:
    TComponent* target_ = nullptr;
};
}  // namespace

TEST(Component, OwnerKeepsComponentsInCreationOrderAndFindsThemIgnoringCase) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName("edMB002");
    auto* b = new TComponent(&owner);
    b->SetName("cboMB034");
    ASSERT_EQ(owner.ComponentCount(), 2);
    EXPECT_EQ(owner.Components(0), a);
    EXPECT_EQ(owner.Components(1), b);
    EXPECT_EQ(b->ComponentIndex(), 1);
    EXPECT_EQ(owner.FindComponent("EDmb002"), a);
    EXPECT_EQ(owner.FindComponent("missing"), nullptr);
    EXPECT_EQ(owner.FindComponent(""), nullptr);
    EXPECT_THROW(owner.Components(2), EComponentError);
    EXPECT_EQ(a->Owner(), &owner);
}

TEST(Component, NamesMustBeIdentifiersAndUniqueWithinOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    a->SetName("Edit1");
    auto* b = new TComponent(&owner);
    EXPECT_THROW(b->SetName("EDIT1"), EComponentError);
    EXPECT_EQ(b->Name(), "");
    for (const char* bad : {"1abc", "a b", "a.b", "编辑"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(b->SetName(bad), EComponentError);
    }
    b->SetName("_Edit2");
    a->SetName("edit1");   // renaming itself in another case is allowed
    EXPECT_EQ(a->Name(), "edit1");
    // A component named like one already there cannot be moved in.
    TComponent other(nullptr);
    auto* c = new TComponent(&other);
    c->SetName("Edit1");
    EXPECT_THROW(owner.InsertComponent(c), EComponentError);
    EXPECT_EQ(c->Owner(), &other);
}

TEST(Component, OwnerDestroysItsComponentsLastCreatedFirst) {
    std::vector<std::string> log;
    {
        auto owner = std::make_unique<TTracked>(nullptr, &log);
        owner->SetName("Owner");
        auto* child = new TTracked(owner.get(), &log);
        child->SetName("Child");
        (new TTracked(child, &log))->SetName("Grandchild");
        (new TTracked(owner.get(), &log))->SetName("Second");
    }
    EXPECT_EQ(log, (std::vector<std::string>{"Owner", "Second", "Child", "Grandchild"}));
}

TEST(Component, DeletingAnOwnedComponentRemovesItFromItsOwner) {
    TComponent owner(nullptr);
    auto* a = new TComponent(&owner);
    auto* b = new TComponent(&owner);
    delete a;
    ASSERT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components(0), b);
}

TEST(Component, FreeNotificationClearsReferencesWhicheverSideGoesFirst) {
    TComponent owner(nullptr);
    auto* holder = new THolder(&owner);
    auto* target = new TComponent(&owner);
    holder->SetTarget(target);
    delete target;
    EXPECT_EQ(holder->Target(), nullptr);

    // The holder going first must not leave the target with a stale entry to call.
    TComponent elsewhere(nullptr);
    auto* target2 = new TComponent(&elsewhere);
    auto* holder2 = new THolder(nullptr);
    holder2->SetTarget(target2);
    delete holder2;
    delete target2;   // would touch the freed holder without the mutual unlink (ASan)
}

TEST(Component, FreeNotificationDuringOwnerTeardown) {
    // Holder and target in different owners; the target's owner goes first.
    TComponent holderOwner(nullptr);
    auto* holder = new THolder(&holderOwner);
    {
        TComponent targetOwner(nullptr);
        holder->SetTarget(new TComponent(&targetOwner));
    }
    EXPECT_EQ(holder->Target(), nullptr);
}

TEST(Component, MovingBetweenOwners) {
    TComponent a(nullptr), b(nullptr);
    auto* c = new TComponent(&a);
    b.InsertComponent(c);
    EXPECT_EQ(a.ComponentCount(), 0);
    EXPECT_EQ(c->Owner(), &b);
    b.RemoveComponent(c);
    EXPECT_EQ(c->Owner(), nullptr);
    delete c;
}

TEST(Component, DestroyingStateIsVisibleToComponentsBeingFreed) {
    bool sawDestroying = false;
    struct TProbe : TComponent {
        TProbe(TComponent* o, bool* seen) : TComponent(o), seen_(seen) {}
        ~TProbe() override { *seen_ = Owner() == nullptr && Destroying(); }
        bool* seen_;
    };
    {
        TComponent owner(nullptr);
        new TProbe(&owner, &sawDestroying);
    }
    EXPECT_TRUE(sawDestroying);
}
