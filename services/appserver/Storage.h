#pragma once
// `TStorage`: the one small interface through which the application server
// reaches its database, whatever the engine (SQLite file or PostgreSQL).
//
// Contract shared by every implementation:
//  - SQL text uses `?` for parameters; values are bound, never spliced into text.
//    Statements run through `Execute`/`Query` are prepared once and cached.
//  - Values come back as Variants: NULL as Null, integers as Integer, reals as
//    Double, everything else as String (UTF-8).
//  - `QueryReadOnly` runs text that came from a client: exactly one statement,
//    and the engine itself refuses any write (SQLite authorizer, PostgreSQL
//    READ ONLY transaction). It is not cached.
//  - Client text never reaches the credential column (kCredentialTable,
//    kCredentialColumn): a client query that names it anywhere, also in a
//    condition or a sub-select, raises EAccessError and gives no row. SQLite
//    refuses it in the read-only authorizer; PostgreSQL runs client text on a
//    login of its own (PgStorage.h) that has no privilege on the column.
//  - Transactions: `TTransaction` (below) begins in its constructor and rolls
//    back in its destructor unless committed, so every path restores state.
//  - Errors raise EStorageError with the engine's message; a refused write in
//    read-only mode raises EReadOnlyError, a refused read of credentials EAccessError.
// One storage object is one database connection, used by one thread at a time.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/Variant.h"

VELMORA_DECLARE_EXCEPTION(EStorageError, Exception);
VELMORA_DECLARE_EXCEPTION(EReadOnlyError, EStorageError);
VELMORA_DECLARE_EXCEPTION(EAccessError, EStorageError);

// The stored password hashes: read by the server's login check only.
inline constexpr std::string_view kCredentialTable = "USERS";
inline constexpr std::string_view kCredentialColumn = "PASSWORD_HASH";

enum class TStorageKind { SQLite, PostgreSQL };

enum class TColumnType { String, Integer, Float };

// What a result column is: its name as the statement spells it (alias when given),
// its kind and, for texts, its declared size in characters (0 when unknown).
struct TColumnInfo {
    std::string Name;
    TColumnType Type = TColumnType::String;
    int Size = 0;
};

// Receives a result: the columns once, then each row in order. A row's values
// live only for the call; OnRow returns false to stop reading early.
class TRowSink {
public:
    virtual ~TRowSink() = default;
    virtual void OnColumns(const std::vector<TColumnInfo>& columns) = 0;
    virtual bool OnRow(std::vector<Variant>& values) = 0;
};

using TParams = std::vector<Variant>;

// A read-only result read in portions (data packets): `Fetch` hands the next
// `count` rows (all of them when count < 0) to the sink and tells whether more
// remain. The columns are announced on the first fetch. The cursor must not
// outlive its storage; it may stay open while the storage runs other statements.
class TStorageCursor {
public:
    virtual ~TStorageCursor() = default;
    virtual bool Fetch(int count, TRowSink& sink) = 0;
};

class TStorage {
public:
    virtual ~TStorage() = default;
    virtual TStorageKind Kind() const = 0;

    // Runs one trusted statement (server-authored text); returns the rows changed.
    virtual int64_t Execute(std::string_view sql, const TParams& params = {}) = 0;
    // Runs one trusted query.
    virtual void Query(std::string_view sql, const TParams& params, TRowSink& sink) = 0;
    // Runs one statement of client origin read-only (see the contract above).
    virtual void QueryReadOnly(std::string_view sql, const TParams& params, TRowSink& sink) = 0;
    // Opens a cursor over one query of client origin, with the same read-only
    // guarantees as QueryReadOnly.
    virtual std::unique_ptr<TStorageCursor> OpenCursor(std::string_view sql, const TParams& params) = 0;
    // Runs a trusted script of several statements (schema and demonstration data).
    virtual void ExecuteScript(std::string_view script) = 0;
    // True when the named table exists in this database.
    virtual bool TableExists(std::string_view table) = 0;

    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;

    // Convenience over Query: every row as a vector of values.
    std::vector<std::vector<Variant>> QueryRows(std::string_view sql, const TParams& params = {});
    // The first column of the first row, or Empty when there is no row.
    Variant QueryValue(std::string_view sql, const TParams& params = {});
};

// Begins a transaction; rolls it back on destruction unless Commit() ran.
class TTransaction {
public:
    explicit TTransaction(TStorage& storage) : storage_(storage) { storage_.Begin(); }
    ~TTransaction();
    void Commit();
    TTransaction(const TTransaction&) = delete;
    TTransaction& operator=(const TTransaction&) = delete;

private:
    TStorage& storage_;
    bool done_ = false;
};

// Collects every row (used by QueryRows and by small lookups).
class TRowCollector : public TRowSink {
public:
    void OnColumns(const std::vector<TColumnInfo>& columns) override { Columns = columns; }
    bool OnRow(std::vector<Variant>& values) override {
        Rows.push_back(values);
        return true;
    }
    std::vector<TColumnInfo> Columns;
    std::vector<std::vector<Variant>> Rows;
};

// Parses a declared column type ("VARCHAR(20)", "INTEGER", "DOUBLE PRECISION")
// into a column kind and size; unknown types are texts of unknown size.
TColumnInfo ColumnInfoFromDeclaredType(std::string name, std::string_view declared);
