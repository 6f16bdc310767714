#include "platform/db/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <vector>

namespace {

// The non-negative value as "int.frac" with exactly `decimals` digits, rounded
// half away from zero on its shortest decimal form (so 2.675 gives 2.68).
std::string RoundedDigits(double value, int decimals) {
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed);
    std::string text(buf, r.ptr);
    size_t point = text.find('.');
    if (point == std::string::npos) {
        point = text.size();
        text += '.';
    }
    std::string frac = text.substr(point + 1);
    std::string digits = text.substr(0, point) + frac;   // all digits, point removed
    const size_t keep = point + static_cast<size_t>(decimals);
    if (digits.size() < keep) digits.append(keep - digits.size(), '0');
    const bool up = digits.size() > keep && digits[keep] >= '5';
    digits.resize(keep);
    if (up) {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        } else {
            ++digits[i - 1];
        }
    }
    std::string result = digits.substr(0, digits.size() - static_cast<size_t>(decimals));
    if (result.empty()) result = "0";
    if (decimals > 0) result += "." + digits.substr(digits.size() - static_cast<size_t>(decimals));
    return result;
}

std::vector<std::string_view> Sections(std::string_view pattern) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    char quote = 0;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            parts.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(pattern.substr(start));
    return parts;
}

// Formats a non-negative value with one section.
std::string FormatSection(std::string_view section, double value) {
    // First pass: count the digit positions around the point and look for grouping.
    int minInt = 0, minFrac = 0, maxFrac = 0;
    bool point = false, thousands = false, anyDigit = false;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        else if (c == '.') point = true;
        else if (c == ',' && !point) thousands = true;
        else if (c == '0' || c == '#') {
            anyDigit = true;
            if (point) {
                ++maxFrac;
                if (c == '0') minFrac = maxFrac;
            } else if (c == '0') {
                ++minInt;
            }
        }
    }
    if (!anyDigit) {   // a section of literals only
        std::string text;
        quote = 0;
        for (char c : section) {
            if (quote ? c == quote : (c == '"' || c == '\'')) quote = quote ? 0 : c;
            else text += c;
        }
        return text;
    }

    const std::string digits = RoundedDigits(value, maxFrac);
    std::string intPart = digits.substr(0, digits.find('.'));
    std::string fracPart = maxFrac > 0 ? digits.substr(digits.find('.') + 1) : "";
    while (static_cast<int>(fracPart.size()) > minFrac && !fracPart.empty() && fracPart.back() == '0')
        fracPart.pop_back();
    if (intPart == "0" && minInt == 0) intPart.clear();
    while (static_cast<int>(intPart.size()) < minInt) intPart.insert(intPart.begin(), '0');
    if (thousands)
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3) intPart.insert(static_cast<size_t>(i), ",");

    // Second pass: the literals before the first digit, the number, the literals
    // after the integer digits (up to the point) and after the last digit.
    std::string prefix, middle, suffix;
    bool seenDigit = false, seenPoint = false;
    quote = 0;
    for (char c : section) {
        std::string* target = !seenDigit ? &prefix : (!seenPoint ? &middle : &suffix);
        if (quote) {
            if (c == quote) quote = 0;
            else *target += c;
            continue;
        }
        if (c == '"' || c == '\'') quote = c;
        else if (c == '0' || c == '#') {
            seenDigit = true;
            if (seenPoint) suffix.clear();   // literals between decimal digits are dropped
            else middle.clear();
        } else if (c == '.') {
            seenDigit = true;
            seenPoint = true;
        } else if (c != ',') {
            *target += c;
        }
    }
    std::string result = prefix + intPart;
    if (!fracPart.empty()) result += "." + fracPart;
    return result + middle + suffix;
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value) {
    if (!std::isfinite(value)) return std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
    const auto sections = Sections(pattern);
    int decimals = 0;
    {
        // Rounding to the positive section's decimals decides which section is used.
        const std::string_view first = sections[0];
        const size_t p = first.find('.');
        if (p != std::string_view::npos)
            for (size_t i = p + 1; i < first.size(); ++i)
                if (first[i] == '0' || first[i] == '#') ++decimals;
    }
    const std::string digits = RoundedDigits(std::fabs(value), decimals);
    const bool nonZero = digits.find_first_not_of("0.") != std::string::npos;   // not zero
    if (!nonZero && sections.size() >= 3 && !sections[2].empty()) return FormatSection(sections[2], 0);
    if (value < 0 && nonZero) {
        if (sections.size() >= 2 && !sections[1].empty()) return FormatSection(sections[1], std::fabs(value));
        return "-" + FormatSection(sections[0], std::fabs(value));
    }
    return FormatSection(sections[0], std::fabs(value));
}
