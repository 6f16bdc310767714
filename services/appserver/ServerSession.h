#pragma once
// `TServerSession`: what one client connection of the application server knows
// after `Connect`: its company database, who the user is, the program's definition
// and the user's rights. The remote methods and the providers share it.
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/core/Strings.h"

#include "services/appserver/Rights.h"
#include "services/appserver/ServerSettings.h"
#include "services/appserver/Storage.h"

// A program's definition, one row of PROGDEF: the main table, its key fields, the
// main select with its joins (no WHERE or ORDER BY of its own; the main table is
// aliased by its own name), the detail select, packet size and the basic-data flag.
struct TProgramDef {
    std::string ProgramId;
    std::string MainTable;
    std::vector<std::string> KeyFields;
    std::string KeyText;          // as stored: "MB001,MB002"
    std::string MainSelect;
    std::string DetailSelect;
    int MaxRecord = 0;
    std::string BaseLimited;
};

class TServerSession {
public:
    explicit TServerSession(TServerSettings settings) : Settings(std::move(settings)) {}

    TServerSettings Settings;
    std::unique_ptr<TStorage> Storage;

    std::string ProgramId, UserId, CompanyId, DatabaseName;
    std::string UserGroup, GroupList, PowerData, ExPower;
    TRights Rights;
    bool HasProgram = false;
    TProgramDef Program;
    std::set<std::string, LessText> MainColumns;   // the main table's own columns

    int TopRow = 0;            // row limit of the next main query (0: none)
    long long RecCount = 0;    // records of the main query last opened
    std::string SchemeUser, SchemeProgram;   // set by LoadTable

    // Set by the daemon after authentication: Connect must name this user and database.
    std::string AuthenticatedUser, AuthenticatedDatabase;

    bool Connected() const { return Storage != nullptr; }
    // The storage of a connected session; raises EOleError before Connect.
    TStorage& Db();
    // The program definition; raises EOleError when the program has none.
    const TProgramDef& Def() const;
    // Client SQL text adapted to the storage (RewriteSql with this database).
    std::string Sql(std::string_view text) const;
    // True when the name is one of the main table's own columns (computed
    // columns of the select, such as MB002C, are not).
    bool IsMainColumn(std::string_view name) const;
};

// Index of the top-level "FROM" of a select (outside parentheses and quotes),
// or npos when there is none.
size_t TopLevelFrom(std::string_view select);
