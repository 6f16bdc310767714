#pragma once
// `TComboBox`: an edit with a list of items. Styles: simple and drop-down take
// typed text; drop-down list (and the owner-draw styles) only choose items, typing
// a character selects the next item starting with it. Up/Down choose the previous
// or next item; F4 or Alt+Down opens and closes the list.
//
// Choosing an item (keys, or ChooseItem for a click in the open list) sets
// ItemIndex and Text and raises OnChange then OnSelect. Typed text clears
// ItemIndex and raises OnChange.
#include <memory>

#include "platform/vcl/Edit.h"

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
const TTypeInfo& ComboBoxStyleType();

class TCustomComboBox : public TCustomEdit {
    VELMORA_CLASS(TCustomComboBox)
public:
    explicit TCustomComboBox(TComponent* owner);
    ~TCustomComboBox() override;

    TStrings* Items() const noexcept { return items_.get(); }
    int ItemIndex() const noexcept { return itemIndex_; }
    // Selects an item (its text becomes Text); -1 clears both. No events: code, not the user.
    void SetItemIndex(int index);
    TComboBoxStyle Style() const noexcept { return style_; }
    void SetStyle(TComboBoxStyle s) { style_ = s; }
    // True for the styles that accept typed text.
    bool Editable() const noexcept { return style_ == TComboBoxStyle::csDropDown || style_ == TComboBoxStyle::csSimple; }
    int ItemHeight() const noexcept { return itemHeight_; }
    void SetItemHeight(int h) { itemHeight_ = h < 1 ? 1 : h; }
    int DropDownCount() const noexcept { return dropDownCount_; }
    void SetDropDownCount(int n) { dropDownCount_ = n < 1 ? 1 : n; }
    bool Sorted() const noexcept { return items_->Sorted(); }
    void SetSorted(bool v) { items_->SetSorted(v); }
    bool DroppedDown() const noexcept { return droppedDown_; }
    void SetDroppedDown(bool v);

    // The user's choice of an item in the open list.
    void ChooseItem(int index);
    // The text item `index` shows (and puts into the edit when chosen).
    virtual std::string ItemText(int index) const;
    // Paints item `index` in `rect` (OnDrawItem for the owner-draw styles).
    void DrawItem(TCanvas& canvas, int index, const TRect& rect, TOwnerDrawState state);
    int MeasureItem(int index);
    // The surface while OnDrawItem runs.
    TCanvas* Canvas() const noexcept { return canvas_; }

    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;
    TDrawItemEvent OnDrawItem;
    TMeasureItemEvent OnMeasureItem;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    bool WantsKey(uint16_t key, TShiftState shift) const override;
    void Change() override;
    // Told after the items changed; the base forgets a chosen item that is gone.
    virtual void ItemsChanged();

private:
    std::unique_ptr<TStringList> items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int itemHeight_ = 16;
    int dropDownCount_ = 8;
    bool droppedDown_ = false;
    bool choosing_ = false;   // the text comes from an item
    bool silent_ = false;     // and from code: no OnChange
    TCanvas* canvas_ = nullptr;
};

class TComboBox : public TCustomComboBox {
    VELMORA_CLASS(TComboBox)
public:
    using TCustomComboBox::TCustomComboBox;
};
