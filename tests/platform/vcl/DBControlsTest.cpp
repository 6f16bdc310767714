#include <gtest/gtest.h>

#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/vcl/DBCheckBox.h"
#include "platform/vcl/DBComboBox.h"
#include "platform/vcl/DBEdit.h"
#include "platform/vcl/DBGrid.h"
#include "platform/vcl/ImageList.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
// An entry-property-like window: a dataset of three records and a data source on
// the form, plus whatever controls a test adds.
struct TDataWindow {
    TFormPtr<TForm> form = MakeForm("frmData", 500, 300);
    TClientDataSet* cds = new TClientDataSet(form.get());
    TDataSource* src = new TDataSource(form.get());

    TDataWindow() {
        cds->SetName("cdsMain");
        src->SetName("dsMain");
        cds->FieldDefs().Add("MB001", TFieldType::ftString, 4);
        cds->FieldDefs().Add("MB002", TFieldType::ftString, 10);
        cds->FieldDefs().Add("MB021", TFieldType::ftString, 1);
        cds->FieldDefs().Add("MB048", TFieldType::ftString, 1);
        cds->FieldDefs().Add("MB003", TFieldType::ftInteger);
        cds->CreateDataSet();
        const char* rows[][4] = {{"K1", "one", "Y", "1"}, {"K2", "two", "N", "2"}, {"K3", "three", "X", "2"}};
        for (const auto& r : rows) {
            cds->Append();
            cds->FieldByName("MB001")->SetAsString(r[0]);
            cds->FieldByName("MB002")->SetAsString(r[1]);
            cds->FieldByName("MB021")->SetAsString(r[2]);
            cds->FieldByName("MB048")->SetAsString(r[3]);
            cds->FieldByName("MB003")->SetAsInteger(10);
            cds->Post();
        }
        cds->First();
        src->SetDataSet(cds);
    }
    template <typename T>
    T* Add(const std::string& name, const std::string& field) {
        auto* c = new T(form.get());
        c->SetName(name);
        c->SetParent(form.get());
        c->SetDataSource(src);
        c->SetDataField(field);
        return c;
    }
    TField* F(const char* name) const { return cds->FieldByName(name); }
};
}  // namespace

TEST(DBEdit, ShowsTheFieldAndWritesTypedTextWhenLeft) {
    TDataWindow w;
    auto* edit = w.Add<TDBEdit>("edMB002", "MB002");
    auto* other = w.Add<TDBEdit>("edMB001", "MB001");
    EXPECT_EQ(edit->Text(), "one");
    EXPECT_EQ(edit->MaxLength(), 10);
    w.form->Show();
    edit->SetFocus();
    TypeText(*w.form, "X");   // selected on entry: replaces the text
    EXPECT_EQ(w.cds->State(), TDataSetState::dsEdit);
    EXPECT_EQ(w.F("MB002")->AsString(), "one");   // not yet written
    PressKey(*w.form, VK_TAB);
    EXPECT_EQ(w.form->ActiveControl(), other);
    EXPECT_EQ(w.F("MB002")->AsString(), "X");
    w.cds->Post();

    // Escape drops the control's change; a read-only link refuses keys.
    edit->SetFocus();
    TypeText(*w.form, "Y");
    PressKey(*w.form, VK_ESCAPE);
    EXPECT_EQ(edit->Text(), "X");
    w.cds->Cancel();
    edit->SetReadOnly(true);
    TypeText(*w.form, "Z");
    EXPECT_EQ(edit->Text(), "X");
    EXPECT_EQ(w.cds->State(), TDataSetState::dsBrowse);

    w.cds->Next();   // scrolling redisplays
    EXPECT_EQ(edit->Text(), "two");
}

TEST(DBCheckBox, MapsCodesToStatesAndBack) {
    TDataWindow w;
    auto* chk = w.Add<TDBCheckBox>("chkMB021", "MB021");
    chk->SetValueChecked("Y;1");
    chk->SetValueUnchecked("N;0");
    const TCheckBoxState expected[] = {TCheckBoxState::cbChecked, TCheckBoxState::cbUnchecked,
                                       TCheckBoxState::cbGrayed};
    for (const auto& state : expected) {
        SCOPED_TRACE(w.F("MB001")->AsString());
        EXPECT_EQ(chk->State(), state);
        w.cds->Next();
    }
    w.cds->First();
    w.form->Show();
    int clicks = 0;
    chk->OnClick = [&](TObject*) { ++clicks; };
    Click(*chk);   // checked -> unchecked, written as the first code on update
    EXPECT_EQ(chk->State(), TCheckBoxState::cbUnchecked);
    w.cds->Post();
    EXPECT_EQ(w.F("MB021")->AsString(), "N");
    EXPECT_EQ(clicks, 1);
    w.cds->Edit();
    w.F("MB021")->Clear();
    EXPECT_EQ(chk->State(), TCheckBoxState::cbGrayed);   // null
    EXPECT_EQ(clicks, 1);   // showing the field is not a click
    w.cds->Cancel();
}

TEST(DBRadioGroup, SelectsTheItemWhoseCodeTheFieldHolds) {
    TDataWindow w;
    auto* rdg = w.Add<TDBRadioGroup>("rdgMB048", "MB048");
    rdg->Items()->SetText("逐张\n汇总");
    rdg->Values()->SetText("1\n2");
    rdg->SetColumns(2);
    EXPECT_EQ(rdg->ItemIndex(), 0);
    w.cds->Next();
    EXPECT_EQ(rdg->ItemIndex(), 1);
    w.form->Show();
    Click(*rdg->Buttons(0));
    w.cds->Post();
    EXPECT_EQ(w.F("MB048")->AsString(), "1");
    // A read-only link refuses the change and keeps the check where it was.
    rdg->SetReadOnly(true);
    Click(*rdg->Buttons(1));
    EXPECT_EQ(rdg->ItemIndex(), 0);
    EXPECT_TRUE(rdg->Buttons(0)->Checked());
}

TEST(wwDBComboBox, MapListShowsDisplayTextAndStoresTheCode) {
    TDataWindow w;
    auto* cbo = w.Add<TwwDBComboBox>("cboMB048", "MB048");
    cbo->SetStyle(TComboBoxStyle::csDropDownList);
    cbo->SetMapList(true);
    cbo->Items()->SetText("逐张\t1\n汇总\t2");
    EXPECT_EQ(cbo->Text(), "逐张");
    EXPECT_EQ(cbo->ItemIndex(), 0);
    w.form->Show();
    cbo->SetFocus();
    PressKey(*w.form, VK_DOWN);
    EXPECT_EQ(cbo->Text(), "汇总");
    w.cds->Post();
    EXPECT_EQ(w.F("MB048")->AsString(), "2");
    EXPECT_EQ(cbo->DisplayValue("9"), "9");   // a code without an item shows as it is
}

TEST(wwDBComboDlg, TheButtonRaisesTheCustomDialog) {
    TDataWindow w;
    auto* dlg = w.Add<TwwDBComboDlg>("dlgMB002", "MB002");
    dlg->SetBounds(10, 10, 100, 21);
    EXPECT_EQ(dlg->Button()->BoundsRect(), Rect(79, 0, 100, 21));
    int opened = 0;
    dlg->OnCustomDlg = [&](TObject*) {
        ++opened;
        dlg->DataLink()->Edit();
        dlg->Field()->SetAsString("picked");
    };
    w.form->Show();
    Click(*dlg->Button());
    PressKey(*w.form, VK_DOWN, {TShiftStateItem::ssAlt});
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(dlg->Text(), "picked");
}

namespace {
struct TGridWindow : TDataWindow {
    TwwDBGrid* grid = new TwwDBGrid(form.get());
    TwwDBComboBox* cboG = new TwwDBComboBox(form.get());
    TGridWindow() {
        cboG->SetName("cboMB048G");
        cboG->SetMapList(true);
        cboG->Items()->SetText("逐张\t1\n汇总\t2");
        cboG->SetDataSource(src);
        cboG->SetDataField("MB048");
        cboG->Hide();
        cds->ControlType()->SetText("MB021;CheckBox;Y;N\nMB048;CustomEdit;cboMB048G");
        F("MB003")->SetVisible(false);
        grid->SetName("gdHead");
        grid->SetParent(form.get());
        grid->SetAlign(TAlign::alClient);
        grid->SetDataSource(src);
        grid->SetOptions(grid->Options() + TwwDBGridOptions{TwwDBGridOption::dgMultiSelect});
    }
};
}  // namespace

TEST(wwDBGrid, ColumnsFromFieldsRowsFromRecords) {
    TGridWindow w;
    ASSERT_EQ(w.grid->FieldCount(), 4);   // MB003 is hidden
    EXPECT_EQ(w.grid->Fields(3)->FieldName(), "MB048");
    EXPECT_EQ(w.grid->ColCount(), 5);     // with the indicator
    EXPECT_EQ(w.grid->RowCount(), 4);     // titles and three records
    w.form->Show();
    w.grid->SetFocus();
    PressKey(*w.form, VK_DOWN);
    EXPECT_EQ(w.F("MB001")->AsString(), "K2");
    EXPECT_EQ(w.grid->Row(), 2);
    PressKey(*w.form, VK_RIGHT);
    EXPECT_EQ(w.grid->SelectedField()->FieldName(), "MB002");
    Click(*w.grid, w.grid->CellRect(1, 3).Left + 2, w.grid->CellRect(1, 3).Top + 2);
    EXPECT_EQ(w.F("MB001")->AsString(), "K3");
    EXPECT_EQ(w.grid->SelectedIndex(), 0);
    // Down on the last record appends a new one; Up leaves it again.
    PressKey(*w.form, VK_DOWN);
    EXPECT_EQ(w.cds->State(), TDataSetState::dsInsert);
    PressKey(*w.form, VK_UP);
    EXPECT_EQ(w.cds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(w.cds->RecordCount(), 3);
}

TEST(wwDBGrid, EditingCheckBoxAndCustomEditCells) {
    TGridWindow w;
    w.form->Show();
    w.grid->SetFocus();
    // Typing into a text cell edits through the field.
    w.grid->SetSelectedIndex(1);
    TypeText(*w.form, "new");
    PressKey(*w.form, VK_RETURN);
    EXPECT_EQ(w.F("MB002")->AsString(), "new");
    w.cds->Post();
    // Space toggles a check-box column between its two codes.
    w.grid->SetSelectedIndex(2);
    TypeText(*w.form, " ");
    EXPECT_EQ(w.F("MB021")->AsString(), "N");
    w.cds->Post();
    // A CustomEdit column opens the named combo box over the cell.
    w.grid->SetSelectedIndex(3);
    PressKey(*w.form, VK_F4);   // nothing yet: the grid has the focus
    Click(*w.grid, w.grid->CellRect(4, 1).Left + 2, w.grid->CellRect(4, 1).Top + 2);
    ASSERT_TRUE(w.cboG->Visible());
    EXPECT_EQ(w.cboG->Parent(), w.grid);
    EXPECT_EQ(w.form->ActiveControl(), w.cboG);
    PressKey(*w.form, VK_DOWN);
    PressKey(*w.form, VK_TAB);   // leaving it writes the code and hides it
    EXPECT_FALSE(w.cboG->Visible());
    EXPECT_EQ(w.F("MB048")->AsString(), "2");
}

TEST(wwDBGrid, PaintingAsksForColoursTitlesAndImages) {
    TGridWindow w;
    TImageList images(nullptr);
    images.SetWidth(4);
    images.SetHeight(4);
    images.AddMasked(TBitmap(8, 4), clNone);
    w.grid->SetTitleImageList(&images);
    w.grid->OnCalcCellColors = [&](TObject*, TField* f, TGridDrawState, bool, TFont* font, TBrush* brush) {
        if (f->FieldName() == "MB001") {
            brush->SetColor(RGB(255, 255, 175));
            font->SetStyle({TFontStyle::fsUnderline});
        }
    };
    w.grid->OnCalcTitleAttributes = [](TObject*, const std::string& name, TFont*, TBrush* brush, TAlignment& a) {
        if (name == "MB001") brush->SetColor(RGB(0, 200, 200));
        a = TAlignment::taCenter;
    };
    w.grid->OnCalcTitleImage = [](TObject*, TField* f, TwwTitleImageAttributes& attrs) {
        if (f->FieldName() == "MB002") attrs.ImageIndex = 1;
    };
    TCanvas canvas;
    w.grid->PaintOn(canvas);
    std::vector<std::string> texts;
    int keyTitles = 0, keyCells = 0, images_drawn = 0;
    for (const auto& op : canvas.Ops()) {
        if (op.Op == TCanvasOp::Kind::TextRect) texts.push_back(op.Text);
        if (op.Op == TCanvasOp::Kind::TextRect && op.Text == "MB001" && op.BrushColor == RGB(0, 200, 200) &&
            op.Alignment == TAlignment::taCenter)
            ++keyTitles;
        if (op.Op == TCanvasOp::Kind::TextRect && op.Text.size() == 2 && op.Text[0] == 'K' &&
            op.BrushColor == RGB(255, 255, 175) && op.FontStyle.Contains(TFontStyle::fsUnderline))
            ++keyCells;
        if (op.Op == TCanvasOp::Kind::Draw) ++images_drawn;
    }
    EXPECT_EQ(keyTitles, 1);
    EXPECT_EQ(keyCells, 3);
    EXPECT_EQ(images_drawn, 1);
    // The mapped combo column shows display texts; the current record has the indicator mark.
    EXPECT_NE(std::find(texts.begin(), texts.end(), "汇总"), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), ">"), texts.end());
    EXPECT_EQ(w.F("MB001")->AsString(), "K1");   // painting leaves the current record alone
}

TEST(wwDBGrid, MultiSelectAndTitleButtons) {
    TGridWindow w;
    w.grid->SetTitleButtons(true);
    std::string clicked;
    w.grid->OnTitleButtonClick = [&](TObject*, const std::string& field) { clicked = field; };
    w.form->Show();
    Click(*w.grid, w.grid->CellRect(2, 0).Left + 2, 2);
    EXPECT_EQ(clicked, "MB002");
    Click(*w.grid, w.grid->CellRect(1, 1).Left + 2, w.grid->CellRect(1, 1).Top + 2, {TShiftStateItem::ssCtrl});
    Click(*w.grid, w.grid->CellRect(1, 3).Left + 2, w.grid->CellRect(1, 3).Top + 2, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(w.grid->SelectedList().size(), 2u);
    EXPECT_TRUE(w.grid->IsSelected());
    Click(*w.grid, 2, w.grid->CellRect(1, 3).Top + 2);   // the indicator toggles
    EXPECT_FALSE(w.grid->IsSelected());
    w.grid->SelectAll();
    EXPECT_EQ(w.grid->SelectedList().size(), 3u);
    EXPECT_EQ(w.F("MB001")->AsString(), "K3");   // where it was
    w.grid->UnselectAll();
    EXPECT_TRUE(w.grid->SelectedList().empty());
}

TEST(wwDBGrid, DeletingAsksFirst) {
    TGridWindow w;
    w.form->Show();
    w.grid->SetFocus();
    TDialogAnswerer answerer;
    answerer.Click("Cancel").Click("OK");
    PressKey(*w.form, VK_DELETE, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(w.cds->RecordCount(), 3);
    PressKey(*w.form, VK_DELETE, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(w.cds->RecordCount(), 2);
    ASSERT_EQ(answerer.Shown().size(), 2u);
    EXPECT_EQ(answerer.Shown()[0].Text, "Delete record?");
}
