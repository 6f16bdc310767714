#include <gtest/gtest.h>

#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
// A window like the framework's record windows: a head panel with two edits, a page
// control whose pages hold edits (one page hidden), a nested panel, and a button.
// The form moves on with Enter through its key preview, as the framework's windows do.
struct TNestedWindow {
    TFormPtr<TForm> form = MakeForm("frmNested", 600, 400);
    std::vector<std::string> log;

    TNestedWindow() {
        auto* head = Panel(form.get(), "pnlHead", TAlign::alTop, 60);
        Edit(head, "edMB001");
        Edit(head, "edMB002");
        auto* pages = new TPageControl(form.get());
        pages->SetName("pgHead");
        pages->SetParent(form.get());
        pages->SetAlign(TAlign::alClient);
        auto* page1 = Page(pages, "tsMain");
        auto* page2 = Page(pages, "tsHidden");
        auto* page3 = Page(pages, "tsOther");
        auto* inner = Panel(page1, "pnlInner", TAlign::alClient, 0);
        Edit(inner, "edMB003");
        Edit(page1, "edMB004")->SetTabOrder(0);   // before the inner panel in tab order
        Edit(page2, "edMB005");
        Edit(page3, "edMB006");
        page2->SetTabVisible(false);
        auto* ok = new TButton(form.get());
        ok->SetName("btnOK");
        ok->SetParent(form.get());
        ok->SetAlign(TAlign::alBottom);
        ok->OnEnter = [this](TObject* s) { log.push_back("enter " + static_cast<TComponent*>(s)->Name()); };
        form->SetKeyPreview(true);
        form->OnKeyPress = [this](TObject*, char32_t& key) {
            if (key != U'\r') return;
            key = 0;
            form->SelectNext(form->ActiveControl(), true, true);
        };
    }
    TPanel* Panel(TWinControl* parent, const char* name, TAlign align, int h) {
        auto* p = new TPanel(form.get());
        p->SetName(name);
        p->SetParent(parent);
        p->SetHeight(h);
        p->SetAlign(align);
        return p;
    }
    TTabSheet* Page(TPageControl* pc, const char* name) {
        auto* t = new TTabSheet(form.get());
        t->SetName(name);
        t->SetCaption(name);
        t->SetPageControl(pc);
        return t;
    }
    TEdit* Edit(TWinControl* parent, const char* name) {
        auto* e = new TEdit(form.get());
        e->SetName(name);
        e->SetParent(parent);
        e->OnEnter = [this](TObject* s) { log.push_back("enter " + static_cast<TComponent*>(s)->Name()); };
        e->OnExit = [this](TObject* s) { log.push_back("exit " + static_cast<TComponent*>(s)->Name()); };
        return e;
    }
    std::string Focused() const { return form->ActiveControl() ? form->ActiveControl()->Name() : ""; }
};
}  // namespace

TEST(Focus, TabAndEnterWalkTheTabOrderAcrossNestedPanelsAndVisiblePages) {
    TNestedWindow w;
    w.form->Show();
    EXPECT_EQ(w.Focused(), "edMB001");   // the first control in tab order
    const std::vector<std::string> forward = {"edMB002", "pgHead", "edMB004", "edMB003", "btnOK", "edMB001"};
    for (const auto& expected : forward) {
        PressKey(*w.form, VK_TAB);
        EXPECT_EQ(w.Focused(), expected);
    }
    // Enter moves the same way through the form's key preview (and types nothing),
    // until a focused button takes Enter as its own click.
    int clicks = 0;
    Find<TButton>(*w.form, "btnOK")->OnClick = [&](TObject*) { ++clicks; };
    for (size_t i = 0; i + 1 < forward.size(); ++i) {
        PressKey(*w.form, VK_RETURN);
        EXPECT_EQ(w.Focused(), forward[i]);
    }
    EXPECT_EQ(clicks, 0);
    PressKey(*w.form, VK_RETURN);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(w.Focused(), "btnOK");
    PressKey(*w.form, VK_TAB, {TShiftStateItem::ssShift});
    EXPECT_EQ(w.Focused(), "edMB003");
    EXPECT_EQ(Find<TEdit>(*w.form, "edMB001")->Text(), "");

    // On another page, the first page's controls are out of reach; the hidden one never is.
    auto* pages = Find<TPageControl>(*w.form, "pgHead");
    Click(*pages, pages->TabRect(1).Left + 2, 2);
    EXPECT_EQ(pages->ActivePage()->Name(), "tsOther");
    EXPECT_EQ(w.Focused(), "pgHead");
    PressKey(*w.form, VK_TAB);
    EXPECT_EQ(w.Focused(), "edMB006");
    PressKey(*w.form, VK_TAB);
    EXPECT_EQ(w.Focused(), "btnOK");
}

TEST(Focus, EnterAndExitEventsRunInOrderAndAFailingExitKeepsTheFocus) {
    TNestedWindow w;
    w.form->Show();
    w.log.clear();
    Find<TEdit>(*w.form, "edMB003")->SetFocus();
    EXPECT_EQ(w.log, (std::vector<std::string>{"exit edMB001", "enter edMB003"}));

    Find<TEdit>(*w.form, "edMB003")->OnExit = [](TObject*) { throw EConvertError("bad value"); };
    EXPECT_THROW(Find<TEdit>(*w.form, "edMB001")->SetFocus(), EConvertError);
    EXPECT_EQ(w.Focused(), "edMB003");

    // Through the input road the error goes to the application's handler instead.
    std::string reported;
    Application()->OnException = [&](TObject*, const std::exception& e) { reported = e.what(); };
    Click(*Find<TEdit>(*w.form, "edMB001"));
    Application()->OnException = nullptr;
    EXPECT_EQ(reported, "bad value");
    EXPECT_EQ(w.Focused(), "edMB003");
}

TEST(Focus, FocusRulesForHiddenDisabledAndDestroyedControls) {
    TNestedWindow w;
    auto* e2 = Find<TEdit>(*w.form, "edMB002");
    w.form->SetActiveControl(e2);   // not showing yet: remembered for the show
    w.form->Show();
    EXPECT_EQ(w.Focused(), "edMB002");
    EXPECT_TRUE(e2->Focused());
    auto* e1 = Find<TEdit>(*w.form, "edMB001");
    e1->SetEnabled(false);
    EXPECT_FALSE(e1->CanFocus());
    EXPECT_THROW(e1->SetFocus(), EInvalidOperation);
    EXPECT_THROW(Find<TEdit>(*w.form, "edMB005")->SetFocus(), EInvalidOperation);   // hidden page
    delete e2;   // the form lets go of its focused control
    EXPECT_EQ(w.form->ActiveControl(), nullptr);
    PressKey(*w.form, VK_TAB);
    EXPECT_EQ(w.Focused(), "pgHead");
}
