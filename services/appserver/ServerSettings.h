#pragma once
// Where the application server keeps its company databases, and how a company
// database is opened (created with its tables and demonstration data on first use).
#include <memory>
#include <string>

#include "services/appserver/Storage.h"

struct TServerSettings {
    TStorageKind Kind = TStorageKind::SQLite;
    // SQLite: the folder of the database files, one "<database name>.db" each.
    std::string DataFolder;
    // PostgreSQL: the libpq connection string; each company is a schema.
    std::string ConnInfo;
};

// The settings of this installation, from "VelmoraS.ini" [DBE Setting]:
//  - MainDBType "POSTGRESQL": PostgreSQL at MainServerName ("host" or "host:port"),
//    database MainDBName, user MainUserName and the decoded password;
//  - otherwise SQLite files: in MainDBName when MainDBType is "SQLITE" and it is
//    set (below the installation folder when relative), else in $VELMORA_DATA_DIR,
//    else $XDG_DATA_HOME/velmora, else ~/.local/share/velmora.
TServerSettings ReadServerSettings();

// A company database name is 1 to 30 letters, digits or "_", starting with a letter
// (it names a file or a schema, so nothing else may pass).
bool IsValidDatabaseName(const std::string& name);

// Opens a connection to the company database, creating its tables and loading the
// demonstration data when the database is new (or, with create false, raising
// EStorageError for a database that does not exist yet). Raises EStorageError.
std::unique_ptr<TStorage> OpenCompanyDatabase(const TServerSettings& settings, const std::string& databaseName,
                                              bool create = true);
