#pragma once
// Grids: `TCustomGrid` (cells in columns and rows, fixed title rows and columns,
// column widths and row heights, a current cell, options, painting cell by cell
// through DrawCell, and an in-place editor) and `TStringGrid` (text per cell).
//
// Navigation: arrows, Home/End, Page Up/Down, and Tab with goTabs move the current
// cell; OnSelectCell may refuse a cell. Editing (goEditing): typing a character or
// F2 opens the in-place editor on the current cell; Enter stores its text
// (SetEditText) and Escape drops it; moving to another cell stores it too.
// A click in a fixed cell calls FixedCellClick instead of selecting.
#include <memory>
#include <vector>

#include "platform/vcl/Edit.h"

enum class TGridOption {
    goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect, goDrawFocusSelected, goRowSizing,
    goColSizing, goRowMoving, goColMoving, goEditing, goTabs, goRowSelect, goAlwaysShowEditor, goThumbTracking
};
using TGridOptions = TSet<TGridOption>;
const TTypeInfo& GridOptionsType();

enum class TGridDrawStateItem { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateItem>;

using TDrawCellEvent = std::function<void(TObject* sender, int col, int row, TRect rect, TGridDrawState state)>;
using TSelectCellEvent = std::function<void(TObject* sender, int col, int row, bool& canSelect)>;
using TGetEditEvent = std::function<void(TObject* sender, int col, int row, std::string& value)>;
using TSetEditEvent = std::function<void(TObject* sender, int col, int row, const std::string& value)>;

class TCustomGrid;

// The grid's in-place editor: an edit that sits in the grid over the current cell.
class TInplaceEdit : public TCustomEdit {
    VELMORA_CLASS(TInplaceEdit)
public:
    explicit TInplaceEdit(TCustomGrid* grid);
    TCustomGrid* Grid() const noexcept { return grid_; }

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    bool WantsKey(uint16_t key, TShiftState shift) const override;

private:
    TCustomGrid* grid_;
};

class TCustomGrid : public TWinControl {
    VELMORA_CLASS(TCustomGrid)
public:
    explicit TCustomGrid(TComponent* owner);
    ~TCustomGrid() override;

    int ColCount() const noexcept { return static_cast<int>(colWidths_.size()); }
    virtual void SetColCount(int n);
    int RowCount() const noexcept { return static_cast<int>(rowHeights_.size()); }
    virtual void SetRowCount(int n);
    int FixedCols() const noexcept { return fixedCols_; }
    void SetFixedCols(int n);
    int FixedRows() const noexcept { return fixedRows_; }
    void SetFixedRows(int n);
    int DefaultColWidth() const noexcept { return defaultColWidth_; }
    void SetDefaultColWidth(int w);   // resets every column
    int DefaultRowHeight() const noexcept { return defaultRowHeight_; }
    void SetDefaultRowHeight(int h);  // resets every row
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    int GridLineWidth() const noexcept { return gridLineWidth_; }
    void SetGridLineWidth(int w) { gridLineWidth_ = w < 0 ? 0 : w; }
    TGridOptions Options() const noexcept { return options_; }
    void SetOptions(TGridOptions o);
    bool DefaultDrawing() const noexcept { return defaultDrawing_; }
    void SetDefaultDrawing(bool v) { defaultDrawing_ = v; }

    int Col() const noexcept { return col_; }
    void SetCol(int c) { MoveTo(c, row_); }
    int Row() const noexcept { return row_; }
    void SetRow(int r) { MoveTo(col_, r); }
    // Makes (col, row) current if it is a non-fixed cell and SelectCell allows it;
    // true when the current cell is now there.
    bool MoveTo(int col, int row);
    int LeftCol() const noexcept { return leftCol_; }
    void SetLeftCol(int c);
    int TopRow() const noexcept { return topRow_; }
    void SetTopRow(int r);
    // Non-fixed columns and rows that fit entirely in the client area from LeftCol/TopRow.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // The cell's rectangle in client coordinates (empty when scrolled out of view).
    TRect CellRect(int col, int row) const;
    // The cell under a point; false outside every cell.
    bool MouseToCell(int x, int y, int& col, int& row) const;

    bool EditorMode() const noexcept { return editor_ != nullptr && editor_->Visible(); }
    void SetEditorMode(bool v);
    TInplaceEdit* InplaceEditor() const noexcept { return editor_; }
    // Hides the editor, storing its text (SetEditText) first when asked; the grid
    // takes the focus back from it.
    void HideEditor(bool store = true);

    // Paints every visible cell through DrawCell and the grid lines.
    void PaintOn(TCanvas& canvas) override;
    // The surface while painting (OnDrawCell handlers draw on it).
    TCanvas* Canvas() const noexcept { return canvas_; }

    TDrawCellEvent OnDrawCell;
    TSelectCellEvent OnSelectCell;
    TGetEditEvent OnGetEditText;
    TSetEditEvent OnSetEditText;
    TNotifyEvent OnTopLeftChanged;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;

protected:
    virtual bool SelectCell(int col, int row);
    // Draws one cell; the default fills it and, for a string grid, writes its text.
    virtual void DrawCell(int col, int row, const TRect& rect, TGridDrawState state);
    virtual std::string GetEditText(int col, int row);
    virtual void SetEditText(int col, int row, const std::string& value);
    // Whether the current cell may be edited now.
    virtual bool CanEditShow() const;
    // Creates the editor for the current cell (data grids choose by column).
    virtual TInplaceEdit* CreateEditor();
    virtual void FixedCellClick(int col, int row);
    virtual void TopLeftChanged();
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    bool WantsKey(uint16_t key, TShiftState shift) const override;
    bool WantsChars() const override { return CanEditShow(); }   // typing starts the cell editor
    void DoExit() override;
    void ShowEditor();

private:
    friend class TInplaceEdit;
    void ScrollInView(int col, int row);
    bool StoreEditor(bool refocus);
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    int fixedCols_ = 1, fixedRows_ = 1;
    int defaultColWidth_ = 64, defaultRowHeight_ = 24;
    int gridLineWidth_ = 1;
    TGridOptions options_{TGridOption::goFixedVertLine, TGridOption::goFixedHorzLine, TGridOption::goVertLine,
                          TGridOption::goHorzLine, TGridOption::goRangeSelect};
    bool defaultDrawing_ = true;
    int col_ = 1, row_ = 1;
    int leftCol_ = 1, topRow_ = 1;
    TInplaceEdit* editor_ = nullptr;
    TCanvas* canvas_ = nullptr;
};

class TStringGrid : public TCustomGrid {
    VELMORA_CLASS(TStringGrid)
public:
    explicit TStringGrid(TComponent* owner);

    void SetColCount(int n) override;
    void SetRowCount(int n) override;
    // Cells out of range read as "" and raise EListError when written.
    const std::string& Cells(int col, int row) const;
    void SetCells(int col, int row, const std::string& value);
    TObject* Objects(int col, int row) const;
    void SetObjects(int col, int row, TObject* object);
    std::vector<std::string> Rows(int row) const;
    void SetRows(int row, const std::vector<std::string>& values);
    std::vector<std::string> Cols(int col) const;

protected:
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;

private:
    void Resize2D();
    std::vector<std::vector<std::string>> cells_;   // [row][col]
    std::vector<std::vector<TObject*>> objects_;
};
