#pragma once
// The calculator's arithmetic: + - * / with the usual precedence, unary signs,
// parentheses and decimal numbers (blanks and thousands separators "," are
// ignored). Used by the lookup window's calculator.
#include <string>
#include <string_view>

#include "platform/core/Exception.h"

VELMORA_DECLARE_EXCEPTION(ECalcError, Exception);

// The value of the expression; raises ECalcError saying why it does not
// evaluate (a misplaced or unknown character, an unclosed parenthesis, a
// division by zero, nothing to compute).
double EvaluateExpression(std::string_view expression);

// The value as the calculator hands it back: at most ten decimals, without
// trailing zeros ("25", "0.3", "-1.25").
std::string FormatCalcValue(double value);
