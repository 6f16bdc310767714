#include "src/lib/LibStrs.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "platform/core/DateTime.h"
#include "platform/core/Strings.h"
#include "platform/text/CodePage.h"
#include "src/lib/LibSys.h"

namespace {
// A whole decimal integer with an optional sign, blanks around it allowed.
template <typename Int>
std::optional<Int> ReadInt(std::string_view text) {
    text = TrimView(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    Int value{};
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int ReadIntOr(std::string_view text, int def) { return ReadInt<int>(text).value_or(def); }

// Only the first character of a date separator counts.
std::string_view FirstChar(std::string_view separator) {
    return separator.empty() ? separator : separator.substr(0, Utf8CharLen(separator, 0));
}

// Substring by 1-based character position as the stored forms are laid out
// (they are ASCII digits); out-of-range parts are empty.
std::string_view Part(std::string_view text, size_t from, size_t count) {
    return from - 1 < text.size() ? text.substr(from - 1, count) : std::string_view();
}

std::string Pad(std::string_view text, int width, char pad, bool left) {
    const size_t length = Utf8Length(text);
    if (width <= 0 || length >= static_cast<size_t>(width)) return std::string(text);
    const std::string fill(static_cast<size_t>(width) - length, pad);
    return left ? fill + std::string(text) : std::string(text) + fill;
}

std::string Format3(const char* layout, int a, std::string_view sep, int b, int c) {
    const std::string s(sep);
    char buf[80];
    std::snprintf(buf, sizeof buf, layout, a, s.c_str(), b, s.c_str(), c);
    return buf;
}

// The duration fields of one text, or nothing when the text is not a duration.
std::optional<int64_t> DurationSeconds(std::string_view text) {
    const std::string_view trimmed = TrimView(text);
    if (trimmed.size() < 8 || CountFields(trimmed, ":") != 3) return std::nullopt;
    for (char c : text)
        if (c != ':' && (c < '0' || c > '9')) return std::nullopt;
    const auto h = ReadInt<int>(GetField(trimmed, ":", 1));
    const auto m = ReadInt<int>(GetField(trimmed, ":", 2));
    const auto s = ReadInt<int>(GetField(trimmed, ":", 3));
    if (!h || !m || !s) return std::nullopt;
    return int64_t{*h} * 3600 + int64_t{*m} * 60 + *s;
}

unsigned char RotateRight(unsigned char b, unsigned k) {
    k %= 8;
    return k == 0 ? b : static_cast<unsigned char>((b >> k) | (b << (8 - k)));
}

unsigned char RotateLeft(unsigned char b, unsigned k) { return RotateRight(b, 8 - k % 8); }

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

constexpr std::string_view EmptyPasswordMarker = "QV_Say_NoPassWord_ThePassWordIsEmpty";
constexpr std::string_view PasswordErrorMarker = "QV_Say_Password_Error";

// Walks a value's texts as the variant conversions describe, converting in place.
template <typename Convert>
void ConvertTexts(Variant& v, const Convert& convert) {
    if (v.IsString()) {
        v = convert(v.StringRef());
    } else if (v.IsArray()) {
        const bool nested = v.DimCount() == 1;   // only one-dimensional arrays nest
        for (Variant& e : v.MutableElements()) {
            if (e.IsString())
                e = convert(e.StringRef());
            else if (nested && e.IsArray())
                ConvertTexts(e, convert);
        }
    }
}

template <typename Convert>
Variant ConvertVariant(const Variant& v, const char* logTag, const Convert& convert) {
    Variant copy = v;
    try {
        ConvertTexts(copy, convert);
    } catch (const std::exception& e) {
        WriteAlertLog("libstrs", std::string(logTag) + e.what(), "D");
    }
    return copy;
}

std::string ToCodePage(int codePage, std::string_view wide) {
    return Utf8ToCodePage(IsSupportedCodePage(codePage) ? codePage : SystemCodePage(), wide);
}

std::string FromCodePage(int codePage, std::string_view narrow) {
    return CodePageToUtf8(IsSupportedCodePage(codePage) ? codePage : SystemCodePage(), narrow);
}
}  // namespace

// ---- texts -----------------------------------------------------------------

std::string PadLeft(std::string_view text, int width, char pad) { return Pad(text, width, pad, true); }
std::string PadRight(std::string_view text, int width, char pad) { return Pad(text, width, pad, false); }

std::string GetField(std::string_view text, std::string_view separator, int n) {
    if (n < 1) return {};
    if (separator.empty()) return n == 1 ? std::string(text) : std::string();
    size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const size_t p = text.find(separator, start);
        if (p == std::string_view::npos) return {};
        start = p + separator.size();
    }
    return std::string(text.substr(start, text.find(separator, start) - start));
}

int CountFields(std::string_view text, std::string_view separator) {
    if (text.empty()) return 0;
    int count = 1;
    if (separator.empty()) return count;
    for (size_t p = text.find(separator); p != std::string_view::npos; p = text.find(separator, p + separator.size()))
        ++count;
    return count;
}

std::string CutToken(std::string& text, std::string_view separator) {
    const size_t p = separator.empty() ? std::string::npos : text.find(separator);
    std::string token;
    if (p == std::string::npos) {
        token.swap(text);
    } else {
        token = text.substr(0, p);
        text.erase(0, p + separator.size());
    }
    return token;
}

std::string FormatIntZero(int digits, int64_t value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*lld", digits < 0 ? 0 : (digits > 40 ? 40 : digits),
                  static_cast<long long>(value));
    return buf;
}

std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText, bool trim) {
    std::string result;
    if (oldText.empty() || SameText(oldText, newText)) {
        result = text;
    } else {
        result.reserve(text.size());
        size_t start = 0;
        for (size_t p = text.find(oldText); p != std::string_view::npos; p = text.find(oldText, start)) {
            result.append(text.substr(start, p - start));
            result.append(newText);
            start = p + oldText.size();
        }
        result.append(text.substr(start));
    }
    return trim ? Trim(result) : result;
}

Variant IIf(bool flag, const Variant& ifTrue, const Variant& ifFalse) { return flag ? ifTrue : ifFalse; }

bool IsEmptyOrNull(const Variant& v) noexcept { return v.IsClear(); }

bool IsLoopback(std::string_view address) noexcept { return address == "127.0.0.1"; }

// ---- dates and times ---------------------------------------------------------

std::string FormatDateByOrder(int order, std::string_view separator, TDateTime date) {
    if (date.Value == 0) return {};
    int y, m, d;
    DecodeDate(date, y, m, d);
    const std::string_view sep = FirstChar(separator);
    switch (order) {
    case 2: return Format3("%.2d%s%.2d%s%.4d", m, sep, d, y);
    case 3: return Format3("%.2d%s%.2d%s%.4d", d, sep, m, y);
    case 4: return Format3("%.2d%s%.2d%s%.2d", y - 1911, sep, m, d);
    case 5: return Format3("%.3d%s%.2d%s%.2d", y - 1911, sep, m, d);
    default: return Format3("%.4d%s%.2d%s%.2d", y, sep, m, d);
    }
}

std::string FormatDateTimeByOrder(int order, std::string_view separator, TDateTime dateTime) {
    if (dateTime.Value == 0) return {};
    int h, n, s, ms;
    DecodeTime(dateTime, h, n, s, ms);
    char time[32];
    std::snprintf(time, sizeof time, " %.2d:%.2d:%.2d:%.3d", h, n, s, ms);
    return FormatDateByOrder(order, separator, dateTime) + time;
}

TDateTime ParseDateByOrder(std::string_view text, int order, std::string_view separator) {
    if (TrimView(text).empty() || order < 1 || order > 5) return TDateTime(0);
    const std::string_view sep = FirstChar(separator);
    std::string rest(text);
    int p[3];
    for (int& part : p) part = ReadIntOr(CutToken(rest, sep), -1);
    if (p[0] <= 0 || p[1] <= 0 || p[2] <= 0) return TDateTime(0);
    int year, month, day;
    switch (order) {
    case 1: year = p[0], month = p[1], day = p[2]; break;
    case 2: year = p[2], month = p[0], day = p[1]; break;
    case 3: year = p[2], month = p[1], day = p[0]; break;
    default: year = p[0] + 1911, month = p[1], day = p[2]; break;
    }
    TDateTime first;
    if (!TryEncodeDate(year, month, 1, first)) return TDateTime(0);
    return TDateTime(first.Value + (day - 1));
}

std::string DateTextToYMD(std::string_view text, int order, std::string_view separator) {
    const std::string_view trimmed = TrimView(text);
    if (trimmed.empty()) return "0";
    std::string_view raw[3];
    std::string rest(trimmed), cut[3];
    const std::string_view sep = FirstChar(separator);
    if (!sep.empty()) {
        for (int i = 0; i < 3; ++i) raw[i] = cut[i] = CutToken(rest, sep);
    } else {
        raw[0] = Part(trimmed, 1, 4), raw[1] = Part(trimmed, 5, 2), raw[2] = Part(trimmed, 7, 2);
    }
    int p[3];
    for (int i = 0; i < 3; ++i) p[i] = ReadIntOr(raw[i], 0);
    if (p[0] <= 0 || p[1] <= 0 || p[2] <= 0) return "0";
    switch (order) {
    case 2: return FormatIntZero(4, p[2]) + FormatIntZero(2, p[0]) + FormatIntZero(2, p[1]);
    case 3: return FormatIntZero(4, p[2]) + FormatIntZero(2, p[1]) + FormatIntZero(2, p[0]);
    case 4:
    case 5: return FormatIntZero(4, int64_t{p[0]} + 1911) + FormatIntZero(2, p[1]) + FormatIntZero(2, p[2]);
    default: return FormatIntZero(4, p[0]) + FormatIntZero(2, p[1]) + FormatIntZero(2, p[2]);
    }
}

TDateTime YMDToDate(std::string_view text) {
    if (text.size() != 8) return TDateTime(0);
    TDateTime date;
    if (!TryEncodeDate(ReadIntOr(text.substr(0, 4), 0), ReadIntOr(text.substr(4, 2), 0),
                       ReadIntOr(text.substr(6, 2), 0), date))
        return TDateTime(0);
    return date;
}

bool IsValidYMD(std::string_view text) {
    if (text.empty()) return true;
    return IsValidDate(ReadIntOr(Part(text, 1, 4), 0), ReadIntOr(Part(text, 5, 2), 0), ReadIntOr(Part(text, 7, 2), 0)) &&
           text >= "17530101" && text <= "99991231";
}

TDateTime YMDHMSToDateTime(std::string_view text) {
    const auto at = [&](size_t from, size_t count) { return ReadIntOr(Part(text, from, count), 0); };
    const int y = at(1, 4), m = at(5, 2), d = at(7, 2);
    const int h = at(9, 2), n = at(11, 2), s = at(13, 2), ms = at(15, 3);
    if (h < 0 || h > 23 || n < 0 || n > 59 || s < 0 || s > 59 || ms < 0 || ms > 999) return TDateTime(0);
    const double time = EncodeTime(h, n, s, ms).Value;
    if (y == 0 || m == 0 || d == 0) return TDateTime(time);
    TDateTime date;
    if (!TryEncodeDate(y, m, d, date)) return TDateTime(0);
    return TDateTime(date.Value + time);
}

// ---- durations -----------------------------------------------------------------

std::string SecondsToDuration(int64_t seconds) {
    if (seconds == INT64_MIN) return "0000:00:00";   // has no absolute value
    const uint64_t a = static_cast<uint64_t>(seconds < 0 ? -seconds : seconds);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%.4llu:%.2llu:%.2llu", seconds < 0 ? "-" : "",
                  static_cast<unsigned long long>(a / 3600), static_cast<unsigned long long>(a / 60 % 60),
                  static_cast<unsigned long long>(a % 60));
    return buf;
}

Variant AddDurations(std::string_view first, std::string_view second, int sign) {
    const auto a = DurationSeconds(first);
    const auto b = DurationSeconds(second);
    if (!a || !b || (sign != 1 && sign != -1)) return Variant::ArrayOf({0, "000:00:00"});
    const int64_t total = *a + sign * *b;
    return Variant::ArrayOf({total, SecondsToDuration(total)});
}

// ---- numbers -----------------------------------------------------------------

double RoundTo(int decimals, double value) {
    if (!std::isfinite(value)) return value;
    // A binary value lies just beside its decimal text (2.675 is 2.67499...);
    // the nudge away from zero makes the decimal half round outwards.
    const double nudged = value > 0 ? value + 1e-12 : value - 1e-12;
    const int places = decimals < 0 ? 0 : (decimals > 30 ? 30 : decimals);
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", places, nudged);
    const double result = std::strtod(buf, nullptr);
    return result == 0 ? 0.0 : result;   // no negative zero
}

int CompareFloat(double x, double y) noexcept {
    if (std::fabs(x - y) < 1e-10) return 0;
    return x < y ? -1 : 1;
}

// ---- code pages --------------------------------------------------------------

std::string WideToNarrow(std::string_view wide, int codePage) { return ToCodePage(codePage, wide); }

std::string NarrowToWide(std::string_view narrow, int codePage) { return FromCodePage(codePage, narrow); }

Variant VariantWideToNarrow(const Variant& v, int codePage) {
    return ConvertVariant(v, "LINE[2735] ", [codePage](std::string_view s) { return ToCodePage(codePage, s); });
}

Variant VariantNarrowToWide(const Variant& v, int codePage) {
    return ConvertVariant(v, "LINE[115] ", [codePage](std::string_view s) { return FromCodePage(codePage, s); });
}

// ---- captions and passwords --------------------------------------------------

std::string ButtonCaption(std::string_view buttonName) {
    static constexpr std::pair<std::string_view, std::string_view> captions[] = {
        {"Yes", "是(&Y)"},     {"No", "否(&N)"},       {"OK", "确定"},         {"Cancel", "取消"},
        {"Abort", "中断(&A)"}, {"Retry", "重试(&R)"},  {"Ignore", "忽略(&I)"}, {"All", "全部(&A)"},
        {"NoToAll", "全否(&o)"}, {"YesToAll", "全是(&A)"}, {"Help", "帮助(&H)"},
    };
    for (const auto& [name, caption] : captions)
        if (name == buttonName) return std::string(caption);
    return std::string(buttonName);
}

std::string EncodePasswordText(std::string_view plain) {
    if (plain.empty()) plain = EmptyPasswordMarker;
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(plain.size() * 2);
    for (size_t i = 0; i < plain.size(); ++i) {
        const unsigned char b = RotateRight(static_cast<unsigned char>(plain[i]), static_cast<unsigned>(i + 1));
        out += hex[b >> 4];
        out += hex[b & 0xF];
    }
    return out;
}

std::string DecodeSQLSa(std::string_view stored) {
    std::string plain;
    plain.reserve(stored.size() / 2);
    for (size_t i = 0; i + 1 < stored.size(); i += 2) {
        const int hi = HexDigit(stored[i]), lo = HexDigit(stored[i + 1]);
        if (hi < 0 || lo < 0) {
            WriteExceptionReport(nullptr, EncodePasswordText("DecodeSQLSa"), "解析 Sa 时发生错误!");
            return std::string(PasswordErrorMarker);
        }
        plain += static_cast<char>(RotateLeft(static_cast<unsigned char>(hi * 16 + lo), static_cast<unsigned>(i / 2 + 1)));
    }
    return plain == EmptyPasswordMarker ? std::string() : plain;
}
