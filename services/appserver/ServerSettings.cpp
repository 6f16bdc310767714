#include "services/appserver/ServerSettings.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "platform/core/Strings.h"
#include "services/appserver/DataScripts.h"
#include "services/appserver/PgStorage.h"
#include "services/appserver/SqliteStorage.h"
#include "src/server/VelmoraINI.h"

namespace {

std::string DefaultDataFolder() {
    if (const char* dir = std::getenv("VELMORA_DATA_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/velmora";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/velmora";
    return (std::filesystem::temp_directory_path() / "velmora").string();
}

// A value of a libpq connection string, quoted.
std::string ConnValue(const std::string& value) {
    std::string out = "'";
    for (char c : value) {
        if (c == '\\' || c == '\'') out += '\\';
        out += c;
    }
    return out + "'";
}

}  // namespace

TServerSettings ReadServerSettings() {
    TServerSettings settings;
    settings.DataFolder = DefaultDataFolder();
    const TVelmoraIniS ini;
    const Variant& db = ini.DBSettings();
    if (!ini.Result() || !db.IsArray() || db.DimCount() != 2) return settings;
    // [0, *] main database: alias, user, password, type, name, server, connection time-out.
    const std::string type = Trim(db.At(0, 3).AsString());
    const std::string name = Trim(db.At(0, 4).AsString());
    if (SameText(type, "POSTGRESQL")) {
        settings.Kind = TStorageKind::PostgreSQL;
        std::string server = Trim(db.At(0, 5).AsString());
        std::string conninfo;
        if (!server.empty()) {
            const size_t colon = server.rfind(':');
            if (colon != std::string::npos) {
                conninfo += "port=" + ConnValue(server.substr(colon + 1)) + " ";
                server.resize(colon);
            }
            conninfo += "host=" + ConnValue(server) + " ";
        }
        if (!name.empty()) conninfo += "dbname=" + ConnValue(name) + " ";
        const std::string user = Trim(db.At(0, 1).AsString());
        if (!user.empty()) conninfo += "user=" + ConnValue(user) + " ";
        const std::string password = db.At(0, 2).AsString();
        if (!password.empty()) conninfo += "password=" + ConnValue(password) + " ";
        if (!db.At(0, 6).IsClear()) conninfo += "connect_timeout=" + ConnValue(db.At(0, 6).AsString());
        settings.ConnInfo = Trim(conninfo);
    } else if (SameText(type, "SQLITE") && !name.empty()) {
        // MainDBName names the folder of the database files, below the installation when relative.
        settings.DataFolder = name[0] == '/' ? name : ini.InstallPath() + name;
    }
    return settings;
}

bool IsValidDatabaseName(const std::string& name) {
    if (name.empty() || name.size() > 30 || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

std::unique_ptr<TStorage> OpenCompanyDatabase(const TServerSettings& settings, const std::string& databaseName,
                                              bool create) {
    if (!IsValidDatabaseName(databaseName)) throw EStorageError("Invalid database name: " + databaseName);
    std::unique_ptr<TStorage> storage;
    TPgStorage* postgres = nullptr;
    if (settings.Kind == TStorageKind::SQLite) {
        const std::string path = settings.DataFolder + "/" + databaseName + ".db";
        if (!create && !std::filesystem::exists(path)) throw EStorageError("No database " + databaseName);
        std::error_code ec;
        std::filesystem::create_directories(settings.DataFolder, ec);
        storage = std::make_unique<TSqliteStorage>(path);
    } else {
        auto pg = std::make_unique<TPgStorage>(settings.ConnInfo, databaseName, create);
        postgres = pg.get();
        storage = std::move(pg);
    }
    if (storage->TableExists("SCHEMAINFO")) return storage;
    if (!create) throw EStorageError("No database " + databaseName);
    // A new database: create it under a transaction, so that a second server
    // opening it at the same moment waits and then finds it complete.
    TTransaction tx(*storage);
    if (postgres) storage->Execute("SELECT pg_advisory_xact_lock(hashtext(current_schema()))");
    if (!storage->TableExists("SCHEMAINFO")) {
        storage->ExecuteScript(SchemaScript());
        storage->ExecuteScript(DemoScript());
        if (postgres) postgres->GrantClientReads();
    }
    tx.Commit();
    return storage;
}
