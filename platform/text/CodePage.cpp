#include "platform/text/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <map>
#include <utility>

#include "platform/core/Exception.h"
#include "platform/core/Strings.h"

namespace {

std::atomic<bool> extendedBig5{false};

// One iconv descriptor, closed with its owner.
class IconvHandle {
public:
    IconvHandle(const std::string& to, const std::string& from) : cd_(iconv_open(to.c_str(), from.c_str())) {}
    ~IconvHandle() {
        if (Valid()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t Get() const { return cd_; }

private:
    iconv_t cd_;
};

std::string IconvName(int codePage) {
    switch (codePage) {
        case cpGB: return "GB18030";
        case cpBig5: return "CP950";
        default: return "CP" + std::to_string(codePage);
    }
}

// The descriptor for one direction of one code page, made once per thread.
// Null when iconv does not know the code page.
iconv_t Handle(int codePage, bool encoding) {
    thread_local std::map<std::pair<int, bool>, IconvHandle> handles;
    auto it = handles.find({codePage, encoding});
    if (it == handles.end()) {
        const std::string name = IconvName(codePage);
        it = encoding ? handles.try_emplace({codePage, encoding}, name, "UTF-8").first
                      : handles.try_emplace({codePage, encoding}, "UTF-8", name).first;
    }
    return it->second.Valid() ? it->second.Get() : nullptr;
}

iconv_t RequireHandle(int codePage, bool encoding) {
    iconv_t cd = Handle(codePage, encoding);
    if (!cd) throw EConvertError("Code page " + std::to_string(codePage) + " is not supported");
    return cd;
}

// Length of the valid UTF-8 character at the start of s, or 0 when it is not one.
size_t ValidCharLen(std::string_view s) {
    const size_t len = Utf8CharLen(s, 0);
    if (len == 1) return static_cast<unsigned char>(s[0]) < 0x80 ? 1 : 0;
    return IsValidUtf8(s.substr(0, len)) ? len : 0;
}

// Runs iconv over `in`, appending to `out`. Invalid input bytes are copied unchanged;
// when encoding, a valid character that the target cannot hold becomes '?'.
void Convert(iconv_t cd, std::string_view in, std::string& out, bool encoding, bool* usedDefaultChar) {
    if (in.empty()) return;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    size_t used = out.size();
    out.resize(used + in.size() * 2 + 16);
    char* inPtr = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    auto put = [&](char c) {
        if (used == out.size()) out.resize(out.size() * 2);
        out[used++] = c;
    };
    while (inLeft > 0) {
        char* outPtr = out.data() + used;
        size_t outLeft = out.size() - used;
        const size_t r = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
        const int err = errno;
        used = static_cast<size_t>(outPtr - out.data());
        if (r != static_cast<size_t>(-1)) break;
        if (err == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // EILSEQ (invalid or unmappable) or EINVAL (cut off at the end).
        const size_t charLen = encoding && err == EILSEQ ? ValidCharLen({inPtr, inLeft}) : 0;
        if (charLen > 0) {
            put('?');
            if (usedDefaultChar) *usedDefaultChar = true;
        } else {
            put(*inPtr);
        }
        const size_t skip = charLen > 0 ? charLen : 1;
        inPtr += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
}

// --- code-page specific exceptions to what iconv does ---------------------------

// Extended Big5 mapping, Big5-side pair to code point (0 when the pair is not mapped).
// The euro sign 0xA3 0xE1 is real CP950 and keeps its meaning; 0xA3 0xE0, which CP950
// leaves unassigned, is mapped in its place.
char32_t ExtendedBig5Decode(unsigned char f, unsigned char s) {
    if (f >= 0x81 && s >= 0x80 && s <= 0xA0) return static_cast<char32_t>(s * 256 + 0x2000 + (f - 0x80));
    if (f == 0xA3 && s >= 0xC0 && s <= 0xFE && s != 0xE1) return static_cast<char32_t>(s + 0xC041);
    return 0;
}

bool ExtendedBig5Encode(char32_t cp, std::string& out) {
    const unsigned hi = cp >> 8, lo = cp & 0xFF;
    if (cp > 0xFFFF) return false;
    if (hi >= 0xA0 && hi <= 0xC0 && lo >= 0x01 && lo <= 0x7E) {
        out += static_cast<char>(lo + 0x80);
        out += static_cast<char>(hi - 0x20);
        return true;
    }
    if (hi == 0xC1 && lo >= 0x01 && lo <= 0x3F && lo != 0x22) {
        out += static_cast<char>(0xA3);
        out += static_cast<char>(lo + 0xBF);
        return true;
    }
    return false;
}

// Decoders that walk a code page's character structure: they give the length of the
// character at the start of `at` and, where it must not be left to iconv, its code
// point (0 otherwise).
using CharDecoder = char32_t (*)(std::string_view at, size_t& len);

// GBK reads the single byte 0x80 as the euro sign, which GB18030 does not.
char32_t GbDecode(std::string_view at, size_t& len) {
    const auto b = static_cast<unsigned char>(at[0]);
    len = 1;
    if (b == 0x80) return 0x20AC;
    if (b > 0x80 && at.size() >= 2) {
        const auto s = static_cast<unsigned char>(at[1]);
        len = s >= 0x30 && s <= 0x39 ? std::min<size_t>(4, at.size()) : 2;
    }
    return 0;
}

char32_t Big5Decode(std::string_view at, size_t& len) {
    const auto f = static_cast<unsigned char>(at[0]);
    len = 1;
    if (f <= 0x80 || at.size() < 2) return 0;   // a byte above 0x80 starts a pair
    len = 2;
    return ExtendedBig5Decode(f, static_cast<unsigned char>(at[1]));
}

// GBK writes the euro sign as the single byte 0x80 (GB18030 would write 0xA2 0xE3).
bool GbEncode(char32_t cp, std::string& out) {
    if (cp != 0x20AC) return false;
    out += static_cast<char>(0x80);
    return true;
}

using CharEncoder = bool (*)(char32_t, std::string&);

CharDecoder CharDecoderFor(int codePage) {
    if (codePage == cpGB) return GbDecode;
    if (codePage == cpBig5 && ExtendedBig5Mapping()) return Big5Decode;
    return nullptr;
}

CharEncoder CharEncoderFor(int codePage) {
    if (codePage == cpGB) return GbEncode;
    if (codePage == cpBig5 && ExtendedBig5Mapping()) return ExtendedBig5Encode;
    return nullptr;
}

char32_t DecodeUtf8(std::string_view s, size_t len) {
    const auto b = [&](size_t k) { return static_cast<char32_t>(static_cast<unsigned char>(s[k])); };
    switch (len) {
        case 2: return ((b(0) & 0x1F) << 6) | (b(1) & 0x3F);
        case 3: return ((b(0) & 0x0F) << 12) | ((b(1) & 0x3F) << 6) | (b(2) & 0x3F);
        case 4: return ((b(0) & 0x07) << 18) | ((b(1) & 0x3F) << 12) | ((b(2) & 0x3F) << 6) | (b(3) & 0x3F);
        default: return b(0);
    }
}

}  // namespace

bool IsSupportedCodePage(int codePage) {
    return codePage == cpUtf8 || (Handle(codePage, false) && Handle(codePage, true));
}

std::string CodePageToUtf8(int codePage, std::string_view bytes) {
    if (codePage == cpUtf8) return std::string(bytes);
    iconv_t cd = RequireHandle(codePage, false);
    std::string out;
    out.reserve(bytes.size() * 3 / 2 + 8);
    const CharDecoder special = CharDecoderFor(codePage);
    if (!special) {
        Convert(cd, bytes, out, false, nullptr);
        return out;
    }
    size_t start = 0, i = 0;
    while (i < bytes.size()) {
        size_t len = 1;
        const char32_t cp = special(bytes.substr(i), len);
        if (cp) {
            Convert(cd, bytes.substr(start, i - start), out, false, nullptr);
            AppendUtf8(out, cp);
            start = i + len;
        }
        i += len;
    }
    Convert(cd, bytes.substr(start), out, false, nullptr);
    return out;
}

std::string Utf8ToCodePage(int codePage, std::string_view utf8, bool* usedDefaultChar) {
    if (usedDefaultChar) *usedDefaultChar = false;
    if (codePage == cpUtf8) return std::string(utf8);
    iconv_t cd = RequireHandle(codePage, true);
    std::string out;
    out.reserve(utf8.size() + 8);
    const CharEncoder special = CharEncoderFor(codePage);
    if (!special) {
        Convert(cd, utf8, out, true, usedDefaultChar);
        return out;
    }
    std::string bytes;
    size_t start = 0, i = 0;
    while (i < utf8.size()) {
        const size_t len = Utf8CharLen(utf8, i);
        bytes.clear();
        if (len > 1 && IsValidUtf8(utf8.substr(i, len)) && special(DecodeUtf8(utf8.substr(i), len), bytes)) {
            Convert(cd, utf8.substr(start, i - start), out, true, usedDefaultChar);
            out += bytes;
            start = i + len;
        }
        i += len;
    }
    Convert(cd, utf8.substr(start), out, true, usedDefaultChar);
    return out;
}

void SetExtendedBig5Mapping(bool on) noexcept { extendedBig5.store(on); }

bool ExtendedBig5Mapping() noexcept { return extendedBig5.load(); }
