#pragma once
// `TwwDBGrid`: the data grid of the windows' browse pages (the grid-and-edit
// pack's class of this name). It shows the visible fields of its data source's
// dataset as columns (an indicator column first with dgIndicator, a title row
// with dgTitles) and a window of records as rows; the current record is the
// current row. Moving between rows moves the dataset; editing goes through the
// fields (OnSetText, validation) with the dataset in edit state.
//
// In-place controls come from the dataset's control-type list, one entry per
// field: "FIELD;CheckBox;checked;unchecked" paints the cell as a check box that a
// click or Space toggles between the two codes; "FIELD;CustomEdit;name" edits the
// cell with the grid owner's component of that name (a combo box, a combo dialog),
// shown over the cell while it is current; Tab, Enter or Escape in it (or leaving
// the cell) hides it again.
//
// Painting: every data cell asks OnCalcCellColors for its font and brush, every
// title cell OnCalcTitleAttributes and OnCalcTitleImage (an image of
// TitleImageList drawn at the title's right end); a title click with TitleButtons
// raises OnTitleButtonClick with the field name. With dgMultiSelect, Ctrl+click
// (or a click on the indicator) selects and unselects records; SelectedList holds
// their bookmarks.
#include <memory>
#include <string>
#include <vector>

#include "platform/db/DataLink.h"
#include "platform/vcl/CheckBox.h"
#include "platform/vcl/Grid.h"

class TImageList;
class TwwGridDataLink;

enum class TwwDBGridOption {
    dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines, dgTabs,
    dgRowSelect, dgAlwaysShowSelection, dgConfirmDelete, dgCancelOnExit, dgWordWrap, dgMultiSelect
};
using TwwDBGridOptions = TSet<TwwDBGridOption>;
enum class TwwDBGridKeyOption { dgEnterToTab, dgAllowDelete, dgAllowInsert };
using TwwDBGridKeyOptions = TSet<TwwDBGridKeyOption>;
const TTypeInfo& DBGridOptionsType();
const TTypeInfo& DBGridKeyOptionsType();

struct TwwTitleImageAttributes {
    int ImageIndex = -1;
    TAlignment Alignment = TAlignment::taRightJustify;
};

using TCalcCellColorsEvent =
    std::function<void(TObject* sender, TField* field, TGridDrawState state, bool highlight, TFont* font, TBrush* brush)>;
using TCalcTitleAttributesEvent = std::function<void(TObject* sender, const std::string& fieldName, TFont* font,
                                                     TBrush* brush, TAlignment& titleAlignment)>;
using TCalcTitleImageEvent = std::function<void(TObject* sender, TField* field, TwwTitleImageAttributes& attributes)>;
using TTitleButtonClickEvent = std::function<void(TObject* sender, const std::string& fieldName)>;

class TwwDBGrid : public TCustomGrid {
    VELMORA_CLASS(TwwDBGrid)
public:
    explicit TwwDBGrid(TComponent* owner);
    ~TwwDBGrid() override;

    TDataSource* DataSource() const noexcept;
    void SetDataSource(TDataSource* source);
    TDataSet* DataSet() const noexcept;
    TwwDBGridOptions Options() const noexcept { return options_; }
    void SetOptions(TwwDBGridOptions o);
    TwwDBGridKeyOptions KeyOptions() const noexcept { return keyOptions_; }
    void SetKeyOptions(TwwDBGridKeyOptions o) { keyOptions_ = o; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool TitleButtons() const noexcept { return titleButtons_; }
    void SetTitleButtons(bool v) { titleButtons_ = v; }
    TAlignment TitleAlignment() const noexcept { return titleAlignment_; }
    void SetTitleAlignment(TAlignment a) { titleAlignment_ = a; }
    TImageList* TitleImageList() const noexcept { return titleImageList_; }
    void SetTitleImageList(TImageList* images);
    TColor IndicatorColor() const noexcept { return indicatorColor_; }
    void SetIndicatorColor(TColor c) { indicatorColor_ = c; }
    TFont* TitleFont() const noexcept { return titleFont_.get(); }

    // The shown (visible) fields, in order; column = field index + IndicatorOffset().
    int FieldCount() const noexcept { return static_cast<int>(fields_.size()); }
    TField* Fields(int index) const;   // nullptr out of range
    int IndicatorOffset() const noexcept { return options_.Contains(TwwDBGridOption::dgIndicator) ? 1 : 0; }
    TField* SelectedField() const;
    void SetSelectedField(TField* field);
    int SelectedIndex() const;   // field index of the current column, -1 when none
    void SetSelectedIndex(int index);
    // The data row (0 = first shown record) of the current record, -1 when empty.
    int ActiveRow() const;

    // The control-type entry for a field ("CheckBox", "CustomEdit" or ""), with its parameters.
    std::string ControlTypeOf(const TField* field, std::vector<std::string>* params = nullptr) const;
    // The owner's component that edits a CustomEdit column, or nullptr.
    TWinControl* CustomEditorOf(const TField* field) const;

    // --- multi-select ---
    const std::vector<TBookmark>& SelectedList() const noexcept { return selected_; }
    bool IsSelected() const;   // the current record
    void SelectRecord();
    void UnselectRecord();
    void SelectAll();
    void UnselectAll();

    TCalcCellColorsEvent OnCalcCellColors;
    TCalcTitleAttributesEvent OnCalcTitleAttributes;
    TCalcTitleImageEvent OnCalcTitleImage;
    TTitleButtonClickEvent OnTitleButtonClick;
    TNotifyEvent OnColEnter;
    TNotifyEvent OnColExit;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void PaintOn(TCanvas& canvas) override;

protected:
    bool SelectCell(int col, int row) override;
    void DrawCell(int col, int row, const TRect& rect, TGridDrawState state) override;
    // A check-box cell (the module's grid draws its own images).
    virtual void DrawCheckBoxCell(const TRect& rect, TCheckBoxState state);
    std::string GetEditText(int col, int row) override;
    void SetEditText(int col, int row, const std::string& value) override;
    bool CanEditShow() const override;
    void FixedCellClick(int col, int row) override;
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    // Tab, Enter and Escape in an in-place control close it; Tab then moves on.
    bool ContainerDialogKey(uint16_t key, TShiftState shift) override;
    void DoExit() override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TwwGridDataLink;
    void LinkActiveChanged();
    void LinkDataChanged();
    void LayoutFields();
    void SyncRows();
    void ToggleCheckBox();
    void ShowCustomEditor();
    void HideCustomEditor();
    void MoveRecords(int distance);
    TField* FieldAtCol(int col) const;

    std::unique_ptr<TwwGridDataLink> link_;
    std::vector<TField*> fields_;
    TwwDBGridOptions options_{TwwDBGridOption::dgEditing, TwwDBGridOption::dgTitles, TwwDBGridOption::dgIndicator,
                              TwwDBGridOption::dgColumnResize, TwwDBGridOption::dgColLines, TwwDBGridOption::dgRowLines,
                              TwwDBGridOption::dgTabs, TwwDBGridOption::dgConfirmDelete, TwwDBGridOption::dgCancelOnExit};
    TwwDBGridKeyOptions keyOptions_{TwwDBGridKeyOption::dgAllowDelete, TwwDBGridKeyOption::dgAllowInsert};
    bool readOnly_ = false;
    bool titleButtons_ = false;
    TAlignment titleAlignment_ = TAlignment::taLeftJustify;
    TImageList* titleImageList_ = nullptr;
    TColor indicatorColor_ = clBtnFace;
    std::unique_ptr<TFont> titleFont_;
    std::vector<TBookmark> selected_;
    TWinControl* customEditor_ = nullptr;
    bool syncing_ = false;
};
