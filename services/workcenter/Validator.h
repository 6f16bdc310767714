#pragma once
// `TValidator`: the work center's validator service (from Com_Validator).
// Members (names without regard to case):
//
// | member      | arguments                                      | result                         |
// |-------------|------------------------------------------------|--------------------------------|
// | CheckValue  | table, kind, database, values, out result      | True when the lookup finds a   |
// |             | (the last three by reference)                  | row; result = that row's field |
// |             |                                                | values (Empty when not found)  |
// | QueryData   | the same                                       | True when rows come back;      |
// |             |                                                | result = every row, each an    |
// |             |                                                | array of field values          |
// | QueryMaxSeq | table, key field list, values of all key       | True and the next value of the |
// |             | fields but the last, date text, program id,    | last key field in the out text |
// |             | database, out text (all by reference)          | (see below); False otherwise   |
// | BaseLimited | property, read and written                     | kept; the lookups do not       |
// |             |                                                | depend on it                   |
//
// Lookup kinds are data (LookupKinds.h); a kind that is not defined is "not
// found" (False), never an error. Errors of the server propagate.
//
// QueryMaxSeq: among the rows of the table whose leading key fields equal the
// values and whose last key field starts with the date text, the highest last
// key; the next value is the date text followed by the number after that
// highest one's remainder, zero-padded to its width (4 digits when there is no
// row yet). False when a name is not a plain identifier, the value counts do
// not match, or the remainder of the highest key is not a number.
#include "platform/core/Automation.h"

class TServerLink;

class TValidator : public AutoObject {
public:
    explicit TValidator(TServerLink& link);

private:
    bool Lookup(const Variant& table, const Variant& kind, const Variant& database, const Variant& values,
                Variant& result, bool allRows);
    bool QueryMaxSeq(OleArgs& args);

    TServerLink& link_;
    Variant baseLimited_;
};
