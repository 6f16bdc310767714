// Application server throughput, as ratios against the raw database library on
// the same data in one run:
//  - fetching 100,000 AJSMB records through "pvdMain" in packets of 40, in-process
//    and over TCP on loopback, against a raw SELECT of the same rows;
//  - applying 10,000 one-record edits against raw UPDATE statements;
//  - the daemon's memory per connection.
// SQLite always; PostgreSQL too when VELMORA_TEST_PG holds a connection string.
//   appserver_bench [records]
#include <libpq-fe.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/db/Provider.h"
#include "services/appserver/AppServer.h"
#include "services/appserver/AppServerDaemon.h"
#include "services/appserver/PgStorage.h"
#include "services/appserver/RemoteServer.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& f) {
    const auto start = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long RssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
    return 0;
}

constexpr const char* kDatabase = "BENCH";

void Fill(TStorage& db, int records) {
    TTransaction tx(db);
    db.Execute("DELETE FROM AJSMB");
    for (int i = 0; i < records; ++i) {
        char code[8];
        std::snprintf(code, sizeof code, "%04d", i % 10000);
        db.Execute("INSERT INTO AJSMB (MB001, MB002, MB003, MB048, MB021, MB018, MB022, MB019, MB020, MB034, MB006, "
                   "MB035, MB012, COMPANY, CREATOR, USR_GROUP, CREATE_DATE, FLAG) VALUES (?, ?, '9101', '1', 'Y', '123', "
                   "'12', ?, '1', '2', '660201', '2', '2202', 'DEMO', 'DS', 'ADMIN', '20240105', 1)",
                   {"B" + std::to_string(i / 10000), code, "备注 " + std::to_string(i)});
    }
    tx.Commit();
}

std::string MainSelect(TStorage& db) {
    return db.QueryValue("SELECT MAIN_SELECT FROM PROGDEF WHERE PROGRAM_ID = 'TOVI58'").AsString() +
           " ORDER BY AJSMB.MB001, AJSMB.MB002";
}

// Fetches every row in packets of 40; decoded as a client dataset decodes them,
// or only counted (the server's share of the work).
long long FetchAll(const Variant& server, bool decode = true) {
    long long rows = 0;
    for (;;) {
        const Variant packet = server.Call("GetRecords", "pvdMain", 40, static_cast<int>(rows), Variant());
        if (decode) {
            const TDataPacket p = DecodeDataPacket(packet);
            rows += p.RowCount();
            if (p.Eof) return rows;
        } else {
            rows += packet[1].Count(1);
            if (packet[2].AsBoolean()) return rows;
        }
    }
}

Variant ConnectTo(Variant server) {
    Variant params = Variant::ArrayOf({"TOVI58", "DS", "DEMO", kDatabase, true, true});
    if (server.Call("Connect", ByRef(params)).AsInt() != 0) throw Exception("Connect failed");
    return server;
}

void Edits(const Variant& server, int edits) {
    const TDataPacket p = DecodeDataPacket(server.Call("GetRecords", "pvdMain", edits, 0, Variant()));
    const int remark = p.Fields.IndexOf("MB019");
    for (int r = 0; r < p.RowCount(); ++r) {
        TDelta delta;
        delta.Fields = p.Fields;
        std::vector<Variant> old;
        for (int f = 0; f < p.Fields.Count(); ++f) old.push_back(p.Rows.At(r, f));
        Variant changed = Variant::CreateArray({VarBounds{0, p.Fields.Count() - 1}});
        changed[remark] = "改 " + std::to_string(r);
        delta.Changes = {{TUpdateKind::ukModify, Variant::ArrayOf(old), changed}};
        Variant errors = 0;
        server.Call("ApplyUpdates", "pvdMain", EncodeDelta(delta), 0, ByRef(errors));
        if (errors.AsInt() != 0) throw Exception("edit rejected");
    }
}

void Report(const char* what, double rate, double baseline, const char* unit) {
    std::printf("  %-38s %12.0f %s/s   ratio to raw %.2f\n", what, rate, unit, rate / baseline);
}

void Run(const char* backend, const TServerSettings& settings, int records,
         const std::function<double(const std::string&)>& rawFetch,
         const std::function<double(int)>& rawUpdates) {
    std::printf("%s, %d records\n", backend, records);
    auto db = OpenCompanyDatabase(settings, kDatabase);
    Fill(*db, records);
    const std::string select = MainSelect(*db);
    db.reset();

    const double raw = records / rawFetch(select);
    std::printf("  %-38s %12.0f rows/s\n", "raw SELECT", raw);
    Variant local = ConnectTo(Variant(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(settings))));
    long long got = 0;
    Report("pvdMain in-process, packets of 40", records / Seconds([&] { got = FetchAll(local); }), raw, "rows");
    if (got != records) std::printf("  !! fetched %lld rows\n", got);
    Report("  the same, server side only (no decode)", records / Seconds([&] { got = FetchAll(local, false); }), raw,
           "rows");

    TDaemonOptions options;
    options.Port = 0;
    options.Settings = settings;
    TAppServerDaemon daemon(options);
    daemon.Start();
    TRemoteOptions login;
    login.Port = daemon.Port();
    login.Database = kDatabase;
    login.User = "DS";
    login.Password = "demo";
    Variant remote = ConnectTo(Variant(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(login))));
    Report("pvdMain over TCP, packets of 40", records / Seconds([&] { got = FetchAll(remote); }), raw, "rows");

    const int edits = 10000;
    const double rawEdits = edits / rawUpdates(edits);
    std::printf("  %-38s %12.0f edits/s\n", "raw UPDATE, one per transaction", rawEdits);
    Report("ApplyUpdates in-process, one edit each", edits / Seconds([&] { Edits(local, edits); }), rawEdits, "edits");

    // Memory of the daemon per connection: connections that logged in and connected.
    const int connections = 20;
    std::vector<Variant> clients;
    const long before = RssKb();
    for (int i = 0; i < connections; ++i) {
        clients.push_back(ConnectTo(Variant(std::static_pointer_cast<IDispatch>(TRemoteServer::Connect(login)))));
        clients.back().Call("GetRecords", "pvdMain", 40, 0, Variant());
    }
    const long after = RssKb();
    std::printf("  %-38s %12ld KiB (client and daemon share this process)\n", "memory per connection",
                (after - before) / connections);
}

}  // namespace

int main(int argc, char** argv) {
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const auto folder = std::filesystem::temp_directory_path() / "velmora-appserver-bench";
    std::filesystem::remove_all(folder);
    TServerSettings sqlite;
    sqlite.DataFolder = folder.string();
    const std::string file = sqlite.DataFolder + "/" + kDatabase + ".db";
    Run("SQLite", sqlite, records,
        [&](const std::string& select) {
            sqlite3* db = nullptr;
            sqlite3_open(file.c_str(), &db);
            const double t = Seconds([&] {
                sqlite3_stmt* stmt = nullptr;
                sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr);
                std::vector<std::string> row(static_cast<size_t>(sqlite3_column_count(stmt)));
                while (sqlite3_step(stmt) == SQLITE_ROW)
                    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
                        const unsigned char* text = sqlite3_column_text(stmt, i);
                        row[i].assign(text ? reinterpret_cast<const char*>(text) : "");
                    }
                sqlite3_finalize(stmt);
            });
            sqlite3_close(db);
            return t;
        },
        [&](int edits) {
            sqlite3* db = nullptr;
            sqlite3_open(file.c_str(), &db);
            sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
            sqlite3_stmt* stmt = nullptr;
            sqlite3_prepare_v2(db, "UPDATE AJSMB SET MB019 = ?, FLAG = FLAG + 1 WHERE MB001 = ? AND MB002 = ?", -1, &stmt, nullptr);
            const double t = Seconds([&] {
                for (int i = 0; i < edits; ++i) {
                    char code[8];
                    std::snprintf(code, sizeof code, "%04d", i % 10000);
                    const std::string remark = "raw " + std::to_string(i), group = "B" + std::to_string(i / 10000);
                    sqlite3_bind_text(stmt, 1, remark.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(stmt, 2, group.c_str(), -1, SQLITE_TRANSIENT);
                    sqlite3_bind_text(stmt, 3, code, -1, SQLITE_TRANSIENT);
                    sqlite3_step(stmt);
                    sqlite3_reset(stmt);
                }
            });
            sqlite3_finalize(stmt);
            sqlite3_close(db);
            return t;
        });

    const char* pg = std::getenv("VELMORA_TEST_PG");
    if (!pg || !*pg) {
        std::printf("PostgreSQL: skipped (VELMORA_TEST_PG is not set)\n");
        return 0;
    }
    TServerSettings postgres;
    postgres.Kind = TStorageKind::PostgreSQL;
    postgres.ConnInfo = pg;
    const std::string schema = "bench";
    auto open = [&] {
        PGconn* c = PQconnectdb(pg);
        PQclear(PQexec(c, ("SET search_path TO " + schema).c_str()));
        return c;
    };
    Run("PostgreSQL", postgres, records,
        [&](const std::string& select) {
            PGconn* c = open();
            const double t = Seconds([&] {
                PGresult* r = PQexec(c, select.c_str());
                std::string cell;
                for (int i = 0; i < PQntuples(r); ++i)
                    for (int j = 0; j < PQnfields(r); ++j) cell.assign(PQgetvalue(r, i, j));
                PQclear(r);
            });
            PQfinish(c);
            return t;
        },
        [&](int edits) {
            PGconn* c = open();
            PQclear(PQprepare(c, "u", "UPDATE AJSMB SET MB019 = $1, FLAG = FLAG + 1 WHERE MB001 = $2 AND MB002 = $3", 3, nullptr));
            const double t = Seconds([&] {
                for (int i = 0; i < edits; ++i) {
                    char code[8];
                    std::snprintf(code, sizeof code, "%04d", i % 10000);
                    const std::string remark = "raw " + std::to_string(i), group = "B" + std::to_string(i / 10000);
                    const char* values[3] = {remark.c_str(), group.c_str(), code};
                    PQclear(PQexecPrepared(c, "u", 3, values, nullptr, nullptr, 0));
                }
            });
            PQfinish(c);
            return t;
        });
    TPgStorage(pg, schema).DropSchema();
    return 0;
}
