#include "tests/services/appserver/TestBackends.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "services/appserver/PgStorage.h"
#include "services/appserver/SqliteStorage.h"

std::string BackendName(const ::testing::TestParamInfo<TestBackend>& info) {
    return info.param == TestBackend::SQLite ? "SQLite" : "PostgreSQL";
}

std::vector<TestBackend> AllBackends() { return {TestBackend::SQLite, TestBackend::PostgreSQL}; }

namespace {
std::string UniqueName() {
    static std::atomic<int> counter{0};
    return "T" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}
}  // namespace

TTestDatabase::TTestDatabase(TestBackend backend) : backend_(backend), name_(UniqueName()) {
    if (backend == TestBackend::SQLite) {
        folder_ = (std::filesystem::temp_directory_path() / ("velmora-srv-" + name_)).string();
        std::filesystem::create_directories(folder_);
        return;
    }
    const char* pg = std::getenv("VELMORA_TEST_PG");
    if (!pg || !*pg) {
        unavailable_ = true;
        return;
    }
    conninfo_ = pg;
}

TTestDatabase::~TTestDatabase() {
    if (unavailable_) return;
    if (backend_ == TestBackend::SQLite) {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
        return;
    }
    try {
        TPgStorage(conninfo_, name_).DropSchema();
    } catch (...) {
    }
}

std::unique_ptr<TStorage> TTestDatabase::Connect() const {
    if (backend_ == TestBackend::SQLite) return std::make_unique<TSqliteStorage>(folder_ + "/" + name_ + ".db");
    return std::make_unique<TPgStorage>(conninfo_, name_);
}

void TTestDatabase::AllowClientReads(TStorage& storage) {
    if (auto* pg = dynamic_cast<TPgStorage*>(&storage)) pg->GrantClientReads();
}
