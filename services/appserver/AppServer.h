#pragma once
// `TAppServer`: the application server object "TessmarS.Class1". In-process it is
// what CreateOleObject gives (the loopback rule); the daemon serves one per
// connection. Members (names without regard to case):
//
// | member              | arguments                                   | result                          |
// |---------------------|---------------------------------------------|---------------------------------|
// | Connect             | ByRef [program, user, company, database,    | 0 connected; 1 unknown user;    |
// |                     |  flag, program flag]                        | 2 database unavailable; 3 not   |
// |                     |                                             | the authenticated user          |
// | SvrData             | —                                           | name=value lines (CR LF)        |
// | WhatIs              | "TODAY" / "SQLTYPE"                         | "YYYYMMDD" / 1                  |
// | GetRecCount         | —                                           | records of the last main query  |
// | SetTopRow           | n                                           | row limit of the next main query|
// | GetFormat           | company, program                            | settings document text or ""    |
// | LoadTable           | [user, program]                             | the caller's schemes for         |
// |                     |                                             | "pvdConSave"                    |
// | InsertConTable      | [name, user, date, program, text, page,     | "" or an error text             |
// |                     |  replace]                                   |                                 |
// | DeleteConTable      | [name, user, program]                       | "" or an error text             |
// | ChangeConName       | [old name, user, program], [new name, ...]  | "" or an error text             |
// | GetBaseLimitedRecs  | table prefix, key condition, record count   | [permitted count or -1, keys]   |
// | SimpleSQL           | SQL text, field list [, database, flag      | rows (arrays in field-list      |
// |                     |  [, values bound to its "?" in order]]      | order) or Empty; read-only, and |
// |                     |                                             | password hashes are refused     |
// | TransactionSQL      | [statements], ""                            | True; accepts only the          |
// |                     |                                             | attachment clean-up of the      |
// |                     |                                             | caller's company                |
// | GetUserDefine,      | see UserStore.h: the connected user's own   |                                 |
// | SetUserDefine,      | settings groups and common phrases          |                                 |
// | GetPhrases,         |                                             |                                 |
// | AddPhrase,          |                                             |                                 |
// | DeletePhrase        |                                             |                                 |
// | GetRecords,         | provider name first, then as                | see ServerProvider.h            |
// | ApplyUpdates,       | platform/db/Provider.h                      |                                 |
// | DataRequest         |                                             |                                 |
//
// A scheme belongs to its user: the scheme calls act only for the connected user.
// Every other call before a successful Connect raises EOleError.
#include <map>
#include <memory>
#include <string>

#include "platform/core/Automation.h"
#include "platform/core/Strings.h"
#include "services/appserver/ServerProvider.h"
#include "services/appserver/ServerSession.h"

inline constexpr const char* kAppServerProgId = "TessmarS.Class1";

class TAppServer : public AutoObject {
public:
    explicit TAppServer(TServerSettings settings);
    ~TAppServer() override;

    // The daemon names the user its connection authenticated; Connect then
    // accepts only that user and database.
    void SetAuthenticated(const std::string& userId, const std::string& databaseName);
    const TServerSession& Session() const { return session_; }

private:
    int Connect(Variant& params);
    std::string SvrData();
    TServerProvider& Provider(const Variant& name);
    std::string InsertConTable(const Variant& args);
    std::string DeleteConTable(const Variant& args);
    std::string ChangeConName(const Variant& oldKey, const Variant& newKey);
    Variant GetBaseLimitedRecs(const std::string& prefix, const std::string& condition, long long count);
    Variant SimpleSQL(const std::string& sql, const std::string& fieldList, const Variant& parameters);
    bool TransactionSQL(const Variant& statements);
    // Raises unless the scheme call names the connected user.
    void CheckSchemeUser(const std::string& user) const;

    TServerSession session_;
    std::map<std::string, std::unique_ptr<TServerProvider>, LessText> providers_;
};

// Registers the program ids the module creates in-process (the loopback rule):
// "TessmarS.Class1", whose objects open their company database with the
// settings of this installation (ReadServerSettings), and the lookup server
// "PikvaloS.Class1" (LookupServer.h). The shell and the tests call it once.
void RegisterAppServerClasses();
