#include "services/appserver/SqliteStorage.h"

#include <sqlite3.h>

#include <unordered_map>

#include "platform/core/Strings.h"

namespace {

struct StmtDeleter {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

// While set, the connection may only read: SELECT itself, reading columns and
// calling functions. Everything else (writes, PRAGMA, ATTACH, transactions) is
// refused when the statement is prepared, and so is any use of the credential
// column and the one function that hands out and takes raw pointers. The flag
// tells the caller that the credential column was the reason.
int ReadOnlyAuthorizer(void* credentialDenied, int action, const char* arg1, const char* arg2, const char*,
                       const char*) {
    switch (action) {
        case SQLITE_READ:
            if (arg1 && arg2 && SameText(arg1, kCredentialTable) && SameText(arg2, kCredentialColumn)) {
                *static_cast<bool*>(credentialDenied) = true;
                return SQLITE_DENY;
            }
            return SQLITE_OK;
        case SQLITE_FUNCTION:
            return arg2 && SameText(arg2, "fts3_tokenizer") ? SQLITE_DENY : SQLITE_OK;
        case SQLITE_SELECT:
        case SQLITE_RECURSIVE:
            return SQLITE_OK;
        default:
            return SQLITE_DENY;
    }
}

// Installs the authorizer for one prepare and clears it however the prepare ends.
struct AuthorizerGuard {
    sqlite3* db;
    bool credentialDenied = false;
    explicit AuthorizerGuard(sqlite3* d) : db(d) { sqlite3_set_authorizer(db, ReadOnlyAuthorizer, &credentialDenied); }
    ~AuthorizerGuard() { sqlite3_set_authorizer(db, nullptr, nullptr); }
};

}  // namespace

struct TSqliteStorage::Impl {
    sqlite3* db = nullptr;
    std::unordered_map<std::string, StmtPtr> cache;

    [[noreturn]] void Fail(const std::string& what) const {
        throw EStorageError(what + ": " + sqlite3_errmsg(db));
    }

    sqlite3_stmt* Cached(std::string_view sql) {
        auto it = cache.find(std::string(sql));
        if (it != cache.end()) {
            sqlite3_reset(it->second.get());
            sqlite3_clear_bindings(it->second.get());
            return it->second.get();
        }
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v3(db, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT, &raw,
                               nullptr) != SQLITE_OK)
            Fail("Cannot prepare statement");
        if (!raw) throw EStorageError("Empty statement");
        return cache.emplace(std::string(sql), StmtPtr(raw)).first->second.get();
    }

    void Bind(sqlite3_stmt* stmt, const TParams& params) {
        if (static_cast<int>(params.size()) != sqlite3_bind_parameter_count(stmt))
            throw EStorageError("Statement expects " + std::to_string(sqlite3_bind_parameter_count(stmt)) +
                                " parameters, got " + std::to_string(params.size()));
        for (size_t i = 0; i < params.size(); ++i) {
            const int n = static_cast<int>(i + 1);
            const Variant& v = params[i];
            int rc = SQLITE_OK;
            switch (v.Type()) {
                case VarType::Empty:
                case VarType::Null: rc = sqlite3_bind_null(stmt, n); break;
                case VarType::Boolean:
                case VarType::Integer: rc = sqlite3_bind_int64(stmt, n, v.AsInteger()); break;
                case VarType::Double: rc = sqlite3_bind_double(stmt, n, v.AsDouble()); break;
                case VarType::String: {
                    const std::string& s = v.StringRef();
                    rc = sqlite3_bind_text(stmt, n, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
                    break;
                }
                default: {
                    const std::string s = v.AsString();
                    rc = sqlite3_bind_text(stmt, n, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
                }
            }
            if (rc != SQLITE_OK) Fail("Cannot bind parameter " + std::to_string(n));
        }
    }

    static std::vector<TColumnInfo> Columns(sqlite3_stmt* stmt) {
        const int count = sqlite3_column_count(stmt);
        std::vector<TColumnInfo> columns;
        columns.reserve(count);
        for (int i = 0; i < count; ++i) {
            const char* decl = sqlite3_column_decltype(stmt, i);
            columns.push_back(ColumnInfoFromDeclaredType(sqlite3_column_name(stmt, i), decl ? decl : ""));
        }
        return columns;
    }

    // Steps up to `limit` rows (all when negative) into the sink; true when the
    // statement has more rows (or the sink stopped early).
    bool Step(sqlite3_stmt* stmt, TRowSink& sink, int limit, std::vector<Variant>& row) {
        const int count = sqlite3_column_count(stmt);
        row.resize(static_cast<size_t>(count));
        for (int done = 0; limit < 0 || done < limit; ++done) {
            const int rc = sqlite3_step(stmt);
            if (rc == SQLITE_DONE) return false;
            if (rc != SQLITE_ROW) Fail("Query failed");
            for (int i = 0; i < count; ++i) {
                switch (sqlite3_column_type(stmt, i)) {
                    case SQLITE_NULL: row[i] = Variant::Null(); break;
                    case SQLITE_INTEGER: row[i] = static_cast<long long>(sqlite3_column_int64(stmt, i)); break;
                    case SQLITE_FLOAT: row[i] = sqlite3_column_double(stmt, i); break;
                    default: {
                        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                        row[i] = std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, i)));
                    }
                }
            }
            if (!sink.OnRow(row)) return true;
        }
        return true;
    }

    void Read(sqlite3_stmt* stmt, TRowSink& sink) {
        sink.OnColumns(Columns(stmt));
        std::vector<Variant> row;
        Step(stmt, sink, -1, row);
        sqlite3_reset(stmt);
    }

    // Prepares text of client origin: reading only, exactly one statement.
    StmtPtr PrepareReadOnly(std::string_view sql) {
        StmtPtr stmt;
        AuthorizerGuard guard(db);
        sqlite3_stmt* raw = nullptr;
        const char* tail = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail);
        stmt.reset(raw);
        if ((rc & 0xff) == SQLITE_AUTH && guard.credentialDenied)
            throw EAccessError("Credentials cannot be read: " + std::string(sqlite3_errmsg(db)));
        if ((rc & 0xff) == SQLITE_AUTH)
            throw EReadOnlyError("Only reading is allowed here: " + std::string(sqlite3_errmsg(db)));
        if (rc != SQLITE_OK) Fail("Cannot prepare query");
        if (!stmt) throw EStorageError("Empty query");
        // Whatever follows must prepare to nothing (blanks and comments only).
        const char* end = sql.data() + sql.size();
        while (tail && tail < end) {
            sqlite3_stmt* next = nullptr;
            const char* nextTail = nullptr;
            const int tailRc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &next, &nextTail);
            if (next || tailRc != SQLITE_OK) {
                sqlite3_finalize(next);
                throw EReadOnlyError("Only one statement is allowed here");
            }
            if (nextTail == tail) break;
            tail = nextTail;
        }
        if (!sqlite3_stmt_readonly(stmt.get())) throw EReadOnlyError("Only reading is allowed here");
        return stmt;
    }

    void Plain(const char* sql) {
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(sql);
    }
};

TSqliteStorage::TSqliteStorage(const std::string& path) : impl_(std::make_unique<Impl>()) {
    const int rc = sqlite3_open_v2(path.c_str(), &impl_->db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string message = impl_->db ? sqlite3_errmsg(impl_->db) : "out of memory";
        sqlite3_close(impl_->db);
        throw EStorageError("Cannot open database " + path + ": " + message);
    }
    sqlite3_extended_result_codes(impl_->db, 1);
    sqlite3_busy_timeout(impl_->db, 10000);
    impl_->Plain("PRAGMA journal_mode=WAL");
    impl_->Plain("PRAGMA synchronous=NORMAL");
    impl_->Plain("PRAGMA foreign_keys=ON");
}

TSqliteStorage::~TSqliteStorage() {
    impl_->cache.clear();
    sqlite3_close(impl_->db);
}

int64_t TSqliteStorage::Execute(std::string_view sql, const TParams& params) {
    sqlite3_stmt* stmt = impl_->Cached(sql);
    impl_->Bind(stmt, params);
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    }
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) impl_->Fail("Statement failed");
    return sqlite3_changes64(impl_->db);
}

void TSqliteStorage::Query(std::string_view sql, const TParams& params, TRowSink& sink) {
    sqlite3_stmt* stmt = impl_->Cached(sql);
    impl_->Bind(stmt, params);
    try {
        impl_->Read(stmt, sink);
    } catch (...) {
        sqlite3_reset(stmt);
        throw;
    }
}

void TSqliteStorage::QueryReadOnly(std::string_view sql, const TParams& params, TRowSink& sink) {
    StmtPtr stmt = impl_->PrepareReadOnly(sql);
    impl_->Bind(stmt.get(), params);
    impl_->Read(stmt.get(), sink);
}

namespace {
class SqliteCursor : public TStorageCursor {
public:
    SqliteCursor(TSqliteStorage::Impl& impl, StmtPtr stmt) : impl_(impl), stmt_(std::move(stmt)) {}
    bool Fetch(int count, TRowSink& sink) override {
        if (!announced_) {
            sink.OnColumns(impl_.Columns(stmt_.get()));
            announced_ = true;
        }
        if (finished_) return false;
        finished_ = !impl_.Step(stmt_.get(), sink, count, row_);
        return !finished_;
    }

private:
    TSqliteStorage::Impl& impl_;
    StmtPtr stmt_;
    std::vector<Variant> row_;
    bool announced_ = false, finished_ = false;
};
}  // namespace

std::unique_ptr<TStorageCursor> TSqliteStorage::OpenCursor(std::string_view sql, const TParams& params) {
    StmtPtr stmt = impl_->PrepareReadOnly(sql);
    impl_->Bind(stmt.get(), params);
    return std::make_unique<SqliteCursor>(*impl_, std::move(stmt));
}

void TSqliteStorage::ExecuteScript(std::string_view script) {
    const std::string text(script);
    char* error = nullptr;
    if (sqlite3_exec(impl_->db, text.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw EStorageError("Script failed: " + message);
    }
}

bool TSqliteStorage::TableExists(std::string_view table) {
    return !QueryValue("SELECT 1 FROM sqlite_master WHERE type='table' AND upper(name)=upper(?)",
                       {Variant(table)})
                .IsEmpty();
}

void TSqliteStorage::Begin() { impl_->Plain("BEGIN IMMEDIATE"); }
void TSqliteStorage::Commit() { impl_->Plain("COMMIT"); }
void TSqliteStorage::Rollback() { impl_->Plain("ROLLBACK"); }
bool TSqliteStorage::InTransaction() const { return sqlite3_get_autocommit(impl_->db) == 0; }
