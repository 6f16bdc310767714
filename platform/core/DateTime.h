#pragma once
// Calendar arithmetic on TDateTime (days since 1899-12-30) and the clock seam:
// "now" and "today" come from one place that tests can fix.
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/Variant.h"

bool IsLeapYear(int year) noexcept;
int DaysInMonth(int year, int month) noexcept;   // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day) noexcept;   // years 1..9999
// Raise EConvertError for an invalid date or time.
TDateTime EncodeDate(int year, int month, int day);
TDateTime EncodeTime(int hour, int minute, int second, int msec = 0);
bool TryEncodeDate(int year, int month, int day, TDateTime& out) noexcept;
void DecodeDate(TDateTime dt, int& year, int& month, int& day) noexcept;
// Milliseconds are rounded to the nearest; 24:00 never results.
void DecodeTime(TDateTime dt, int& hour, int& minute, int& second, int& msec) noexcept;
int DayOfWeek(TDateTime dt) noexcept;   // 1 = Sunday .. 7 = Saturday

// "yyyy-mm-dd", or "yyyy-mm-dd hh:nn:ss" when the value has a time of day.
std::string DateTimeToText(TDateTime dt);
// Accepts "yyyy-mm-dd", "yyyy/mm/dd", "yyyy.mm.dd" with an optional " hh:nn[:ss]",
// or a time alone "hh:nn[:ss]". False for anything else.
bool TextToDateTime(std::string_view text, TDateTime& out);

// Clock seam.
TDateTime Now();
TDateTime Today();   // Now() without the time of day
// Tests fix the clock; an empty function restores the system clock.
void SetClock(std::function<TDateTime()> clock);

// Restores the system clock when it leaves scope.
class FixedClock {
public:
    explicit FixedClock(TDateTime at) { SetClock([at] { return at; }); }
    ~FixedClock() { SetClock({}); }
    FixedClock(const FixedClock&) = delete;
    FixedClock& operator=(const FixedClock&) = delete;
};
