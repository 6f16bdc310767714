#pragma once
// `TListBox`: a list of text items with one or many selected, optionally owner
// drawn. A click on an item (rows of ItemHeight from TopIndex) or Up/Down selects
// it and raises OnClick; with MultiSelect, Ctrl+click and Space toggle an item.
#include <memory>
#include <vector>

#include "platform/classes/StringList.h"
#include "platform/vcl/WinControl.h"

enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };

class TCustomListBox : public TWinControl {
    VELMORA_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TStrings* Items() const noexcept { return items_.get(); }
    int ItemIndex() const noexcept { return itemIndex_; }
    void SetItemIndex(int index);   // -1 for none; selects only that item
    bool MultiSelect() const noexcept { return multiSelect_; }
    void SetMultiSelect(bool v);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelCount() const;
    void ClearSelection();
    void SelectAll();
    bool Sorted() const noexcept { return items_->Sorted(); }
    void SetSorted(bool v) { items_->SetSorted(v); }
    TListBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TListBoxStyle s) { style_ = s; }
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int h) { itemHeight_ = h < 1 ? 1 : h; }
    int TopIndex() const noexcept { return topIndex_; }
    void SetTopIndex(int i);
    // The item under a point of the client area, or -1.
    int ItemAtPos(TPoint p) const;
    TRect ItemRect(int index) const;

    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;
    // The surface while OnDrawItem runs.
    TCanvas* Canvas() const noexcept { return canvas_; }
    // Paints the visible rows (owner-drawn styles through OnDrawItem).
    void PaintOn(TCanvas& canvas) override;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}   // the press already selected and clicked

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    bool WantsChars() const override { return true; }   // letters are the list's keys, not accelerators

private:
    void ItemsChanged();
    std::unique_ptr<TStringList> items_;
    std::vector<bool> selected_;
    int itemIndex_ = -1;
    bool multiSelect_ = false;
    TListBoxStyle style_ = TListBoxStyle::lbStandard;
    int itemHeight_ = 13;
    int topIndex_ = 0;
    TCanvas* canvas_ = nullptr;
};

class TListBox : public TCustomListBox {
    VELMORA_CLASS(TListBox)
public:
    using TCustomListBox::TCustomListBox;
};
