#pragma once
// The small shared routines of the framework: field splitting and padding of
// texts, dates between the display orders and the stored form "YYYYMMDD",
// durations, rounding and comparison of numbers, code-page conversion of texts
// and variants, dialog button captions and the stored form of the database
// password. All are free functions without state; none shows anything. The
// parsing routines catch their own errors and return the documented default.
//
// Texts are UTF-8. Searches for a separator or an old text are case-sensitive;
// a match of a valid UTF-8 text never starts inside a character. Widths count
// characters.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/Variant.h"

// ---- texts -----------------------------------------------------------------

// Pads the text to `width` characters with `pad` in front (PadLeft) or behind
// (PadRight); a text that is already as long or longer is returned unchanged.
std::string PadLeft(std::string_view text, int width, char pad = ' ');
std::string PadRight(std::string_view text, int width, char pad = ' ');

// The n-th field (from 1) of the text split at each occurrence of the
// separator; empty when there are fewer fields (or n < 1). An empty separator
// never splits.
std::string GetField(std::string_view text, std::string_view separator, int n);
// Occurrences of the separator plus 1; 0 for an empty text.
int CountFields(std::string_view text, std::string_view separator);
// Returns the part before the first occurrence of the separator and leaves the
// part after it in `text`; without an occurrence returns the whole text and
// empties it.
std::string CutToken(std::string& text, std::string_view separator);
// The value with at least `digits` digits, zero-filled on the left ("%.*d").
std::string FormatIntZero(int digits, int64_t value);
// Every occurrence of `oldText` replaced by `newText`, scanning from the left;
// a replaced part is never searched again, so the call always ends, also when
// the new text contains the old one. Nothing is replaced when the two are equal
// without regard to case (or the old text is empty). With `trim`, the result
// is trimmed.
std::string ReplaceAll(std::string_view text, std::string_view oldText, std::string_view newText, bool trim);
Variant IIf(bool flag, const Variant& ifTrue, const Variant& ifFalse);
bool IsEmptyOrNull(const Variant& v) noexcept;   // unassigned or null
bool IsLoopback(std::string_view address) noexcept;   // exactly "127.0.0.1"

// ---- dates and times ---------------------------------------------------------
// Date orders: 1 year-month-day, 2 month-day-year, 3 day-month-year (four-digit
// Gregorian years); 4 and 5 year-month-day with the era year (Gregorian year
// minus 1911) of at least 2 and at least 3 digits. Of the separator only the
// first character counts; an empty separator means none.

// A zero date gives the empty text. An order outside 1..5 formats as order 1.
std::string FormatDateByOrder(int order, std::string_view separator, TDateTime date);
// As FormatDateByOrder followed by " hh:nn:ss:zzz".
std::string FormatDateTimeByOrder(int order, std::string_view separator, TDateTime dateTime);
// Reads a date typed in the order. The day is added to the first of the month,
// so a day beyond the month's end rolls over (2024/02/30 is 1 March 2024).
// 0 when the text cannot be read.
TDateTime ParseDateByOrder(std::string_view text, int order, std::string_view separator);
// The stored form "YYYYMMDD" of a date typed in the order (without a separator
// the text is read as characters 1-4, 5-6 and 7-8), not checked for a valid
// date; "0" when the text cannot be read. An order outside 2..5 reads as 1.
std::string DateTextToYMD(std::string_view text, int order, std::string_view separator);
// The date of a stored text of exactly 8 characters; 0 when it is not one.
TDateTime YMDToDate(std::string_view text);
// True for an empty text, else when the text holds an existing date and lies,
// compared as text, between "17530101" and "99991231".
bool IsValidYMD(std::string_view text);
// Digits "yyyymmddhhnnsszzz" (missing or non-numeric parts count as 0) to a
// date-time; the time of day alone when year, month or day is 0; 0 when the
// parts do not form a valid date or time.
TDateTime YMDHMSToDateTime(std::string_view text);

// ---- durations: "hhhh:nn:ss" -------------------------------------------------

// "%.4d:%.2d:%.2d" of hours, minutes and seconds, with "-" in front of a
// negative value; "0000:00:00" for 0.
std::string SecondsToDuration(int64_t seconds);
// first + sign * second, as the array [total seconds, SecondsToDuration(total)].
// Each text must be, once trimmed, at least 8 characters of three ':'-separated
// fields and hold only digits and colons; the sign must be 1 or -1. Otherwise
// the result is [0, "000:00:00"].
Variant AddDurations(std::string_view first, std::string_view second, int sign);

// ---- numbers -----------------------------------------------------------------

// Rounds half away from zero to `decimals` places (0 when negative), so that
// 2.675 gives 2.68 although its binary value lies just below.
double RoundTo(int decimals, double value);
// 0 when x and y differ by less than 1e-10, else -1 or 1.
int CompareFloat(double x, double y) noexcept;

// ---- code pages --------------------------------------------------------------
// "Wide" texts are the program's UTF-8 texts; "narrow" texts are bytes in a
// code page (936 GB, 950 Big5, ...).

// The text in the code page; when the code page cannot be used, in the system
// code page.
std::string WideToNarrow(std::string_view wide, int codePage);
// The bytes read in the code page; when the code page cannot be used, in the
// system code page.
std::string NarrowToWide(std::string_view narrow, int codePage);
// A copy of the value with its texts converted: a scalar text, the text
// elements of a one-dimensional array (nested arrays converted the same way),
// the text elements of a two-dimensional array. Other values are copied.
// Errors are written to the alert log "libstrs" and the copy made so far is
// returned; nothing is raised.
Variant VariantWideToNarrow(const Variant& v, int codePage);
Variant VariantNarrowToWide(const Variant& v, int codePage);

// ---- captions and passwords --------------------------------------------------

// The caption of a standard dialog button by its name ("Yes" gives "是(&Y)");
// the name itself for an unknown button.
std::string ButtonCaption(std::string_view buttonName);

// The stored form of a database password: each byte at position p (from 1)
// rotated right by p mod 8 bits and written as two upper-case hexadecimal
// digits. An empty password is stored as the form of
// "QV_Say_NoPassWord_ThePassWordIsEmpty".
std::string EncodePasswordText(std::string_view plain);
// The password of a stored form (a final odd digit is ignored). Empty for an
// empty text and for the form of the empty password. A pair that is not
// hexadecimal gives "QV_Say_Password_Error" and an exception report in the
// generator log.
std::string DecodeSQLSa(std::string_view stored);
