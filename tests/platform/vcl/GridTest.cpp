#include <gtest/gtest.h>

#include "platform/vcl/Grid.h"
#include "tests/support/vcl/TestForm.h"
#include "tests/support/vcl/UserInput.h"

namespace {
struct TGridWindow {
    TFormPtr<TForm> form = MakeForm("frmGrid", 400, 300);
    TStringGrid* grid = new TStringGrid(form.get());
    TGridWindow() {
        grid->SetName("grdList");
        grid->SetParent(form.get());
        grid->SetBounds(0, 0, 300, 150);   // 4 columns of 64 and 5 rows of 24 fit, with lines
        grid->SetColCount(6);
        grid->SetRowCount(10);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 6; ++c) grid->SetCells(c, r, std::to_string(c) + ":" + std::to_string(r));
        form->Show();
    }
};
}  // namespace

TEST(Grid, GeometryAndScrollingFollowWidthsHeightsAndTheCurrentCell) {
    TGridWindow w;
    w.grid->SetColWidths(0, 20);
    EXPECT_EQ(w.grid->CellRect(0, 0), Rect(0, 0, 20, 24));
    EXPECT_EQ(w.grid->CellRect(1, 1), Rect(21, 25, 85, 49));
    EXPECT_EQ(w.grid->VisibleColCount(), 4);   // 21 + 4 * 65 = 281 <= 300
    EXPECT_EQ(w.grid->VisibleRowCount(), 5);
    int c, r;
    ASSERT_TRUE(w.grid->MouseToCell(90, 30, c, r));
    EXPECT_EQ(c, 2);
    EXPECT_EQ(r, 1);

    // Moving past the visible cells scrolls; scrolled-out cells have no rectangle.
    PressKey(*w.form, VK_END);
    EXPECT_EQ(w.grid->Col(), 5);
    EXPECT_EQ(w.grid->LeftCol(), 2);
    EXPECT_EQ(w.grid->CellRect(1, 1), TRect{});
    PressKey(*w.form, VK_NEXT);
    PressKey(*w.form, VK_NEXT);
    EXPECT_EQ(w.grid->Row(), 9);
    EXPECT_EQ(w.grid->TopRow(), 5);
    PressKey(*w.form, VK_HOME, {TShiftStateItem::ssCtrl});
    EXPECT_EQ(w.grid->Row(), 1);
    EXPECT_EQ(w.grid->TopRow(), 1);
}

TEST(Grid, SelectCellCanRefuseAndFixedCellsReportClicks) {
    TGridWindow w;
    w.grid->OnSelectCell = [](TObject*, int col, int, bool& can) { can = col != 3; };
    PressKey(*w.form, VK_RIGHT);
    PressKey(*w.form, VK_RIGHT);   // refused
    EXPECT_EQ(w.grid->Col(), 2);
    Click(*w.grid, 140, 60);   // cell (2, 2)
    EXPECT_EQ(w.grid->Row(), 2);
    EXPECT_EQ(w.grid->Col(), 2);
    Click(*w.grid, 100, 5);   // a title cell does not move the current cell
    EXPECT_EQ(w.grid->Row(), 2);
}

TEST(Grid, TypingEditsTheCurrentCellAndEscapeDropsTheEdit) {
    TGridWindow w;
    w.grid->SetOptions(w.grid->Options() + TGridOptions{TGridOption::goEditing});
    std::vector<std::string> stored;
    w.grid->OnSetEditText = [&](TObject*, int c, int r, const std::string& v) {
        stored.push_back(std::to_string(c) + "," + std::to_string(r) + "=" + v);
    };
    TypeText(*w.form, "ab");
    ASSERT_TRUE(w.grid->EditorMode());
    EXPECT_EQ(w.form->ActiveControl(), w.grid->InplaceEditor());
    EXPECT_EQ(w.grid->InplaceEditor()->Text(), "ab");   // the first key replaced the text
    PressKey(*w.form, VK_RETURN);
    EXPECT_FALSE(w.grid->EditorMode());
    EXPECT_EQ(w.form->ActiveControl(), w.grid);
    EXPECT_EQ(w.grid->Cells(1, 1), "ab");

    PressKey(*w.form, VK_F2);
    TypeText(*w.form, "X");
    PressKey(*w.form, VK_ESCAPE);
    EXPECT_EQ(w.grid->Cells(1, 1), "ab");

    TypeText(*w.form, "moved");
    PressKey(*w.form, VK_DOWN);   // leaving the cell stores the edit
    EXPECT_EQ(w.grid->Cells(1, 1), "moved");
    EXPECT_EQ(w.grid->Row(), 2);
    EXPECT_EQ(stored, (std::vector<std::string>{"1,1=ab", "1,1=moved"}));
}

TEST(Grid, APainterDrawsEachVisibleCellOnTheRecordingCanvas) {
    TGridWindow w;
    w.grid->SetColCount(3);
    w.grid->SetRowCount(3);
    // A painter like the framework's colour rules: a colour per row, fixed cells left alone.
    w.grid->OnDrawCell = [&](TObject*, int col, int row, TRect rect, TGridDrawState state) {
        if (state.Contains(TGridDrawStateItem::gdFixed)) return;
        TCanvas* c = w.grid->Canvas();
        c->Brush()->SetColor(row == 2 ? clYellow : clWindow);
        c->Font()->SetStyle(row == 2 ? TFontStyles{TFontStyle::fsBold} : TFontStyles{});
        c->FillRect(rect);
        c->AlignedText(rect, w.grid->Cells(col, row), TAlignment::taRightJustify);
    };
    TCanvas canvas;
    w.grid->PaintOn(canvas);

    std::vector<TCanvasOp> painted;
    for (const auto& op : canvas.Ops())
        if (op.Op == TCanvasOp::Kind::TextRect && op.Alignment == TAlignment::taRightJustify) painted.push_back(op);
    ASSERT_EQ(painted.size(), 4u);
    EXPECT_EQ(painted[0].Text, "1:1");
    EXPECT_EQ(painted[3].Text, "2:2");
    EXPECT_EQ(painted[3].BrushColor, clYellow);
    EXPECT_TRUE(painted[3].FontStyle.Contains(TFontStyle::fsBold));
    EXPECT_EQ(painted[0].BrushColor, clWindow);
    EXPECT_EQ(painted[3].Rect, w.grid->CellRect(2, 2));
    // Right alignment: the text ends two pixels inside the cell (headless metrics for
    // the default height of 11: 6 pixels per narrow character).
    EXPECT_EQ(painted[3].At.X, painted[3].Rect.Right - 2 - 3 * 6);
    // Title texts come from the default drawing.
    const auto texts = canvas.Texts();
    EXPECT_EQ(texts.front(), "0:0");
}
