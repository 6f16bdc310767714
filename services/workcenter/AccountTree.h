#pragma once
// `TAccountTree`: the account tree "TrelviC.Class1".
//
// ShowTree(table, company, database, current code, lookup, user) — or one
// array holding those six — shows the chart of accounts as a tree (the rows of
// the lookup [table, kind, ...], by default ("ACTMA", "09"): code and name
// first) and returns the chosen account's code as text, "" when cancelled or
// when the lookup gives no accounts. Errors of the server propagate.
#include "platform/core/Automation.h"

class TServerLink;

class TAccountTree : public AutoObject {
public:
    explicit TAccountTree(TServerLink& link);

private:
    std::string ShowTree(const Variant& table, const Variant& database, const Variant& current, const Variant& lookup);

    TServerLink& link_;
};
