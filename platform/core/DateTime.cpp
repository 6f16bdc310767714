#include "platform/core/DateTime.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <mutex>

#include "platform/core/Strings.h"

namespace {

// Days from 1970-01-01 for a proleptic Gregorian date (H. Hinnant's algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

constexpr long kEpochOffset = 25569;  // 1970-01-01 as days since 1899-12-30

std::mutex clockMutex;
std::function<TDateTime()> clockFn;

TDateTime SystemNow() {
    const auto now = std::chrono::system_clock::now();
    const std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    return TDateTime(EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).Value +
                     EncodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ms)).Value);
}

}  // namespace

bool IsLeapYear(int year) noexcept { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) noexcept {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day) noexcept {
    return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept {
    if (!IsValidDate(year, month, day)) return false;
    out = TDateTime(static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + kEpochOffset));
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime dt;
    if (!TryEncodeDate(year, month, day, dt))
        throw EConvertError("Invalid argument to date encode: " + std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day));
    return dt;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 || msec < 0 || msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return TDateTime((hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + msec) / 86400000.0);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) noexcept {
    CivilFromDays(static_cast<long>(std::floor(dt.Value)) - kEpochOffset, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) noexcept {
    // Dates before 1899-12-30 keep a positive time part, as the fraction's magnitude.
    double frac = std::fabs(dt.Value - std::trunc(dt.Value));
    long long ms = std::llround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    minute = static_cast<int>(ms / 60000 % 60);
    second = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime dt) noexcept {
    // 1899-12-30 was a Saturday.
    const long days = static_cast<long>(std::floor(dt.Value));
    return static_cast<int>(((days + 6) % 7 + 7) % 7) + 1;
}

std::string DateTimeToText(TDateTime dt) {
    int y, m, d, h, n, s, ms;
    DecodeDate(dt, y, m, d);
    DecodeTime(dt, h, n, s, ms);
    char buf[40];
    if (h == 0 && n == 0 && s == 0)
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
    else
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", y, m, d, h, n, s);
    return buf;
}

namespace {
bool ReadInt(std::string_view& t, int maxDigits, int& out) {
    int digits = 0;
    out = 0;
    while (!t.empty() && t.front() >= '0' && t.front() <= '9' && digits < maxDigits) {
        out = out * 10 + (t.front() - '0');
        t.remove_prefix(1);
        ++digits;
    }
    return digits > 0;
}
bool ReadTime(std::string_view& t, TDateTime& out) {
    int h, n, s = 0;
    if (!ReadInt(t, 2, h) || t.empty() || t.front() != ':') return false;
    t.remove_prefix(1);
    if (!ReadInt(t, 2, n)) return false;
    if (!t.empty() && t.front() == ':') {
        t.remove_prefix(1);
        if (!ReadInt(t, 2, s)) return false;
    }
    if (h > 23 || n > 59 || s > 59) return false;
    out = EncodeTime(h, n, s);
    return true;
}
}  // namespace

bool TextToDateTime(std::string_view text, TDateTime& out) {
    std::string_view t = TrimView(text);
    if (t.size() >= 3 && t.find(':') != std::string_view::npos && t.find_first_of("-/.") == std::string_view::npos) {
        return ReadTime(t, out) && t.empty();
    }
    int y, m, d;
    if (!ReadInt(t, 4, y) || t.empty()) return false;
    const char sep = t.front();
    if (sep != '-' && sep != '/' && sep != '.') return false;
    t.remove_prefix(1);
    if (!ReadInt(t, 2, m) || t.empty() || t.front() != sep) return false;
    t.remove_prefix(1);
    if (!ReadInt(t, 2, d)) return false;
    TDateTime date;
    if (!TryEncodeDate(y, m, d, date)) return false;
    TDateTime time;
    if (!t.empty()) {
        if (t.front() != ' ' && t.front() != 'T') return false;
        t = TrimView(t.substr(1));
        if (!ReadTime(t, time) || !t.empty()) return false;
    }
    out = TDateTime(date.Value + time.Value);
    return true;
}

TDateTime Now() {
    std::function<TDateTime()> fn;
    {
        std::lock_guard lock(clockMutex);
        fn = clockFn;
    }
    return fn ? fn() : SystemNow();
}

TDateTime Today() { return TDateTime(std::floor(Now().Value)); }

void SetClock(std::function<TDateTime()> clock) {
    std::lock_guard lock(clockMutex);
    clockFn = std::move(clock);
}
