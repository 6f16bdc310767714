#include <gtest/gtest.h>

#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ListBox.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

TEST(ComboBox, ListStylesChooseItemsEditableStylesTakeText) {
    auto form = MakeForm("frmCombo");
    auto* combo = new TComboBox(form.get());
    combo->SetParent(form.get());
    combo->Items()->SetText("逐张\n汇总\nAlpha\nBeta");
    std::vector<std::string> events;
    combo->OnChange = [&](TObject*) { events.push_back("change " + combo->Text()); };
    combo->OnSelect = [&](TObject*) { events.push_back("select " + std::to_string(combo->ItemIndex())); };
    form->Show();

    combo->SetItemIndex(1);   // code: no events
    EXPECT_EQ(combo->Text(), "汇总");
    EXPECT_TRUE(events.empty());
    PressKey(*form, VK_DOWN);
    EXPECT_EQ(events, (std::vector<std::string>{"change Alpha", "select 2"}));
    events.clear();
    TypeText(*form, "x");   // editable: typing changes the text and forgets the item
    EXPECT_EQ(combo->Text(), "x");
    EXPECT_EQ(combo->ItemIndex(), -1);

    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItemIndex(0);
    events.clear();
    TypeText(*form, "b");   // the next item starting with the letter
    EXPECT_EQ(combo->ItemIndex(), 3);
    TypeText(*form, "q");   // nothing starts with it: nothing changes
    EXPECT_EQ(combo->ItemIndex(), 3);
    EXPECT_EQ(events, (std::vector<std::string>{"change Beta", "select 3"}));

    int opened = 0;
    combo->OnDropDown = [&](TObject*) { ++opened; };
    PressKey(*form, VK_F4);
    EXPECT_TRUE(combo->DroppedDown());
    PressKey(*form, VK_ESCAPE);   // closes the list, not the form's cancel
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(opened, 1);
}

TEST(ComboBox, OwnerDrawnItemsPaintThroughTheHandler) {
    TComboBox combo(nullptr);
    combo.SetStyle(TComboBoxStyle::csOwnerDrawFixed);
    combo.Items()->SetText("a\nb");
    combo.OnDrawItem = [&](TWinControl* c, int index, TRect rect, TOwnerDrawState state) {
        auto* self = static_cast<TComboBox*>(c);
        self->Canvas()->Brush()->SetColor(state.Contains(TOwnerDrawStateItem::odSelected) ? clNavy : clWhite);
        self->Canvas()->FillRect(rect);
        self->Canvas()->TextOut(rect.Left, rect.Top, "#" + self->Items()->Strings(index));
    };
    TCanvas canvas;
    combo.DrawItem(canvas, 1, Rect(0, 16, 100, 32), {TOwnerDrawStateItem::odSelected});
    ASSERT_EQ(canvas.Texts(), std::vector<std::string>{"#b"});
    EXPECT_EQ(canvas.Ops().front().BrushColor, clNavy);
}

TEST(ListBox, ClicksKeysAndMultiSelect) {
    auto form = MakeForm("frmList");
    auto* list = new TListBox(form.get());
    list->SetParent(form.get());
    list->SetBounds(0, 0, 100, 39);   // three rows of 13
    list->Items()->SetText("a\nb\nc\nd\ne");
    int clicks = 0;
    list->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    Click(*list, 5, 14);
    EXPECT_EQ(list->ItemIndex(), 1);
    PressKey(*form, VK_END);
    EXPECT_EQ(list->ItemIndex(), 4);
    EXPECT_EQ(list->TopIndex(), 2);   // scrolled to keep it in view
    EXPECT_EQ(clicks, 2);

    list->SetMultiSelect(true);
    list->SetTopIndex(0);
    Click(*list, 5, 1, {TShiftStateItem::ssCtrl});
    Click(*list, 5, 27, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(list->SelCount(), 3);
    EXPECT_TRUE(list->Selected(0));
    EXPECT_TRUE(list->Selected(2));
    list->Items()->Delete(4);   // the selection of what remains is kept
    EXPECT_EQ(list->SelCount(), 2);
    EXPECT_THROW(list->Selected(9), EListError);
}
