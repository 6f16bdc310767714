#include "platform/vcl/Grid.h"

#include <algorithm>

#include "platform/classes/Collection.h"
#include "platform/vcl/Form.h"

const TTypeInfo& GridOptionsType() {
    static const TTypeInfo t("TGridOptions", TTypeKind::tkSet,
                             {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
                              "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving",
                              "goEditing", "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"});
    return t;
}

// ---- TInplaceEdit ----

const TClassInfo& TInplaceEdit::StaticClass() {
    static const TClassInfo info("TInplaceEdit", &TCustomEdit::StaticClass());
    return info;
}

TInplaceEdit::TInplaceEdit(TCustomGrid* grid) : TCustomEdit(grid), grid_(grid) {
    SetTabStop(false);
    TControl::SetVisible(false);
    SetParent(grid);
}

bool TInplaceEdit::WantsKey(uint16_t key, TShiftState) const {
    return key == VK_RETURN || key == VK_ESCAPE || (key == VK_TAB && grid_->Options().Contains(TGridOption::goTabs));
}

void TInplaceEdit::KeyDown(uint16_t& key, TShiftState shift) {
    switch (key) {
        case VK_ESCAPE:
            key = 0;
            grid_->HideEditor(false);
            return;
        case VK_RETURN:
            key = 0;
            grid_->HideEditor(true);
            return;
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_TAB:
            // Leaving the cell: the grid stores the text and moves.
            grid_->KeyDown(key, shift);
            return;
        default: TCustomEdit::KeyDown(key, shift);
    }
}

// ---- TCustomGrid ----

const TClassInfo& TCustomGrid::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TCustomGrid", &TWinControl::StaticClass());
        c.Add(Property("ColCount", &TCustomGrid::ColCount, &TCustomGrid::SetColCount));
        c.Add(Property("RowCount", &TCustomGrid::RowCount, &TCustomGrid::SetRowCount));
        c.Add(Property("FixedCols", &TCustomGrid::FixedCols, &TCustomGrid::SetFixedCols));
        c.Add(Property("FixedRows", &TCustomGrid::FixedRows, &TCustomGrid::SetFixedRows));
        c.Add(Property("DefaultColWidth", &TCustomGrid::DefaultColWidth, &TCustomGrid::SetDefaultColWidth));
        c.Add(Property("DefaultRowHeight", &TCustomGrid::DefaultRowHeight, &TCustomGrid::SetDefaultRowHeight));
        c.Add(Property("GridLineWidth", &TCustomGrid::GridLineWidth, &TCustomGrid::SetGridLineWidth));
        c.Add(TypedProperty("Options", GridOptionsType(), &TCustomGrid::Options, &TCustomGrid::SetOptions));
        c.Add(Property("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::SetDefaultDrawing));
        c.Add(Property("Col", &TCustomGrid::Col, &TCustomGrid::SetCol));
        c.Add(Property("Row", &TCustomGrid::Row, &TCustomGrid::SetRow));
        c.Add(Property("LeftCol", &TCustomGrid::LeftCol, &TCustomGrid::SetLeftCol));
        c.Add(Property("TopRow", &TCustomGrid::TopRow, &TCustomGrid::SetTopRow));
        c.Add(EventProperty("OnDrawCell", &TCustomGrid::OnDrawCell));
        c.Add(EventProperty("OnSelectCell", &TCustomGrid::OnSelectCell));
        c.Add(EventProperty("OnGetEditText", &TCustomGrid::OnGetEditText));
        c.Add(EventProperty("OnSetEditText", &TCustomGrid::OnSetEditText));
        c.Add(EventProperty("OnTopLeftChanged", &TCustomGrid::OnTopLeftChanged));
        return c;
    }();
    return info;
}

TCustomGrid::TCustomGrid(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 320, 120);
    SetTabStop(true);
    SetColor(clWindow);
    colWidths_.assign(5, defaultColWidth_);
    rowHeights_.assign(5, defaultRowHeight_);
}

TCustomGrid::~TCustomGrid() = default;

void TCustomGrid::SetColCount(int n) {
    n = std::max(n, 1);
    colWidths_.resize(static_cast<size_t>(n), defaultColWidth_);
    fixedCols_ = std::min(fixedCols_, n - 1);
    col_ = std::clamp(col_, fixedCols_, n - 1);
    leftCol_ = std::clamp(leftCol_, fixedCols_, n - 1);
    Invalidate();
}

void TCustomGrid::SetRowCount(int n) {
    n = std::max(n, 1);
    rowHeights_.resize(static_cast<size_t>(n), defaultRowHeight_);
    fixedRows_ = std::min(fixedRows_, n - 1);
    row_ = std::clamp(row_, fixedRows_, n - 1);
    topRow_ = std::clamp(topRow_, fixedRows_, n - 1);
    Invalidate();
}

void TCustomGrid::SetFixedCols(int n) {
    if (n < 0 || n >= ColCount()) throw EInvalidOperation("Fixed column count must be less than column count");
    fixedCols_ = n;
    col_ = std::max(col_, n);
    leftCol_ = std::max(leftCol_, n);
}

void TCustomGrid::SetFixedRows(int n) {
    if (n < 0 || n >= RowCount()) throw EInvalidOperation("Fixed row count must be less than row count");
    fixedRows_ = n;
    row_ = std::max(row_, n);
    topRow_ = std::max(topRow_, n);
}

void TCustomGrid::SetDefaultColWidth(int w) {
    defaultColWidth_ = std::max(w, 0);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
}

void TCustomGrid::SetDefaultRowHeight(int h) {
    defaultRowHeight_ = std::max(h, 0);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
}

int TCustomGrid::ColWidths(int col) const {
    if (col < 0 || col >= ColCount()) throw EListError("Grid index out of range (" + std::to_string(col) + ")");
    return colWidths_[static_cast<size_t>(col)];
}

void TCustomGrid::SetColWidths(int col, int width) {
    if (col < 0 || col >= ColCount()) throw EListError("Grid index out of range (" + std::to_string(col) + ")");
    colWidths_[static_cast<size_t>(col)] = std::max(width, 0);
    Invalidate();
}

int TCustomGrid::RowHeights(int row) const {
    if (row < 0 || row >= RowCount()) throw EListError("Grid index out of range (" + std::to_string(row) + ")");
    return rowHeights_[static_cast<size_t>(row)];
}

void TCustomGrid::SetRowHeights(int row, int height) {
    if (row < 0 || row >= RowCount()) throw EListError("Grid index out of range (" + std::to_string(row) + ")");
    rowHeights_[static_cast<size_t>(row)] = std::max(height, 0);
    Invalidate();
}

void TCustomGrid::SetOptions(TGridOptions o) {
    options_ = o;
    if (!o.Contains(TGridOption::goEditing)) HideEditor(false);
    Invalidate();
}

namespace {
// Start positions of the cells along one axis: fixed ones first, then from `first`.
int AxisStart(const std::vector<int>& sizes, int fixed, int first, int index, int line) {
    int pos = 0;
    for (int i = 0; i < fixed && i < index; ++i) pos += sizes[static_cast<size_t>(i)] + line;
    if (index < fixed) return pos;
    if (index < first) return -1;
    for (int i = first; i < index; ++i) pos += sizes[static_cast<size_t>(i)] + line;
    return pos;
}
}  // namespace

TRect TCustomGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return TRect{};
    const int x = AxisStart(colWidths_, fixedCols_, leftCol_, col, gridLineWidth_);
    const int y = AxisStart(rowHeights_, fixedRows_, topRow_, row, gridLineWidth_);
    if (x < 0 || y < 0 || x >= ClientWidth() || y >= ClientHeight()) return TRect{};
    return Bounds(x, y, colWidths_[static_cast<size_t>(col)], rowHeights_[static_cast<size_t>(row)]);
}

bool TCustomGrid::MouseToCell(int x, int y, int& col, int& row) const {
    col = row = -1;
    for (int c = 0; c < ColCount(); ++c) {
        const TRect r = CellRect(c, c < fixedCols_ ? fixedRows_ : topRow_);
        if (r.Width() > 0 && x >= r.Left && x < r.Right + gridLineWidth_) col = c;
    }
    for (int rr = 0; rr < RowCount(); ++rr) {
        const TRect r = CellRect(rr < fixedRows_ ? fixedCols_ : leftCol_, rr);
        if (r.Height() > 0 && y >= r.Top && y < r.Bottom + gridLineWidth_) row = rr;
    }
    return col >= 0 && row >= 0;
}

int TCustomGrid::VisibleColCount() const {
    int x = AxisStart(colWidths_, fixedCols_, leftCol_, leftCol_, gridLineWidth_), n = 0;
    for (int c = leftCol_; c < ColCount(); ++c) {
        x += colWidths_[static_cast<size_t>(c)];
        if (x > ClientWidth()) break;
        x += gridLineWidth_;
        ++n;
    }
    return n;
}

int TCustomGrid::VisibleRowCount() const {
    int y = AxisStart(rowHeights_, fixedRows_, topRow_, topRow_, gridLineWidth_), n = 0;
    for (int r = topRow_; r < RowCount(); ++r) {
        y += rowHeights_[static_cast<size_t>(r)];
        if (y > ClientHeight()) break;
        y += gridLineWidth_;
        ++n;
    }
    return n;
}

void TCustomGrid::SetLeftCol(int c) {
    c = std::clamp(c, fixedCols_, ColCount() - 1);
    if (c == leftCol_) return;
    leftCol_ = c;
    TopLeftChanged();
}

void TCustomGrid::SetTopRow(int r) {
    r = std::clamp(r, fixedRows_, RowCount() - 1);
    if (r == topRow_) return;
    topRow_ = r;
    TopLeftChanged();
}

void TCustomGrid::TopLeftChanged() {
    Invalidate();
    if (OnTopLeftChanged) OnTopLeftChanged(this);
}

void TCustomGrid::ScrollInView(int col, int row) {
    if (col < leftCol_) SetLeftCol(col);
    while (col >= leftCol_ + std::max(VisibleColCount(), 1) && leftCol_ < col) SetLeftCol(leftCol_ + 1);
    if (row < topRow_) SetTopRow(row);
    while (row >= topRow_ + std::max(VisibleRowCount(), 1) && topRow_ < row) SetTopRow(topRow_ + 1);
}

bool TCustomGrid::SelectCell(int col, int row) {
    bool can = true;
    if (OnSelectCell) OnSelectCell(this, col, row, can);
    return can;
}

bool TCustomGrid::MoveTo(int col, int row) {
    if (col < fixedCols_ || col >= ColCount() || row < fixedRows_ || row >= RowCount()) return false;
    if (col == col_ && row == row_) return true;
    if (EditorMode() && !StoreEditor(true)) return false;
    if (!SelectCell(col, row)) return false;
    col_ = col;
    row_ = row;
    ScrollInView(col, row);
    Invalidate();
    if (options_.Contains(TGridOption::goAlwaysShowEditor) && CanEditShow()) ShowEditor();
    return true;
}

std::string TCustomGrid::GetEditText(int col, int row) {
    std::string value;
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TCustomGrid::SetEditText(int col, int row, const std::string& value) {
    if (OnSetEditText) OnSetEditText(this, col, row, value);
}

bool TCustomGrid::CanEditShow() const {
    return options_.Contains(TGridOption::goEditing) && !options_.Contains(TGridOption::goRowSelect) &&
           EffectivelyEnabled();
}

TInplaceEdit* TCustomGrid::CreateEditor() { return new TInplaceEdit(this); }

void TCustomGrid::ShowEditor() {
    if (!CanEditShow()) return;
    if (!editor_) editor_ = CreateEditor();
    const TRect cell = CellRect(col_, row_);
    editor_->SetBounds(cell.Left, cell.Top, cell.Width(), cell.Height());
    editor_->SetText(GetEditText(col_, row_));
    editor_->SetModified(false);
    editor_->TControl::SetVisible(true);
    if (Focused() && editor_->CanFocus()) editor_->SetFocus();
    editor_->SelectAll();
}

void TCustomGrid::SetEditorMode(bool v) {
    if (v)
        ShowEditor();
    else
        HideEditor(true);
}

bool TCustomGrid::StoreEditor(bool refocus) {
    if (!EditorMode()) return true;
    SetEditText(col_, row_, editor_->Text());   // may raise: the editor stays open
    const bool hadFocus = editor_->Focused();
    editor_->TControl::SetVisible(false);
    if (refocus && hadFocus && CanFocus()) SetFocus();
    return true;
}

void TCustomGrid::HideEditor(bool store) {
    if (!EditorMode()) return;
    if (store) {
        StoreEditor(true);
        return;
    }
    const bool hadFocus = editor_->Focused();
    editor_->TControl::SetVisible(false);
    if (hadFocus && CanFocus()) SetFocus();
}

void TCustomGrid::DoExit() {
    // Focus leaving the grid (and its editor) stores the edit, without taking the focus back.
    StoreEditor(false);
    TWinControl::DoExit();
}

void TCustomGrid::FixedCellClick(int, int) {}

bool TCustomGrid::WantsKey(uint16_t key, TShiftState) const {
    return key == VK_TAB && options_.Contains(TGridOption::goTabs);
}

void TCustomGrid::KeyDown(uint16_t& key, TShiftState shift) {
    const bool rowSelect = options_.Contains(TGridOption::goRowSelect);
    int c = col_, r = row_;
    const int page = std::max(VisibleRowCount(), 1);
    switch (key) {
        case VK_UP: --r; break;
        case VK_DOWN: ++r; break;
        case VK_LEFT: if (!rowSelect) --c; break;
        case VK_RIGHT: if (!rowSelect) ++c; break;
        case VK_PRIOR: r -= page; break;
        case VK_NEXT: r += page; break;
        case VK_HOME: if (shift.Contains(TShiftStateItem::ssCtrl)) r = fixedRows_; else c = fixedCols_; break;
        case VK_END: if (shift.Contains(TShiftStateItem::ssCtrl)) r = RowCount() - 1; else c = ColCount() - 1; break;
        case VK_TAB:
            if (!options_.Contains(TGridOption::goTabs)) return;
            if (shift.Contains(TShiftStateItem::ssShift)) {
                if (--c < fixedCols_) { c = ColCount() - 1; --r; }
            } else if (++c >= ColCount()) {
                c = fixedCols_;
                ++r;
            }
            break;
        case VK_F2:
            ShowEditor();
            key = 0;
            return;
        default: return;
    }
    key = 0;
    c = std::clamp(c, fixedCols_, ColCount() - 1);
    r = std::clamp(r, fixedRows_, RowCount() - 1);
    MoveTo(c, r);
}

void TCustomGrid::KeyPress(char32_t& key) {
    if (key < U' ' || !CanEditShow() || EditorMode()) return;
    ShowEditor();
    if (!EditorMode()) return;
    // The typed character replaces the cell's text, as it goes into the new editor.
    editor_->ForwardKeyPress(key);
    key = 0;
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    int c, r;
    if (!MouseToCell(x, y, c, r)) return;
    if (c < fixedCols_ || r < fixedRows_) {
        FixedCellClick(c, r);
        return;
    }
    if (c == col_ && r == row_) {
        if (CanEditShow() && options_.Contains(TGridOption::goEditing)) ShowEditor();
        return;
    }
    MoveTo(c, r);
}

void TCustomGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (OnDrawCell) OnDrawCell(this, col, row, rect, state);
}

void TCustomGrid::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    try {
        std::vector<int> cols, rows;
        for (int c = 0; c < fixedCols_; ++c) cols.push_back(c);
        for (int c = leftCol_; c < ColCount() && CellRect(c, 0).Width() > 0; ++c) cols.push_back(c);
        for (int r = 0; r < fixedRows_; ++r) rows.push_back(r);
        for (int r = topRow_; r < RowCount() && CellRect(0, r).Height() > 0; ++r) rows.push_back(r);
        const bool rowSelect = options_.Contains(TGridOption::goRowSelect);
        for (int r : rows)
            for (int c : cols) {
                TGridDrawState state;
                const bool fixed = c < fixedCols_ || r < fixedRows_;
                if (fixed) state.Include(TGridDrawStateItem::gdFixed);
                const bool current = c == col_ && r == row_;
                if (!fixed && (current || (rowSelect && r == row_))) state.Include(TGridDrawStateItem::gdSelected);
                if (current && Focused()) state.Include(TGridDrawStateItem::gdFocused);
                const TRect rect = CellRect(c, r);
                canvas.Font()->Assign(Font());
                canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
                if (defaultDrawing_) {
                    const bool highlight = state.Contains(TGridDrawStateItem::gdSelected) &&
                                           (!state.Contains(TGridDrawStateItem::gdFocused) || rowSelect ||
                                            options_.Contains(TGridOption::goDrawFocusSelected));
                    canvas.Brush()->SetColor(fixed ? clBtnFace : (highlight ? clHighlight : Color()));
                    if (highlight) canvas.Font()->SetColor(clHighlightText);
                    canvas.FillRect(rect);
                }
                DrawCell(c, r, rect, state);
            }
        // Grid lines along the right and bottom edges of the cells.
        canvas.Pen()->SetColor(clBtnShadow);
        const int w = ClientWidth(), h = ClientHeight();
        if (gridLineWidth_ > 0) {
            for (int c : cols) {
                const bool fixed = c < fixedCols_;
                if (!options_.Contains(fixed ? TGridOption::goFixedVertLine : TGridOption::goVertLine)) continue;
                const int x = CellRect(c, rows.empty() ? 0 : rows.front()).Right;
                canvas.MoveTo(x, 0);
                canvas.LineTo(x, h);
            }
            for (int r : rows) {
                const bool fixed = r < fixedRows_;
                if (!options_.Contains(fixed ? TGridOption::goFixedHorzLine : TGridOption::goHorzLine)) continue;
                const int y = CellRect(cols.empty() ? 0 : cols.front(), r).Bottom;
                canvas.MoveTo(0, y);
                canvas.LineTo(w, y);
            }
        }
    } catch (...) {
        canvas_ = nullptr;
        throw;
    }
    canvas_ = nullptr;
}

// ---- TStringGrid ----

const TClassInfo& TStringGrid::StaticClass() {
    static const TClassInfo info("TStringGrid", &TCustomGrid::StaticClass(),
                                 [](TComponent* o) { return new TStringGrid(o); });
    return info;
}

TStringGrid::TStringGrid(TComponent* owner) : TCustomGrid(owner) { Resize2D(); }

void TStringGrid::Resize2D() {
    cells_.resize(static_cast<size_t>(RowCount()));
    objects_.resize(static_cast<size_t>(RowCount()));
    for (auto& row : cells_) row.resize(static_cast<size_t>(ColCount()));
    for (auto& row : objects_) row.resize(static_cast<size_t>(ColCount()), nullptr);
}

void TStringGrid::SetColCount(int n) {
    TCustomGrid::SetColCount(n);
    Resize2D();
}

void TStringGrid::SetRowCount(int n) {
    TCustomGrid::SetRowCount(n);
    Resize2D();
}

const std::string& TStringGrid::Cells(int col, int row) const {
    static const std::string empty;
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return empty;
    return cells_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetCells(int col, int row, const std::string& value) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw EListError("Grid index out of range (" + std::to_string(col) + ", " + std::to_string(row) + ")");
    cells_[static_cast<size_t>(row)][static_cast<size_t>(col)] = value;
    Invalidate();
}

TObject* TStringGrid::Objects(int col, int row) const {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount()) return nullptr;
    return objects_[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

void TStringGrid::SetObjects(int col, int row, TObject* object) {
    if (col < 0 || row < 0 || col >= ColCount() || row >= RowCount())
        throw EListError("Grid index out of range (" + std::to_string(col) + ", " + std::to_string(row) + ")");
    objects_[static_cast<size_t>(row)][static_cast<size_t>(col)] = object;
}

std::vector<std::string> TStringGrid::Rows(int row) const {
    if (row < 0 || row >= RowCount()) return {};
    return cells_[static_cast<size_t>(row)];
}

void TStringGrid::SetRows(int row, const std::vector<std::string>& values) {
    for (int c = 0; c < ColCount(); ++c)
        SetCells(c, row, c < static_cast<int>(values.size()) ? values[static_cast<size_t>(c)] : std::string());
}

std::vector<std::string> TStringGrid::Cols(int col) const {
    std::vector<std::string> out;
    for (int r = 0; r < RowCount(); ++r) out.push_back(Cells(col, r));
    return out;
}

std::string TStringGrid::GetEditText(int col, int row) {
    std::string value = Cells(col, row);
    if (OnGetEditText) OnGetEditText(this, col, row, value);
    return value;
}

void TStringGrid::SetEditText(int col, int row, const std::string& value) {
    SetCells(col, row, value);
    TCustomGrid::SetEditText(col, row, value);
}

void TStringGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    if (DefaultDrawing()) Canvas()->TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
    TCustomGrid::DrawCell(col, row, rect, state);
}
