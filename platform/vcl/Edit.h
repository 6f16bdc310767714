#pragma once
// Text entry: `TEdit` (one line, optional edit mask) and `TMemo` (lines).
// Positions and lengths (SelStart, SelLength, MaxLength) count characters, not bytes.
//
// Typing goes through key press: a printable character replaces the selection
// (unless read-only, or beyond MaxLength, or refused by the mask); Backspace and
// Delete remove the selection or one character; Left/Right/Home/End move the caret
// (with Shift they extend the selection). OnChange follows every change of the
// text, typed or set in code.
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/vcl/EditMask.h"
#include "platform/vcl/WinControl.h"

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public TWinControl {
    VELMORA_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    // With a mask, Text is the value (see EditMask.h) and EditText what is shown.
    void SetText(const std::string& text) override;
    std::string EditText() const;

    int MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(int n) { maxLength_ = n < 0 ? 0 : n; }
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    TEditCharCase CharCase() const noexcept { return charCase_; }
    void SetCharCase(TEditCharCase c);
    char32_t PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(char32_t c) { passwordChar_ = c; }
    bool AutoSelect() const noexcept { return autoSelect_; }
    void SetAutoSelect(bool v) { autoSelect_ = v; }
    bool Modified() const noexcept { return modified_; }
    void SetModified(bool v) { modified_ = v; }

    const std::string& EditMask() const noexcept { return editMask_; }
    void SetEditMask(const std::string& mask);
    bool IsMasked() const noexcept { return !mask_.Empty(); }
    // Raises EDBEditError when a masked value is incomplete.
    void ValidateEdit();

    int SelStart() const noexcept { return selStart_; }
    void SetSelStart(int pos);
    int SelLength() const noexcept { return selLength_; }
    void SetSelLength(int n);
    std::string SelText() const;
    // Replaces the selection (typing rules apply, except read-only).
    void SetSelText(const std::string& text);
    void SelectAll();
    void Clear() { SetText(""); }

    TNotifyEvent OnChange;

    void DoEnter() override;
    void DoExit() override;   // validates a masked value first

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void KeyPress(char32_t& key) override;
    bool WantsChars() const override { return true; }
    void TextChanged() override;
    // Inserts characters at the selection; false when nothing could be inserted.
    bool InsertChars(std::u32string chars);
    virtual void Change();

private:
    void DeleteSelection();
    void SetChars(const std::u32string& chars);
    std::u32string Chars() const;
    int CharCount() const;
    void ClampSelection();

    int maxLength_ = 0;
    bool readOnly_ = false;
    TEditCharCase charCase_ = TEditCharCase::ecNormal;
    char32_t passwordChar_ = 0;
    bool autoSelect_ = true;
    bool modified_ = false;
    std::string editMask_;
    TEditMask mask_;
    std::vector<char32_t> cells_;   // masked: one entry per mask position
    int selStart_ = 0;
    int selLength_ = 0;
    int anchor_ = 0;
};

class TEdit : public TCustomEdit {
    VELMORA_CLASS(TEdit)
public:
    using TCustomEdit::TCustomEdit;
};

// A masked edit is an edit with a mask; the class name keeps stored definitions readable.
class TMaskEdit : public TCustomEdit {
    VELMORA_CLASS(TMaskEdit)
public:
    using TCustomEdit::TCustomEdit;
};

enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TMemo : public TCustomEdit {
    VELMORA_CLASS(TMemo)
public:
    explicit TMemo(TComponent* owner);
    ~TMemo() override;

    // The lines; Text is the lines joined with CR LF (no break after the last).
    TStrings* Lines() const noexcept { return lines_.get(); }
    bool WantReturns() const noexcept { return wantReturns_; }
    void SetWantReturns(bool v) { wantReturns_ = v; }
    bool WantTabs() const noexcept { return wantTabs_; }
    void SetWantTabs(bool v) { wantTabs_ = v; }
    bool WordWrap() const noexcept { return wordWrap_; }
    void SetWordWrap(bool v) { wordWrap_ = v; }
    TScrollStyle ScrollBars() const noexcept { return scrollBars_; }
    void SetScrollBars(TScrollStyle s) { scrollBars_ = s; }

protected:
    void KeyPress(char32_t& key) override;
    bool WantsKey(uint16_t key, TShiftState shift) const override;
    void TextChanged() override;

private:
    std::unique_ptr<TStringList> lines_;
    bool syncing_ = false;
    bool wantReturns_ = true;
    bool wantTabs_ = false;
    bool wordWrap_ = true;
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
};
