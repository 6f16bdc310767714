#pragma once
// `TSqliteStorage`: the embedded storage, one SQLite database file per company
// database, in WAL mode so that several connections (daemon sessions) read while
// one writes. Read-only queries run under an authorizer that allows reading only.
#include <memory>
#include <string>

#include "services/appserver/Storage.h"

class TSqliteStorage : public TStorage {
public:
    // Opens (and creates when missing) the database file. Raises EStorageError.
    explicit TSqliteStorage(const std::string& path);
    ~TSqliteStorage() override;

    TStorageKind Kind() const override { return TStorageKind::SQLite; }
    int64_t Execute(std::string_view sql, const TParams& params = {}) override;
    void Query(std::string_view sql, const TParams& params, TRowSink& sink) override;
    void QueryReadOnly(std::string_view sql, const TParams& params, TRowSink& sink) override;
    std::unique_ptr<TStorageCursor> OpenCursor(std::string_view sql, const TParams& params) override;
    void ExecuteScript(std::string_view script) override;
    bool TableExists(std::string_view table) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
