#include "platform/classes/Collection.h"

#include <gtest/gtest.h>

namespace {
class TPanelItem : public TCollectionItem {
public:
    explicit TPanelItem(TCollection* c) : TCollectionItem(c) {}
    std::string Text;
    void Assign(const TPersistent* source) override {
        if (auto* p = dynamic_cast<const TPanelItem*>(source)) {
            Text = p->Text;
            return;
        }
        TCollectionItem::Assign(source);
    }
};
}  // namespace

TEST(Collection, ItemsAddInsertMoveAndDelete) {
    TCollectionOf<TPanelItem> panels(nullptr);
    panels.Add()->Text = "a";
    panels.Add()->Text = "b";
    panels.Insert(0)->Text = "first";
    ASSERT_EQ(panels.Count(), 3);
    EXPECT_EQ(panels.Items(0)->Text, "first");
    EXPECT_EQ(panels.Items(2)->Index(), 2);
    const int idOfB = panels.Items(2)->ID();
    panels.Items(2)->SetIndex(0);
    EXPECT_EQ(panels.Items(0)->Text, "b");
    EXPECT_EQ(panels.FindItemID(idOfB), panels.Items(0));
    panels.Items(0)->SetIndex(99);   // clamped to the end
    EXPECT_EQ(panels.Items(2)->Text, "b");
    panels.Delete(1);
    EXPECT_EQ(panels.Count(), 2);
    delete panels.Items(0);   // an item deleted directly leaves its collection
    ASSERT_EQ(panels.Count(), 1);
    EXPECT_EQ(panels.Items(0)->Text, "b");
    EXPECT_THROW(panels.Items(1), EListError);
}

TEST(Collection, AssignCopiesItemsAndUpdatesAreBatched) {
    TCollectionOf<TPanelItem> a(nullptr), b(nullptr);
    a.Add()->Text = "x";
    a.Add()->Text = "y";
    int updates = 0;
    b.OnUpdate = [&](TCollection*, TCollectionItem*) { ++updates; };
    b.Add();
    EXPECT_EQ(updates, 1);
    b.Assign(&a);
    EXPECT_EQ(updates, 2);
    ASSERT_EQ(b.Count(), 2);
    EXPECT_EQ(b.Items(1)->Text, "y");
    b.Clear();
    EXPECT_EQ(b.Count(), 0);
}
