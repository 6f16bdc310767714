#include "src/language/LangCommon.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

#include "platform/core/Exception.h"
#include "platform/core/Paths.h"
#include "platform/core/Strings.h"
#include "platform/text/CodePage.h"
#include "src/language/TranslatorU.h"
#include "src/server/VelmoraINI.h"

namespace {

// Big5: 94 lead bytes 0xA1-0xFE, 157 trail bytes each (0x40-0x7E, then 0xA1-0xFE).
constexpr int kBig5Count = 94 * 157;
// GB: the four ranges of GBLinearIndex end at index 22728.
constexpr int kGBCount = 22535 + 97 * 2;

bool TrimmedEmpty(uint16_t code) { return (code >> 8) <= 0x20 && (code & 0xFF) <= 0x20; }

void AppendCode(std::string& out, uint16_t code) {
    out += static_cast<char>(code >> 8);
    out += static_cast<char>(code & 0xFF);
}

// The system road for one pair: read in one code page, write in the other.
void AppendThroughSystem(std::string& out, std::string_view pair, int from, int to) {
    out += Utf8ToCodePage(to, CodePageToUtf8(from, pair));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

uint16_t ParseCode(std::string_view line) {
    const size_t eq = line.find('=');
    const std::string_view value = eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
    if (value.size() < 5) throw EConvertError("'" + std::string(value) + "' is not a valid table value");
    uint16_t code = 0;
    for (size_t i = 1; i <= 4; ++i) {
        const int d = HexDigit(value[i]);
        if (d < 0) throw EConvertError("'" + std::string(value) + "' is not a valid table value");
        code = static_cast<uint16_t>(code * 16 + d);
    }
    return code;
}

std::string Hex4(unsigned v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s(4, '0');
    for (int i = 3; i >= 0; --i, v >>= 4) s[static_cast<size_t>(i)] = digits[v & 0xF];
    return s;
}

}  // namespace

bool IsBig5DoubleByte(unsigned char f, unsigned char s) noexcept {
    return f >= 0x80 && ((s >= 0x40 && s <= 0x7E) || (s >= 0xA1 && s <= 0xFE));
}

bool IsGBDoubleByte(unsigned char f, unsigned char s) noexcept { return f >= 0x81 && s != 0x7F; }

int Big5LinearIndex(unsigned char f, unsigned char s) noexcept {
    if (s >= 0x40 && s <= 0x7E) return (f - 0xA1) * 157 + (s - 0x40);
    if (s >= 0xA1 && s <= 0xFE) return (f - 0xA1) * 157 + 63 + (s - 0xA1);
    return -1;
}

// The first row wins: a pair that fits it never reaches the later ones.
//   f 0xA1-0xA9 or 0xB0-0xF7, s 0xA1-0xFE : (f - 0xA1) * 94 + (s - 0xA1)
//   f 0x81-0xA0,              s 0x40-0xFE : 8178 + (f - 0x81) * 191 + (s - 0x40)
//   f 0xAA-0xFE,              s 0x40-0xA0 : 14290 + (f - 0xAA) * 97 + (s - 0x40)
//   f 0xA8-0xA9,              s 0x40-0xA0 : 22535 + (f - 0xA8) * 97 + (s - 0x40)
int GBLinearIndex(unsigned char f, unsigned char s) noexcept {
    if (((f >= 0xA1 && f <= 0xA9) || (f >= 0xB0 && f <= 0xF7)) && s >= 0xA1 && s <= 0xFE)
        return (f - 0xA1) * 94 + (s - 0xA1);
    if (f >= 0x81 && f <= 0xA0 && s >= 0x40 && s <= 0xFE) return 8178 + (f - 0x81) * 191 + (s - 0x40);
    if (f >= 0xAA && f <= 0xFE && s >= 0x40 && s <= 0xA0) return 14290 + (f - 0xAA) * 97 + (s - 0x40);
    if (f >= 0xA8 && f <= 0xA9 && s >= 0x40 && s <= 0xA0) return 22535 + (f - 0xA8) * 97 + (s - 0x40);
    return -1;
}

TLanguageTable::TLanguageTable(std::vector<uint16_t> big5, std::vector<uint16_t> gb)
    : big5_(std::move(big5)), gb_(std::move(gb)) {}

TLanguageTable TLanguageTable::Parse(std::string_view text) {
    std::vector<uint16_t> entries;
    size_t big5Count = 0, gbCount = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if ((!line.empty() && line[0] == '[') || TrimView(line).empty()) continue;
        if (line.substr(0, 4) == "BIG5") ++big5Count;
        else if (line.substr(0, 2) == "GB") ++gbCount;
        entries.push_back(ParseCode(line));
    }
    // Positions count over all entries: the first n are the Big5 table, the next m the GB table.
    const size_t n = std::min(big5Count, entries.size());
    const size_t m = std::min(gbCount, entries.size() - n);
    return TLanguageTable(std::vector<uint16_t>(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(n)),
                          std::vector<uint16_t>(entries.begin() + static_cast<std::ptrdiff_t>(n),
                                                entries.begin() + static_cast<std::ptrdiff_t>(n + m)));
}

std::string TLanguageTable::ToText() const {
    std::string text;
    text.reserve((big5_.size() + gb_.size()) * 16);
    // Keys name the source character where one has the index; they are not read back.
    std::vector<std::string> gbKeys(gb_.size());
    for (unsigned f = 0x81; f <= 0xFE; ++f)
        for (unsigned s = 0x40; s <= 0xFE; ++s) {
            const int k = GBLinearIndex(static_cast<unsigned char>(f), static_cast<unsigned char>(s));
            if (k >= 0 && static_cast<size_t>(k) < gbKeys.size() && gbKeys[static_cast<size_t>(k)].empty())
                gbKeys[static_cast<size_t>(k)] = Hex4(f << 8 | s);
        }
    text += "[BIG5]\r\n";
    for (size_t k = 0; k < big5_.size(); ++k) {
        const unsigned f = 0xA1 + static_cast<unsigned>(k / 157), r = static_cast<unsigned>(k % 157);
        const unsigned s = r < 63 ? 0x40 + r : 0xA1 + (r - 63);
        text += "BIG5" + Hex4(f << 8 | s) + "=$" + Hex4(big5_[k]) + "\r\n";
    }
    text += "[GB]\r\n";
    for (size_t k = 0; k < gb_.size(); ++k)
        text += "GB" + (gbKeys[k].empty() ? std::string("----") : gbKeys[k]) + "=$" + Hex4(gb_[k]) + "\r\n";
    return text;
}

std::string TLanguageTable::GBToBig5(std::string_view gb) const {
    std::string out;
    out.reserve(gb.size() + 2);
    size_t i = 0;
    while (i < gb.size()) {
        const auto f = static_cast<unsigned char>(gb[i]);
        if (f == 0x80) {   // the GBK euro sign
            out += "\xA3\xE1";
            ++i;
            continue;
        }
        if (i + 1 < gb.size() && IsGBDoubleByte(f, static_cast<unsigned char>(gb[i + 1]))) {
            const int k = GBLinearIndex(f, static_cast<unsigned char>(gb[i + 1]));
            if (k >= 0 && static_cast<size_t>(k) < gb_.size() && !TrimmedEmpty(gb_[static_cast<size_t>(k)]))
                AppendCode(out, gb_[static_cast<size_t>(k)]);
            else
                AppendThroughSystem(out, gb.substr(i, 2), cpGB, cpBig5);
            i += 2;
            continue;
        }
        out += gb[i++];
    }
    return out;
}

std::string TLanguageTable::Big5ToGB(std::string_view big5) const {
    std::string out;
    out.reserve(big5.size());
    size_t i = 0;
    while (i < big5.size()) {
        const auto f = static_cast<unsigned char>(big5[i]);
        if (i + 1 < big5.size() && IsBig5DoubleByte(f, static_cast<unsigned char>(big5[i + 1]))) {
            const auto s = static_cast<unsigned char>(big5[i + 1]);
            const int k = Big5LinearIndex(f, s);
            if (f == 0xA3 && s == 0xE1)   // the Big5 euro sign
                out += '\x80';
            else if (k >= 0 && static_cast<size_t>(k) < big5_.size() && !TrimmedEmpty(big5_[static_cast<size_t>(k)]))
                AppendCode(out, big5_[static_cast<size_t>(k)]);
            else
                AppendThroughSystem(out, big5.substr(i, 2), cpBig5, cpGB);
            i += 2;
            continue;
        }
        out += big5[i++];
    }
    return out;
}

TLanguageTable MakeLanguageTable() {
    const TTranslator translator;
    // One character's code in the other code page, or 0 when it has no double-byte form.
    auto convert = [](std::string_view pair, int from, int to, auto&& script) -> uint16_t {
        const std::string utf8 = CodePageToUtf8(from, pair);
        if (!IsValidUtf8(utf8) || Utf8Length(utf8) != 1) return 0;
        bool lossy = false;
        const std::string bytes = Utf8ToCodePage(to, script(utf8), &lossy);
        if (lossy || bytes.size() != 2 || static_cast<unsigned char>(bytes[0]) < 0x81) return 0;
        return static_cast<uint16_t>(static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]));
    };
    const bool mapping = ExtendedBig5Mapping();
    SetExtendedBig5Mapping(false);   // the table holds real characters only
    std::vector<uint16_t> big5(kBig5Count, 0), gb(kGBCount, 0);
    for (unsigned f = 0xA1; f <= 0xFE; ++f)
        for (unsigned s = 0x40; s <= 0xFE; ++s) {
            const int k = Big5LinearIndex(static_cast<unsigned char>(f), static_cast<unsigned char>(s));
            if (k < 0) continue;
            const char pair[2] = {static_cast<char>(f), static_cast<char>(s)};
            big5[static_cast<size_t>(k)] = convert({pair, 2}, cpBig5, cpGB, [&](const std::string& t) { return translator.BIG5toGB(t); });
        }
    for (unsigned f = 0x81; f <= 0xFE; ++f)
        for (unsigned s = 0x40; s <= 0xFE; ++s) {
            const int k = GBLinearIndex(static_cast<unsigned char>(f), static_cast<unsigned char>(s));
            if (k < 0 || gb[static_cast<size_t>(k)] != 0) continue;
            const char pair[2] = {static_cast<char>(f), static_cast<char>(s)};
            gb[static_cast<size_t>(k)] = convert({pair, 2}, cpGB, cpBig5, [&](const std::string& t) { return translator.GBtoBIG5(t); });
        }
    SetExtendedBig5Mapping(mapping);
    return TLanguageTable(std::move(big5), std::move(gb));
}

// --- the process's table converter ------------------------------------------------

namespace {

struct TableState {
    std::mutex mutex;
    std::optional<TLanguageTable> table;
    std::function<void(const std::string&)> message;
};

TableState& State() {
    static TableState state;
    return state;
}

std::optional<std::string> FindTableFile() {
    const std::string installPath = TVelmoraIniC().InstallPath();
    for (const std::string& folder : {installPath, ExeFolder()}) {
        if (folder.empty()) continue;
        std::error_code ec;
        if (std::filesystem::is_regular_file(folder + "Language", ec)) return folder + "Language";
    }
    return std::nullopt;
}

// The loaded table, or the empty one after reporting the missing file.
const TLanguageTable& Table() {
    static const TLanguageTable empty;
    TableState& state = State();
    std::unique_lock lock(state.mutex);
    if (state.table) return *state.table;
    if (const auto file = FindTableFile()) {
        std::ifstream in(*file, std::ios::binary);
        const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        state.table = TLanguageTable::Parse(text);
        return *state.table;
    }
    const auto message = state.message;
    lock.unlock();
    if (message) message("Can't find file Language !!");
    return empty;
}

}  // namespace

std::string GBTextToBig5(std::string_view gb) { return Table().GBToBig5(gb); }

std::string Big5TextToGB(std::string_view big5) { return Table().Big5ToGB(big5); }

namespace {

// Encodes in `from`, converts with the table, decodes from `to`. Characters that have no
// one- or two-byte form in `from` (and bytes that are not UTF-8) are kept as they are,
// so that the byte walk never sees a sequence it would cut apart.
std::string ConvertUtf8(std::string_view utf8, int from, int to,
                        std::string (TLanguageTable::*convert)(std::string_view) const) {
    const TLanguageTable& table = Table();
    bool lossy = false;
    const std::string bytes = Utf8ToCodePage(from, utf8, &lossy);
    bool fourByte = false;
    for (size_t i = 0; i + 1 < bytes.size() && !fourByte; ++i)
        fourByte = static_cast<unsigned char>(bytes[i]) >= 0x81 && bytes[i + 1] >= '0' && bytes[i + 1] <= '9' &&
                   from == cpGB;
    if (!lossy && !fourByte && IsValidUtf8(utf8)) return CodePageToUtf8(to, (table.*convert)(bytes));

    std::string out, run;
    auto flush = [&] {
        if (!run.empty()) out += CodePageToUtf8(to, (table.*convert)(run));
        run.clear();
    };
    for (size_t i = 0; i < utf8.size();) {
        const size_t len = Utf8CharLen(utf8, i);
        const std::string_view ch = utf8.substr(i, len);
        i += len;
        const bool valid = len > 1 ? IsValidUtf8(ch) : static_cast<unsigned char>(ch[0]) < 0x80;
        bool unmappable = false;
        const std::string encoded = valid ? Utf8ToCodePage(from, ch, &unmappable) : std::string();
        if (valid && !unmappable && encoded.size() <= 2) {
            run += encoded;
        } else {
            flush();
            out += ch;
        }
    }
    flush();
    return out;
}

}  // namespace

std::string GBTextToBig5Utf8(std::string_view utf8) {
    return ConvertUtf8(utf8, cpGB, cpBig5, &TLanguageTable::GBToBig5);
}

std::string Big5TextToGBUtf8(std::string_view utf8) {
    return ConvertUtf8(utf8, cpBig5, cpGB, &TLanguageTable::Big5ToGB);
}

void SetLanguageTableMessageHandler(std::function<void(const std::string&)> handler) {
    std::lock_guard lock(State().mutex);
    State().message = std::move(handler);
}

void UnloadLanguageTable() {
    std::lock_guard lock(State().mutex);
    State().table.reset();
}
