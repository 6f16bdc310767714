#include "services/appserver/PgStorage.h"

#include <libpq-fe.h>

#include <cctype>
#include <unordered_map>

#include "platform/core/Strings.h"

namespace {

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using ResultPtr = std::unique_ptr<PGresult, ResultDeleter>;

// Type oids of the built-in types we map to numbers.
constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;
constexpr Oid kBpChar = 1042, kVarChar = 1043;

bool IsPlainIdentifier(std::string_view s) {
    if (s.empty() || s.size() > 63) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return !std::isdigit(static_cast<unsigned char>(s[0]));
}

std::string ColumnName(const char* name) {
    std::string s(name);
    for (char c : s)
        if (std::isupper(static_cast<unsigned char>(c))) return s;
    return UpperCase(s);
}

// Text form of a parameter; nullopt-like flag for SQL NULL.
struct ParamTexts {
    std::vector<std::string> texts;
    std::vector<const char*> pointers;
    explicit ParamTexts(const TParams& params) {
        texts.reserve(params.size());
        pointers.reserve(params.size());
        for (const Variant& v : params) {
            if (v.IsClear()) {
                texts.emplace_back();
                continue;
            }
            if (v.Type() == VarType::Boolean) texts.push_back(v.AsBoolean() ? "1" : "0");
            else texts.push_back(v.AsString());
        }
        for (size_t i = 0; i < params.size(); ++i) pointers.push_back(params[i].IsClear() ? nullptr : texts[i].c_str());
    }
};

// Opens a connection with the client encoding set and notices (such as "schema
// already exists") kept quiet. Raises EStorageError.
PGconn* OpenConnection(const std::string& conninfo, const std::string& who) {
    PGconn* conn = PQconnectdb(conninfo.c_str());
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string message = Trim(PQerrorMessage(conn));
        PQfinish(conn);
        throw EStorageError("Cannot connect to PostgreSQL" + who + ": " + message);
    }
    PQsetClientEncoding(conn, "UTF8");
    PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    return conn;
}

std::string QuoteIdentifier(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        if (c == '"') out += '"';
        out += c;
    }
    return out + "\"";
}

}  // namespace

// Two connections: `conn` runs the server's own statements as the owner of the
// schema; `reader` (opened on first use) runs client text as kClientReaderRole,
// which may read the company's tables but not the credential column. A client
// statement can switch roles only among those its login belongs to, and the
// reader's login belongs to no other role, so no text can widen what it reads.
struct TPgStorage::Impl {
    PGconn* conn = nullptr;
    PGconn* reader = nullptr;
    std::string conninfo;
    std::string schema;
    std::unordered_map<std::string, std::string> prepared;  // numbered SQL -> statement name
    int cursors = 0;

    ~Impl() {
        if (reader) PQfinish(reader);
        if (conn) PQfinish(conn);
    }

    [[noreturn]] void Fail(const std::string& what, const PGresult* res, PGconn* on = nullptr) const {
        const char* state = res ? PQresultErrorField(res, PG_DIAG_SQLSTATE) : nullptr;
        std::string message = res ? PQresultErrorMessage(res) : PQerrorMessage(on ? on : conn);
        message = Trim(message);
        if (state && std::string_view(state) == "25006") throw EReadOnlyError("Only reading is allowed here: " + message);
        if (state && std::string_view(state) == "42501") throw EAccessError("Not allowed here: " + message);
        throw EStorageError(what + ": " + message);
    }

    void Plain(const std::string& sql, PGconn* on = nullptr) {
        ResultPtr res(PQexec(on ? on : conn, sql.c_str()));
        const auto status = PQresultStatus(res.get());
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(sql, res.get(), on);
    }

    // The connection for client text, opened as the reader role on first use.
    PGconn* Reader() {
        if (reader) return reader;
        reader = OpenConnection(ReaderConnInfo(conninfo), " as " + std::string(kClientReaderRole));
        try {
            Plain("SET search_path TO " + QuoteIdentifier(schema), reader);
        } catch (...) {
            PQfinish(reader);
            reader = nullptr;
            throw;
        }
        return reader;
    }

    const std::string& Prepare(const std::string& numbered, int paramCount) {
        auto it = prepared.find(numbered);
        if (it != prepared.end()) return it->second;
        std::string name = "s" + std::to_string(prepared.size() + 1);
        ResultPtr res(PQprepare(conn, name.c_str(), numbered.c_str(), paramCount, nullptr));
        if (PQresultStatus(res.get()) != PGRES_COMMAND_OK) Fail("Cannot prepare statement", res.get());
        return prepared.emplace(numbered, std::move(name)).first->second;
    }

    static std::vector<TColumnInfo> Columns(const PGresult* res) {
        std::vector<TColumnInfo> columns;
        const int n = PQnfields(res);
        columns.reserve(n);
        for (int i = 0; i < n; ++i) {
            TColumnInfo c;
            c.Name = ColumnName(PQfname(res, i));
            const Oid type = PQftype(res, i);
            if (type == kInt2 || type == kInt4 || type == kInt8) c.Type = TColumnType::Integer;
            else if (type == kFloat4 || type == kFloat8 || type == kNumeric) c.Type = TColumnType::Float;
            else if ((type == kVarChar || type == kBpChar) && PQfmod(res, i) > 4) c.Size = PQfmod(res, i) - 4;
            columns.push_back(std::move(c));
        }
        return columns;
    }

    static void ReadRow(const PGresult* res, int r, const std::vector<TColumnInfo>& columns, std::vector<Variant>& row) {
        for (size_t i = 0; i < columns.size(); ++i) {
            const int c = static_cast<int>(i);
            if (PQgetisnull(res, r, c)) {
                row[i] = Variant::Null();
                continue;
            }
            const char* text = PQgetvalue(res, r, c);
            switch (columns[i].Type) {
                case TColumnType::Integer: row[i] = static_cast<long long>(std::strtoll(text, nullptr, 10)); break;
                case TColumnType::Float: row[i] = std::strtod(text, nullptr); break;
                default: row[i] = std::string(text, static_cast<size_t>(PQgetlength(res, r, c)));
            }
        }
    }

    // Reads the results of a query sent in single-row mode. Every result is
    // consumed, also when the sink stops early or raises, so the connection stays usable.
    void Drain(PGconn* on, TRowSink& sink) {
        std::vector<TColumnInfo> columns;
        std::vector<Variant> row;
        bool announced = false, wanted = true;
        ResultPtr failure;
        std::exception_ptr sinkError;
        while (PGresult* raw = PQgetResult(on)) {
            ResultPtr res(raw);
            const auto status = PQresultStatus(raw);
            if (status == PGRES_SINGLE_TUPLE || status == PGRES_TUPLES_OK) {
                if (!announced) {
                    columns = Columns(raw);
                    row.resize(columns.size());
                    announced = true;
                    try {
                        sink.OnColumns(columns);
                    } catch (...) {
                        sinkError = std::current_exception();
                        wanted = false;
                    }
                }
                if (status == PGRES_SINGLE_TUPLE && wanted && !sinkError) {
                    ReadRow(raw, 0, columns, row);
                    try {
                        wanted = sink.OnRow(row);
                    } catch (...) {
                        sinkError = std::current_exception();
                        wanted = false;
                    }
                }
            } else if (status != PGRES_COMMAND_OK && !failure) {
                failure = std::move(res);
            }
        }
        if (failure) Fail("Query failed", failure.get(), on);
        if (sinkError) std::rethrow_exception(sinkError);
    }
};

TPgStorage::TPgStorage(const std::string& conninfo, const std::string& schema, bool create)
    : impl_(std::make_unique<Impl>()) {
    if (!IsPlainIdentifier(schema)) throw EStorageError("Invalid database name: " + schema);
    impl_->conn = OpenConnection(conninfo, "");
    impl_->conninfo = conninfo;
    impl_->schema = LowerCase(schema);
    if (create) {
        impl_->Plain("CREATE SCHEMA IF NOT EXISTS " + QuoteIdentifier(impl_->schema));
    } else if (QueryValue("SELECT 1 FROM pg_namespace WHERE nspname = ?", {impl_->schema}).IsEmpty()) {
        throw EStorageError("No database " + schema);
    }
    impl_->Plain("SET search_path TO " + QuoteIdentifier(impl_->schema));
}

TPgStorage::~TPgStorage() = default;

std::string TPgStorage::ReaderConnInfo(const std::string& conninfo) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (!options) {
        const std::string message = error ? Trim(error) : "out of memory";
        PQfreemem(error);
        throw EStorageError("Cannot read the PostgreSQL connection settings: " + message);
    }
    std::string out;
    for (const PQconninfoOption* o = options; o->keyword; ++o) {
        const std::string_view keyword = o->keyword;
        if (!o->val || keyword == "user" || keyword == "password") continue;
        out += keyword;
        out += "='";
        for (const char* c = o->val; *c; ++c) {
            if (*c == '\\' || *c == '\'') out += '\\';
            out += *c;
        }
        out += "' ";
    }
    PQconninfoFree(options);
    return out + "user=" + std::string(kClientReaderRole) + " password=''";
}

std::string TPgStorage::NumberPlaceholders(std::string_view sql) {
    std::string out;
    out.reserve(sql.size() + 8);
    int n = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            const size_t end = sql.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? sql.size() : end + 1;
            out.append(sql.substr(i, stop - i));
            i = stop - 1;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            const size_t end = sql.find('\n', i);
            const size_t stop = end == std::string_view::npos ? sql.size() : end;
            out.append(sql.substr(i, stop - i));
            i = stop - 1;
        } else if (c == '?') {
            out += '$';
            out += std::to_string(++n);
        } else {
            out += c;
        }
    }
    return out;
}

int64_t TPgStorage::Execute(std::string_view sql, const TParams& params) {
    const std::string& name = impl_->Prepare(NumberPlaceholders(sql), static_cast<int>(params.size()));
    ParamTexts texts(params);
    ResultPtr res(PQexecPrepared(impl_->conn, name.c_str(), static_cast<int>(params.size()), texts.pointers.data(),
                                 nullptr, nullptr, 0));
    const auto status = PQresultStatus(res.get());
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) impl_->Fail("Statement failed", res.get());
    const char* changed = PQcmdTuples(res.get());
    return changed && *changed ? std::strtoll(changed, nullptr, 10) : 0;
}

void TPgStorage::Query(std::string_view sql, const TParams& params, TRowSink& sink) {
    const std::string& name = impl_->Prepare(NumberPlaceholders(sql), static_cast<int>(params.size()));
    ParamTexts texts(params);
    if (!PQsendQueryPrepared(impl_->conn, name.c_str(), static_cast<int>(params.size()), texts.pointers.data(), nullptr,
                             nullptr, 0))
        impl_->Fail("Cannot send query", nullptr);
    PQsetSingleRowMode(impl_->conn);
    impl_->Drain(impl_->conn, sink);
}

void TPgStorage::QueryReadOnly(std::string_view sql, const TParams& params, TRowSink& sink) {
    if (InTransaction()) throw EStorageError("A read-only query cannot run inside a transaction");
    const std::string numbered = NumberPlaceholders(sql);
    PGconn* reader = impl_->Reader();
    impl_->Plain("BEGIN READ ONLY", reader);
    try {
        ParamTexts texts(params);
        // PQsendQueryParams refuses a text of several statements.
        if (!PQsendQueryParams(reader, numbered.c_str(), static_cast<int>(params.size()), nullptr,
                               texts.pointers.data(), nullptr, nullptr, 0))
            impl_->Fail("Cannot send query", nullptr, reader);
        PQsetSingleRowMode(reader);
        impl_->Drain(reader, sink);
        impl_->Plain("COMMIT", reader);
    } catch (...) {
        ResultPtr res(PQexec(reader, "ROLLBACK"));
        throw;
    }
}

namespace {
// A cursor declared WITH HOLD inside a READ ONLY transaction: PostgreSQL keeps
// its rows after the transaction ends, so the connection stays free for other
// statements (and transactions) between fetches.
class PgCursor : public TStorageCursor {
public:
    PgCursor(PGconn* conn, std::string name) : conn_(conn), name_(std::move(name)) {}
    ~PgCursor() override { ResultPtr res(PQexec(conn_, ("CLOSE " + name_).c_str())); }
    bool Fetch(int count, TRowSink& sink) override {
        if (!batch_ && !serverDone_) Next(count < 0 ? -1 : std::max(count, kBatch));
        if (!announced_) {
            sink.OnColumns(columns_);
            announced_ = true;
        }
        for (int served = 0; count < 0 || served < count; ++served) {
            if (batch_ && row_ >= PQntuples(batch_.get())) {
                batch_.reset();
                if (serverDone_) break;
                Next(count < 0 ? -1 : std::max(count - served, kBatch));
            }
            if (!batch_ || row_ >= PQntuples(batch_.get())) break;
            TPgStorage::Impl::ReadRow(batch_.get(), row_++, columns_, values_);
            if (!sink.OnRow(values_)) return true;
        }
        return !(serverDone_ && (!batch_ || row_ >= PQntuples(batch_.get())));
    }

private:
    // Rows are fetched from the server in batches, so a packet costs no round trip.
    static constexpr int kBatch = 1000;

    void Next(int rows) {
        const std::string sql = rows < 0 ? "FETCH ALL FROM " + name_ : "FETCH FORWARD " + std::to_string(rows) + " FROM " + name_;
        ResultPtr res(PQexec(conn_, sql.c_str()));
        if (PQresultStatus(res.get()) != PGRES_TUPLES_OK)
            throw EStorageError("Fetch failed: " + Trim(PQresultErrorMessage(res.get())));
        if (columns_.empty()) {
            columns_ = TPgStorage::Impl::Columns(res.get());
            values_.resize(columns_.size());
        }
        serverDone_ = rows < 0 || PQntuples(res.get()) < rows;
        batch_ = std::move(res);
        row_ = 0;
    }

    PGconn* conn_;
    std::string name_;
    std::vector<TColumnInfo> columns_;
    std::vector<Variant> values_;
    ResultPtr batch_;
    int row_ = 0;
    bool announced_ = false, serverDone_ = false;
};
}  // namespace

std::unique_ptr<TStorageCursor> TPgStorage::OpenCursor(std::string_view sql, const TParams& params) {
    if (InTransaction()) throw EStorageError("A cursor cannot be opened inside a transaction");
    const std::string name = "c" + std::to_string(++impl_->cursors);
    // DECLARE takes a query only, and the extended protocol a single statement.
    const std::string declare = "DECLARE " + name + " NO SCROLL CURSOR WITH HOLD FOR " + NumberPlaceholders(sql);
    PGconn* reader = impl_->Reader();
    impl_->Plain("BEGIN READ ONLY", reader);
    try {
        ParamTexts texts(params);
        ResultPtr res(PQexecParams(reader, declare.c_str(), static_cast<int>(params.size()), nullptr,
                                   texts.pointers.data(), nullptr, nullptr, 0));
        if (PQresultStatus(res.get()) != PGRES_COMMAND_OK) impl_->Fail("Cannot open query", res.get(), reader);
        impl_->Plain("COMMIT", reader);
    } catch (...) {
        ResultPtr res(PQexec(reader, "ROLLBACK"));
        throw;
    }
    return std::make_unique<PgCursor>(reader, name);
}

void TPgStorage::ExecuteScript(std::string_view script) { impl_->Plain(std::string(script)); }

bool TPgStorage::TableExists(std::string_view table) {
    return !QueryValue("SELECT 1 FROM information_schema.tables WHERE table_schema = current_schema() AND "
                       "table_name = lower(?)",
                       {Variant(table)})
                .IsEmpty();
}

void TPgStorage::Begin() { impl_->Plain("BEGIN"); }
void TPgStorage::Commit() { impl_->Plain("COMMIT"); }
void TPgStorage::Rollback() { impl_->Plain("ROLLBACK"); }
bool TPgStorage::InTransaction() const { return PQtransactionStatus(impl_->conn) != PQTRANS_IDLE; }

void TPgStorage::GrantClientReads() {
    const std::string schema = QuoteIdentifier(impl_->schema), role = QuoteIdentifier(kClientReaderRole);
    const std::string credentials = QuoteIdentifier(LowerCase(kCredentialTable));
    std::string columns;
    for (const auto& row : QueryRows("SELECT column_name FROM information_schema.columns WHERE table_schema = "
                                     "current_schema() AND table_name = lower(?) AND column_name <> lower(?) "
                                     "ORDER BY ordinal_position",
                                     {Variant(kCredentialTable), Variant(kCredentialColumn)}))
        columns += (columns.empty() ? "" : ", ") + QuoteIdentifier(row[0].AsString());
    impl_->Plain("GRANT USAGE ON SCHEMA " + schema + " TO " + role);
    impl_->Plain("GRANT SELECT ON ALL TABLES IN SCHEMA " + schema + " TO " + role);
    if (!TableExists(kCredentialTable)) return;
    // The table grant covers every column: the credential table gets a column grant instead.
    impl_->Plain("REVOKE SELECT ON " + credentials + " FROM " + role);
    if (!columns.empty()) impl_->Plain("GRANT SELECT (" + columns + ") ON " + credentials + " TO " + role);
}

void TPgStorage::DropSchema() {
    impl_->Plain("DROP SCHEMA IF EXISTS " + QuoteIdentifier(impl_->schema) + " CASCADE");
}
