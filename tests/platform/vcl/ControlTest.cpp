#include <gtest/gtest.h>

#include "platform/classes/PropertyAccess.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "tests/support/vcl/TestForm.h"

namespace {
TPanel* AddPanel(TWinControl* parent, const std::string& name, TAlign align, int w, int h, int left = 0, int top = 0) {
    auto* p = new TPanel(parent->Owner() ? parent->Owner() : parent);
    p->SetName(name);
    p->SetBevelOuter(TPanelBevel::bvNone);
    p->SetBounds(left, top, w, h);
    p->SetAlign(align);
    p->SetParent(parent);
    return p;
}
}  // namespace

TEST(Align, FillsTopBottomLeftRightThenClient) {
    auto form = MakeForm("frmAlign", 400, 300);
    auto* client = AddPanel(form.get(), "pnlClient", TAlign::alClient, 10, 10);
    auto* top = AddPanel(form.get(), "pnlTop", TAlign::alTop, 50, 30);
    auto* bottom = AddPanel(form.get(), "pnlBottom", TAlign::alBottom, 50, 20);
    auto* left = AddPanel(form.get(), "pnlLeft", TAlign::alLeft, 60, 50);
    auto* right = AddPanel(form.get(), "pnlRight", TAlign::alRight, 70, 50);
    auto* loose = AddPanel(form.get(), "pnlLoose", TAlign::alNone, 33, 44, 5, 6);

    const struct {
        TControl* c;
        TRect bounds;
    } expected[] = {
        {top, Rect(0, 0, 400, 30)},       {bottom, Rect(0, 280, 400, 300)}, {left, Rect(0, 30, 60, 280)},
        {right, Rect(330, 30, 400, 280)}, {client, Rect(60, 30, 330, 280)}, {loose, Rect(5, 6, 38, 50)},
    };
    for (const auto& e : expected) {
        SCOPED_TRACE(e.c->Name());
        EXPECT_EQ(e.c->BoundsRect(), e.bounds);
    }

    // Resizing the form, hiding a control and changing a size all lay out again.
    form->SetBounds(0, 0, 500, 400);
    EXPECT_EQ(client->BoundsRect(), Rect(60, 30, 430, 380));
    top->Hide();
    EXPECT_EQ(left->BoundsRect(), Rect(0, 0, 60, 380));
    left->SetWidth(100);
    EXPECT_EQ(client->BoundsRect(), Rect(100, 0, 430, 380));
}

TEST(Align, ControlsOfOneAlignmentStackByPositionAndBevelsNarrowTheClientArea) {
    auto form = MakeForm("frmStack", 200, 200);
    auto* second = AddPanel(form.get(), "second", TAlign::alTop, 10, 20, 0, 50);
    auto* first = AddPanel(form.get(), "first", TAlign::alTop, 10, 10, 0, 0);
    EXPECT_EQ(first->Top(), 0);
    EXPECT_EQ(second->Top(), 10);
    // Two bottom-aligned: the one lower down stays at the bottom.
    auto* low = AddPanel(form.get(), "low", TAlign::alBottom, 10, 15, 0, 190);
    auto* high = AddPanel(form.get(), "high", TAlign::alBottom, 10, 5, 0, 100);
    EXPECT_EQ(low->BoundsRect(), Rect(0, 185, 200, 200));
    EXPECT_EQ(high->BoundsRect(), Rect(0, 180, 200, 185));

    auto* frame = AddPanel(form.get(), "frame", TAlign::alClient, 0, 0);
    frame->SetBevelOuter(TPanelBevel::bvRaised);
    frame->SetBorderWidth(2);
    auto* inner = AddPanel(frame, "inner", TAlign::alClient, 0, 0);
    EXPECT_EQ(inner->BoundsRect(), Rect(3, 3, frame->Width() - 3, frame->Height() - 3));
}

TEST(Control, ParentFontAndColorFollowUntilSetOnTheControl) {
    auto form = MakeForm("frmFont");
    auto* panel = AddPanel(form.get(), "pnl", TAlign::alNone, 100, 100);
    auto* label = new TLabel(form.get());
    label->SetParent(panel);
    label->SetParentColor(true);
    form->Font()->SetName("SimSun");
    form->Font()->SetHeight(-13);
    form->SetColor(clWindow);
    panel->SetParentColor(true);
    EXPECT_EQ(label->Font()->Name(), "SimSun");
    EXPECT_EQ(label->Font()->Height(), -13);
    EXPECT_EQ(label->Color(), clWindow);
    EXPECT_TRUE(label->ParentFont());

    label->Font()->SetColor(clRed);   // its own font from now on
    EXPECT_FALSE(label->ParentFont());
    form->Font()->SetName("Tahoma");
    EXPECT_EQ(panel->Font()->Name(), "Tahoma");
    EXPECT_EQ(label->Font()->Name(), "SimSun");
}

TEST(Control, PropertiesByNameAndPathOnControls) {
    auto form = MakeForm("frmProps");
    auto* button = new TButton(form.get());
    button->SetName("btnOK");
    button->SetParent(form.get());
    SetPropValue(button, "Caption", Variant("确定"));
    SetPropValue(button, "Align", Variant("alBottom"));
    SetPropValue(button, "Cursor", Variant("crHandPoint"));
    SetPropValueByPath(button, "Font.Charset", Variant(134));
    SetPropValueByPath(button, "Font.Name", Variant("Tahoma"));
    SetPropValueByPath(button, "Font.Style", Variant("[fsBold]"));
    SetPropValueByPath(button, "Font.Color", Variant("clRed"));
    SetPropValue(button, "Color", Variant("clBtnFace"));
    EXPECT_EQ(button->Caption(), "确定");
    EXPECT_EQ(button->Align(), TAlign::alBottom);
    EXPECT_EQ(button->Cursor(), crHandPoint);
    EXPECT_EQ(button->Font()->Charset(), GB2312_CHARSET);
    EXPECT_EQ(button->Font()->Name(), "Tahoma");
    EXPECT_TRUE(button->Font()->Style().Contains(TFontStyle::fsBold));
    EXPECT_EQ(GetPropText(button, "Color"), "clBtnFace");
    EXPECT_EQ(GetPropText(button->Font(), "Color"), "clRed");
    EXPECT_EQ(GetPropValueByPath(form.get(), "Font.Size"), Variant(8));
    EXPECT_THROW(SetPropValue(button, "Visible", Variant("sometimes")), EConvertError);
    EXPECT_EQ(PropKind(button, "OnClick"), TTypeKind::tkMethod);
    EXPECT_EQ(PropKind(button, "ImeName"), TTypeKind::tkUnknown);

    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto saved = SaveAndClearEvents(button, {"OnClick", "OnEnter"});
    button->Click();
    EXPECT_EQ(clicks, 0);
    RestoreEvents(button, saved);
    button->Click();
    EXPECT_EQ(clicks, 1);
}

TEST(Control, ReferencesToDestroyedComponentsAreCleared) {
    auto form = MakeForm("frmRefs");
    auto* edit = new TButton(form.get());
    edit->SetParent(form.get());
    auto* menu = new TPopupMenu(form.get());
    edit->SetPopupMenu(menu);
    auto* label = new TLabel(form.get());
    label->SetFocusControl(edit);
    delete menu;
    EXPECT_EQ(edit->PopupMenu(), nullptr);
    delete edit;   // leaves its parent and the label's reference
    EXPECT_EQ(label->FocusControl(), nullptr);
    EXPECT_EQ(form->ControlCount(), 0);
}

TEST(Control, ParentChangesAreChecked) {
    auto form = MakeForm("frmParents");
    auto* outer = AddPanel(form.get(), "outer", TAlign::alNone, 100, 100);
    auto* inner = AddPanel(outer, "inner", TAlign::alNone, 50, 50);
    EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
    EXPECT_THROW(outer->SetParent(outer), EInvalidOperation);
    inner->SetParent(form.get());
    EXPECT_EQ(outer->ControlCount(), 0);
    EXPECT_EQ(form->ControlCount(), 2);
    // Freeing a container frees the controls on it, whoever owns them.
    auto* child = new TButton(form.get());
    child->SetName("child");
    child->SetParent(outer);
    delete outer;
    EXPECT_EQ(form->FindComponent("child"), nullptr);
}
