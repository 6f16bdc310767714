#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "services/appserver/ServerSettings.h"

namespace {

// An installation in a temporary folder: the registry file names it as the
// server folder, and it holds "VelmoraS.ini" with the given [DBE Setting] lines.
class Installation {
public:
    explicit Installation(const std::string& dbeLines) {
        folder_ = std::filesystem::temp_directory_path() / ("velmora-settings-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_ / "server");
        std::ofstream(folder_ / "registry.ini") << "[Software\\QVN\\Velmora]\nServerPath=" << (folder_ / "server").string()
                                                << "\n";
        std::ofstream(folder_ / "server" / "VelmoraS.ini") << "[DBE Setting]\n" << dbeLines;
        const char* old = std::getenv("VELMORA_REGISTRY");
        if (old) oldRegistry_ = old;
        hadRegistry_ = old != nullptr;
        setenv("VELMORA_REGISTRY", (folder_ / "registry.ini").c_str(), 1);
    }
    ~Installation() {
        if (hadRegistry_) setenv("VELMORA_REGISTRY", oldRegistry_.c_str(), 1);
        else unsetenv("VELMORA_REGISTRY");
        std::filesystem::remove_all(folder_);
    }
    std::string Server() const { return (folder_ / "server").string() + "/"; }

private:
    std::filesystem::path folder_;
    std::string oldRegistry_;
    bool hadRegistry_ = false;
};

TEST(ServerSettings, TheServerConfigurationChoosesTheStorage) {
    {
        Installation install("MainDBType=postgresql\nMainServerName=db.example:5433\nMainDBName=velmora\n"
                             "MainUserName=o'brien\n");
        const TServerSettings s = ReadServerSettings();
        EXPECT_EQ(TStorageKind::PostgreSQL, s.Kind);
        EXPECT_EQ("port='5433' host='db.example' dbname='velmora' user='o\\'brien' connect_timeout='300'", s.ConnInfo);
    }
    {
        Installation install("MainDBType=SQLITE\nMainDBName=Data\n");
        const TServerSettings s = ReadServerSettings();
        EXPECT_EQ(TStorageKind::SQLite, s.Kind);
        EXPECT_EQ(install.Server() + "Data", s.DataFolder);
    }
    {
        Installation install("MainDBType=MSSQL\n");
        setenv("VELMORA_DATA_DIR", "/srv/velmora-data", 1);
        const TServerSettings s = ReadServerSettings();
        unsetenv("VELMORA_DATA_DIR");
        EXPECT_EQ(TStorageKind::SQLite, s.Kind);
        EXPECT_EQ("/srv/velmora-data", s.DataFolder);
    }
}

TEST(ServerSettings, DatabaseNamesCannotNameAnythingElse) {
    for (const char* good : {"DEMO", "Company_01", "A"}) EXPECT_TRUE(IsValidDatabaseName(good)) << good;
    for (const char* bad : {"", "../DEMO", "DEMO;DROP", "1DEMO", "a b", "DEMO.db", "ABCDEFGHIJABCDEFGHIJABCDEFGHIJX"})
        EXPECT_FALSE(IsValidDatabaseName(bad)) << bad;
}

}  // namespace
