// A client dataset working against the real application server, as a data module
// does: packets on demand through "pvdMain", edits applied as deltas, and the
// reconcile event when another user saved first.
#include <gtest/gtest.h>

#include "platform/db/ClientDataSet.h"
#include "platform/db/Field.h"
#include "services/appserver/AppServer.h"
#include "tests/services/appserver/TestBackends.h"

namespace {

class ClientDataSetTest : public ::testing::TestWithParam<TestBackend> {
protected:
    void SetUp() override { SKIP_WITHOUT_BACKEND(db); }

    Variant ConnectAs(const std::string& user) {
        TServerSettings s;
        s.Kind = GetParam() == TestBackend::SQLite ? TStorageKind::SQLite : TStorageKind::PostgreSQL;
        s.DataFolder = db.Folder();
        s.ConnInfo = db.ConnInfo();
        Variant server(std::static_pointer_cast<IDispatch>(std::make_shared<TAppServer>(s)));
        Variant params = Variant::ArrayOf({"TOVI58", user, "DEMO", db.Name(), true, true});
        EXPECT_EQ(0, server.Call("Connect", ByRef(params)).AsInt()) << user;
        return server;
    }
    // A main dataset over the server, opened with the given packet size.
    std::unique_ptr<TClientDataSet> OpenMain(const Variant& server, int packetRecords) {
        auto cds = std::make_unique<TClientDataSet>(nullptr);
        cds->SetRemoteServer(server);
        cds->SetProviderName("pvdMain");
        cds->SetPacketRecords(packetRecords);
        cds->Open();
        return cds;
    }
    static std::string RemarkOf(TClientDataSet& cds, const char* mb002) {
        EXPECT_TRUE(cds.Locate("MB002", mb002));
        return cds.FieldByName("MB019")->AsString();
    }

    TTestDatabase db{GetParam()};
};

TEST_P(ClientDataSetTest, FetchesOnDemandAndSavesAnEdit) {
    Variant server = ConnectAs("DS");
    auto cds = OpenMain(server, 2);
    EXPECT_EQ(cds->RecordCount(), 2);
    EXPECT_FALSE(cds->AllFetched());
    int seen = 0;
    for (cds->First(); !cds->Eof(); cds->Next()) ++seen;
    EXPECT_EQ(seen, 3);   // the third record came with the next packet
    EXPECT_TRUE(cds->AllFetched());

    ASSERT_TRUE(cds->Locate("MB002", "K501"));
    cds->Edit();
    cds->FieldByName("MB019")->SetAsString("由数据集修改");
    cds->Post();
    EXPECT_EQ(cds->ChangeCount(), 1);
    EXPECT_EQ(cds->ApplyUpdates(0), 0);
    EXPECT_EQ(cds->ChangeCount(), 0);

    auto reread = OpenMain(ConnectAs("DS"), -1);
    EXPECT_EQ(RemarkOf(*reread, "K501"), "由数据集修改");
}

TEST_P(ClientDataSetTest, SecondSaveOfOneRecordIsReportedAndKeptNotLost) {
    auto first = OpenMain(ConnectAs("DS"), -1);
    auto second = OpenMain(ConnectAs("DS"), -1);
    for (auto* cds : {first.get(), second.get()}) {
        ASSERT_TRUE(cds->Locate("MB002", "K502"));
        cds->Edit();
        cds->FieldByName("MB019")->SetAsString(cds == first.get() ? "第一" : "第二");
        cds->Post();
    }
    EXPECT_EQ(first->ApplyUpdates(0), 0);

    std::vector<std::string> reported;
    second->OnReconcileError = [&](TClientDataSet*, EReconcileError& e, TUpdateKind kind, TReconcileAction& action) {
        reported.push_back(e.Message());
        EXPECT_EQ(kind, TUpdateKind::ukModify);
        action = TReconcileAction::raSkip;
    };
    EXPECT_EQ(second->ApplyUpdates(0), 1);
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_FALSE(reported[0].empty());
    EXPECT_EQ(second->ChangeCount(), 1);   // the rejected edit stays with its user

    auto reread = OpenMain(ConnectAs("DS"), -1);
    EXPECT_EQ(RemarkOf(*reread, "K502"), "第一");
}

INSTANTIATE_TEST_SUITE_P(Backends, ClientDataSetTest, ::testing::ValuesIn(AllBackends()), BackendName);

}  // namespace
