#include "platform/vcl/EditMask.h"

#include "platform/core/Strings.h"

std::u32string ToChars(std::string_view s) {
    std::u32string out;
    for (size_t pos = 0; pos < s.size();) out.push_back(Utf8Decode(s, pos));
    return out;
}

std::string FromChars(std::u32string_view chars) {
    std::string out;
    for (char32_t c : chars) AppendUtf8(out, c);
    return out;
}

namespace {
bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
// Letters: ASCII letters and any non-ASCII character (CJK text counts as letters).
bool IsLetter(char32_t c) { return (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') || c > 0x7F; }
}  // namespace

TEditMask::TEditMask(std::string_view mask) {
    std::u32string m = ToChars(mask);
    // Trailing fields: ";save;blank". A mask character ';' would have to be escaped.
    auto lastSemi = m.rfind(U';');
    if (lastSemi != std::u32string::npos && lastSemi + 2 == m.size()) {
        blank_ = m[lastSemi + 1];
        m.resize(lastSemi);
        auto saveSemi = m.rfind(U';');
        if (saveSemi != std::u32string::npos && saveSemi + 2 == m.size()) {
            saveLiterals_ = m[saveSemi + 1] != U'0';
            m.resize(saveSemi);
        }
    } else if (lastSemi != std::u32string::npos && lastSemi + 1 == m.size()) {
        m.resize(lastSemi);
    }
    int caseMode = 0;
    for (size_t i = 0; i < m.size(); ++i) {
        const char32_t c = m[i];
        if (c == U'!') continue;
        if (c == U'<' && i + 1 < m.size() && m[i + 1] == U'>') {
            caseMode = 0;
            ++i;
            continue;
        }
        if (c == U'>') { caseMode = 1; continue; }
        if (c == U'<') { caseMode = -1; continue; }
        Slot s;
        if (c == U'\\' && i + 1 < m.size()) {
            s.literal = true;
            s.ch = m[++i];
        } else if (c == U'0' || c == U'9' || c == U'#' || c == U'L' || c == U'l' || c == U'A' || c == U'a' ||
                   c == U'C' || c == U'c') {
            s.kind = static_cast<char>(c);
            s.caseMode = caseMode;
        } else {
            s.literal = true;
            s.ch = c;
        }
        slots_.push_back(s);
    }
}

int TEditMask::NextEditable(int pos) const {
    while (pos < Length() && IsLiteral(pos)) ++pos;
    return pos;
}

int TEditMask::PreviousEditable(int pos) const {
    while (pos >= 0 && IsLiteral(pos)) --pos;
    return pos;
}

char32_t TEditMask::Accept(int pos, char32_t ch) const {
    if (pos < 0 || pos >= Length() || IsLiteral(pos)) return 0;
    const Slot& s = slots_[static_cast<size_t>(pos)];
    bool ok = false;
    switch (s.kind) {
        case '0': case '9': ok = IsDigit(ch); break;
        case '#': ok = IsDigit(ch) || ch == U'+' || ch == U'-' || ch == U' '; break;
        case 'L': case 'l': ok = IsLetter(ch); break;
        case 'A': case 'a': ok = IsLetter(ch) || IsDigit(ch); break;
        default: ok = ch >= U' '; break;
    }
    if (!ok) return 0;
    if (s.caseMode > 0 && ch >= U'a' && ch <= U'z') ch -= 32;
    if (s.caseMode < 0 && ch >= U'A' && ch <= U'Z') ch += 32;
    return ch;
}

std::string TEditMask::Display(const std::vector<char32_t>& cells) const {
    std::u32string out;
    for (int i = 0; i < Length(); ++i) {
        const Slot& s = slots_[static_cast<size_t>(i)];
        const char32_t cell = i < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(i)] : 0;
        out.push_back(s.literal ? s.ch : (cell ? cell : blank_));
    }
    return FromChars(out);
}

std::string TEditMask::Value(const std::vector<char32_t>& cells) const {
    std::u32string out;
    for (int i = 0; i < Length(); ++i) {
        const Slot& s = slots_[static_cast<size_t>(i)];
        const char32_t cell = i < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(i)] : 0;
        if (s.literal) {
            if (saveLiterals_) out.push_back(s.ch);
        } else {
            out.push_back(cell ? cell : U' ');
        }
    }
    // Unsaved literals leave trailing blanks meaningless.
    if (!saveLiterals_)
        while (!out.empty() && out.back() == U' ') out.pop_back();
    return FromChars(out);
}

std::vector<char32_t> TEditMask::Parse(std::string_view value) const {
    // Literals in the value are matched where the mask has them; other characters
    // fill the editable positions in order.
    const std::u32string v = ToChars(value);
    std::vector<char32_t> cells(static_cast<size_t>(Length()), 0);
    size_t i = 0;
    for (int pos = 0; pos < Length() && i < v.size(); ++pos) {
        if (IsLiteral(pos)) {
            if (v[i] == slots_[static_cast<size_t>(pos)].ch) ++i;
            continue;
        }
        const char32_t ch = v[i++];
        cells[static_cast<size_t>(pos)] = ch == U' ' ? 0 : Accept(pos, ch);
    }
    return cells;
}

bool TEditMask::Complete(const std::vector<char32_t>& cells) const {
    bool any = false;
    bool missing = false;
    for (int i = 0; i < Length(); ++i) {
        if (IsLiteral(i)) continue;
        const char32_t cell = i < static_cast<int>(cells.size()) ? cells[static_cast<size_t>(i)] : 0;
        if (cell) any = true;
        const char k = slots_[static_cast<size_t>(i)].kind;
        if (!cell && (k == '0' || k == 'L' || k == 'A' || k == 'C')) missing = true;
    }
    return !any || !missing;
}

std::string FormatMaskText(std::string_view mask, std::string_view value) {
    TEditMask m(mask);
    if (m.Empty()) return std::string(value);
    return m.Display(m.Parse(value));
}
