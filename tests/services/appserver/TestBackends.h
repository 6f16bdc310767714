#pragma once
// Backends for the parameterised server tests: SQLite always, PostgreSQL when the
// test script started one (VELMORA_TEST_PG holds its connection string).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "services/appserver/Storage.h"

enum class TestBackend { SQLite, PostgreSQL };

std::string BackendName(const ::testing::TestParamInfo<TestBackend>& info);
std::vector<TestBackend> AllBackends();

// A fresh, empty database for one test: a temporary SQLite file, or a
// PostgreSQL schema of a unique name. Removed when the object goes.
class TTestDatabase {
public:
    explicit TTestDatabase(TestBackend backend);
    ~TTestDatabase();
    // True when the backend is not available here (the test then skips).
    bool Unavailable() const { return unavailable_; }
    // A new connection to the same database.
    std::unique_ptr<TStorage> Connect() const;
    // Lets client text read the tables a test created itself (a company database
    // grants this when it is created; SQLite needs nothing).
    static void AllowClientReads(TStorage& storage);
    // The company database name it stands for.
    const std::string& Name() const { return name_; }
    // Folder of the SQLite files (empty for PostgreSQL).
    const std::string& Folder() const { return folder_; }
    TestBackend Backend() const { return backend_; }
    const std::string& ConnInfo() const { return conninfo_; }

private:
    TestBackend backend_;
    bool unavailable_ = false;
    std::string name_, folder_, conninfo_;
};

#define SKIP_WITHOUT_BACKEND(db) \
    if ((db).Unavailable()) GTEST_SKIP() << "VELMORA_TEST_PG is not set: PostgreSQL tests skipped"
