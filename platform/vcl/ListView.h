#pragma once
// `TListView`: items with a caption, sub-items and an image, shown as icons, a
// list or a report with columns. Up/Down and clicks (report rows of RowHeight
// under a header of the same height) select items; F2 (or EditCaption) opens the
// caption editor unless ReadOnly; Enter keeps the edit (OnEdited may change the
// text) and Escape drops it.
#include <memory>
#include <vector>

#include "platform/classes/Collection.h"
#include "platform/classes/StringList.h"
#include "platform/vcl/Edit.h"

class TListView;
class TImageList;

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };

class TListColumn : public TCollectionItem {
    VELMORA_CLASS(TListColumn)
public:
    explicit TListColumn(TCollection* c);
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& c) { caption_ = c; Changed(false); }
    int Width() const noexcept { return width_; }
    void SetWidth(int w) { width_ = w < 0 ? 0 : w; Changed(false); }
    TAlignment Alignment() const noexcept { return alignment_; }
    void SetAlignment(TAlignment a) { alignment_ = a; Changed(false); }
    std::string DisplayName() const override { return caption_; }

private:
    std::string caption_;
    int width_ = 50;
    TAlignment alignment_ = TAlignment::taLeftJustify;
};

class TListColumns : public TCollectionOf<TListColumn> {
    VELMORA_CLASS(TListColumns)
public:
    using TCollectionOf<TListColumn>::TCollectionOf;
};

class TListItem : public TPersistent {
    VELMORA_CLASS(TListItem)
public:
    explicit TListItem(TListView* owner);
    ~TListItem() override;
    TListView* ListView() const noexcept { return owner_; }
    const std::string& Caption() const noexcept { return caption_; }
    void SetCaption(const std::string& c);
    TStrings* SubItems() const noexcept { return subItems_.get(); }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; }
    bool Checked() const noexcept { return checked_; }
    void SetChecked(bool v) { checked_ = v; }
    bool Selected() const noexcept { return selected_; }
    void SetSelected(bool v);
    void* Data() const noexcept { return data_; }
    void SetData(void* d) { data_ = d; }
    int Index() const;
    void Delete();
    // Opens the caption editor on this item (see TListView::EditCaption).
    bool EditCaption();

private:
    friend class TListView;
    TListView* owner_;
    std::string caption_;
    std::unique_ptr<TStringList> subItems_;
    int imageIndex_ = -1;
    bool checked_ = false;
    bool selected_ = false;
    void* data_ = nullptr;
};

using TLVEditingEvent = std::function<void(TObject* sender, TListItem* item, bool& allowEdit)>;
using TLVEditedEvent = std::function<void(TObject* sender, TListItem* item, std::string& text)>;
using TLVSelectItemEvent = std::function<void(TObject* sender, TListItem* item, bool selected)>;
using TLVColumnClickEvent = std::function<void(TObject* sender, TListColumn* column)>;

class TListView : public TWinControl {
    VELMORA_CLASS(TListView)
public:
    explicit TListView(TComponent* owner);
    ~TListView() override;

    TListColumns* Columns() const noexcept { return columns_.get(); }
    // The items (owned): Add appends, Insert puts one at an index.
    int ItemCount() const noexcept { return static_cast<int>(items_.size()); }
    TListItem* Items(int index) const;   // EListError out of range
    TListItem* AddItem();
    TListItem* InsertItem(int index);
    void DeleteItem(int index);
    void ClearItems();

    TViewStyle ViewStyle() const noexcept { return viewStyle_; }
    void SetViewStyle(TViewStyle v) { viewStyle_ = v; Invalidate(); }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool v) { multiSelect_ = v; }
    bool RowSelect() const noexcept { return rowSelect_; }
    void SetRowSelect(bool v) { rowSelect_ = v; }
    bool GridLines() const noexcept { return gridLines_; }
    void SetGridLines(bool v) { gridLines_ = v; }
    bool Checkboxes() const noexcept { return checkboxes_; }
    void SetCheckboxes(bool v) { checkboxes_ = v; }
    TImageList* SmallImages() const noexcept { return smallImages_; }
    void SetSmallImages(TImageList* images);
    int RowHeight() const;

    // The first selected item, or nullptr; setting selects only that item.
    TListItem* Selected() const;
    void SetSelected(TListItem* item);
    int ItemIndex() const;
    void SetItemIndex(int index);

    bool IsEditing() const noexcept { return editing_ != nullptr; }
    TEdit* Editor() const noexcept { return editor_; }
    // Opens the caption editor on an item (OnEditing may refuse; never when ReadOnly).
    bool EditCaption(TListItem* item);
    // Closes the editor: keeping sets the caption to the (OnEdited-adjusted) text.
    void EndEdit(bool keep);

    TLVEditingEvent OnEditing;
    TLVEditedEvent OnEdited;
    TLVSelectItemEvent OnSelectItem;
    TLVColumnClickEvent OnColumnClick;
    TNotifyEvent OnChange;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override { Click(); }
    void PaintOn(TCanvas& canvas) override;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TListItem;
    void SelectionChanged(TListItem* item, bool selected);
    std::unique_ptr<TListColumns> columns_;
    std::vector<std::unique_ptr<TListItem>> items_;
    TViewStyle viewStyle_ = TViewStyle::vsIcon;
    bool readOnly_ = false, multiSelect_ = false, rowSelect_ = false, gridLines_ = false, checkboxes_ = false;
    TImageList* smallImages_ = nullptr;
    TListItem* editing_ = nullptr;
    TEdit* editor_ = nullptr;
};
