#pragma once
// Lookup kinds are data: each row of the company table LOOKUPDEF names a
// (table, kind) pair and says how to answer it:
//   LD_SQL     one read-only select with "?" parameters;
//   LD_PARAMS  for each "?" in order, the index of the caller's value bound to
//              it ("0,1": the first two values); a missing value binds "";
//   LD_FIELDS  the columns returned, in this order (the select's names);
//   LD_TITLES  column titles for the pick window, comma-separated (optional);
//   LD_CAPTION the pick window's caption (optional).
// The validator, the lookup window and the counter's user-defined field rules
// ("UDFEXPR", expression key) all answer from this table.
#include <optional>
#include <string>
#include <vector>

#include "platform/core/Variant.h"

class TServerLink;

struct TLookupKind {
    std::string Table, Kind;
    std::string Sql;
    std::vector<int> Params;
    std::vector<std::string> Fields;
    std::vector<std::string> Titles;
    std::string Caption;
};

// The definition of (table, kind) in the database, or nothing when the pair is
// not defined. Server errors propagate.
std::optional<TLookupKind> FindLookupKind(TServerLink& link, const std::string& database, const std::string& table,
                                          const std::string& kind);

// The rows of the lookup for the values (an array, or a single value standing
// for a one-element array): arrays of field values in the definition's field
// order, Empty when there is none.
Variant RunLookup(TServerLink& link, const std::string& database, const TLookupKind& lookup, const Variant& values);
