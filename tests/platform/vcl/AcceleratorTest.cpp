#include <gtest/gtest.h>

#include "platform/vcl/Button.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/Menus.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
// A dialog with accelerators everywhere: a main menu (File with sub-items, Help
// without), a label for an edit, buttons (one disabled), a check box and a radio
// button. Every click is logged. The key preview swallows Alt+Q.
struct TAccelWindow {
    TFormPtr<TForm> form = MakeForm("frmAccel");
    TMainMenu* menu = new TMainMenu(form.get());
    TMenuItem* file = nullptr;
    std::string log;

    TAccelWindow() {
        form->SetMenu(menu);
        file = Item(menu->Items(), "&File");
        Item(file, "&Open");
        Item(file, "-");
        Item(file, "&Save")->SetEnabled(false);
        Item(file, "E&xit");
        Item(menu->Items(), "&Help");
        auto* name = Edit("edName");
        Edit("edOther");
        auto* label = new TLabel(form.get());
        label->SetName("lblName");
        label->SetCaption("&Name");
        label->SetParent(form.get());
        label->SetFocusControl(name);
        auto* idle = new TLabel(form.get());
        idle->SetCaption("&Idle");   // no FocusControl: nothing to do
        idle->SetParent(form.get());
        Logged(new TButton(form.get()), "btnGo", "&Go");
        Logged(new TButton(form.get()), "btnQuit", "&Quit");
        Logged(new TButton(form.get()), "btnDisabled", "&Disabled")->SetEnabled(false);
        Logged(new TCheckBox(form.get()), "chkActive", "&Active");
        Logged(new TRadioButton(form.get()), "rbRed", "&Red");
        form->SetKeyPreview(true);
        form->OnKeyDown = [](TObject*, uint16_t& key, TShiftState shift) {
            if (key == 'Q' && shift.Contains(TShiftStateItem::ssAlt)) key = 0;
        };
        form->Show();
    }
    TMenuItem* Item(TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) { log += "menu " + StripHotkey(caption) + ";"; };
        parent->Add(item);
        return item;
    }
    TEdit* Edit(const std::string& name) {
        auto* e = new TEdit(form.get());
        e->SetName(name);
        e->SetParent(form.get());
        return e;
    }
    TWinControl* Logged(TWinControl* c, const std::string& name, const std::string& caption) {
        c->SetName(name);
        c->SetCaption(caption);
        c->SetParent(form.get());
        c->OnClick = [this, name](TObject*) { log += "click " + name + ";"; };
        return c;
    }
    TWinControl* Named(const std::string& name) { return Find<TWinControl>(*form, name); }
};

const TShiftState kAlt{TShiftStateItem::ssAlt};
}  // namespace

TEST(Accelerator, ReachesTheMatchingControlOrMenuItem) {
    struct Case {
        const char* what;
        const char* focused;
        uint16_t key;
        TShiftState shift;
        bool consumed;
        const char* log;
        const char* focusAfter;
    };
    const Case cases[] = {
        {"Alt+letter clicks a button and focuses it", "edName", 'G', kAlt, true, "click btnGo;", "btnGo"},
        {"plain letter in an edit is typing", "edName", 'G', {}, false, "", "edName"},
        {"plain letter on a button is an accelerator", "chkActive", 'G', {}, true, "click btnGo;", "btnGo"},
        {"shifted letter on a button too", "btnQuit", 'G', {TShiftStateItem::ssShift}, true, "click btnGo;", "btnGo"},
        {"label sends the focus to its control", "btnGo", 'N', kAlt, true, "", "edName"},
        {"check box toggles", "edName", 'A', kAlt, true, "click chkActive;", "chkActive"},
        {"radio button checks", "edName", 'R', kAlt, true, "click rbRed;", "rbRed"},
        {"menu item without sub-items clicks", "edName", 'H', kAlt, true, "menu Help;", "edName"},
        {"plain letter never reaches the menu", "btnGo", 'H', {}, false, "", "btnGo"},
        {"swallowed by the key preview", "edName", 'Q', kAlt, false, "", "edName"},
        {"disabled button ignores it", "edName", 'D', kAlt, false, "", "edName"},
        {"label without a focus control", "edName", 'I', kAlt, false, "", "edName"},
        {"no match", "edName", 'Z', kAlt, false, "", "edName"},
        {"Ctrl is no accelerator", "btnQuit", 'G', {TShiftStateItem::ssCtrl}, false, "", "btnQuit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TAccelWindow w;
        w.Named(c.focused)->SetFocus();
        EXPECT_EQ(KeyDown(*w.form, c.key, c.shift), c.consumed);
        EXPECT_EQ(w.log, c.log);
        ASSERT_NE(w.form->ActiveControl(), nullptr);
        EXPECT_EQ(w.form->ActiveControl()->Name(), c.focusAfter);
        EXPECT_FALSE(w.menu->IsOpen());
    }
}

TEST(Accelerator, ConsumedLetterTypesNothing) {
    TAccelWindow w;
    w.Named("btnQuit")->SetFocus();
    TypeText(*w.form, "g");
    EXPECT_EQ(w.log, "click btnGo;");
    w.Named("edOther")->SetFocus();
    TypeText(*w.form, "go");
    EXPECT_EQ(w.Named("edOther")->Text(), "go");
    EXPECT_EQ(w.log, "click btnGo;");
}

TEST(Accelerator, MenuItemWithSubItemsDropsDown) {
    TAccelWindow w;
    w.Named("edName")->SetFocus();
    EXPECT_TRUE(KeyDown(*w.form, 'F', kAlt));
    EXPECT_TRUE(w.menu->IsOpen());
    EXPECT_EQ(w.menu->OpenItem(), w.file);
    EXPECT_EQ(w.menu->Selected(), 0);
    EXPECT_EQ(w.log, "");
}

namespace {
// An edit with a popup menu: Copy, a line, Paste (disabled), Delete, More (with
// Alpha under it).
struct TPopupWindow {
    TFormPtr<TForm> form = MakeForm("frmPopup");
    TEdit* edit = new TEdit(form.get());
    TPopupMenu* menu = new TPopupMenu(form.get());
    TMenuItem* more = nullptr;
    std::string log;

    TPopupWindow() {
        edit->SetParent(form.get());
        edit->SetPopupMenu(menu);
        Item(menu->Items(), "&Copy");
        Item(menu->Items(), "-");
        Item(menu->Items(), "&Paste")->SetEnabled(false);
        Item(menu->Items(), "&Delete");
        more = Item(menu->Items(), "&More");
        Item(more, "&Alpha");
        form->Show();
    }
    TMenuItem* Item(TMenuItem* parent, const std::string& caption) {
        auto* item = new TMenuItem(form.get());
        item->SetCaption(caption);
        item->OnClick = [this, caption](TObject*) { log += StripHotkey(caption) + ";"; };
        parent->Add(item);
        return item;
    }
    std::string SelectedCaption() const {
        if (!menu->IsOpen() || menu->Selected() < 0) return "";
        return StripHotkey(menu->OpenItem()->Items(menu->Selected())->Caption());
    }
};
}  // namespace

TEST(MenuKeys, NavigateAnOpenPopupMenu) {
    struct Case {
        const char* what;
        std::vector<uint16_t> keys;
        const char* log;
        bool open;
        const char* selected;
    };
    const Case cases[] = {
        {"opens on the first item", {}, "", true, "Copy"},
        {"Down skips the line and the disabled item", {VK_DOWN}, "", true, "Delete"},
        {"Down wraps round", {VK_DOWN, VK_DOWN, VK_DOWN}, "", true, "Copy"},
        {"Up wraps round", {VK_UP}, "", true, "More"},
        {"Enter clicks the selected item and closes", {VK_DOWN, VK_RETURN}, "Delete;", false, ""},
        {"Escape closes without a click", {VK_DOWN, VK_ESCAPE}, "", false, ""},
        {"accelerator letter clicks", {'D'}, "Delete;", false, ""},
        {"disabled item's letter does nothing", {'P'}, "", true, "Copy"},
        {"Enter opens sub-items", {VK_UP, VK_RETURN}, "", true, "Alpha"},
        {"letter opens sub-items, then clicks there", {'M', 'A'}, "Alpha;", false, ""},
        {"Right opens sub-items", {VK_UP, VK_RIGHT}, "", true, "Alpha"},
        {"Left goes back to the item it came from", {VK_UP, VK_RIGHT, VK_LEFT}, "", true, "More"},
        {"Right on an item without sub-items stays", {VK_RIGHT, VK_LEFT}, "", true, "Copy"},
        {"other keys are eaten while open", {'X', VK_TAB}, "", true, "Copy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TPopupWindow w;
        ContextClick(*w.edit);
        ASSERT_TRUE(w.menu->IsOpen());
        for (uint16_t key : c.keys) EXPECT_TRUE(KeyDown(*w.form, key));
        EXPECT_EQ(w.log, c.log);
        EXPECT_EQ(w.menu->IsOpen(), c.open);
        EXPECT_EQ(w.SelectedCaption(), c.selected);
        EXPECT_EQ(w.edit->Text(), "");
    }
}

TEST(MenuKeys, ClosedMenuLeavesKeysToTheControl) {
    TPopupWindow w;
    ContextClick(*w.edit);
    Click(*w.edit);   // a press elsewhere closes the menu
    EXPECT_FALSE(w.menu->IsOpen());
    TypeText(*w.form, "dx");
    EXPECT_EQ(w.edit->Text(), "dx");
    EXPECT_EQ(w.log, "");
}

TEST(MenuKeys, OnlyOneMenuIsOpenAndAGoneMenuIsClosed) {
    TAccelWindow main;
    TPopupWindow popup;
    ContextClick(*popup.edit);
    EXPECT_TRUE(KeyDown(*main.form, 'F', kAlt));   // eaten by the open popup menu
    EXPECT_FALSE(main.menu->IsOpen());
    main.menu->DropDown(main.file);
    EXPECT_TRUE(main.menu->IsOpen());
    EXPECT_FALSE(popup.menu->IsOpen());
    EXPECT_TRUE(KeyDown(*main.form, VK_LEFT));   // the top level of a main menu stays
    EXPECT_EQ(main.menu->OpenItem(), main.file);
    EXPECT_TRUE(KeyDown(*main.form, VK_DOWN));
    EXPECT_TRUE(KeyDown(*main.form, VK_RETURN));   // Save is disabled: Exit
    EXPECT_EQ(main.log, "menu Exit;");
    EXPECT_FALSE(main.menu->IsOpen());

    ContextClick(*popup.edit);
    delete popup.more->Parent()->Items(0);   // items going while open keep the menu sound
    EXPECT_TRUE(KeyDown(*popup.form, VK_DOWN));
    delete popup.menu;
    EXPECT_EQ(TMenu::OpenMenu(), nullptr);
    popup.form->Show();
    TypeText(*popup.form, "d");
    EXPECT_EQ(popup.edit->Text(), "d");
}
