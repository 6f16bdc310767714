#pragma once
// Data-aware text controls: `TDBEdit` (edits a field: the field's edit text while
// focused, its display text otherwise, its edit mask and size), `TDBMemo` (a
// field's whole text in lines) and `TDBText` (a label showing a field's display text).
//
// Typing first puts the dataset into edit state; when that is not possible
// (read-only link or field, dataset that cannot change) the key is refused.
// The value goes to the field when the record is updated (post, or leaving the
// control); Escape drops the control's change and shows the field again.
#include "platform/vcl/DBControl.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Label.h"

class TDBEdit : public TFieldLinked<TCustomEdit> {
    VELMORA_CLASS(TDBEdit)
public:
    explicit TDBEdit(TComponent* owner);
    // The link and the edit are read-only together.
    bool ReadOnly() const noexcept { return link_->ReadOnly(); }
    void SetReadOnly(bool v);

    void DoEnter() override;
    void DoExit() override;   // updates the record; an invalid value keeps the focus

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    bool WantsKey(uint16_t key, TShiftState shift) const override;
    void Change() override;
    // Shows the field's value (edit text when focused).
    virtual void DataChange();
    // Writes the control's value to the field.
    virtual void UpdateData();
    bool Redisplaying() const noexcept { return redisplaying_; }

private:
    bool redisplaying_ = false;
};

class TDBMemo : public TFieldLinked<TMemo> {
    VELMORA_CLASS(TDBMemo)
public:
    explicit TDBMemo(TComponent* owner);
    bool ReadOnly() const noexcept { return link_->ReadOnly(); }
    void SetReadOnly(bool v);
    void DoExit() override;

protected:
    void KeyPress(char32_t& key) override;
    void Change() override;

private:
    bool redisplaying_ = false;
};

class TDBText : public TFieldLinked<TLabel> {
    VELMORA_CLASS(TDBText)
public:
    explicit TDBText(TComponent* owner);
};
