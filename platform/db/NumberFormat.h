#pragma once
// Number formatting with "#,##0.00"-style patterns, as numeric fields display
// and edit their values (DisplayFormat, EditFormat).
//
// Pattern: "0" a digit that is always shown, "#" a digit shown only when it
// matters, "." the decimal point (the first one), "," anywhere before the point
// groups the integer digits by thousands; text in single or double quotes and any
// other character is copied. Up to three sections separated by ";" format
// positive, negative and zero values; with one section a negative value gets "-".
// Values are rounded half away from zero to the pattern's decimals.
#include <string>
#include <string_view>

std::string FormatFloat(std::string_view pattern, double value);
