#include <gtest/gtest.h>

#include "platform/classes/PropertyAccess.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/ProgressBar.h"
#include "platform/vcl/SpeedButton.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/TabSet.h"
#include "platform/vcl/ToolBar.h"
#include "platform/vcl/TreeView.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

TEST(StatusBar, PanelsSitSideBySideAndOwnerDrawnOnesPaintThroughTheHandler) {
    auto form = MakeForm("frmStatus", 300, 200);
    auto* bar = new TStatusBar(form.get());
    bar->SetParent(form.get());
    EXPECT_EQ(bar->BoundsRect(), Rect(0, 181, 300, 200));   // bottom-aligned
    bar->Panels()->Add()->SetText("Ready");
    auto* p2 = bar->Panels()->Add();
    p2->SetWidth(80);
    p2->SetStyle(TStatusPanelStyle::psOwnerDraw);
    bar->Panels()->Add()->SetText("last");
    EXPECT_EQ(bar->PanelRect(1), Rect(50, 0, 130, 19));
    EXPECT_EQ(bar->PanelRect(2), Rect(130, 0, 300, 19));   // the last one takes the rest
    std::vector<int> drawn;
    bar->OnDrawPanel = [&](TObject*, TStatusPanel* panel, TRect) { drawn.push_back(panel->Index()); };
    TCanvas canvas;
    bar->PaintOn(canvas);
    EXPECT_EQ(drawn, std::vector<int>{1});
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"Ready", "last"}));
    SetPropValueByPath(bar->Panels()->Items(0), "Text", Variant("就绪"));
    EXPECT_EQ(bar->Panels()->Items(0)->Text(), "就绪");
}

TEST(ToolBar, ButtonsLineUpAndReactByStyle) {
    auto form = MakeForm("frmTools");
    auto* bar = new TToolBar(form.get());
    bar->SetParent(form.get());
    auto add = [&](TToolButtonStyle style) {
        auto* b = new TToolButton(form.get());
        b->SetStyle(style);
        b->SetParent(bar);
        return b;
    };
    auto* plain = add(TToolButtonStyle::tbsButton);
    add(TToolButtonStyle::tbsSeparator);
    auto* check1 = add(TToolButtonStyle::tbsCheck);
    auto* check2 = add(TToolButtonStyle::tbsCheck);
    auto* drop = add(TToolButtonStyle::tbsDropDown);
    EXPECT_EQ(check1->Left(), 31);
    EXPECT_EQ(drop->Left(), 77);
    EXPECT_EQ(drop->Width(), 36);
    form->Show();

    auto* item = new TMenuItem(form.get());
    int itemClicks = 0;
    item->SetCaption("&Query");
    item->OnClick = [&](TObject*) { ++itemClicks; };
    plain->SetMenuItem(item);
    Click(*plain);
    EXPECT_EQ(itemClicks, 1);
    EXPECT_EQ(plain->Caption(), "&Query");

    check1->SetGrouped(true);
    check2->SetGrouped(true);
    Click(*check1);
    Click(*check2);
    EXPECT_FALSE(check1->Down());
    EXPECT_TRUE(check2->Down());

    auto* menu = new TPopupMenu(form.get());
    drop->SetDropdownMenu(menu);
    int dropClicks = 0;
    drop->OnClick = [&](TObject*) { ++dropClicks; };
    Click(*drop, 5, 5);
    EXPECT_EQ(dropClicks, 1);
    EXPECT_FALSE(menu->IsOpen());
    Click(*drop, drop->Width() - 3, 5);   // the arrow
    EXPECT_TRUE(menu->IsOpen());
    EXPECT_EQ(menu->PopupComponent(), drop);
    EXPECT_EQ(dropClicks, 1);
    delete menu;
    EXPECT_EQ(drop->DropdownMenu(), nullptr);
}

TEST(SpeedButton, GroupedButtonsStayDownOneAtATime) {
    auto form = MakeForm("frmSpeed");
    std::vector<TSpeedButton*> buttons;
    for (int i = 0; i < 3; ++i) {
        auto* b = new TSpeedButton(form.get());
        b->SetParent(form.get());
        b->SetGroupIndex(1);
        buttons.push_back(b);
    }
    form->Show();
    Click(*buttons[0]);
    Click(*buttons[2]);
    EXPECT_FALSE(buttons[0]->Down());
    EXPECT_TRUE(buttons[2]->Down());
    Click(*buttons[2]);   // the last one down stays down
    EXPECT_TRUE(buttons[2]->Down());
    buttons[2]->SetAllowAllUp(true);
    Click(*buttons[2]);
    EXPECT_FALSE(buttons[2]->Down());
}

TEST(PageControl, ChangingPagesAsksFirstAndHiddenTabsAreSkipped) {
    auto form = MakeForm("frmPages");
    auto* pc = new TPageControl(form.get());
    pc->SetParent(form.get());
    std::vector<TTabSheet*> pages;
    for (const char* caption : {"Head", "Hidden", "Detail", "More"}) {
        auto* t = new TTabSheet(form.get());
        t->SetCaption(caption);
        t->SetPageControl(pc);
        pages.push_back(t);
    }
    pages[1]->SetTabVisible(false);
    EXPECT_EQ(pc->ActivePage(), pages[0]);
    EXPECT_EQ(pages[2]->TabIndex(), 1);
    EXPECT_THROW(pc->SetActivePage(pages[1]), EInvalidOperation);
    bool allow = false;
    int changes = 0;
    pc->OnChanging = [&](TObject*, bool& a) { a = allow; };
    pc->OnChange = [&](TObject*) { ++changes; };
    form->Show();
    Click(*pc, pc->TabRect(1).Left + 1, 2);
    EXPECT_EQ(pc->ActivePage(), pages[0]);   // refused
    allow = true;
    Click(*pc, pc->TabRect(1).Left + 1, 2);
    EXPECT_EQ(pc->ActivePage(), pages[2]);
    EXPECT_TRUE(pages[2]->Visible());
    EXPECT_FALSE(pages[0]->Visible());
    PressKey(*form, VK_TAB, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(pc->ActivePage(), pages[3]);
    PressKey(*form, VK_TAB, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(pc->ActivePage(), pages[0]);   // wraps past the hidden one
    EXPECT_EQ(changes, 3);
    delete pages[0];   // the next page shows
    EXPECT_EQ(pc->ActivePage(), pages[2]);
    EXPECT_EQ(pc->PageCount(), 3);
}

TEST(TabSet, OnChangeMayRefuseANewTab) {
    auto form = MakeForm("frmTabs");
    auto* tabs = new TTabSet(form.get());
    tabs->SetParent(form.get());
    tabs->Tabs()->SetText("One\nTwo\nThree");
    tabs->SetTabIndex(0);
    tabs->OnChange = [](TObject*, int newTab, bool& allow) { allow = newTab != 2; };
    form->Show();
    Click(*tabs, tabs->TabRect(2).Left + 1, 2);
    EXPECT_EQ(tabs->TabIndex(), 0);
    Click(*tabs, tabs->TabRect(1).Left + 1, 2);
    EXPECT_EQ(tabs->TabIndex(), 1);
}

TEST(ListView, SelectsItemsAndEditsCaptions) {
    auto form = MakeForm("frmList");
    auto* lv = new TListView(form.get());
    lv->SetParent(form.get());
    lv->SetViewStyle(TViewStyle::vsReport);
    lv->Columns()->Add()->SetCaption("Code");
    lv->Columns()->Add()->SetCaption("Name");
    for (const char* c : {"A01", "A02", "A03"}) {
        auto* item = lv->AddItem();
        item->SetCaption(c);
        item->SubItems()->Add(std::string("name of ") + c);
    }
    std::vector<std::string> selected;
    lv->OnSelectItem = [&](TObject*, TListItem* item, bool sel) {
        if (sel) selected.push_back(item->Caption());
    };
    form->Show();
    Click(*lv, 5, lv->RowHeight() * 2 + 2);   // second row under the header
    EXPECT_EQ(lv->ItemIndex(), 1);
    PressKey(*form, VK_DOWN);
    EXPECT_EQ(selected, (std::vector<std::string>{"A02", "A03"}));

    lv->OnEdited = [](TObject*, TListItem*, std::string& text) { text += "!"; };
    PressKey(*form, VK_F2);
    ASSERT_TRUE(lv->IsEditing());
    TypeText(*form, "B9");
    PressKey(*form, VK_RETURN);
    EXPECT_EQ(lv->Items(2)->Caption(), "B9!");
    EXPECT_EQ(form->ActiveControl(), lv);
    lv->SetReadOnly(true);
    EXPECT_FALSE(lv->Items(0)->EditCaption());
    TCanvas canvas;
    lv->PaintOn(canvas);
    EXPECT_EQ(canvas.Texts()[0], "Code");
    EXPECT_EQ(canvas.Texts()[3], "name of A01");
}

TEST(TreeView, NodesByAbsoluteIndexAndKeyboardWalk) {
    auto form = MakeForm("frmTree");
    auto* tv = new TTreeView(form.get());
    tv->SetParent(form.get());
    auto* a = tv->Items()->Add(nullptr, "A");
    auto* a1 = tv->Items()->AddChild(a, "A1");
    tv->Items()->AddChild(a1, "A1x");
    tv->Items()->AddChild(a, "A2");
    auto* b = tv->Items()->Add(a, "B");
    tv->Items()->Insert(b, "AB");
    const char* order[] = {"A", "A1", "A1x", "A2", "AB", "B"};
    ASSERT_EQ(tv->Items()->Count(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tv->Items()->Item(i)->Text(), order[i]);
        EXPECT_EQ(tv->Items()->Item(i)->AbsoluteIndex(), i);
    }
    EXPECT_EQ(tv->Items()->Item(6), nullptr);
    EXPECT_EQ(tv->Items()->Item(2)->Level(), 2);

    std::vector<std::string> changes;
    tv->OnChange = [&](TObject*, TTreeNode* n) { changes.push_back(n ? n->Text() : "-"); };
    form->Show();
    tv->SetSelected(a);
    PressKey(*form, VK_DOWN);   // A is collapsed: B's sibling AB is next
    PressKey(*form, VK_UP);
    PressKey(*form, VK_RIGHT);  // expand A
    PressKey(*form, VK_DOWN);
    PressKey(*form, VK_LEFT);   // A1 has children but is collapsed: go to the parent
    EXPECT_EQ(changes, (std::vector<std::string>{"A", "AB", "A", "A1", "A"}));
    tv->SetSelected(tv->Items()->Item(2));   // shows the node: its parents open
    EXPECT_TRUE(a1->Expanded());
    a->Collapse(false);   // the selection moves up to the collapsed node
    EXPECT_EQ(tv->Selected(), a);
    a->Delete();
    EXPECT_EQ(tv->Selected(), nullptr);
    EXPECT_EQ(tv->Items()->Count(), 2);
}

TEST(ProgressBar, PositionStaysWithinTheRange) {
    TProgressBar bar(nullptr);
    bar.SetMax(50);
    bar.SetStep(20);
    bar.StepIt();
    bar.StepIt();
    bar.StepIt();
    EXPECT_EQ(bar.Position(), 50);
    EXPECT_DOUBLE_EQ(bar.Fraction(), 1.0);
    bar.SetMin(60);   // the range moves, the position with it
    EXPECT_EQ(bar.Position(), 60);
}
