#include "platform/core/Strings.h"

namespace {
char Up(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }
char Low(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }
bool IsBlank(unsigned char c) { return c <= ' '; }
}  // namespace

std::string UpperCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = Up(c);
    return r;
}

std::string LowerCase(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = Low(c);
    return r;
}

bool SameText(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Up(a[i]) != Up(b[i])) return false;
    return true;
}

int CompareText(std::string_view a, std::string_view b) noexcept {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(Up(a[i]));
        const auto y = static_cast<unsigned char>(Up(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string_view TrimView(std::string_view s) noexcept {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string TrimLeft(std::string_view s) {
    size_t b = 0;
    while (b < s.size() && IsBlank(static_cast<unsigned char>(s[b]))) ++b;
    return std::string(s.substr(b));
}

std::string TrimRight(std::string_view s) {
    size_t e = s.size();
    while (e > 0 && IsBlank(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(0, e));
}

std::vector<std::string> SplitString(std::string_view s, char sep) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t p = s.find(sep, start);
        if (p == std::string_view::npos) {
            parts.emplace_back(s.substr(start));
            return parts;
        }
        parts.emplace_back(s.substr(start, p - start));
        start = p + 1;
    }
}

size_t Utf8CharLen(std::string_view s, size_t pos) noexcept {
    const auto c = static_cast<unsigned char>(s[pos]);
    size_t len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    if (len == 1 || pos + len > s.size()) return 1;
    for (size_t k = 1; k < len; ++k)
        if ((static_cast<unsigned char>(s[pos + k]) & 0xC0) != 0x80) return 1;
    return len;
}

bool IsValidUtf8(std::string_view s) noexcept {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) { ++i; continue; }
        const size_t len = Utf8CharLen(s, i);
        if (len == 1) return false;
        // Reject overlong forms, surrogates and code points past U+10FFFF.
        const auto c1 = static_cast<unsigned char>(s[i + 1]);
        if (len == 2 && c < 0xC2) return false;
        if (len == 3 && ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0))) return false;
        if (len == 4 && ((c == 0xF0 && c1 < 0x90) || c > 0xF4 || (c == 0xF4 && c1 >= 0x90))) return false;
        i += len;
    }
    return true;
}

size_t Utf8Length(std::string_view s) noexcept {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += Utf8CharLen(s, i)) ++n;
    return n;
}

std::string_view Utf8Left(std::string_view s, size_t maxChars) noexcept {
    size_t i = 0;
    for (size_t n = 0; n < maxChars && i < s.size(); ++n) i += Utf8CharLen(s, i);
    return s.substr(0, i);
}

char32_t Utf8Decode(std::string_view s, size_t& pos) noexcept {
    const auto c = static_cast<unsigned char>(s[pos]);
    const size_t len = Utf8CharLen(s, pos);
    char32_t cp = len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : len == 4 ? (c & 0x07) : c;
    for (size_t i = 1; i < len; ++i) cp = (cp << 6) | (static_cast<unsigned char>(s[pos + i]) & 0x3F);
    pos += len;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
