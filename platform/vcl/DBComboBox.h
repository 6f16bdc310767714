#pragma once
// The data-aware combo box and combo dialog that the windows' stored definitions
// use (the grid-and-edit pack's classes of these names).
//
// `TwwDBComboBox`: with MapList, each item is "display TAB stored": the list and
// the edit show the display part and the field stores the stored part (a field
// value without an item is shown as it is). Without MapList the item text is
// both. Choosing an item or typing first puts the dataset into edit state and is
// refused when that is not possible.
//
// `TwwDBComboDlg`: a data-aware edit with a button at its right edge; the button
// (or Alt+Down) raises OnCustomDlg, where the window opens its own dialog.
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/DBControl.h"
#include "platform/vcl/DBEdit.h"
#include "platform/vcl/SpeedButton.h"

class TwwDBCustomComboBox : public TFieldLinked<TCustomComboBox> {
    VELMORA_CLASS(TwwDBCustomComboBox)
public:
    explicit TwwDBCustomComboBox(TComponent* owner);

    bool MapList() const noexcept { return mapList_; }
    void SetMapList(bool v);
    bool ReadOnly() const noexcept { return link_->ReadOnly(); }
    void SetReadOnly(bool v);
    // The display part of item i (all of it without MapList).
    std::string ItemText(int index) const override;
    // The stored part of item i (all of it without MapList).
    std::string StoredValue(int index) const;
    // The item whose stored part is `value`, or -1.
    int IndexOfStored(const std::string& value) const;
    // What the control shows for a stored value.
    std::string DisplayValue(const std::string& value) const;

    void DoExit() override;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    void Change() override;
    void ItemsChanged() override;

private:
    void DataChange();
    bool mapList_ = false;
    bool redisplaying_ = false;
};

class TwwDBComboBox : public TwwDBCustomComboBox {
    VELMORA_CLASS(TwwDBComboBox)
public:
    using TwwDBCustomComboBox::TwwDBCustomComboBox;
};

class TwwDBComboDlg : public TDBEdit {
    VELMORA_CLASS(TwwDBComboDlg)
public:
    explicit TwwDBComboDlg(TComponent* owner);
    TSpeedButton* Button() const noexcept { return button_; }
    bool ShowButton() const noexcept { return button_->Visible(); }
    void SetShowButton(bool v) { button_->SetVisible(v); }
    // Raises OnCustomDlg (the button's click and Alt+Down).
    void DropDown();
    TNotifyEvent OnCustomDlg;

    void SetBounds(int left, int top, int width, int height) override;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;

private:
    TSpeedButton* button_;
};
