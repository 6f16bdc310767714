#include <gtest/gtest.h>

#include "platform/vcl/Application.h"
#include "platform/vcl/Button.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Menus.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
TButton* AddButton(TCustomForm* form, const char* name, int modalResult) {
    auto* b = new TButton(form);
    b->SetName(name);
    b->SetParent(form);
    b->SetModalResult(modalResult);
    return b;
}
}  // namespace

TEST(Keys, PreviewSeesKeysFirstAndCanSwallowThem) {
    auto form = MakeForm("frmKeys");
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    std::vector<std::string> log;
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
        log.push_back("form down " + std::to_string(key));
        if (key == VK_F2) key = 0;
    };
    form->OnKeyPress = [&](TObject*, char32_t& key) {
        log.push_back("form press");
        if (key == U'x') key = 0;
    };
    edit->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { log.push_back("edit down " + std::to_string(key)); };
    edit->OnKeyPress = [&](TObject*, char32_t&) { log.push_back("edit press"); };
    form->Show();

    KeyDown(*form, VK_F2);
    EXPECT_EQ(log, (std::vector<std::string>{"form down 113"}));
    log.clear();
    KeyDown(*form, VK_F3);
    EXPECT_EQ(log, (std::vector<std::string>{"form down 114", "edit down 114"}));
    TypeText(*form, "axb");
    EXPECT_EQ(edit->Text(), "ab");

    // Without preview the form hears nothing.
    form->SetKeyPreview(false);
    log.clear();
    KeyDown(*form, VK_F2);
    EXPECT_EQ(log, (std::vector<std::string>{"edit down 113"}));
}

TEST(Keys, ShortcutsDefaultAndCancelButtons) {
    auto form = MakeForm("frmShortcuts");
    auto* edit = new TEdit(form.get());
    edit->SetParent(form.get());
    auto* menu = new TMainMenu(form.get());
    form->SetMenu(menu);
    auto* file = new TMenuItem(form.get());
    file->SetCaption("&File");
    menu->Items()->Add(file);
    auto* save = new TMenuItem(form.get());
    save->SetCaption("&Save");
    save->SetShortCut(TextToShortCut("Ctrl+S"));
    file->Add(save);
    int saves = 0, oks = 0, cancels = 0;
    save->OnClick = [&](TObject*) { ++saves; };
    auto* ok = AddButton(form.get(), "btnOK", mrNone);
    ok->SetDefault(true);
    ok->OnClick = [&](TObject*) { ++oks; };
    auto* cancel = AddButton(form.get(), "btnCancel", mrNone);
    cancel->SetCancel(true);
    cancel->OnClick = [&](TObject*) { ++cancels; };
    form->SetKeyPreview(true);
    int previewed = 0;
    form->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { ++previewed; };
    form->Show();

    PressKey(*form, 'S', {TShiftStateItem::ssCtrl});
    PressKey(*form, VK_RETURN);
    PressKey(*form, VK_ESCAPE);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(previewed, 0);   // consumed before the preview, as the screen does
    save->SetEnabled(false);
    PressKey(*form, 'S', {TShiftStateItem::ssCtrl});
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(ShortCutToText(save->ShortCut()), "Ctrl+S");
    EXPECT_EQ(StripHotkey("&Save && Exit"), "Save & Exit");
    EXPECT_EQ(GetHotkey("E&xit"), U'X');
}

TEST(Modal, AScriptedButtonClickEndsTheRunWithItsResult) {
    auto form = MakeForm("frmAsk");
    AddButton(form.get(), "btnYes", mrYes);
    AddButton(form.get(), "btnNo", mrNo);
    std::vector<std::string> events;
    form->OnShow = [&](TObject*) { events.push_back("show"); };
    form->OnClose = [&](TObject*, TCloseAction&) { events.push_back("close"); };
    form->OnHide = [&](TObject*) { events.push_back("hide"); };
    TDialogAnswerer answerer;
    answerer.Click("btnNo");
    EXPECT_EQ(form->ShowModal(), mrNo);
    EXPECT_FALSE(form->Visible());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "close", "hide"}));
    ASSERT_EQ(answerer.Shown().size(), 1u);
    EXPECT_EQ(answerer.Shown()[0].FormName, "frmAsk");
}

TEST(Modal, CloseQueryAndCloseActionCanKeepTheFormOpen) {
    auto form = MakeForm("frmGuarded");
    AddButton(form.get(), "btnOK", mrOk);
    int queries = 0;
    form->OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++queries > 1; };
    TDialogAnswerer answerer;
    answerer.Click("btnOK").Click("btnOK");
    EXPECT_EQ(form->ShowModal(), mrOk);
    EXPECT_EQ(queries, 2);

    // Close inside a modal run cancels it.
    answerer.Then([](TCustomForm& f) { f.Close(); });
    form->OnCloseQuery = nullptr;
    EXPECT_EQ(form->ShowModal(), mrCancel);
}

TEST(Modal, WaitingWithoutInputRaisesInsteadOfHanging) {
    auto form = MakeForm("frmStuck");
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);
    EXPECT_FALSE(form->Visible());
    form->Show();
    EXPECT_THROW(form->ShowModal(), EInvalidOperation);   // already visible
}

TEST(Dialogs, MessageDialogsAreFormsAnsweredByTheHelper) {
    TDialogAnswerer answerer;
    answerer.Click("No").Click("Yes").Then([](TCustomForm& f) { PressKey(f, VK_ESCAPE); });
    const TMsgDlgButtons yesNoCancel = {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo, TMsgDlgBtn::mbCancel};
    EXPECT_EQ(MessageDlg("是否保存?", TMsgDlgType::mtConfirmation, yesNoCancel), mrNo);
    EXPECT_EQ(MessageDlg("Delete?", TMsgDlgType::mtWarning, yesNoCancel), mrYes);
    EXPECT_EQ(MessageDlg("Go on?", TMsgDlgType::mtError, {TMsgDlgBtn::mbAbort, TMsgDlgBtn::mbCancel}), mrCancel);
    ASSERT_EQ(answerer.Shown().size(), 3u);
    EXPECT_EQ(answerer.Shown()[0].Caption, "Confirm");
    EXPECT_EQ(answerer.Shown()[0].Text, "是否保存?");
    EXPECT_EQ(answerer.Shown()[1].Caption, "Warning");
    EXPECT_EQ(answerer.Shown()[2].Caption, "Error");

    const struct {
        TMsgDlgBtn button;
        const char* name;
        int result;
    } kinds[] = {{TMsgDlgBtn::mbOK, "OK", 1},         {TMsgDlgBtn::mbCancel, "Cancel", 2},
                 {TMsgDlgBtn::mbAbort, "Abort", 3},   {TMsgDlgBtn::mbRetry, "Retry", 4},
                 {TMsgDlgBtn::mbIgnore, "Ignore", 5}, {TMsgDlgBtn::mbYes, "Yes", 6},
                 {TMsgDlgBtn::mbNo, "No", 7},         {TMsgDlgBtn::mbAll, "All", 8},
                 {TMsgDlgBtn::mbNoToAll, "NoToAll", 9}, {TMsgDlgBtn::mbYesToAll, "YesToAll", 10}};
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.name);
        answerer.Click(k.name);
        EXPECT_EQ(MessageDlg("?", TMsgDlgType::mtCustom, {k.button}), k.result);
    }
    // Enter answers with the default button.
    answerer.Then([](TCustomForm& f) { PressKey(f, VK_RETURN); });
    EXPECT_EQ(MessageDlg("?", TMsgDlgType::mtInformation, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}), mrOk);
    EXPECT_EQ(answerer.Pending(), 0u);
}

TEST(Forms, CloseActionsAndEvents) {
    std::vector<std::string> events;
    TForm* form = NewForm<TForm>(nullptr);
    form->OnCreate = [&](TObject*) { events.push_back("create"); };   // set after creation: not run
    form->OnActivate = [&](TObject*) { events.push_back("activate"); };
    form->OnDeactivate = [&](TObject*) { events.push_back("deactivate"); };
    form->OnDestroy = [&](TObject*) { events.push_back("destroy"); };
    TCloseAction action = TCloseAction::caHide;
    form->OnClose = [&](TObject*, TCloseAction& a) {
        events.push_back("close");
        a = action;
    };
    form->Show();
    EXPECT_TRUE(form->Active());
    EXPECT_EQ(Screen()->ActiveForm(), form);
    action = TCloseAction::caNone;
    form->Close();
    EXPECT_TRUE(form->Visible());
    action = TCloseAction::caMinimize;
    form->Close();
    EXPECT_EQ(form->WindowState(), TWindowState::wsMinimized);
    action = TCloseAction::caFree;
    form->Close();   // released: freed once the current event is over
    EXPECT_FALSE(form->Visible());
    Application()->ProcessMessages();
    EXPECT_EQ(events, (std::vector<std::string>{"activate", "close", "close", "close", "deactivate", "destroy"}));
    EXPECT_EQ(Screen()->ActiveForm(), nullptr);
}

TEST(Forms, CreatedFormsRunOnCreateAndFormsByClassName) {
    struct TProbeForm : TForm {
        explicit TProbeForm(TComponent* owner) : TForm(owner) {
            OnCreate = [this](TObject*) { created = Font() != nullptr; };
        }
        bool created = false;
    };
    TFormPtr<TProbeForm> probe(NewForm<TProbeForm>(nullptr));
    EXPECT_TRUE(probe->created);
    // The form's components, then the form, are Loaded after the creation step and before OnCreate.
    struct TLoadedButton : TButton {
        TLoadedButton(TComponent* owner, std::string* log) : TButton(owner), log_(log) {}
        void Loaded() override { *log_ += "loaded " + Caption() + ";"; }
        std::string* log_;
    };
    struct TLoadingForm : TForm {
        explicit TLoadingForm(TComponent* owner) : TForm(owner) {
            auto* ok = new TLoadedButton(this, &log);
            ok->SetParent(this);
            ok->SetCaption("OK");   // set after creation, seen by Loaded
            OnCreate = [this](TObject*) { log += "create;"; };
        }
        void Loaded() override { log += "loaded form;"; }
        std::string log;
    };
    TFormPtr<TLoadingForm> loading(NewForm<TLoadingForm>(nullptr));
    EXPECT_EQ(loading->log, "loaded OK;loaded form;create;");

    Application();   // registers the standard classes
    TComponent owner(nullptr);
    for (const char* name : {"TEdit", "TPanel", "TStringGrid", "TMainMenu", "TTimer", "TPageControl", "TDataModule"}) {
        SCOPED_TRACE(name);
        TComponent* c = CreateComponentByClassName(name, &owner);
        EXPECT_EQ(c->ClassName(), name);
        delete c;
    }
    auto* byName = dynamic_cast<TForm*>(CreateComponentByClassName("TForm", &owner));
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(byName->Owner(), &owner);
    byName->SetPosition(TPosition::poScreenCenter);
    byName->SetBounds(0, 0, 400, 191);
    byName->Show();
    EXPECT_EQ(byName->Left(), (Screen()->Width() - 400) / 2);
}
