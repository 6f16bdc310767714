#include "src/language/CodeConverter.h"

#include <gtest/gtest.h>

#include "platform/classes/PropertyAccess.h"
#include "platform/vcl/Application.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Font.h"
#include "platform/vcl/Grid.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/StatusBar.h"
#include "platform/vcl/TabSet.h"
#include "platform/vcl/TreeView.h"
#include "tests/src/language/LanguageTestSupport.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/TestForm.h"

namespace {

// An installation whose client configuration and system code page are given.
class CodePages : public ::testing::Test {
protected:
    void Install(const std::string& ui, const std::string& db, const std::string& sys) {
        registry.reset();   // the old scope restores the variable when it goes
        registry = std::make_unique<RegistryScope>(
            dir, std::map<std::string, std::string>{{"ClientPath", dir / "client"}, {"SysCodePage", sys}});
        dir.Write("client/VelmoraC.ini", "[CodePage]\nUICodePage=" + ui + "\nDBCodePage=" + db + "\n");
    }
    TempDir dir;
    std::unique_ptr<RegistryScope> registry;
};

TEST_F(CodePages, ModesFromTheConfiguration) {
    struct Case {
        const char* ui;
        const char* db;
        const char* sys;
        int uiMode;
        int dbMode;
        bool translator;
    };
    const Case cases[] = {
        {"950", "936", "936", 2, 2, true},  {"950", "950", "936", 2, 0, true},
        {"936", "950", "950", 4, 1, true},  {"936", "936", "936", 0, 0, false},
        {"936", "950", "936", 0, 1, false}, {"437", "936", "437", 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ui) + "/" + c.db + "/" + c.sys);
        Install(c.ui, c.db, c.sys);
        TCodeConverter converter(nullptr);
        EXPECT_EQ(converter.UICodePage(), c.ui);
        EXPECT_EQ(converter.DBCodePage(), c.db);
        EXPECT_EQ(converter.SysCodePage(), c.sys);
        EXPECT_EQ(converter.UIConvertMode(), c.uiMode);
        EXPECT_EQ(converter.DBConvertMode(), c.dbMode);
        EXPECT_EQ(converter.HasTranslator(), c.translator);
        EXPECT_EQ(GetPropText(&converter, "DesignType"), "dtClient");
    }
}

TEST_F(CodePages, ConvertValueScalarsAndArrays) {
    Install("950", "936", "936");
    const TCodeConverter converter(nullptr);

    const Variant number = converter.ConvertValue(2, Variant(12.5));
    ASSERT_TRUE(number.IsString());
    EXPECT_EQ(number.StringRef(), "12.5");
    EXPECT_EQ(converter.ConvertValue(2, Variant("标题")).AsString(), "標題");
    EXPECT_EQ(converter.ConvertValue(1, Variant("標題")).AsString(), "标题");
    for (int direction : {0, 3, -1}) {
        SCOPED_TRACE(direction);
        const Variant same = converter.ConvertValue(direction, Variant(12.5));
        EXPECT_EQ(same.Type(), VarType::Double);
    }
    EXPECT_TRUE(converter.ConvertValue(2, Variant::Null()).IsNull());
    EXPECT_TRUE(converter.ConvertValue(2, Variant()).IsEmpty());

    // Rows of a result: an array of arrays, with a null and a number inside.
    const Variant rows = Variant::ArrayOf({Variant::ArrayOf({"单别", Variant::Null(), 3}),
                                           Variant::ArrayOf({"名称", Variant::ArrayOf({"逐笔"})})});
    const Variant converted = converter.ConvertValue(2, rows);
    EXPECT_EQ(converted[0][0].AsString(), "單別");
    EXPECT_TRUE(converted[0][1].IsNull());
    EXPECT_TRUE(converted[0][2].IsString());
    EXPECT_EQ(converted[1][0].AsString(), "名稱");
    EXPECT_EQ(converted[1][1][0].AsString(), "逐筆");
    EXPECT_EQ(rows[0][0].AsString(), "单别");   // the argument stays as it was

    Variant grid = Variant::CreateArray({{1, 2}, {0, 1}});
    grid.At(1, 0) = "单别";
    grid.At(2, 1) = "名称";
    const Variant grid2 = converter.ConvertValue(2, grid);
    EXPECT_EQ(grid2.LowBound(1), 1);
    EXPECT_EQ(grid2.At(1, 0).AsString(), "單別");
    EXPECT_EQ(grid2.At(2, 1).AsString(), "名稱");
    EXPECT_TRUE(grid2.At(1, 1).IsEmpty());

    EXPECT_EQ(converter.GBToBig5(""), "");
    EXPECT_EQ(converter.Big5ToGB("名稱"), "名称");
    // Bytes that are not UTF-8 pass through.
    EXPECT_EQ(converter.GBToBig5("\xff标题\xfe"), "\xff標題\xfe");
}

TEST_F(CodePages, DirectionsOfTheRoads) {
    struct Case {
        const char* ui;
        const char* db;
        const char* sys;
        const char* programToUI;   // of "标题"
        const char* uiToProgram;   // of "標題"
        const char* dbToUI;        // of "标题" (mode 2) or "標題" (mode 1)
        const char* uiToDB;
    };
    const Case cases[] = {
        // Big5 interface over a GB database.
        {"950", "936", "936", "標題", "标题", "標題", "标题"},
        // GB interface over a Big5 database on a Big5 system.
        {"936", "950", "950", "标题", "標題", "标题", "標題"},
        // No interface conversion: no translator, so nothing changes anywhere.
        {"936", "950", "936", "标题", "標題", "標題", "标题"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ui) + "/" + c.db + "/" + c.sys);
        Install(c.ui, c.db, c.sys);
        const TCodeConverter converter(nullptr);
        EXPECT_EQ(converter.ProgramToUI(Variant("标题")).AsString(), c.programToUI);
        EXPECT_EQ(converter.UIToProgram(Variant("標題")).AsString(), c.uiToProgram);
        const char* dbText = converter.DBConvertMode() == 1 ? "標題" : "标题";
        const char* uiText = converter.DBConvertMode() == 1 ? "标题" : "標題";
        EXPECT_EQ(converter.DBToUI(Variant(dbText)).AsString(), c.dbToUI);
        EXPECT_EQ(converter.UIToDB(Variant(uiText)).AsString(), c.uiToDB);
    }
}

TEST(CodeConverter, ModeFonts) {
    struct Case {
        int mode;
        const char* name;
        int charset;
    };
    const Case cases[] = {{0, "SimSun", 134}, {1, "SimSun", 134}, {4, "SimSun", 134},
                          {2, "SimSun", 136}, {3, "SimSun", 136}, {5, "Tahoma", 0}, {-1, "Tahoma", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        TFont font;
        font.SetName("Tahoma");
        font.SetCharset(ANSI_CHARSET);
        TCodeConverter::SetModeFont(c.mode, &font);
        EXPECT_EQ(font.Name(), c.name);
        EXPECT_EQ(font.Charset(), c.charset);
    }
    TCodeConverter::SetModeFont(2, nullptr);   // no font: nothing to do
}

// A window with the kinds of controls whose texts the converter touches.
struct Window {
    TFormPtr<TForm> form = MakeForm("frmTest");
    TLabel* label = new TLabel(form.get());
    TLabel* title = new TLabel(form.get());
    TEdit* edit = new TEdit(form.get());
    TMemo* memo = new TMemo(form.get());
    TRadioGroup* radios = new TRadioGroup(form.get());
    TPanel* panel = new TPanel(form.get());
    TPopupMenu* menu = new TPopupMenu(form.get());
    TMenuItem* menuItem = new TMenuItem(form.get());
    Window() {
        form->SetCaption("设置分录性质");
        form->SetHint("提示");
        label->SetName("lblName");
        label->SetParent(form.get());
        label->SetCaption("名称");
        label->SetHint("说明");
        title->SetName("lblTitle");
        title->SetParent(form.get());
        title->SetCaption("标题");
        edit->SetName("edName");
        edit->SetParent(form.get());
        edit->SetText("单别");
        memo->SetName("memRemark");
        memo->SetParent(form.get());
        memo->Lines()->SetText("逐笔\n费用");
        radios->SetName("rdgKind");
        radios->SetParent(form.get());
        radios->Items()->SetText("逐笔\n汇总");
        radios->SetItemIndex(1);
        panel->SetName("pnlHead");
        panel->SetParent(form.get());
        panel->SetCaption("审核");
        menu->SetName("pmMain");
        menuItem->SetName("miEdit");
        menuItem->SetCaption("编辑");
        menu->Items()->Add(menuItem);
    }
};

TEST_F(CodePages, Big5InterfaceConvertsTextsFontsAndMenus) {
    Install("950", "936", "936");
    Window w;
    TCodeConverter converter(w.form.get());
    converter.ConvertForm(w.form.get(), false, true);

    EXPECT_EQ(w.form->Caption(), "设置分录性质");   // only a Big5 system converts the caption
    EXPECT_EQ(w.form->Hint(), "提示");
    EXPECT_EQ(w.label->Caption(), "名稱");
    EXPECT_EQ(w.label->Hint(), "說明");
    EXPECT_EQ(w.label->Font()->Name(), "SimSun");
    EXPECT_EQ(w.label->Font()->Charset(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(w.panel->Caption(), "審核");
    EXPECT_EQ(w.memo->Lines()->ToVector(), (std::vector<std::string>{"逐筆", "費用"}));
    EXPECT_EQ(w.radios->Items()->ToVector(), (std::vector<std::string>{"逐筆", "彙總"}));
    EXPECT_EQ(w.radios->ItemIndex(), 1);
    EXPECT_EQ(w.menuItem->Caption(), "編輯");
    EXPECT_TRUE(w.menu->OwnerDraw());
    // What the user typed or the database holds is no program text.
    EXPECT_EQ(w.edit->Text(), "单别");
    EXPECT_EQ(Screen()->HintFont()->Charset(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(Screen()->MenuFont()->Name(), "SimSun");
}

TEST_F(CodePages, GBInterfaceOnBig5SystemConvertsOnlyTheCaption) {
    Install("936", "936", "950");
    Window w;
    TCodeConverter converter(w.form.get());
    converter.ConvertForm(w.form.get(), false, true);
    EXPECT_EQ(w.form->Caption(), "設置分錄性質");
    EXPECT_EQ(w.label->Caption(), "名称");
    EXPECT_EQ(w.label->Hint(), "说明");
    EXPECT_EQ(w.memo->Lines()->ToVector(), (std::vector<std::string>{"逐笔", "费用"}));
    EXPECT_EQ(w.label->Font()->Name(), "SimSun");
    EXPECT_EQ(w.label->Font()->Charset(), GB2312_CHARSET);
    EXPECT_TRUE(w.menu->OwnerDraw());
}

TEST_F(CodePages, EnglishInterfaceLeavesTheWindowAlone) {
    Install("437", "936", "437");
    Window w;
    const std::string fontName = w.label->Font()->Name();
    TCodeConverter converter(w.form.get());
    EXPECT_FALSE(converter.HasTranslator());
    converter.ConvertForm(w.form.get(), false, true);
    converter.ConvertFormExcept(w.form.get(), Variant::ArrayOf({"lblName"}), true);
    EXPECT_EQ(w.label->Caption(), "名称");
    EXPECT_EQ(w.label->Font()->Name(), fontName);
    EXPECT_FALSE(w.menu->OwnerDraw());
    EXPECT_TRUE(w.label->ParentFont());
}

TEST_F(CodePages, ExceptionListKeepsNamedProperties) {
    Install("950", "936", "936");
    Window w;
    TCodeConverter converter(w.form.get());
    // lblTitle keeps its caption, lblName everything; the panel's line names a
    // property ("Hint") it does not even have; names compare in any case.
    converter.ConvertFormExcept(
        w.form.get(),
        Variant::ArrayOf({Variant::ArrayOf({"LBLTITLE", "Caption"}), "lblName", Variant::ArrayOf({"pnlHead", "Hint"})}),
        true);
    EXPECT_EQ(w.title->Caption(), "标题");
    EXPECT_EQ(w.title->Font()->Charset(), CHINESEBIG5_CHARSET);
    EXPECT_FALSE(w.title->ParentFont());
    EXPECT_EQ(w.label->Caption(), "名称");
    EXPECT_EQ(w.label->Hint(), "说明");
    EXPECT_FALSE(w.label->ParentFont());
    EXPECT_NE(w.label->Font()->Charset(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(w.panel->Caption(), "審核");
    // Components not listed convert as usual.
    EXPECT_EQ(w.memo->Lines()->Strings(0), "逐筆");
}

TEST_F(CodePages, ExceptionFieldsAreWholePropertyNames) {
    Install("950", "936", "936");
    Window w;
    w.title->SetName("lblFontCaption");
    TCodeConverter converter(w.form.get());
    // Keeping TitleFont keeps no Font, and a component name that contains
    // "Caption" keeps no caption.
    converter.ConvertFormExcept(w.form.get(), Variant::ArrayOf({Variant::ArrayOf({"lblFontCaption", "TitleFont"})}),
                                true);
    EXPECT_EQ(w.title->Caption(), "標題");
    EXPECT_EQ(w.title->Font()->Charset(), CHINESEBIG5_CHARSET);
}

TEST_F(CodePages, MessageDialogTakesTheWindowsCaptionAndFont) {
    struct Case {
        const char* ui;
        const char* sys;
        const char* suffix;
        int charset;
    };
    const Case cases[] = {{"950", "936", "      ", CHINESEBIG5_CHARSET},
                          {"950", "950", "", CHINESEBIG5_CHARSET},
                          {"437", "437", "", GB2312_CHARSET}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.ui) + "/" + c.sys);
        Install(c.ui, "936", c.sys);
        Window w;
        w.form->SetWindowState(TWindowState::wsMinimized);
        TCodeConverter converter(w.form.get());
        TDialogAnswerer answers;
        int charset = -1;
        answers.Then([&](TCustomForm& dialog) {
            charset = dialog.Font()->Charset();
            dialog.SetModalResult(mrNo);
        });
        EXPECT_EQ(converter.ShowMessageDlg("確定?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbYes, TMsgDlgBtn::mbNo}),
                  mrNo);
        ASSERT_EQ(answers.Shown().size(), 1u);
        EXPECT_EQ(answers.Shown()[0].Caption, "设置分录性质");
        EXPECT_EQ(answers.Shown()[0].Text, std::string("確定?") + c.suffix);
        EXPECT_EQ(charset, c.charset);
        EXPECT_EQ(w.form->WindowState(), TWindowState::wsNormal);
    }
}

TEST_F(CodePages, EmptyMessageShowsNothing) {
    Install("950", "936", "936");
    TCodeConverter converter(nullptr);
    TDialogAnswerer answers;   // a dialog would find no answer and raise
    EXPECT_EQ(converter.ShowMessageDlg("", TMsgDlgType::mtError, {TMsgDlgBtn::mbOK}), 0);
    EXPECT_TRUE(answers.Shown().empty());
}

// The range panel as the converter sees it: its published texts and an owned list view.
class TSelectPanel : public TCustomPanel {
    VELMORA_CLASS(TSelectPanel)
public:
    explicit TSelectPanel(TComponent* owner) : TCustomPanel(owner), view(new TListView(this)) {
        childHints_.SetText("起始值\n多选");
        beginWords_.SetText("起\n起");
        view->Columns()->Add()->SetCaption("名称");
        view->AddItem()->SetCaption("费用");
    }
    TStrings* ChildHints() const { return const_cast<TStringList*>(&childHints_); }
    TStrings* BeginWords() const { return const_cast<TStringList*>(&beginWords_); }
    const std::string& HintWord() const { return hintWord_; }
    void SetHintWord(const std::string& v) { hintWord_ = v; }
    TListView* view;

private:
    TStringList childHints_, beginWords_;
    std::string hintWord_ = "区间选择";
};

const TClassInfo& TSelectPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TSelectPanel", &TCustomPanel::StaticClass());
        c.Add(ObjectProperty("ChildHints", &TSelectPanel::ChildHints));
        c.Add(ObjectProperty("BeginWords", &TSelectPanel::BeginWords));
        c.Add(Property("HintWord", &TSelectPanel::HintWord, &TSelectPanel::SetHintWord));
        return c;
    }();
    return info;
}

// The list and grid controls, each filled with program texts.
struct ListWindow {
    TFormPtr<TForm> form = MakeForm("frmLists");
    TComboBox* list = new TComboBox(form.get());     // drop-down list, item 1 chosen
    TComboBox* typed = new TComboBox(form.get());    // drop-down, nothing chosen
    TComboBox* simple = new TComboBox(form.get());
    TListBox* box = new TListBox(form.get());
    TListView* view = new TListView(form.get());
    TTreeView* tree = new TTreeView(form.get());
    TTabSet* tabs = new TTabSet(form.get());
    TStringGrid* grid = new TStringGrid(form.get());
    TStatusBar* status = new TStatusBar(form.get());
    TSelectPanel* range = new TSelectPanel(form.get());
    ListWindow() {
        for (TComboBox* combo : {list, typed, simple}) combo->Items()->SetText("逐笔\n汇总");
        list->SetStyle(TComboBoxStyle::csDropDownList);
        list->SetItemIndex(1);
        simple->SetStyle(TComboBoxStyle::csSimple);
        box->Items()->SetText("费用");
        view->Columns()->Add()->SetCaption("单别");
        view->Columns()->Add()->SetCaption("名称");
        TListItem* full = view->AddItem();
        full->SetCaption("费用");
        full->SubItems()->SetText("名称\n审核");   // one sub-item more than there are columns
        view->AddItem()->SetCaption("编辑");          // no sub-items at all
        TTreeNode* root = tree->Items()->Add(nullptr, "费用");
        tree->Items()->AddChild(root, "编辑");
        tabs->Tabs()->SetText("单别\n名称");
        tabs->SetTabIndex(1);
        grid->SetColCount(2);
        grid->SetRowCount(2);
        grid->SetCells(0, 0, "单别");
        grid->SetCells(1, 1, "名称");
        status->Panels()->Add()->SetText("审核");
    }
};

TEST_F(CodePages, Big5InterfaceConvertsListsGridsAndTrees) {
    Install("950", "936", "936");
    ListWindow w;
    TCodeConverter converter(w.form.get());
    converter.ConvertForm(w.form.get(), false, true);

    // Owner-drawn combo boxes keep (or get) a selection.
    EXPECT_EQ(w.list->Style(), TComboBoxStyle::csOwnerDrawFixed);
    EXPECT_EQ(w.list->ItemIndex(), 1);
    EXPECT_EQ(w.list->Text(), "彙總");
    EXPECT_EQ(w.typed->Style(), TComboBoxStyle::csOwnerDrawFixed);
    EXPECT_EQ(w.typed->ItemIndex(), 0);
    EXPECT_EQ(w.simple->Style(), TComboBoxStyle::csSimple);
    EXPECT_EQ(w.simple->Items()->Strings(0), "逐筆");
    EXPECT_EQ(w.list->Font()->Charset(), CHINESEBIG5_CHARSET);
    EXPECT_EQ(w.box->Style(), TListBoxStyle::lbOwnerDrawFixed);
    EXPECT_EQ(w.box->Items()->Strings(0), "費用");

    EXPECT_EQ(w.view->Columns()->Items(0)->Caption(), "單別");
    EXPECT_EQ(w.view->Columns()->Items(1)->Caption(), "名稱");
    EXPECT_EQ(w.view->Items(0)->Caption(), "費用");
    EXPECT_EQ(w.view->Items(0)->SubItems()->ToVector(), (std::vector<std::string>{"名稱", "审核"}));
    EXPECT_EQ(w.view->Items(1)->Caption(), "編輯");
    EXPECT_EQ(w.tree->Items()->Item(0)->Text(), "費用");
    EXPECT_EQ(w.tree->Items()->Item(1)->Text(), "編輯");
    EXPECT_EQ(w.tabs->Tabs()->ToVector(), (std::vector<std::string>{"單別", "名稱"}));
    EXPECT_EQ(w.tabs->TabIndex(), 1);
    EXPECT_EQ(w.grid->Cells(0, 0), "單別");
    EXPECT_EQ(w.grid->Cells(1, 1), "名稱");
    EXPECT_EQ(w.status->Panels()->Items(0)->Text(), "審核");

    EXPECT_EQ(w.range->ChildHints()->ToVector(), (std::vector<std::string>{"起始值", "多選"}));
    EXPECT_EQ(w.range->BeginWords()->Strings(0), "起");
    EXPECT_EQ(w.range->HintWord(), "區間選擇");
    EXPECT_EQ(w.range->view->Columns()->Items(0)->Caption(), "名稱");
    EXPECT_EQ(w.range->view->Items(0)->Caption(), "費用");
}

TEST_F(CodePages, GridsAndTreesOnlyWhenAsked) {
    Install("950", "936", "936");
    ListWindow w;
    TCodeConverter converter(w.form.get());
    converter.ConvertForm(w.form.get(), false, false);
    EXPECT_EQ(w.grid->Cells(0, 0), "单别");
    EXPECT_EQ(w.tree->Items()->Item(0)->Text(), "费用");
    EXPECT_EQ(w.view->Items(0)->Caption(), "費用");
}

TEST_F(CodePages, GBInterfaceKeepsListTextsButDrawsItsOwnItems) {
    Install("936", "936", "950");
    ListWindow w;
    TCodeConverter converter(w.form.get());
    converter.ConvertForm(w.form.get(), false, true);
    EXPECT_EQ(w.list->Style(), TComboBoxStyle::csOwnerDrawFixed);
    EXPECT_EQ(w.typed->Style(), TComboBoxStyle::csOwnerDrawVariable);
    EXPECT_EQ(w.typed->ItemIndex(), -1);
    EXPECT_EQ(w.list->ItemIndex(), 1);
    EXPECT_EQ(w.list->Items()->Strings(1), "汇总");
    EXPECT_EQ(w.tabs->Tabs()->Strings(0), "单别");
    EXPECT_EQ(w.view->Columns()->Items(0)->Caption(), "单别");
    EXPECT_EQ(w.grid->Cells(0, 0), "单别");
    EXPECT_EQ(w.list->Font()->Charset(), GB2312_CHARSET);
}

}  // namespace
