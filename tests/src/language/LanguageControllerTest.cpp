#include "src/language/LanguageController.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/classes/Collection.h"
#include "platform/classes/IntegerConsts.h"
#include "platform/classes/PropertyAccess.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/TreeView.h"
#include "tests/src/language/LanguageTestSupport.h"
#include "tests/support/vcl/TestForm.h"

namespace {

// Small stand-ins for the toolkit's classes, with just the published properties the
// language files set. Their class names put them where the reader looks for forms and
// combo boxes.
class TTestFont : public TPersistent {
    VELMORA_CLASS(TTestFont)
public:
    const std::string& Name() const { return name_; }
    void SetName(const std::string& v) { name_ = v; }
    int64_t Charset() const { return charset_; }
    void SetCharset(int64_t v) { charset_ = v; }

private:
    std::string name_ = "宋体";
    int64_t charset_ = 134;
};

const TClassInfo& TTestFont::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TFont", &TPersistent::StaticClass());
        c.Add(Property("Name", &TTestFont::Name, &TTestFont::SetName));
        c.Add(TypedProperty("Charset", CharsetType(), &TTestFont::Charset, &TTestFont::SetCharset));
        return c;
    }();
    return info;
}

class TTestColumn : public TCollectionItem {
    VELMORA_CLASS(TTestColumn)
public:
    using TCollectionItem::TCollectionItem;
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }

private:
    std::string caption_;
};

const TClassInfo& TTestColumn::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTestColumn", &TCollectionItem::StaticClass());
        c.Add(Property("Caption", &TTestColumn::Caption, &TTestColumn::SetCaption));
        return c;
    }();
    return info;
}

class TTestControl : public TComponent {
    VELMORA_CLASS(TTestControl)
public:
    explicit TTestControl(TComponent* owner, const std::string& name = {}) : TComponent(owner) {
        if (!name.empty()) SetName(name);
    }
    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& v) { caption_ = v; }
    const std::string& Hint() const { return hint_; }
    void SetHint(const std::string& v) { hint_ = v; }
    int64_t Color() const { return color_; }
    void SetColor(int64_t v) { color_ = v; }
    TTestFont* Font() const { return font_.get(); }
    TStringList* Lines() const { return lines_.get(); }
    TCollectionOf<TTestColumn>* Columns() const { return columns_.get(); }

private:
    std::string caption_, hint_;
    int64_t color_ = clWindow;
    std::unique_ptr<TTestFont> font_ = std::make_unique<TTestFont>();
    std::unique_ptr<TStringList> lines_ = std::make_unique<TStringList>();
    std::unique_ptr<TCollectionOf<TTestColumn>> columns_ = std::make_unique<TCollectionOf<TTestColumn>>(nullptr);
};

const TClassInfo& TTestControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTestControl", &TComponent::StaticClass());
        c.Add(Property("Caption", &TTestControl::Caption, &TTestControl::SetCaption));
        c.Add(Property("Hint", &TTestControl::Hint, &TTestControl::SetHint));
        c.Add(TypedProperty("Color", ColorType(), &TTestControl::Color, &TTestControl::SetColor));
        c.Add(ObjectProperty("Font", &TTestControl::Font));
        c.Add(ObjectProperty("Lines", &TTestControl::Lines));
        c.Add(ObjectProperty("Columns", &TTestControl::Columns));
        return c;
    }();
    return info;
}

// Like a combo box of the system's screen, replacing an item loses the selection.
class TTestComboBox : public TComboBox {
public:
    explicit TTestComboBox(TComponent* owner, const std::string& name) : TComboBox(owner) {
        SetName(name);
        static_cast<TStringList*>(Items())->OnChange = [this](TObject*) { SetItemIndex(-1); };
    }
};

// A window with a few controls.
struct Window {
    TFormPtr<TForm> formPtr = MakeForm("frmTest");
    TForm& form = *formPtr;
    TTestControl* label = new TTestControl(&form, "lblTitle");
    TTestComboBox* combo = new TTestComboBox(&form, "cboMB034");
    TTestControl* grid = new TTestControl(&form, "dbgMain");
    TTestControl* panel = new TTestControl(&form, "pnlHead");
    TTestControl* edit = new TTestControl(panel, "edit1");   // owned by the panel
    Window() {
        form.SetCaption("设置分录性质");
        label->SetCaption("标题");
        combo->Items()->SetText("逐笔\n汇总");
        combo->SetItemIndex(1);
        grid->Columns()->Add()->SetCaption("单别");
        grid->Columns()->Add()->SetCaption("名称");
        edit->SetCaption("编辑");
    }
};

void Apply(TLanguageController& controller, TComponent* component, const std::string& xml) {
    controller.XMLText()->SetText(xml);
    controller.SetActive(true);
    controller.Reader()->ReadComponent(component);
}

TEST(LanguageController, AppliesRootAndComponentElements) {
    Window w;
    TLanguageController controller(nullptr);
    Apply(controller, &w.form,
          "<TTestForm Caption=\"Entry properties\">"
          "  <frmTest Hint=\"form hint\"/>"
          "  <Group><lblTitle Caption=\"Title\" Font.Name=\"Arial\" Color=\"clRed\" Font.Charset=\"ANSI_CHARSET\"/></Group>"
          "  <lblTitle Caption=\"second element is never used\"/>"
          "  <dbgMain Columns.Items_1.Caption=\"Name\" Columns.Items_7.Caption=\"out of range\"/>"
          "  <edit1 Caption=\"Edit\" Lines_1=\"b\" Nope=\"x\" Font.Nope.Deeper=\"x\"/>"
          "</TTestForm>");
    EXPECT_EQ(w.form.Caption(), "Entry properties");
    EXPECT_EQ(w.form.Hint(), "form hint");
    EXPECT_EQ(w.label->Caption(), "Title");
    EXPECT_EQ(w.label->Font()->Name(), "Arial");
    EXPECT_EQ(w.label->Color(), clRed);
    EXPECT_EQ(w.label->Font()->Charset(), 0);
    EXPECT_EQ(w.grid->Columns()->Items(0)->Caption(), "单别");
    EXPECT_EQ(w.grid->Columns()->Items(1)->Caption(), "Name");
    // Reached through its owner, the panel; unknown properties are skipped.
    EXPECT_EQ(w.edit->Caption(), "Edit");
    EXPECT_EQ(w.edit->Lines()->ToVector(), (std::vector<std::string>{"", "b"}));
}

// A window definition may turn the controller on before it gives it its text:
// activation waits until the window's creation step is over.
TEST(LanguageController, ActivationInACreationStepWaitsForLoaded) {
    struct TLangForm : TForm {
        explicit TLangForm(TComponent* owner) : TForm(owner), controller(new TLanguageController(this)) {
            SetName("frmLang");
            controller->SetActive(true);
            activeInStep = controller->Active();
            controller->XMLText()->SetText("<r><frmLang Caption=\"Translated\"/></r>");
            OnCreate = [this](TObject*) { controller->Reader()->ReadComponent(this); };
        }
        TLanguageController* controller;
        bool activeInStep = true;
    };
    TFormPtr<TLangForm> form(NewForm<TLangForm>(nullptr));
    EXPECT_FALSE(form->activeInStep);
    EXPECT_TRUE(form->controller->Active());
    EXPECT_EQ(form->Caption(), "Translated");
}

TEST(LanguageController, ItemsBeyondTheListKeepTheComboSelection) {
    Window w;
    TLanguageController controller(nullptr);
    Apply(controller, &w.form, "<r><cboMB034 Items_5=\"Sixth\" Items_0=\"Each\"/></r>");
    EXPECT_EQ(w.combo->Items()->ToVector(), (std::vector<std::string>{"Each", "汇总", "", "", "", "Sixth"}));
    EXPECT_EQ(w.combo->ItemIndex(), 1);
}

TEST(LanguageController, PathsThatFitNothingAreIgnored) {
    Window w;
    TLanguageController controller(nullptr);
    Apply(controller, &w.form,
          "<r><lblTitle Panels_1.Text=\"x\" Items_2=\"no items\" Color=\"notacolour\" Hint_x=\"kept\"/></r>");
    EXPECT_EQ(w.label->Caption(), "标题");
    EXPECT_EQ(w.label->Color(), clWindow);
    // A "_" without a number leaves the name part: Hint_x names Hint.
    EXPECT_EQ(w.label->Hint(), "kept");
}

TEST(LanguageController, PathsIntoListViewsAndTreeViews) {
    Window w;
    auto* view = new TListView(&w.form);
    view->SetName("lvwChosen");
    view->Columns()->Add()->SetCaption("单别");
    view->Columns()->Add()->SetCaption("名称");
    view->AddItem()->SetCaption("一");
    view->AddItem()->SetCaption("二");
    auto* tree = new TTreeView(&w.form);
    tree->SetName("tvwAccounts");
    TTreeNode* root = tree->Items()->Add(nullptr, "资产");
    tree->Items()->AddChild(root, "现金");
    tree->Items()->Add(root, "负债");
    TLanguageController controller(nullptr);
    Apply(controller, &w.form,
          "<r><lvwChosen Columns_1.Caption=\"Name\" Items_1.Caption=\"Two\" Columns_5.Caption=\"none\""
          " Items_9.Caption=\"none\" Items_0.Checked=\"True\"/>"
          "<tvwAccounts Items_1.Text=\"Cash\" Items_2.Text=\"Liabilities\" Items_3.Text=\"none\"/></r>");
    EXPECT_EQ(view->Columns()->Items(0)->Caption(), "单别");
    EXPECT_EQ(view->Columns()->Items(1)->Caption(), "Name");
    EXPECT_EQ(view->Items(0)->Caption(), "一");
    EXPECT_TRUE(view->Items(0)->Checked());
    EXPECT_EQ(view->Items(1)->Caption(), "Two");
    EXPECT_EQ(view->Caption(), "");   // indexes beyond the counts name nothing
    EXPECT_EQ(tree->Items()->Item(0)->Text(), "资产");
    EXPECT_EQ(tree->Items()->Item(1)->Text(), "Cash");
    EXPECT_EQ(tree->Items()->Item(2)->Text(), "Liabilities");
    EXPECT_EQ(tree->Text(), "");
}

TEST(LanguageController, EventsAndExclusionsArePublished) {
    TLanguageController controller(nullptr);
    bool opened = false;
    SetMethodProp(&controller, "AfterOpen", TMethod(TNotifyEvent([&](TObject*) { opened = true; })));
    TStringList exclude;
    exclude.Add("edit1");
    SetObjectProp(&controller, "ExcludeControls", &exclude);
    EXPECT_EQ(controller.ExcludeControls()->Text(), "edit1\r\n");
    for (const char* name : {"AfterClose", "BeforeClose", "BeforeOpen", "AfterLoadComponent", "BeforeLoadComponent"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(PropKind(&controller, name), TTypeKind::tkMethod);
    }
    controller.XMLText()->SetText("<r/>");
    controller.SetActive(true);
    EXPECT_TRUE(opened);
}

TEST(LanguageController, LaterPackageOverridesEarlierOne) {
    TempDir dir;
    Window w;
    dir.Write("TTestControl.Lng", "<TTestControl Caption=\"Base\"><lblTitle Caption=\"Base title\" Hint=\"base hint\"/></TTestControl>");
    dir.Write("TTestForm.Lng", "<TTestForm><lblTitle Caption=\"Own title\"/></TTestForm>");
    TLanguageController controller(nullptr);
    for (const char* package : {"TTestControl", "TTestCustomForm", "TTestForm"}) {
        controller.SetFileName(dir / (std::string(package) + ".Lng"));
        if (!std::filesystem::exists(controller.FileName())) continue;
        controller.SetActive(true);
        controller.Reader()->ReadComponent(&w.form);
    }
    EXPECT_EQ(w.form.Caption(), "Base");
    EXPECT_EQ(w.label->Caption(), "Own title");
    EXPECT_EQ(w.label->Hint(), "base hint");
}

TEST(LanguageController, ExclusionListSkipsTheElementNotTheChildren) {
    Window w;
    TLanguageController controller(nullptr);
    TStringList exclude;
    exclude.Add("  Edit1 ");
    exclude.Add("PNLHEAD");
    controller.SetExcludeControls(&exclude);
    TTestControl* inner = new TTestControl(w.edit, "innerLabel");
    Apply(controller, &w.form,
          "<r><edit1 Caption=\"no\"/><pnlHead Caption=\"no\"/><innerLabel Caption=\"yes\"/><lblTitle Caption=\"yes\"/></r>");
    EXPECT_EQ(w.edit->Caption(), "编辑");
    EXPECT_EQ(w.panel->Caption(), "");
    EXPECT_EQ(inner->Caption(), "yes");
    EXPECT_EQ(w.label->Caption(), "yes");
    // A later list replaces the reader's copy; nil clears it.
    controller.SetExcludeControls(nullptr);
    controller.Reader()->ReadComponent(&w.form);
    EXPECT_EQ(w.edit->Caption(), "no");
}

TEST(LanguageController, LoadEventsSeeEachAppliedElement) {
    Window w;
    TLanguageController controller(nullptr);
    std::vector<std::string> seen;
    controller.BeforeLoadComponent = [&](TObject*, TComponent* c, const TXmlNode& n) {
        seen.push_back("before " + c->Name() + ":" + n.Name());
    };
    controller.AfterLoadComponent = [&](TObject*, TComponent* c, const TXmlNode&) { seen.push_back("after " + c->Name()); };
    Apply(controller, &w.form, "<r><frmTest/><lblTitle/></r>");
    EXPECT_EQ(seen, (std::vector<std::string>{"before frmTest:r", "after frmTest", "before frmTest:frmTest",
                                              "after frmTest", "before lblTitle:lblTitle", "after lblTitle"}));
}

TEST(LanguageController, MalformedFileRaisesAndLeavesTheWindowAlone) {
    TempDir dir;
    Window w;
    TLanguageController controller(nullptr);
    controller.SetFileName(dir.Write("bad.Lng", "<r><lblTitle Caption=\"x\"></r>"));
    try {
        controller.SetActive(true);
        FAIL() << "no error";
    } catch (const LanguageControllerError& e) {
        EXPECT_NE(e.Message().find("mismatch"), std::string::npos) << e.Message();
    }
    EXPECT_FALSE(controller.Active());
    EXPECT_THROW(controller.Reader(), LanguageControllerError);
    EXPECT_EQ(w.label->Caption(), "标题");
}

TEST(LanguageController, ActivationErrorsAndStateChanges) {
    TLanguageController controller(nullptr);
    try {
        controller.SetActive(true);
        FAIL() << "no error";
    } catch (const LanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "Cannot Find File !");
    }
    try {
        controller.Reader();
        FAIL() << "no error";
    } catch (const LanguageControllerError& e) {
        EXPECT_EQ(e.Message(), "No active LanguageController!");
    }
    std::vector<std::string> events;
    controller.BeforeOpen = [&](TObject*) { events.push_back("BeforeOpen"); };
    controller.AfterOpen = [&](TObject*) { events.push_back("AfterOpen"); };
    controller.BeforeClose = [&](TObject*) { events.push_back("BeforeClose"); };
    controller.AfterClose = [&](TObject*) { events.push_back("AfterClose"); };
    controller.XMLText()->SetText("<r/>");
    controller.SetActive(true);
    EXPECT_TRUE(controller.Active());
    controller.SetActive(true);   // already active: nothing
    controller.SetFileName("/somewhere/x.Lng");   // clears the text and deactivates
    EXPECT_FALSE(controller.Active());
    EXPECT_EQ(controller.XMLText()->Count(), 0);
    controller.XMLText()->SetText("<r/>");         // a text clears the file name
    EXPECT_EQ(controller.FileName(), "");
    EXPECT_EQ(events, (std::vector<std::string>{"BeforeOpen", "AfterOpen", "BeforeClose", "AfterClose"}));
}

// Language folders and messages, with an installation set up through the registry.
class LanguageFolders : public ::testing::Test {
protected:
    void Install(const std::string& uiCodePage) {
        registry = std::make_unique<RegistryScope>(dir, std::map<std::string, std::string>{{"ClientPath", dir / "client"}});
        dir.Write("client/VelmoraC.ini", "[CodePage]\nUICodePage=" + uiCodePage + "\n");
    }
    TempDir dir;
    std::unique_ptr<RegistryScope> registry;
};

TEST_F(LanguageFolders, FolderByCodePage) {
    EXPECT_EQ(LanguageFolderFor("/opt/v/", "936"), "/opt/v/MultiLanguage/CHS/");
    EXPECT_EQ(LanguageFolderFor("/opt/v/", "950"), "/opt/v/MultiLanguage/CHT/");
    EXPECT_EQ(LanguageFolderFor("/opt/v/", "437"), "/opt/v/MultiLanguage/ENG/");
    EXPECT_EQ(LanguageFolderFor("/opt/v/", "1252"), "");

    Install("437");
    EXPECT_EQ(GetLanguageFolder(TDesignType::dtClient), "");   // the folder does not exist yet
    dir.Write("client/MultiLanguage/ENG/TdmSingle.Lng", "<TdmSingle/>");
    EXPECT_EQ(GetLanguageFolder(TDesignType::dtClient), dir / "client/MultiLanguage/ENG/");
}

TEST_F(LanguageFolders, ReadLangMessageDefaults) {
    Install("437");
    const std::string folder = "client/MultiLanguage/ENG/";
    dir.Write(folder + "TdmSingle.Lng",
              "<TdmSingle><sFailedSave Msg=\"Saving failed\"/><sNoMsg Text=\"x\"/><sFailedSave Msg=\"second\"/></TdmSingle>");
    dir.Write(folder + "TdmRadical.Lng", "<TdmRadical><sCompany Msg=\"Company\"");
    struct Case {
        const char* name;
        const char* package;
        const char* id;
        const char* expected;
    };
    const Case cases[] = {
        {"found", "TdmSingle", "sFailedSave", "Saving failed"},
        {"no Msg attribute", "TdmSingle", "sNoMsg", "默认"},
        {"no element", "TdmSingle", "sMissing", "默认"},
        {"malformed file", "TdmRadical", "sCompany", "默认"},
        {"no file", "TfrmSingle", "sAny", "默认"},
        {"invalid identifier", "TdmSingle", "a[", "默认"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ReadLangMessage(TDesignType::dtClient, c.package, c.id, "默认"), c.expected);
    }
}

TEST_F(LanguageFolders, PackageNameChoosesTheFile) {
    Install("950");
    dir.Write("client/MultiLanguage/CHT/TfrmSingle.Lng", "<TfrmSingle Caption=\"單表\"/>");
    TQvLangController controller(nullptr);
    controller.SetLangPackageName("TfrmSingle");
    EXPECT_EQ(controller.FileName(), dir / "client/MultiLanguage/CHT/TfrmSingle.Lng");
    controller.SetActive(true);
    controller.SetLangPackageName("TfrmSingle");   // same name: stays open
    EXPECT_TRUE(controller.Active());
    controller.SetLangPackageName("TQVForm");
    EXPECT_FALSE(controller.Active());
    EXPECT_EQ(GetPropText(&controller, "DesignType"), "dtClient");
}

}  // namespace

namespace {

// The shipped English files parse and answer every message their callers ask for.
TEST_F(LanguageFolders, ShippedEnglishFilesAnswerTheirMessages) {
    std::filesystem::create_directories(dir / "client/MultiLanguage");
    std::filesystem::copy(VELMORA_SOURCE_DIR "/data/MultiLanguage/ENG", dir / "client/MultiLanguage/ENG",
                          std::filesystem::copy_options::recursive);
    Install("437");
    struct Case {
        const char* package;
        const char* id;
    };
    const Case cases[] = {
        {"TdmRadical", "sCompany"},    {"TdmRadical", "sCreator"},    {"TdmRadical", "sGroup"},
        {"TdmRadical", "sCreateDate"}, {"TdmRadical", "sModifier"},   {"TdmRadical", "sModiDate"},
        {"TdmRadical", "sFlag"},       {"TdmSingle", "sFailedSave"},  {"TdmSingle", "sFailedCreateExcell"},
        {"TdmSingle", "sConvertStat"}, {"TdmSingle", "sCreateDirError"}, {"TdmSingle", "sOpenDoc"},
        {"TdmSingle", "sSaveAsError"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.package) + "/" + c.id);
        const std::string text = ReadLangMessage(TDesignType::dtClient, c.package, c.id, "\x01");
        EXPECT_NE(text, "\x01");
        EXPECT_FALSE(text.empty());
    }
    EXPECT_EQ(ReadLangMessage(TDesignType::dtClient, "TdmSingle", "sOpenDoc", ""),
              "Exported document: \r%s\r\rOpen the document?");
    // Every shipped file is well-formed.
    for (const auto& entry : std::filesystem::directory_iterator(dir / "client/MultiLanguage/ENG")) {
        SCOPED_TRACE(entry.path().filename().string());
        TXmlDocument doc;
        EXPECT_TRUE(doc.LoadFile(entry.path().string())) << doc.Reason();
    }
}

}  // namespace
