#pragma once
// Small text primitives shared by every layer: ASCII case folding, comparisons
// without regard to case, trimming, and UTF-8 character counting and cutting
// (field sizes count characters, and a cut never splits one).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

std::string UpperCase(std::string_view s);   // ASCII letters only; other bytes unchanged
std::string LowerCase(std::string_view s);
bool SameText(std::string_view a, std::string_view b) noexcept;   // ASCII case-insensitive
int CompareText(std::string_view a, std::string_view b) noexcept; // <0, 0, >0
std::string_view TrimView(std::string_view s) noexcept;           // blanks and control characters
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::vector<std::string> SplitString(std::string_view s, char sep);  // keeps empty parts

// Ordering of strings without regard to ASCII case, for maps keyed by names.
struct LessText {
    using is_transparent = void;
    bool operator()(std::string_view a, std::string_view b) const noexcept { return CompareText(a, b) < 0; }
};

// UTF-8
bool IsValidUtf8(std::string_view s) noexcept;
size_t Utf8Length(std::string_view s) noexcept;   // code points; an invalid byte counts as one
// The first `maxChars` characters of s (whole characters only).
std::string_view Utf8Left(std::string_view s, size_t maxChars) noexcept;
// Byte length of the character starting at s[pos] (1 for an invalid byte).
size_t Utf8CharLen(std::string_view s, size_t pos) noexcept;
// The code point of the character starting at s[pos]; pos moves past it. An
// invalid byte reads as its own value (as a Latin-1 character would).
char32_t Utf8Decode(std::string_view s, size_t& pos) noexcept;
// Appends the UTF-8 form of a code point.
void AppendUtf8(std::string& out, char32_t cp);
