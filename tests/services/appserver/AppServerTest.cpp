#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "platform/core/DateTime.h"
#include "platform/db/Provider.h"
#include "services/appserver/AppServer.h"
#include "services/appserver/AppServerDaemon.h"
#include "tests/services/appserver/TestBackends.h"

namespace {

class AppServerTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(db); }

    TServerSettings Settings() const {
        TServerSettings s;
        s.Kind = GetParam() == TestBackend::SQLite ? TStorageKind::SQLite : TStorageKind::PostgreSQL;
        s.DataFolder = db.Folder();
        s.ConnInfo = db.ConnInfo();
        return s;
    }
    // A server object connected as the user ("TOVI58" in the test's database).
    Variant ConnectAs(const std::string& user, int* result = nullptr) {
        Variant server(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(Settings())));
        Variant params = Variant::ArrayOf({"TOVI58", user, "DEMO", db.Name(), true, true});
        const int rc = server.Call("Connect", ByRef(params)).AsInt();
        if (result) *result = rc;
        else EXPECT_EQ(0, rc) << user;
        return server;
    }
    static TDataPacket Fetch(const Variant& server, const char* provider, int count, int position,
                             const Variant& request = {}) {
        return DecodeDataPacket(server.Call("GetRecords", provider, count, position, request));
    }
    static Variant Request(const char* condition, const char* order = "") { return Variant::ArrayOf({condition, order}); }
    static Variant Value(const TDataPacket& p, int row, const char* field) {
        return p.Rows.At(row, p.Fields.IndexOf(field));
    }
    // The row of the main packet with this MB002, as the old values of a change.
    static Variant RowOf(const TDataPacket& p, const char* mb002) {
        for (int r = 0; r < p.RowCount(); ++r) {
            if (Value(p, r, "MB002").AsString() != mb002) continue;
            std::vector<Variant> values;
            for (int f = 0; f < p.Fields.Count(); ++f) values.push_back(p.Rows.At(r, f));
            return Variant::ArrayOf(values);
        }
        ADD_FAILURE() << "no row " << mb002;
        return {};
    }
    // New values with only the named fields set.
    static Variant Changed(const TDataPacket& p, std::initializer_list<std::pair<const char*, Variant>> values) {
        Variant row = Variant::CreateArray({VarBounds{0, p.Fields.Count() - 1}});
        for (const auto& [name, v] : values) row[p.Fields.IndexOf(name)] = v;
        return row;
    }
    static Variant Apply(const Variant& server, const TDataPacket& p, std::vector<TDeltaChange> changes,
                         int maxErrors, int& errorCount) {
        TDelta delta;
        delta.Fields = p.Fields;
        delta.Changes = std::move(changes);
        Variant count = 0;
        Variant errors = server.Call("ApplyUpdates", "pvdMain", EncodeDelta(delta), maxErrors, ByRef(count));
        errorCount = count.AsInt();
        return errors;
    }
    static std::string Remark(const Variant& server, const char* mb002) {
        Variant rows = server.Call("SimpleSQL", std::string("SELECT MB019 FROM $$AJSMB WHERE MB002 = '") + mb002 + "'", "MB019");
        return rows.IsArray() ? rows[0][0].AsString() : "<none>";
    }

    TTestDatabase db{GetParam()};
};

TEST_P(AppServerTest, ConnectAnswersWhoTheUserIsAndWhatTheProgramIs) {
    Variant server = ConnectAs("U1");
    const std::string data = server.Call("svrdata").AsString();
    for (const char* line : {"USER_GROUP=G1\r\n", "GROUP_LIST='G1'\r\n", "POWER_DATA=TOVI58,N,Y,-YYYYYYYYYNN,YYYYYYY,NNNNNNN\r\n",
                             "MAX_RECORD=100\r\n", "M11_TABLE=AJSMB\r\n", "M11_KEY=MB001,MB002\r\n", "BaseLimited=N\r\n"}) {
        SCOPED_TRACE(line);
        EXPECT_NE(std::string::npos, data.find(line));
    }
    EXPECT_NE(std::string::npos, data.find("M11_SELECT=SELECT AJSMB.*, Q1.MQ002 AS MB002C"));
    EXPECT_EQ(1, server.Call("WHATIS", "SQLTYPE").AsInt());
    FixedClock clock(EncodeDate(2024, 3, 9));
    EXPECT_EQ("20240309", server.Call("WhatIs", "TODAY").AsString());
    EXPECT_EQ("", server.Call("GetFormat", "DEMO", "TOVI58").AsString());
    EXPECT_EQ(-1, server.Call("GetBaseLimitedRecs", "M11", "AJSMB.MB001='K5'", 3)[0].AsInt());
}

TEST_P(AppServerTest, ConnectRefusesUnknownUsersAndDatabases) {
    int rc = 0;
    ConnectAs("NOBODY", &rc);
    EXPECT_EQ(1, rc);
    Variant server(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(Settings())));
    Variant params = Variant::ArrayOf({"TOVI58", "DS", "DEMO", "../etc/passwd", true, true});
    EXPECT_EQ(2, server.Call("Connect", ByRef(params)).AsInt());
    EXPECT_THROW(server.Call("SvrData"), EOleError);
    EXPECT_THROW(server.Call("GetRecords", "pvdMain", 10, 0, Variant()), EOleError);
}

TEST_P(AppServerTest, MainProviderServesPacketsInKeyOrderWithComputedNames) {
    Variant server = ConnectAs("DS");
    TDataPacket first = Fetch(server, "pvdMain", 2, 0);
    EXPECT_EQ(3, server.Call("GetRecCount").AsInt());
    ASSERT_EQ(2, first.RowCount());
    EXPECT_FALSE(first.Eof);
    EXPECT_EQ("K501", Value(first, 0, "MB002").AsString());
    EXPECT_EQ("费用调整单", Value(first, 0, "MB002C").AsString());
    EXPECT_EQ("转账凭证", Value(first, 0, "MB003C").AsString());
    EXPECT_EQ("办公费", Value(first, 1, "MB006C").AsString());
    const TFieldDef* mb002c = first.Fields.Find("MB002C");
    ASSERT_NE(nullptr, mb002c);
    EXPECT_TRUE(mb002c->ReadOnly);
    EXPECT_EQ(10, mb002c->Size);
    EXPECT_TRUE(first.Fields.Find("MB002")->Key);
    EXPECT_EQ(TFieldType::ftFloat, first.Fields.Find("FLAG")->DataType);

    TDataPacket rest = Fetch(server, "pvdMain", 2, 2);
    ASSERT_EQ(1, rest.RowCount());
    EXPECT_TRUE(rest.Eof);
    EXPECT_EQ("K503", Value(rest, 0, "MB002").AsString());

    // A position the provider did not expect reopens the query there.
    TDataPacket again = Fetch(server, "pvdMain", -1, 1);
    ASSERT_EQ(2, again.RowCount());
    EXPECT_EQ("K502", Value(again, 0, "MB002").AsString());
    TDataPacket definitions = Fetch(server, "pvdMain", 0, 0);
    EXPECT_EQ(0, definitions.RowCount());
    EXPECT_GT(definitions.Fields.Count(), 40);
}

TEST_P(AppServerTest, DataRequestsCarryConditionAndOrder) {
    Variant server = ConnectAs("DS");
    struct Case {
        const char* name;
        Variant request;
        std::vector<std::string> codes;
    };
    const Case cases[] = {
        {"condition", Request("AJSMB.MB048 = '2'"), {"K502"}},
        {"condition on a joined name", Request("Q2.MQ002 = '转账凭证'", "AJSMB.MB002 DESC"), {"K503", "K501"}},
        {"all", Request("all", "AJSMB.MB002 DESC"), {"K503", "K502", "K501"}},
        {"placeholder prefix", Request("AJSMB.MB006 IN (SELECT MA001 FROM $$ACTMA WHERE MA004 = 'Y')"), {"K502", "K503"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDataPacket p = Fetch(server, "pvdMain", -1, 0, c.request);
        std::vector<std::string> codes;
        for (int r = 0; r < p.RowCount(); ++r) codes.push_back(Value(p, r, "MB002").AsString());
        EXPECT_EQ(c.codes, codes);
        EXPECT_EQ(static_cast<int>(c.codes.size()), server.Call("GetRecCount").AsInt());
    }
    server.Call("SetTopRow", 2);
    TDataPacket limited = Fetch(server, "pvdMain", 40, 0);
    EXPECT_EQ(2, limited.RowCount());
    EXPECT_TRUE(limited.Eof);
    EXPECT_EQ(3, Fetch(server, "pvdMain", 40, 0, Request("")).RowCount()) << "the limit holds for one query only";
}

TEST_P(AppServerTest, ConditionTextsCanNeverWrite) {
    Variant server = ConnectAs("DS");
    const char* attacks[] = {
        "1=1; DELETE FROM AJSMB",
        "1=1) ; UPDATE AJSMB SET MB019 = 'x' --",
        "1=1) UNION SELECT * FROM AJSMB; DROP TABLE AJSMB; --",
    };
    for (const char* attack : attacks) {
        SCOPED_TRACE(attack);
        EXPECT_ANY_THROW(Fetch(server, "pvdMain", -1, 0, Request(attack)));
    }
    EXPECT_ANY_THROW(server.Call("SimpleSQL", "DELETE FROM AJSMB", ""));
    EXPECT_ANY_THROW(server.Call("SimpleSQL", "SELECT 1 FROM AJSMB; DELETE FROM AJSMB", ""));
    EXPECT_EQ(3, Fetch(server, "pvdMain", -1, 0).RowCount());
}

TEST_P(AppServerTest, ClientSqlNeverReadsPasswordHashes) {
    Variant server = ConnectAs("U3");
    struct Case {
        const char* name;
        std::string sql;
    };
    std::vector<Case> cases = {
        {"the column", "SELECT PASSWORD_HASH FROM USERS"},
        {"every column", "SELECT * FROM USERS"},
        {"alias, prefix and lower case", "select u.password_hash from $$users u"},
        {"quoted names", "SELECT \"PASSWORD_HASH\" FROM \"USERS\""},
        {"only in the condition", "SELECT USER_ID FROM USERS WHERE PASSWORD_HASH LIKE '$argon2%'"},
        {"sub-select", "SELECT (SELECT MAX(PASSWORD_HASH) FROM USERS) AS H FROM AJSMB"},
        {"common table expression", "WITH X AS (SELECT * FROM USERS) SELECT USER_ID FROM X"},
    };
    if (GetParam() == TestBackend::PostgreSQL) {
        // A statement that switches to the owner's role and then runs text of its own.
        const std::string owner = db.Connect()->QueryValue("SELECT current_user").AsString();
        cases.push_back({"role switch", "SELECT set_config('role', '" + owner +
                                            "', true), query_to_xml('SELECT PASSWORD_HASH FROM USERS', false, false, '')"});
    }
    auto refused = [](const std::function<void()>& call) {
        try {
            call();
        } catch (const Exception& e) {
            EXPECT_EQ(std::string::npos, std::string(e.Message()).find("$argon2")) << e.Message();
            return true;
        }
        return false;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(refused([&] { server.Call("SimpleSQL", c.sql, ""); }));
    }
    const char* conditions[] = {
        "AJSMB.CREATOR IN (SELECT USER_ID FROM USERS WHERE PASSWORD_HASH LIKE '$argon2id%')",
        "EXISTS (SELECT 1 FROM $$USERS U WHERE U.PASSWORD_HASH > '')",
    };
    for (const char* condition : conditions) {
        SCOPED_TRACE(condition);
        EXPECT_TRUE(refused([&] { Fetch(server, "pvdMain", -1, 0, Request(condition)); }));
        EXPECT_TRUE(refused([&] { Fetch(server, "pvdColor", -1, 0, Request(condition)); }));
    }

    // Everything else about users stays readable, and logging in still works.
    Variant users = server.Call("SimpleSQL", "SELECT USER_ID, USER_NAME, MAIN_GROUP FROM USERS ORDER BY USER_ID", "");
    ASSERT_TRUE(users.IsArray());
    ASSERT_EQ(4, users.Count());
    EXPECT_EQ("U3", users[3][0].AsString());
    EXPECT_EQ("G2", users[3][2].AsString());
    EXPECT_EQ(3, Fetch(server, "pvdMain", -1, 0, Request("AJSMB.CREATOR IN (SELECT USER_ID FROM USERS)")).RowCount());
    EXPECT_TRUE(VerifyLogin(Settings(), db.Name(), "U3", "demo"));
    EXPECT_FALSE(VerifyLogin(Settings(), db.Name(), "U3", "guess"));
}

TEST_P(AppServerTest, SimpleSqlResolvesTheModulesTableNamesAndTop) {
    Variant server = ConnectAs("DS");
    Variant rows = server.Call("SimpleSql", "select top 1 MF001,MF003,MF004,MF005,MF006 from $$CMSMF CMSMF where MF001='RMB'",
                               "MF004,MF001", db.Name(), "N");
    ASSERT_TRUE(rows.IsArray());
    ASSERT_EQ(1, rows.Count());
    EXPECT_EQ(2, rows[0][0].AsInt());
    EXPECT_EQ("RMB", rows[0][1].AsString());
    Variant all = server.Call("SimpleSQL", "SELECT MB002 FROM " + db.Name() + "..AJSMB ORDER BY MB002", "MB002");
    EXPECT_EQ(3, all.Count());
    EXPECT_TRUE(server.Call("SimpleSQL", "SELECT MB002 FROM AJSMB WHERE 1 = 0", "MB002").IsEmpty());
    EXPECT_ANY_THROW(server.Call("SimpleSQL", "SELECT * FROM OTHERCO..AJSMB", ""));
}

TEST_P(AppServerTest, DeltaOfInsertEditAndDeleteIsApplied) {
    Variant server = ConnectAs("U1");
    TDataPacket p = Fetch(server, "pvdMain", -1, 0);
    Variant insert = Changed(p, {{"MB001", "K5"}, {"MB002", "K509"}, {"MB003", "9102"}, {"MB019", "新增"},
                                 {"MB002C", "不写入"}, {"CREATOR", "U1"}, {"USR_GROUP", "G1"}, {"FLAG", 1}});
    int errors = -1;
    Variant result = Apply(server, p,
                           {{TUpdateKind::ukInsert, {}, insert},
                            {TUpdateKind::ukModify, RowOf(p, "K501"), Changed(p, {{"MB019", "改过"}, {"FLAG", 2}})},
                            {TUpdateKind::ukDelete, RowOf(p, "K503"), {}}},
                           0, errors);
    EXPECT_EQ(0, errors) << (errors > 0 ? DecodeUpdateErrors(result)[0].Message : "");
    TDataPacket after = Fetch(server, "pvdMain", -1, 0);
    ASSERT_EQ(3, after.RowCount());
    EXPECT_EQ("改过", Value(after, 0, "MB019").AsString());
    EXPECT_EQ(2, Value(after, 0, "FLAG").AsInt());
    EXPECT_EQ("K509", Value(after, 2, "MB002").AsString());
    EXPECT_EQ("记账凭证", Value(after, 2, "MB003C").AsString());
}

TEST_P(AppServerTest, SecondEditorOfOneRecordGetsAReconcileErrorAndNothingIsLost) {
    Variant first = ConnectAs("DS");
    Variant second = ConnectAs("DS");
    TDataPacket seenByFirst = Fetch(first, "pvdMain", -1, 0);
    TDataPacket seenBySecond = Fetch(second, "pvdMain", -1, 0);
    int errors = -1;
    Apply(first, seenByFirst, {{TUpdateKind::ukModify, RowOf(seenByFirst, "K502"), Changed(seenByFirst, {{"MB019", "第一"}})}}, 0,
          errors);
    EXPECT_EQ(0, errors);
    for (TUpdateKind kind : {TUpdateKind::ukModify, TUpdateKind::ukDelete}) {
        SCOPED_TRACE(static_cast<int>(kind));
        Variant result = Apply(second, seenBySecond,
                               {{kind, RowOf(seenBySecond, "K502"),
                                 kind == TUpdateKind::ukDelete ? Variant() : Changed(seenBySecond, {{"MB019", "第二"}})}},
                               0, errors);
        ASSERT_EQ(1, errors);
        EXPECT_EQ(kReconcileChanged, DecodeUpdateErrors(result)[0].ErrorCode);
    }
    EXPECT_EQ("第一", Remark(first, "K502"));
}

TEST_P(AppServerTest, TooManyRejectionsApplyNothingOtherwiseTheRestIsCommitted) {
    Variant server = ConnectAs("DS");
    TDataPacket p = Fetch(server, "pvdMain", -1, 0);
    Variant stale = RowOf(p, "K501");
    stale[p.Fields.IndexOf("FLAG")] = 7;
    const std::vector<TDeltaChange> changes = {
        {TUpdateKind::ukModify, RowOf(p, "K503"), Changed(p, {{"MB019", "好的"}})},
        {TUpdateKind::ukModify, stale, Changed(p, {{"MB019", "过期"}})},
        {TUpdateKind::ukInsert, {}, Changed(p, {{"MB001", "K5"}, {"MB002", "K501"}, {"FLAG", 1}})},
    };
    int errors = -1;
    Variant result = Apply(server, p, changes, 1, errors);
    EXPECT_EQ(2, errors);
    const auto rejected = DecodeUpdateErrors(result);
    ASSERT_EQ(2u, rejected.size());
    EXPECT_EQ(1, rejected[0].Index);
    EXPECT_EQ(kReconcileChanged, rejected[0].ErrorCode);
    EXPECT_EQ(kReconcileKeyViolation, rejected[1].ErrorCode);
    EXPECT_EQ("", Remark(server, "K503")) << "more rejections than allowed: nothing applied";
    Apply(server, p, changes, -1, errors);
    EXPECT_EQ(2, errors);
    EXPECT_EQ("好的", Remark(server, "K503"));
    EXPECT_EQ("逐张生成", Remark(server, "K501"));
}

TEST_P(AppServerTest, RightsAreEnforcedByTheServer) {
    struct Case {
        const char* user;
        TUpdateKind kind;
        const char* record;   // MB002 of the stored record (none for an insert)
        bool allowed;
    };
    const Case cases[] = {
        {"U3", TUpdateKind::ukInsert, nullptr, false},      // G2: query only
        {"U3", TUpdateKind::ukModify, "K501", false},
        {"U1", TUpdateKind::ukInsert, nullptr, true},
        {"U1", TUpdateKind::ukModify, "K501", true},        // own record
        {"U1", TUpdateKind::ukModify, "K503", true},        // record of U2, same group G1
        {"U1", TUpdateKind::ukModify, "K502", false},       // record of DS, group ADMIN
        {"U1", TUpdateKind::ukDelete, "K502", false},
        {"DS", TUpdateKind::ukDelete, "K501", true},        // rights not bound to owners
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.user) + " " + std::to_string(static_cast<int>(c.kind)) + " " + (c.record ? c.record : "new"));
        TTestDatabase fresh(GetParam());
        std::swap(db, fresh);
        Variant server = ConnectAs(c.user);
        TDataPacket p = Fetch(server, "pvdMain", -1, 0);
        TDeltaChange change{c.kind, {}, {}};
        if (c.kind == TUpdateKind::ukInsert) change.NewValues = Changed(p, {{"MB001", "K5"}, {"MB002", "K509"}, {"FLAG", 1}});
        else change.OldValues = RowOf(p, c.record);
        if (c.kind == TUpdateKind::ukModify) change.NewValues = Changed(p, {{"MB019", "x"}});
        int errors = -1;
        Variant result = Apply(server, p, {change}, 0, errors);
        EXPECT_EQ(c.allowed ? 0 : 1, errors);
        if (!c.allowed) {
            EXPECT_EQ(kReconcileRefused, DecodeUpdateErrors(result)[0].ErrorCode);
        }
        std::swap(db, fresh);
    }
}

TEST_P(AppServerTest, ColorProviderGivesColourTextsPerRuleComponent) {
    Variant server = ConnectAs("DS");
    TDataPacket p = Fetch(server, "pvdColor", -1, 0, Request("AJSMB.MB001 = 'K5'", "AJSMB.MB002"));
    ASSERT_EQ(3, p.RowCount());
    ASSERT_GE(p.Fields.IndexOf("gdHead"), 0);
    EXPECT_EQ("gdHead", p.Fields[p.Fields.IndexOf("gdHead")].Name);
    EXPECT_EQ("K501", Value(p, 0, "MB002").AsString());
    EXPECT_EQ("", Value(p, 0, "gdHead").AsString());
    EXPECT_EQ("bkcolor=65535;colorx=0;bkcolor=';colorx=16711680;", Value(p, 1, "gdHead").AsString());
    EXPECT_EQ("bkcolor=';colorx=16711680;", Value(p, 2, "gdHead").AsString());
}

TEST_P(AppServerTest, SchemesBelongToTheirUser) {
    Variant server = ConnectAs("U1");
    server.Call("LoadTable", Variant::ArrayOf({"U1", "TOVI58"}));
    auto save = [&](const char* name, bool replace) {
        return server.Call("InsertConTable", Variant::ArrayOf({name, "U1", "20240301", "TOVI58", "1000\a文本", 1, replace}))
            .AsString();
    };
    EXPECT_EQ("", save("月底方案", false));
    EXPECT_NE("", save("月底方案", false));
    EXPECT_EQ("", save("月底方案", true));
    EXPECT_EQ("", save("第二", false));
    EXPECT_EQ("", server.Call("ChangeConName", Variant::ArrayOf({"第二", "U1", "TOVI58"}),
                              Variant::ArrayOf({"改名", "U1", "TOVI58"})).AsString());
    EXPECT_NE("", server.Call("ChangeConName", Variant::ArrayOf({"改名", "U1", "TOVI58"}),
                              Variant::ArrayOf({"月底方案", "U1", "TOVI58"})).AsString());
    TDataPacket p = Fetch(server, "pvdConSave", -1, 0);
    ASSERT_EQ(2, p.RowCount());
    EXPECT_EQ("改名", Value(p, 0, "NCONDITION").AsString());
    EXPECT_EQ(1, Value(p, 1, "ActivePage").AsInt());
    EXPECT_EQ("1000\a文本", Value(p, 1, "VCONDITION").AsString());
    EXPECT_EQ("", server.Call("DeleteConTable", Variant::ArrayOf({"改名", "U1", "TOVI58"})).AsString());
    EXPECT_NE("", server.Call("DeleteConTable", Variant::ArrayOf({"改名", "U1", "TOVI58"})).AsString());

    Variant other = ConnectAs("U2");
    EXPECT_ANY_THROW(other.Call("LoadTable", Variant::ArrayOf({"U1", "TOVI58"})));
    EXPECT_NE("", other.Call("DeleteConTable", Variant::ArrayOf({"月底方案", "U1", "TOVI58"})).AsString());
    other.Call("LoadTable", Variant::ArrayOf({"U2", "TOVI58"}));
    EXPECT_EQ(0, Fetch(other, "pvdConSave", -1, 0).RowCount());
}

TEST_P(AppServerTest, TransactionSqlAcceptsOnlyTheAttachmentCleanUpOfTheOwnCompany) {
    Variant server = ConnectAs("DS");
    auto storage = db.Connect();
    storage->Execute("INSERT INTO ATTACH (Parent, KeyValues, CompanyID, SeqNo) VALUES ('TOVI58', 'K5||K501', 'DEMO', 1)");
    storage->Execute("INSERT INTO ATTACH (Parent, KeyValues, CompanyID, SeqNo) VALUES ('TOVI58', 'K5||K501', 'OTHER', 1)");
    auto cleanup = [](const char* company) {
        return Variant::ArrayOf({std::string(" DELETE FROM ATTACH  WHERE Parent = 'TOVI58'        AND CompanyID = '") + company +
                                 "'        AND KeyValues = 'K5||K501' "});
    };
    EXPECT_ANY_THROW(server.Call("TransactionSQL", cleanup("OTHER"), ""));
    EXPECT_ANY_THROW(server.Call("TransactionSQL", Variant::ArrayOf({"DELETE FROM AJSMB"}), ""));
    EXPECT_ANY_THROW(server.Call("TransactionSQL",
                                 Variant::ArrayOf({" DELETE FROM ATTACH  WHERE Parent = 'TOVI58' AND CompanyID = 'DEMO' "
                                                   "AND KeyValues = 'x' OR 1=1 "}),
                                 ""));
    EXPECT_EQ(2, storage->QueryValue("SELECT COUNT(*) FROM ATTACH WHERE Parent = 'TOVI58'").AsInteger());
    EXPECT_TRUE(server.Call("TransactionSQL", cleanup("DEMO"), "").AsBoolean());
    EXPECT_EQ(1, storage->QueryValue("SELECT COUNT(*) FROM ATTACH WHERE Parent = 'TOVI58'").AsInteger());
    EXPECT_EQ("OTHER", storage->QueryValue("SELECT CompanyID FROM ATTACH WHERE Parent = 'TOVI58'").AsString());
}

INSTANTIATE_TEST_SUITE_P(Backends, AppServerTest, ::testing::ValuesIn(AllBackends()), BackendName);

// Sets an environment variable for the life of the object.
class TEnvironment {
public:
    TEnvironment(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        had_ = std::getenv(name) != nullptr;
        setenv(name, value.c_str(), 1);
    }
    ~TEnvironment() {
        if (had_) setenv(name_, old_.c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

TEST(AppServerClasses, BothProgramIdsGiveInProcessObjects) {
    TTestDatabase folder(TestBackend::SQLite);
    // No installation: the embedded SQLite files go to the data folder.
    TEnvironment registry("VELMORA_REGISTRY", folder.Folder() + "/no-registry.ini");
    TEnvironment data("VELMORA_DATA_DIR", folder.Folder());
    RegisterAppServerClasses();

    Variant server = CreateOleObject("TESSMARS.Class1");
    Variant params = Variant::ArrayOf({"TOVI58", "DS", "DEMO", "DEMO", true, true});
    EXPECT_EQ(0, server.Call("Connect", ByRef(params)).AsInt());
    EXPECT_NE(std::string::npos, server.Call("SvrData").AsString().find("M11_TABLE=AJSMB"));

    Variant lookup = CreateOleObject("PikvaloS.Class1");
    ASSERT_TRUE(lookup.IsDispatch());
    EXPECT_EQ("PikvaloS.Class1", lookup.AsDispatch()->DispatchName());
    EXPECT_THROW(lookup.Call("SvrData"), EOleError);

    UnregisterOleClass("TessmarS.Class1");
    UnregisterOleClass("PikvaloS.Class1");
}

}  // namespace
