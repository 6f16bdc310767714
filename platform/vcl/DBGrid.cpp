#include "platform/vcl/DBGrid.h"

#include <algorithm>

#include "platform/core/Strings.h"
#include "platform/db/Field.h"
#include "platform/vcl/DBComboBox.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ImageList.h"

const TTypeInfo& DBGridOptionsType() {
    static const TTypeInfo t("TwwDBGridOptions", TTypeKind::tkSet,
                             {"dgEditing", "dgAlwaysShowEditor", "dgTitles", "dgIndicator", "dgColumnResize",
                              "dgColLines", "dgRowLines", "dgTabs", "dgRowSelect", "dgAlwaysShowSelection",
                              "dgConfirmDelete", "dgCancelOnExit", "dgWordWrap", "dgMultiSelect"});
    return t;
}

const TTypeInfo& DBGridKeyOptionsType() {
    static const TTypeInfo t("TwwDBGridKeyOptions", TTypeKind::tkSet, {"dgEnterToTab", "dgAllowDelete", "dgAllowInsert"});
    return t;
}

// The grid's link: every notification redraws the grid from the dataset.
class TwwGridDataLink : public TDataLink {
public:
    explicit TwwGridDataLink(TwwDBGrid& grid) : grid_(grid) {}

protected:
    void ActiveChanged() override { grid_.LinkActiveChanged(); }
    void DataSetChanged() override { grid_.LinkDataChanged(); }
    void DataSetScrolled(int) override { grid_.LinkDataChanged(); }
    void LayoutChanged() override { grid_.LinkActiveChanged(); }
    void RecordChanged(TField*) override { grid_.Invalidate(); }
    void EditingChanged() override { grid_.Invalidate(); }
    void UpdateData() override {
        if (grid_.EditorMode()) grid_.HideEditor(true);
    }

private:
    TwwDBGrid& grid_;
};

namespace {
bool IsNumeric(TFieldType t) {
    switch (t) {
        case TFieldType::ftSmallint: case TFieldType::ftInteger: case TFieldType::ftWord: case TFieldType::ftFloat:
        case TFieldType::ftCurrency: case TFieldType::ftBCD: case TFieldType::ftAutoInc: case TFieldType::ftLargeint:
        case TFieldType::ftFMTBcd:
            return true;
        default: return false;
    }
}
}  // namespace

const TClassInfo& TwwDBGrid::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TwwDBGrid", &TCustomGrid::StaticClass(), [](TComponent* o) { return new TwwDBGrid(o); });
        c.Add(ObjectProperty("DataSource", &TwwDBGrid::DataSource, &TwwDBGrid::SetDataSource));
        c.Add(TypedProperty("Options", DBGridOptionsType(), &TwwDBGrid::Options, &TwwDBGrid::SetOptions));
        c.Add(TypedProperty("KeyOptions", DBGridKeyOptionsType(), &TwwDBGrid::KeyOptions, &TwwDBGrid::SetKeyOptions));
        c.Add(Property("ReadOnly", &TwwDBGrid::ReadOnly, &TwwDBGrid::SetReadOnly));
        c.Add(Property("TitleButtons", &TwwDBGrid::TitleButtons, &TwwDBGrid::SetTitleButtons));
        c.Add(TypedProperty("TitleAlignment", AlignmentType(), &TwwDBGrid::TitleAlignment, &TwwDBGrid::SetTitleAlignment));
        c.Add(ObjectProperty("TitleImageList", &TwwDBGrid::TitleImageList, &TwwDBGrid::SetTitleImageList));
        c.Add(TypedProperty("IndicatorColor", ColorType(), &TwwDBGrid::IndicatorColor, &TwwDBGrid::SetIndicatorColor));
        c.Add(ObjectProperty("TitleFont", &TwwDBGrid::TitleFont));
        c.Add(Property("SelectedIndex", &TwwDBGrid::SelectedIndex, &TwwDBGrid::SetSelectedIndex));
        c.Add(EventProperty("OnCalcCellColors", &TwwDBGrid::OnCalcCellColors));
        c.Add(EventProperty("OnCalcTitleAttributes", &TwwDBGrid::OnCalcTitleAttributes));
        c.Add(EventProperty("OnCalcTitleImage", &TwwDBGrid::OnCalcTitleImage));
        c.Add(EventProperty("OnTitleButtonClick", &TwwDBGrid::OnTitleButtonClick));
        c.Add(EventProperty("OnColEnter", &TwwDBGrid::OnColEnter));
        c.Add(EventProperty("OnColExit", &TwwDBGrid::OnColExit));
        return c;
    }();
    return info;
}

TwwDBGrid::TwwDBGrid(TComponent* owner)
    : TCustomGrid(owner), link_(std::make_unique<TwwGridDataLink>(*this)), titleFont_(std::make_unique<TFont>()) {
    SetDefaultRowHeight(17);
    LayoutFields();
}

TwwDBGrid::~TwwDBGrid() {
    MarkDestroying();
    link_->SetDataSource(nullptr);
}

TDataSource* TwwDBGrid::DataSource() const noexcept { return link_->DataSource(); }

void TwwDBGrid::SetDataSource(TDataSource* source) {
    if (DataSource()) RemoveFreeNotification(DataSource());
    link_->SetDataSource(source);
    if (source) FreeNotification(source);
    LinkActiveChanged();
}

TDataSet* TwwDBGrid::DataSet() const noexcept { return link_->DataSet(); }

void TwwDBGrid::SetOptions(TwwDBGridOptions o) {
    options_ = o;
    TGridOptions g;
    if (o.Contains(TwwDBGridOption::dgEditing)) g.Include(TGridOption::goEditing);
    if (o.Contains(TwwDBGridOption::dgAlwaysShowEditor)) g.Include(TGridOption::goAlwaysShowEditor);
    if (o.Contains(TwwDBGridOption::dgColLines)) g.Include(TGridOption::goVertLine).Include(TGridOption::goFixedVertLine);
    if (o.Contains(TwwDBGridOption::dgRowLines)) g.Include(TGridOption::goHorzLine).Include(TGridOption::goFixedHorzLine);
    if (o.Contains(TwwDBGridOption::dgTabs)) g.Include(TGridOption::goTabs);
    if (o.Contains(TwwDBGridOption::dgRowSelect)) g.Include(TGridOption::goRowSelect);
    if (o.Contains(TwwDBGridOption::dgColumnResize)) g.Include(TGridOption::goColSizing);
    TCustomGrid::SetOptions(g);
    if (!o.Contains(TwwDBGridOption::dgMultiSelect)) selected_.clear();
    LayoutFields();
}

void TwwDBGrid::SetTitleImageList(TImageList* images) {
    if (titleImageList_) RemoveFreeNotification(titleImageList_);
    titleImageList_ = images;
    if (images) FreeNotification(images);
}

void TwwDBGrid::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove) {
        if (component == titleImageList_) titleImageList_ = nullptr;
        if (component == customEditor_) customEditor_ = nullptr;
    }
    TCustomGrid::Notification(component, operation);
}

TField* TwwDBGrid::Fields(int index) const {
    return index >= 0 && index < FieldCount() ? fields_[static_cast<size_t>(index)] : nullptr;
}

TField* TwwDBGrid::FieldAtCol(int col) const { return Fields(col - IndicatorOffset()); }

TField* TwwDBGrid::SelectedField() const { return FieldAtCol(Col()); }

int TwwDBGrid::SelectedIndex() const { return FieldAtCol(Col()) ? Col() - IndicatorOffset() : -1; }

void TwwDBGrid::SetSelectedIndex(int index) {
    if (index >= 0 && index < FieldCount()) MoveTo(index + IndicatorOffset(), Row());
}

void TwwDBGrid::SetSelectedField(TField* field) {
    auto it = std::find(fields_.begin(), fields_.end(), field);
    if (it != fields_.end()) SetSelectedIndex(static_cast<int>(it - fields_.begin()));
}

int TwwDBGrid::ActiveRow() const { return link_->Active() && DataSet()->RecordCount() > 0 ? link_->ActiveRecord() : -1; }

void TwwDBGrid::LinkActiveChanged() {
    LayoutFields();
    LinkDataChanged();
}

void TwwDBGrid::LayoutFields() {
    HideCustomEditor();
    fields_.clear();
    if (TDataSet* ds = DataSet(); ds && link_->Active())
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (ds->Fields(i)->Visible()) fields_.push_back(ds->Fields(i));
    const int fixedRows = options_.Contains(TwwDBGridOption::dgTitles) ? 1 : 0;
    syncing_ = true;
    SetColCount(std::max(FieldCount() + IndicatorOffset(), IndicatorOffset() + 1));
    SetFixedCols(IndicatorOffset());
    if (RowCount() < fixedRows + 1) SetRowCount(fixedRows + 1);
    SetFixedRows(fixedRows);
    if (IndicatorOffset()) SetColWidths(0, 11);
    TCanvas measure;
    measure.Font()->Assign(Font());
    for (int i = 0; i < FieldCount(); ++i) {
        TField* f = fields_[static_cast<size_t>(i)];
        const int w = std::max(f->DisplayWidth() * measure.TextWidth("0"), measure.TextWidth(f->DisplayLabel())) + 4;
        SetColWidths(i + IndicatorOffset(), w);
    }
    syncing_ = false;
    SyncRows();
}

void TwwDBGrid::SyncRows() {
    const int fixedRows = FixedRows();
    const int rowHeight = DefaultRowHeight() + GridLineWidth();
    const int capacity = std::max((ClientHeight() - fixedRows * rowHeight) / std::max(rowHeight, 1), 1);
    link_->SetBufferCount(capacity);
    syncing_ = true;
    SetRowCount(fixedRows + std::max(link_->Active() ? link_->RecordCount() : 0, 1));
    const int active = std::max(ActiveRow(), 0);
    MoveTo(std::max(Col(), FixedCols()), fixedRows + active);
    syncing_ = false;
}

void TwwDBGrid::LinkDataChanged() {
    SyncRows();
    Invalidate();
}

void TwwDBGrid::Resize() {
    TCustomGrid::Resize();
    if (!Destroying()) SyncRows();
}

bool TwwDBGrid::SelectCell(int col, int row) {
    if (!syncing_ && col != Col()) {
        HideCustomEditor();
        if (OnColExit) OnColExit(this);
    }
    const bool ok = TCustomGrid::SelectCell(col, row);
    return ok;
}

std::string TwwDBGrid::ControlTypeOf(const TField* field, std::vector<std::string>* params) const {
    TDataSet* ds = DataSet();
    if (!field || !ds) return {};
    TStrings* list = ds->ControlType();
    for (int i = 0; i < list->Count(); ++i) {
        auto parts = SplitString(list->Strings(i), ';');
        if (parts.size() < 2 || !SameText(Trim(parts[0]), field->FieldName())) continue;
        if (params) params->assign(parts.begin() + 2, parts.end());
        return Trim(parts[1]);
    }
    return {};
}

TWinControl* TwwDBGrid::CustomEditorOf(const TField* field) const {
    std::vector<std::string> params;
    if (!SameText(ControlTypeOf(field, &params), "CustomEdit") || params.empty() || !Owner()) return nullptr;
    return dynamic_cast<TWinControl*>(Owner()->FindComponent(Trim(params[0])));
}

bool TwwDBGrid::CanEditShow() const {
    TField* f = SelectedField();
    return TCustomGrid::CanEditShow() && !readOnly_ && f && f->CanModify() &&
           ControlTypeOf(f).empty() && ActiveRow() >= 0;
}

std::string TwwDBGrid::GetEditText(int, int) {
    TField* f = SelectedField();
    return f ? f->Text() : std::string();
}

void TwwDBGrid::SetEditText(int, int, const std::string& value) {
    TField* f = SelectedField();
    if (!f || f->Text() == value) return;
    link_->Edit();
    f->SetText(value);
}

void TwwDBGrid::MoveRecords(int distance) {
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || distance == 0) return;
    if (EditorMode()) HideEditor(true);
    ds->MoveBy(distance);
}

void TwwDBGrid::ShowCustomEditor() {
    TWinControl* editor = CustomEditorOf(SelectedField());
    if (!editor || readOnly_ || ActiveRow() < 0) return;
    if (customEditor_ && customEditor_ != editor) HideCustomEditor();
    customEditor_ = editor;
    FreeNotification(editor);
    editor->SetParent(this);
    const TRect r = CellRect(Col(), Row());
    editor->SetBounds(r.Left, r.Top, r.Width(), r.Height());
    editor->Show();
    if (editor->CanFocus()) editor->SetFocus();
}

void TwwDBGrid::HideCustomEditor() {
    if (!customEditor_) return;
    TWinControl* editor = customEditor_;
    customEditor_ = nullptr;
    RemoveFreeNotification(editor);
    const bool hadFocus = editor->Focused();
    editor->Hide();
    if (hadFocus && CanFocus()) SetFocus();
}

void TwwDBGrid::ToggleCheckBox() {
    TField* f = SelectedField();
    std::vector<std::string> params;
    if (!f || readOnly_ || !SameText(ControlTypeOf(f, &params), "CheckBox")) return;
    const std::string on = params.size() > 0 ? params[0] : "True";
    const std::string off = params.size() > 1 ? params[1] : "False";
    if (!f->CanModify()) return;
    link_->Edit();
    f->SetText(SameText(f->Text(), on) ? off : on);
}

bool TwwDBGrid::IsSelected() const {
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || ds->RecordCount() == 0) return false;
    return std::find(selected_.begin(), selected_.end(), ds->GetBookmark()) != selected_.end();
}

void TwwDBGrid::SelectRecord() {
    if (!options_.Contains(TwwDBGridOption::dgMultiSelect) || IsSelected()) return;
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || ds->RecordCount() == 0) return;
    selected_.push_back(ds->GetBookmark());
    Invalidate();
}

void TwwDBGrid::UnselectRecord() {
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || ds->RecordCount() == 0) return;
    selected_.erase(std::remove(selected_.begin(), selected_.end(), ds->GetBookmark()), selected_.end());
    Invalidate();
}

void TwwDBGrid::SelectAll() {
    TDataSet* ds = DataSet();
    if (!ds || !link_->Active() || !options_.Contains(TwwDBGridOption::dgMultiSelect)) return;
    const TBookmark here = ds->GetBookmark();
    selected_.clear();
    ds->DisableControls();
    try {
        for (ds->First(); !ds->Eof(); ds->Next()) selected_.push_back(ds->GetBookmark());
        ds->GotoBookmark(here);
    } catch (...) {
        ds->EnableControls();
        throw;
    }
    ds->EnableControls();
    Invalidate();
}

void TwwDBGrid::UnselectAll() {
    selected_.clear();
    Invalidate();
}

void TwwDBGrid::KeyDown(uint16_t& key, TShiftState shift) {
    TDataSet* ds = DataSet();
    const bool ctrl = shift.Contains(TShiftStateItem::ssCtrl);
    if (ds && link_->Active()) {
        switch (key) {
            case VK_UP:
                key = 0;
                // Leaving an untouched new record drops it.
                if (ds->State() == TDataSetState::dsInsert && !ds->Modified()) ds->Cancel();
                else MoveRecords(-1);
                return;
            case VK_DOWN:
                key = 0;
                if (ds->State() == TDataSetState::dsInsert && !ds->Modified()) return;
                if (ds->RecNo() >= ds->RecordCount() && !readOnly_ && ds->CanModify() &&
                    options_.Contains(TwwDBGridOption::dgEditing) &&
                    keyOptions_.Contains(TwwDBGridKeyOption::dgAllowInsert)) {
                    if (EditorMode()) HideEditor(true);
                    ds->Append();
                } else {
                    MoveRecords(1);
                }
                return;
            case VK_PRIOR: key = 0; MoveRecords(-std::max(link_->BufferCount(), 1)); return;
            case VK_NEXT: key = 0; MoveRecords(std::max(link_->BufferCount(), 1)); return;
            case VK_HOME:
                if (ctrl) { key = 0; ds->First(); return; }
                break;
            case VK_END:
                if (ctrl) { key = 0; ds->Last(); return; }
                break;
            case VK_INSERT:
                key = 0;
                if (!readOnly_ && ds->CanModify() && keyOptions_.Contains(TwwDBGridKeyOption::dgAllowInsert)) ds->Insert();
                return;
            case VK_DELETE:
                if (!ctrl || EditorMode()) break;
                key = 0;
                if (readOnly_ || !ds->CanModify() || !keyOptions_.Contains(TwwDBGridKeyOption::dgAllowDelete) ||
                    ds->RecordCount() == 0)
                    return;
                if (options_.Contains(TwwDBGridOption::dgConfirmDelete) &&
                    MessageDlg("Delete record?", TMsgDlgType::mtConfirmation, {TMsgDlgBtn::mbOK, TMsgDlgBtn::mbCancel}) !=
                        mrOk)
                    return;
                ds->Delete();
                return;
            case VK_ESCAPE:
                if (EditorMode()) break;
                if (ds->State() == TDataSetState::dsEdit || ds->State() == TDataSetState::dsInsert) {
                    key = 0;
                    ds->Cancel();
                }
                return;
            default: break;
        }
    }
    const int col = Col();
    TCustomGrid::KeyDown(key, shift);
    if (Col() != col && OnColEnter) OnColEnter(this);
}

void TwwDBGrid::KeyPress(char32_t& key) {
    TField* f = SelectedField();
    if (key == U' ' && SameText(ControlTypeOf(f), "CheckBox")) {
        key = 0;
        ToggleCheckBox();
        return;
    }
    if (key >= U' ' && CustomEditorOf(f)) {
        ShowCustomEditor();
        // The character that opened the editor goes into it.
        if (customEditor_) customEditor_->ForwardKeyPress(key);
        key = 0;
        return;
    }
    if (key >= U' ' && CanEditShow() && !link_->Edit()) {
        key = 0;
        return;
    }
    TCustomGrid::KeyPress(key);
}

void TwwDBGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    int c, r;
    TDataSet* ds = DataSet();
    if (button == TMouseButton::mbLeft && ds && link_->Active() && MouseToCell(x, y, c, r) && r >= FixedRows()) {
        const int distance = (r - FixedRows()) - ActiveRow();
        MoveRecords(distance);
        const bool onIndicator = IndicatorOffset() && c == 0;
        if (options_.Contains(TwwDBGridOption::dgMultiSelect) && (onIndicator || shift.Contains(TShiftStateItem::ssCtrl))) {
            if (IsSelected()) UnselectRecord();
            else SelectRecord();
        }
        if (onIndicator) return;
        const bool sameCell = c == Col();
        const int col = Col();
        TCustomGrid::MouseDown(button, shift, x, CellRect(c, FixedRows() + std::max(ActiveRow(), 0)).Top + 1);
        if (Col() != col && OnColEnter) OnColEnter(this);
        if (sameCell && distance == 0) {
            if (SameText(ControlTypeOf(SelectedField()), "CheckBox")) ToggleCheckBox();
            else if (CustomEditorOf(SelectedField())) ShowCustomEditor();
        }
        return;
    }
    TCustomGrid::MouseDown(button, shift, x, y);
}

void TwwDBGrid::FixedCellClick(int col, int row) {
    if (row == 0 && options_.Contains(TwwDBGridOption::dgTitles) && titleButtons_)
        if (TField* f = FieldAtCol(col); f && OnTitleButtonClick) OnTitleButtonClick(this, f->FieldName());
}

bool TwwDBGrid::ContainerDialogKey(uint16_t key, TShiftState shift) {
    if (!customEditor_ || !customEditor_->Focused()) return false;
    if (key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE) return false;
    HideCustomEditor();   // the editor's exit writes its value
    if (key == VK_TAB && options_.Contains(TwwDBGridOption::dgTabs)) {
        uint16_t tab = VK_TAB;
        KeyDown(tab, shift);
    }
    return true;
}

void TwwDBGrid::DoExit() {
    HideCustomEditor();
    TCustomGrid::DoExit();
}

void TwwDBGrid::PaintOn(TCanvas& canvas) {
    try {
        TCustomGrid::PaintOn(canvas);
    } catch (...) {
        link_->SetActiveRecord(-1);
        throw;
    }
    link_->SetActiveRecord(-1);
}

void TwwDBGrid::DrawCheckBoxCell(const TRect& rect, TCheckBoxState state) {
    TCanvas& c = *Canvas();
    const TRect box = Bounds(rect.Left + (rect.Width() - 13) / 2, rect.Top + (rect.Height() - 13) / 2, 13, 13);
    c.Brush()->SetColor(clWindow);
    c.FillRect(box);
    c.Brush()->SetColor(clBtnShadow);
    c.FrameRect(box);
    if (state == TCheckBoxState::cbChecked) {
        c.Pen()->SetColor(clWindowText);
        c.MoveTo(box.Left + 3, box.Top + 6);
        c.LineTo(box.Left + 5, box.Top + 9);
        c.LineTo(box.Left + 10, box.Top + 3);
    }
}

void TwwDBGrid::DrawCell(int col, int row, const TRect& rect, TGridDrawState state) {
    TCanvas& c = *Canvas();
    const bool titles = options_.Contains(TwwDBGridOption::dgTitles);
    const int dataRow = row - FixedRows();
    TField* field = FieldAtCol(col);
    // Title row.
    if (titles && row == 0) {
        if (!field) return;
        c.Font()->Assign(titleFont_.get());
        c.Brush()->SetColor(clBtnFace);
        TAlignment alignment = titleAlignment_;
        if (OnCalcTitleAttributes) OnCalcTitleAttributes(this, field->FieldName(), c.Font(), c.Brush(), alignment);
        c.FillRect(rect);
        c.AlignedText(rect, field->DisplayLabel(), alignment);
        if (titleImageList_ && OnCalcTitleImage) {
            TwwTitleImageAttributes attrs;
            OnCalcTitleImage(this, field, attrs);
            if (attrs.ImageIndex >= 0) {
                const int x = attrs.Alignment == TAlignment::taLeftJustify ? rect.Left + 2
                                                                           : rect.Right - titleImageList_->Width() - 2;
                titleImageList_->Draw(c, x, rect.Top + (rect.Height() - titleImageList_->Height()) / 2,
                                      attrs.ImageIndex);
            }
        }
        return;
    }
    if (dataRow < 0 || !link_->Active() || dataRow >= link_->RecordCount()) return;
    link_->SetActiveRecord(dataRow);
    const bool current = dataRow == link_->ActiveRecord();
    // Indicator column: the current record's mark and the selection.
    if (IndicatorOffset() && col == 0) {
        TDataSet* ds = DataSet();
        c.Brush()->SetColor(indicatorColor_);
        c.FillRect(rect);
        if (current) {
            const char* mark = ds->State() == TDataSetState::dsInsert ? "*"
                               : ds->State() == TDataSetState::dsEdit ? "I"
                                                                      : ">";
            c.AlignedText(rect, mark, TAlignment::taCenter);
        }
        return;
    }
    if (!field) return;
    const bool highlight = state.Contains(TGridDrawStateItem::gdSelected) &&
                           (!state.Contains(TGridDrawStateItem::gdFocused) ||
                            options_.Contains(TwwDBGridOption::dgRowSelect)) ;
    bool selectedRecord = false;
    if (!selected_.empty()) {
        const TBookmark here = DataSet()->GetBookmark();
        selectedRecord = std::find(selected_.begin(), selected_.end(), here) != selected_.end();
    }
    c.Font()->Assign(Font());
    c.Brush()->SetColor(Color());
    if (highlight || selectedRecord) {
        c.Brush()->SetColor(clHighlight);
        c.Font()->SetColor(clHighlightText);
    }
    if (OnCalcCellColors) OnCalcCellColors(this, field, state, highlight || selectedRecord, c.Font(), c.Brush());
    c.FillRect(rect);
    std::vector<std::string> params;
    if (SameText(ControlTypeOf(field, &params), "CheckBox")) {
        const std::string on = params.size() > 0 ? params[0] : "True";
        const std::string off = params.size() > 1 ? params[1] : "False";
        const std::string text = field->Text();
        DrawCheckBoxCell(rect, SameText(text, on)    ? TCheckBoxState::cbChecked
                               : SameText(text, off) ? TCheckBoxState::cbUnchecked
                                                     : TCheckBoxState::cbGrayed);
        return;
    }
    std::string text = field->DisplayText();
    // A CustomEdit combo with a map list shows the display part of the stored code.
    if (auto* combo = dynamic_cast<TwwDBCustomComboBox*>(CustomEditorOf(field)))
        if (combo->IndexOfStored(field->Text()) >= 0) text = combo->DisplayValue(field->Text());
    c.AlignedText(rect, text, IsNumeric(field->DataType()) ? TAlignment::taRightJustify : TAlignment::taLeftJustify);
}
