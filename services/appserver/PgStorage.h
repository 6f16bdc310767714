#pragma once
// `TPgStorage`: storage in PostgreSQL (libpq). Each company database lives in a
// schema of its own (named after the company database name, lower case), so one
// PostgreSQL database serves many companies and several daemons.
//
// Client text (QueryReadOnly, OpenCursor) runs on a second connection, opened
// on first use with the same connection settings but as the login
// kClientReaderRole, whose password (when the server asks for one) comes from
// libpq's password file. That role must exist (an administrator creates it:
// CREATE ROLE velmora_reader LOGIN) and belong to no other role; every new
// company schema grants it reading of everything but the credential column.
//
// Column names that PostgreSQL folded to lower case come back upper-cased, as the
// case-insensitive servers the module's SQL was written for return them; quoted
// mixed-case aliases come back as written. Large results are read row by row.
#include <memory>
#include <string>
#include <string_view>

#include "services/appserver/Storage.h"

inline constexpr std::string_view kClientReaderRole = "velmora_reader";

class TPgStorage : public TStorage {
public:
    // Connects with a libpq connection string and selects the schema, creating it
    // when missing unless create is false (then a missing schema raises). The schema
    // name must be a plain identifier. Raises EStorageError.
    TPgStorage(const std::string& conninfo, const std::string& schema, bool create = true);
    ~TPgStorage() override;

    TStorageKind Kind() const override { return TStorageKind::PostgreSQL; }
    int64_t Execute(std::string_view sql, const TParams& params = {}) override;
    void Query(std::string_view sql, const TParams& params, TRowSink& sink) override;
    // Runs inside BEGIN READ ONLY; refused inside an open transaction.
    void QueryReadOnly(std::string_view sql, const TParams& params, TRowSink& sink) override;
    std::unique_ptr<TStorageCursor> OpenCursor(std::string_view sql, const TParams& params) override;
    void ExecuteScript(std::string_view script) override;
    bool TableExists(std::string_view table) override;
    void Begin() override;
    void Commit() override;
    void Rollback() override;
    bool InTransaction() const override;

    // Lets kClientReaderRole read the schema's tables as they are now, except the
    // credential column. Run once, when the schema has been filled.
    void GrantClientReads();

    // Drops the schema and everything in it (tests clean up with it).
    void DropSchema();

    // The connection settings of the reader's login: the owner's settings
    // (keyword/value or URI form) with user kClientReaderRole and an empty password,
    // so that libpq takes the reader's password from its password file. Raises
    // EStorageError for settings libpq cannot read.
    static std::string ReaderConnInfo(const std::string& conninfo);

    // `?` placeholders outside quotes and comments become $1, $2, ...
    static std::string NumberPlaceholders(std::string_view sql);

    struct Impl;

private:
    std::unique_ptr<Impl> impl_;
};
