#include <gtest/gtest.h>

#include "services/appserver/PgStorage.h"
#include "tests/services/appserver/TestBackends.h"

namespace {

class StorageTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override {
        SKIP_WITHOUT_BACKEND(db);
        storage = db.Connect();
        storage->ExecuteScript(
            "CREATE TABLE ITEMS (CODE VARCHAR(10) NOT NULL PRIMARY KEY, NAME VARCHAR(40), QTY INTEGER, "
            "PRICE DOUBLE PRECISION);"
            "INSERT INTO ITEMS VALUES ('A1', '甲', 1, 1.5);");
        TTestDatabase::AllowClientReads(*storage);
    }
    TTestDatabase db{GetParam()};
    std::unique_ptr<TStorage> storage;
};

TEST_P(StorageTest, ValuesRoundTripWithTheirKinds) {
    EXPECT_EQ(1, storage->Execute("INSERT INTO ITEMS (CODE, NAME, QTY, PRICE) VALUES (?, ?, ?, ?)",
                                  {"B2", Variant::Null(), 42, 0.25}));
    TRowCollector rows;
    storage->Query("SELECT CODE, NAME, QTY, PRICE FROM ITEMS ORDER BY CODE", {}, rows);
    ASSERT_EQ(4u, rows.Columns.size());
    EXPECT_EQ("CODE", rows.Columns[0].Name);
    EXPECT_EQ(10, rows.Columns[0].Size);
    EXPECT_EQ(TColumnType::Integer, rows.Columns[2].Type);
    EXPECT_EQ(TColumnType::Float, rows.Columns[3].Type);
    ASSERT_EQ(2u, rows.Rows.size());
    EXPECT_EQ("甲", rows.Rows[0][1].AsString());
    EXPECT_TRUE(rows.Rows[1][1].IsNull());
    EXPECT_EQ(VarType::Integer, rows.Rows[1][2].Type());
    EXPECT_EQ(42, rows.Rows[1][2].AsInteger());
    EXPECT_DOUBLE_EQ(0.25, rows.Rows[1][3].AsDouble());
}

TEST_P(StorageTest, QuotesInValuesStayValues) {
    const std::string tricky = "x'); DELETE FROM ITEMS; --";
    storage->Execute("INSERT INTO ITEMS (CODE, NAME) VALUES (?, ?)", {"Q", tricky});
    EXPECT_EQ(tricky, storage->QueryValue("SELECT NAME FROM ITEMS WHERE CODE = ?", {"Q"}).AsString());
    EXPECT_EQ(2, storage->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
}

TEST_P(StorageTest, TransactionGuardRollsBackUnlessCommitted) {
    {
        TTransaction tx(*storage);
        storage->Execute("DELETE FROM ITEMS");
        EXPECT_TRUE(storage->InTransaction());
    }
    EXPECT_FALSE(storage->InTransaction());
    EXPECT_EQ(1, storage->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
    {
        TTransaction tx(*storage);
        storage->Execute("DELETE FROM ITEMS");
        tx.Commit();
    }
    EXPECT_EQ(0, storage->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
}

TEST_P(StorageTest, AFailedStatementLeavesTheConnectionUsable) {
    EXPECT_THROW(storage->Execute("INSERT INTO ITEMS (CODE) VALUES (?)", {"A1"}), EStorageError);
    EXPECT_THROW(storage->Query("SELECT NOPE FROM ITEMS", {}, *std::make_unique<TRowCollector>()), EStorageError);
    EXPECT_EQ(1, storage->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
}

TEST_P(StorageTest, ReadOnlyQueriesRefuseEveryWrite) {
    struct Case {
        const char* name;
        const char* sql;
    };
    const Case refused[] = {
        {"insert", "INSERT INTO ITEMS (CODE) VALUES ('Z')"},
        {"update", "UPDATE ITEMS SET NAME = 'x'"},
        {"delete", "DELETE FROM ITEMS"},
        {"drop", "DROP TABLE ITEMS"},
        {"create", "CREATE TABLE X (A INTEGER)"},
        {"second statement", "SELECT 1 FROM ITEMS; DELETE FROM ITEMS"},
        {"write in sub-select", "SELECT * FROM ITEMS WHERE CODE IN (SELECT 'x') ; UPDATE ITEMS SET QTY = 0"},
        {"function handing out raw pointers", "SELECT fts3_tokenizer('simple')"},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        TRowCollector rows;
        EXPECT_THROW(storage->QueryReadOnly(c.sql, {}, rows), EStorageError);
        EXPECT_FALSE(storage->InTransaction());
    }
    EXPECT_EQ(1, storage->QueryValue("SELECT COUNT(*) FROM ITEMS WHERE NAME = ?", {"甲"}).AsInteger());

    TRowCollector rows;
    storage->QueryReadOnly("SELECT CODE FROM ITEMS WHERE QTY = ? -- trailing comment", {1}, rows);
    ASSERT_EQ(1u, rows.Rows.size());
    EXPECT_EQ("A1", rows.Rows[0][0].AsString());
}

TEST_P(StorageTest, SinkMayStopEarly) {
    for (int i = 0; i < 5; ++i) storage->Execute("INSERT INTO ITEMS (CODE) VALUES (?)", {"R" + std::to_string(i)});
    struct FirstTwo : TRowSink {
        int seen = 0;
        void OnColumns(const std::vector<TColumnInfo>&) override {}
        bool OnRow(std::vector<Variant>&) override { return ++seen < 2; }
    } sink;
    storage->Query("SELECT CODE FROM ITEMS", {}, sink);
    EXPECT_EQ(2, sink.seen);
    EXPECT_EQ(6, storage->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
}

TEST_P(StorageTest, TwoConnectionsSeeCommittedWork) {
    auto other = db.Connect();
    storage->Execute("INSERT INTO ITEMS (CODE) VALUES ('C3')");
    EXPECT_EQ(2, other->QueryValue("SELECT COUNT(*) FROM ITEMS").AsInteger());
    EXPECT_TRUE(other->TableExists("items"));
    EXPECT_FALSE(other->TableExists("NOSUCH"));
}

INSTANTIATE_TEST_SUITE_P(Backends, StorageTest, ::testing::ValuesIn(AllBackends()), BackendName);

TEST(PgStorage, TheReaderLogsInWithItsOwnNameAndNoPasswordOfTheOwner) {
    struct Case {
        const char* conninfo;
        const char* reader;
    };
    const Case cases[] = {
        {"host=db port=5433 user=owner password=secret dbname=velmora",
         "dbname='velmora' host='db' port='5433' user=velmora_reader password=''"},
        {"postgresql://owner:secret@db:5433/velmora?connect_timeout=10",
         "connect_timeout='10' dbname='velmora' host='db' port='5433' user=velmora_reader password=''"},
        {"dbname='o\\'brien'", "dbname='o\\'brien' user=velmora_reader password=''"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.conninfo);
        EXPECT_EQ(c.reader, TPgStorage::ReaderConnInfo(c.conninfo));
    }
    EXPECT_THROW(TPgStorage::ReaderConnInfo("host='unterminated"), EStorageError);
}

TEST(PgStorage, PlaceholdersAreNumberedOutsideQuotesAndComments) {
    EXPECT_EQ("SELECT '?' , $1, \"a?\" -- ?\n, $2", TPgStorage::NumberPlaceholders("SELECT '?' , ?, \"a?\" -- ?\n, ?"));
}

}  // namespace

namespace {

class CursorTest : public ::testing::TestWithParam<TestBackend> {
protected:
    TTestDatabase db{GetParam()};
};

TEST_P(CursorTest, FetchesInPortionsWhileOtherStatementsRun) {
    SKIP_WITHOUT_BACKEND(db);
    auto storage = db.Connect();
    storage->ExecuteScript("CREATE TABLE N (V INTEGER NOT NULL PRIMARY KEY)");
    TTestDatabase::AllowClientReads(*storage);
    for (int i = 1; i <= 5; ++i) storage->Execute("INSERT INTO N VALUES (?)", {i});
    auto cursor = storage->OpenCursor("SELECT V FROM N WHERE V > ? ORDER BY V", {1});
    TRowCollector rows;
    EXPECT_TRUE(cursor->Fetch(2, rows));
    {
        TTransaction tx(*storage);
        storage->Execute("INSERT INTO N VALUES (9)");
        tx.Commit();
    }
    while (cursor->Fetch(2, rows)) {
    }
    ASSERT_GE(rows.Rows.size(), 4u);
    EXPECT_EQ(2, rows.Rows[0][0].AsInteger());
    EXPECT_EQ(5, rows.Rows[3][0].AsInteger());
    EXPECT_EQ("V", rows.Columns.at(0).Name);
}

TEST_P(CursorTest, RefusesWrites) {
    SKIP_WITHOUT_BACKEND(db);
    auto storage = db.Connect();
    storage->ExecuteScript("CREATE TABLE N (V INTEGER)");
    TTestDatabase::AllowClientReads(*storage);
    EXPECT_THROW(storage->OpenCursor("DELETE FROM N", {}), EStorageError);
    EXPECT_THROW(storage->OpenCursor("SELECT V FROM N; DELETE FROM N", {}), EStorageError);
    EXPECT_FALSE(storage->InTransaction());
}

INSTANTIATE_TEST_SUITE_P(Backends, CursorTest, ::testing::ValuesIn(AllBackends()), BackendName);

}  // namespace
