#pragma once
// Edit masks in the toolkit's syntax: "mask;save-literals;blank", for example
// "99:99;1; " (two digits, a colon, two digits; literals kept in the text; blank
// shown as a space) or "!9999/99/99;0;_".
//
// Mask characters: 0 digit (required), 9 digit, # digit or sign, L letter
// (required), l letter, A letter or digit (required), a letter or digit, C any
// character (required), c any character, > upper-cases and < lower-cases what
// follows (<> stops), \ makes the next character a literal, ! and leading blanks
// are accepted and ignored; anything else is a literal. Positions count characters.
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Exception.h"

VELMORA_DECLARE_EXCEPTION(EDBEditError, Exception);

class TEditMask {
public:
    TEditMask() = default;
    explicit TEditMask(std::string_view mask);

    bool Empty() const noexcept { return slots_.empty(); }
    bool SaveLiterals() const noexcept { return saveLiterals_; }
    char32_t BlankChar() const noexcept { return blank_; }
    int Length() const noexcept { return static_cast<int>(slots_.size()); }
    bool IsLiteral(int pos) const { return slots_[static_cast<size_t>(pos)].literal; }
    // The first editable position at or after `pos` (Length() when none).
    int NextEditable(int pos) const;
    int PreviousEditable(int pos) const;   // -1 when none

    // The character as it goes into position pos (case-converted), or 0 when it does not fit.
    char32_t Accept(int pos, char32_t ch) const;

    // The display text for the characters in `cells` (one per position; 0 = blank).
    std::string Display(const std::vector<char32_t>& cells) const;
    // The value for the cells: literals when saved, blanks as spaces.
    std::string Value(const std::vector<char32_t>& cells) const;
    // Cells from a value, with or without the mask's literals: a literal of the
    // value is matched where the mask has it, other characters fill the editable
    // positions in order (a character the position refuses leaves it blank).
    std::vector<char32_t> Parse(std::string_view value) const;
    // True when every required position is filled, or nothing at all was entered.
    bool Complete(const std::vector<char32_t>& cells) const;

private:
    struct Slot {
        bool literal = false;
        char32_t ch = 0;       // literal character
        char kind = 0;         // mask character for editable slots
        int caseMode = 0;      // 1 upper, -1 lower
    };
    std::vector<Slot> slots_;
    bool saveLiterals_ = true;
    char32_t blank_ = U'_';
};

// The value formatted through a mask (as a masked edit would show it).
std::string FormatMaskText(std::string_view mask, std::string_view value);

// UTF-8 <-> code points, for character-based editing.
std::u32string ToChars(std::string_view utf8);
std::string FromChars(std::u32string_view chars);
