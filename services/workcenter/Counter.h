#pragma once
// `TCounter`: the work center's counter service (from Com_Counter), a gateway
// of named server functions. Members:
//
// GETCOUNTER(name, values, [company id, database name]) — name and values by
// reference; names without regard to case:
//
// | function                | values                                  | result                         |
// |-------------------------|-----------------------------------------|--------------------------------|
// | SimpleSQL (SimpleSql)   | [SQL text, field list (, database,      | rows, each an array of values  |
// |                         |  flag)]                                 | in field-list order; Empty     |
// |                         |                                         | when none; read-only           |
// | TransactionSQL          | [array of statements, ""]               | the server's guarded path:     |
// |                         |                                         | True, or the server's error    |
// | GetUserDefine           | [company, user, program id, group]      | the group's XML text or ""     |
// | SetUserDefine           | [company, user, program slot, path,     | "" on success, else the reason |
// |                         |  value]                                 |                                |
// | QueryUDFData            | [expression key, "", database, flag,    | rows of the expression (lookup |
// |                         |  source values]                         | kind "UDFEXPR"/key); Empty for |
// |                         |                                         | an undefined key               |
//
// The settings store and its paths are described in services/appserver/UserStore.h.
// An unknown function name raises EOleError.
//
// GetSysInfo(company id by reference): the company's system parameters as a
// two-dimensional array [0..1, 0..n-1] ([0, i] the name, [1, i] the value),
// Empty when the company has none. It reads the link's default database.
#include "platform/core/Automation.h"

class TServerLink;

class TCounter : public AutoObject {
public:
    explicit TCounter(TServerLink& link);

private:
    Variant GetCounter(const std::string& name, const Variant& values, const Variant& session);
    Variant GetSysInfo(const std::string& company);

    TServerLink& link_;
};
