#include "services/appserver/ServerSettings.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "services/appserver/DataScripts.h"
#include "services/appserver/PgStorage.h"
#include "services/appserver/SqliteStorage.h"

namespace {

std::string DefaultDataFolder() {
    if (const char* dir = std::getenv("VELMORA_DATA_DIR"); dir && *dir) return dir;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/velmora";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/velmora";
    return (std::filesystem::temp_directory_path() / "velmora").string();
}

}  // namespace

TServerSettings ReadServerSettings() {
    TServerSettings settings;
    settings.DataFolder = DefaultDataFolder();
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
    if (settings.Kind == TStorageKind::SQLite) {
        const std::string path = settings.DataFolder + "/" + databaseName + ".db";
        if (!create && !std::filesystem::exists(path)) throw EStorageError("No database " + databaseName);
        std::error_code ec;
        std::filesystem::create_directories(settings.DataFolder, ec);
        storage = std::make_unique<TSqliteStorage>(path);
    } else {
        storage = std::make_unique<TPgStorage>(settings.ConnInfo, databaseName, create);
    }
    if (storage->TableExists("SCHEMAINFO")) return storage;
    if (!create) throw EStorageError("No database " + databaseName);
    // A new database: create it under a transaction, so that a second server
    // opening it at the same moment waits and then finds it complete.
    TTransaction tx(*storage);
    if (storage->Kind() == TStorageKind::PostgreSQL)
        storage->Execute("SELECT pg_advisory_xact_lock(hashtext(current_schema()))");
    if (!storage->TableExists("SCHEMAINFO")) {
        storage->ExecuteScript(SchemaScript());
        storage->ExecuteScript(DemoScript());
    }
    tx.Commit();
    return storage;
}
