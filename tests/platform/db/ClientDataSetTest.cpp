#include <gtest/gtest.h>

#include "DbFixture.h"

using Names = std::vector<std::string>;

TEST(ClientDataSet, PacketsAreFetchedOnDemandAtTheEndOfTheData) {
    DbFixture db(7);
    TClientDataSet* ds = db.NewDataSet();
    ds->SetPacketRecords(3);
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 3);
    EXPECT_FALSE(ds->AllFetched());
    ds->MoveBy(2);
    EXPECT_EQ(ds->RecordCount(), 3);   // nothing fetched before the end is reached
    ds->Next();
    EXPECT_EQ(ds->RecordCount(), 6);
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K4");
    ds->Last();
    EXPECT_EQ(ds->RecordCount(), 7);
    EXPECT_TRUE(ds->AllFetched());
    EXPECT_EQ(db.server->CallCount("GetRecords"), 3);

    // Without fetch on demand the end is the end until the next packet is asked for.
    TClientDataSet* manual = db.NewDataSet("cdsManual");
    manual->SetPacketRecords(4);
    manual->SetFetchOnDemand(false);
    manual->Open();
    manual->Last();
    EXPECT_EQ(manual->RecordCount(), 4);
    manual->Next();
    EXPECT_TRUE(manual->Eof());
    EXPECT_EQ(manual->GetNextPacket(), 3);
    EXPECT_EQ(manual->FieldByName("MB001")->AsString(), "K4");   // the cursor stays where it was
    manual->Next();
    EXPECT_EQ(manual->FieldByName("MB001")->AsString(), "K5");
    EXPECT_EQ(manual->GetNextPacket(), 0);
}

TEST(ClientDataSet, DataRequestTravelsWithEveryFetch) {
    DbFixture db(5);
    TClientDataSet* ds = db.NewDataSet();
    ds->SetPacketRecords(2);
    const Variant request = Variant::ArrayOf({"MB003 > 10", "MB001 DESC"});
    ds->DataRequest(request);
    EXPECT_TRUE(db.table->LastRequest() == request);
    db.table->DataRequest(Variant());
    ds->Open();
    EXPECT_TRUE(db.table->LastRequest() == request);
    db.table->DataRequest(Variant());
    ds->GetNextPacket();
    EXPECT_TRUE(db.table->LastRequest() == request);
}

TEST(ClientDataSet, ADeltaOfInsertsEditsAndDeletesIsAppliedAndTheLogEmptied) {
    DbFixture db(4);
    TClientDataSet* ds = db.NewDataSet();
    ds->Open();
    ds->Edit();   // K1
    ds->FieldByName("MB002")->SetAsString("edited");
    ds->FieldByName("FLAG")->SetAsInteger(2);
    ds->Post();
    EXPECT_EQ(ds->UpdateStatus(), TUpdateStatus::usModified);
    ds->Next();   // K2
    ds->Delete();
    ds->Append();
    ds->FieldByName("MB001")->SetAsString("K9");
    ds->FieldByName("MB003")->SetAsInteger(90);
    ds->Post();
    EXPECT_EQ(ds->UpdateStatus(), TUpdateStatus::usInserted);
    ds->Append();   // inserted, then deleted: never reaches the provider
    ds->FieldByName("MB001")->SetAsString("KX");
    ds->Post();
    ds->Delete();
    EXPECT_EQ(ds->ChangeCount(), 3);

    const TDelta delta = DecodeDelta(ds->Delta());
    ASSERT_EQ(delta.Changes.size(), 3u);
    EXPECT_EQ(delta.Changes[0].Kind, TUpdateKind::ukModify);
    EXPECT_TRUE(delta.Changes[0].NewValues[0].IsEmpty());   // unchanged values are not sent
    EXPECT_EQ(delta.Changes[0].NewValues[1].AsString(), "edited");
    EXPECT_EQ(delta.Changes[0].OldValues[1].AsString(), "name 1");
    EXPECT_EQ(delta.Changes[1].Kind, TUpdateKind::ukDelete);
    EXPECT_EQ(delta.Changes[2].Kind, TUpdateKind::ukInsert);

    EXPECT_EQ(ds->ApplyUpdates(0), 0);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(ds->UpdateStatus(), TUpdateStatus::usUnmodified);
    ASSERT_EQ(db.table->RowCount(), 4);
    EXPECT_EQ(db.table->Value(0, "MB002").AsString(), "edited");
    EXPECT_EQ(db.table->Value(1, "MB001").AsString(), "K3");
    EXPECT_EQ(db.table->Value(3, "MB001").AsString(), "K9");
    EXPECT_EQ(ds->ApplyUpdates(0), 0);   // nothing left to send
    EXPECT_EQ(db.server->CallCount("ApplyUpdates"), 1);
}

TEST(ClientDataSet, AConflictingEditIsReconciledWhileTheOtherRowsApply) {
    DbFixture db(3);
    TClientDataSet* mine = db.NewDataSet("cdsMine");
    TClientDataSet* theirs = db.NewDataSet("cdsTheirs");
    mine->Open();
    theirs->Open();
    // The other user saves K2 first (FLAG 1 -> 2).
    theirs->Locate("MB001", "K2");
    theirs->Edit();
    theirs->FieldByName("MB002")->SetAsString("theirs");
    theirs->FieldByName("FLAG")->SetAsInteger(2);
    theirs->Post();
    ASSERT_EQ(theirs->ApplyUpdates(0), 0);

    for (const char* key : {"K1", "K2", "K3"}) {
        mine->Locate("MB001", key);
        mine->Edit();
        mine->FieldByName("MB002")->SetAsString(std::string("mine ") + key);
        mine->FieldByName("FLAG")->SetAsInteger(2);
        mine->Post();
    }
    struct Seen {
        std::string message, context;
        int code, previous;
        TUpdateKind kind;
    };
    std::vector<Seen> seen;
    mine->OnReconcileError = [&](TClientDataSet*, EReconcileError& e, TUpdateKind kind, TReconcileAction& action) {
        seen.push_back({e.Message(), e.Context(), e.ErrorCode(), e.PreviousError(), kind});
        EXPECT_EQ(action, TReconcileAction::raSkip);
    };
    EXPECT_EQ(mine->ApplyUpdates(-1), 1);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, "The record was changed by another user");
    EXPECT_EQ(seen[0].context, "modify where MB001='K2'");
    EXPECT_EQ(seen[0].code, kReconcileChanged);
    EXPECT_EQ(seen[0].previous, 0);
    EXPECT_EQ(seen[0].kind, TUpdateKind::ukModify);
    EXPECT_EQ(db.table->Value(0, "MB002").AsString(), "mine K1");
    EXPECT_EQ(db.table->Value(1, "MB002").AsString(), "theirs");   // not overwritten
    EXPECT_EQ(db.table->Value(2, "MB002").AsString(), "mine K3");
    EXPECT_EQ(mine->ChangeCount(), 1);   // the rejected row stays in the log

    // A second try reports the previous error code.
    EXPECT_EQ(mine->ApplyUpdates(-1), 1);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[1].previous, kReconcileChanged);

    // Cancelling the rejected row in the handler takes it out of the log.
    mine->OnReconcileError = [](TClientDataSet*, EReconcileError&, TUpdateKind, TReconcileAction& action) {
        action = TReconcileAction::raCancel;
    };
    EXPECT_EQ(mine->ApplyUpdates(-1), 1);
    EXPECT_EQ(mine->ChangeCount(), 0);
    mine->Locate("MB001", "K2");
    EXPECT_EQ(mine->FieldByName("MB002")->AsString(), "name 2");
}

TEST(ClientDataSet, TooManyErrorsKeepEveryChange) {
    DbFixture db(3);
    TClientDataSet* ds = db.NewDataSet();
    ds->Open();
    db.table->ApplyUpdates(EncodeDelta({DocDefs(), {{TUpdateKind::ukDelete,
                                                     Variant::ArrayOf({"K3", "name 3", 30, 1}), Variant()}}}),
                           0, *std::make_unique<int>());
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("first");
    ds->Post();
    ds->Last();
    ds->Delete();   // K3, already gone on the server
    int events = 0;
    ds->OnReconcileError = [&](TClientDataSet*, EReconcileError& e, TUpdateKind kind, TReconcileAction&) {
        ++events;
        EXPECT_EQ(e.ErrorCode(), kReconcileNotFound);
        EXPECT_EQ(kind, TUpdateKind::ukDelete);
    };
    EXPECT_EQ(ds->ApplyUpdates(0), 1);
    EXPECT_EQ(events, 1);
    EXPECT_EQ(ds->ChangeCount(), 2);   // the provider applied nothing, so nothing is merged
    EXPECT_EQ(db.table->Value(0, "MB002").AsString(), "name 1");
}

TEST(ClientDataSet, CancelUpdatesRestoresTheFetchedRows) {
    DbFixture db(4);
    TClientDataSet* ds = db.NewDataSet();
    ds->Open();
    const Names fetched = DbFixture::Column(ds, "MB002");
    ds->First();
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("changed");
    ds->Post();
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("changed twice");
    ds->Post();
    ds->Next();
    ds->Delete();
    ds->Insert();
    ds->FieldByName("MB001")->SetAsString("NEW");
    ds->Post();
    EXPECT_EQ(ds->ChangeCount(), 3);
    ds->Last();
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("pending");
    ds->CancelUpdates();
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(DbFixture::Column(ds, "MB002"), fetched);
    EXPECT_EQ(DbFixture::Column(ds, "MB001"), (Names{"K1", "K2", "K3", "K4"}));
}

TEST(ClientDataSet, AscendingAndDescendingIndexes) {
    DbFixture db(0);
    for (auto [key, name, qty] : {std::tuple{"A", "beta", 2}, {"B", "Alpha", 1}, {"C", "alpha", 3}, {"D", "Beta", 1}})
        db.table->AppendRow({key, name, qty, 1});
    TClientDataSet* ds = db.NewDataSet();
    ds->Open();
    struct Case {
        const char* name;
        std::function<void()> set;
        Names keys;
    } cases[] = {
        {"natural", [&] { ds->SetIndexFieldNames(""); }, {"A", "B", "C", "D"}},
        {"by name, bytes", [&] { ds->SetIndexFieldNames("MB002"); }, {"B", "D", "C", "A"}},
        {"by qty then key", [&] { ds->SetIndexFieldNames("MB003;MB001"); }, {"B", "D", "A", "C"}},
        {"qty descending", [&] {
             ds->IndexDefs().Add("QtyDesc", "MB003;MB001", {}).DescFields = "MB003";
             ds->SetIndexName("QtyDesc");
         }, {"C", "A", "B", "D"}},
        {"all descending", [&] {
             ds->IndexDefs().Add("AllDesc", "MB003;MB001", {TIndexOption::ixDescending});
             ds->SetIndexName("AllDesc");
         }, {"C", "A", "D", "B"}},
        {"name ignoring case", [&] {
             ds->IndexDefs().Add("NameCI", "MB002;MB001", {TIndexOption::ixCaseInsensitive});
             ds->SetIndexName("NameCI");
         }, {"B", "C", "A", "D"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.set();
        EXPECT_EQ(DbFixture::Column(ds, "MB001"), c.keys);
    }
    // A posted record takes its place in the current order.
    ds->SetIndexFieldNames("MB003;MB001");
    ds->Append();
    ds->FieldByName("MB001")->SetAsString("E");
    ds->FieldByName("MB003")->SetAsInteger(2);
    ds->Post();
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(DbFixture::Column(ds, "MB001"), (Names{"B", "D", "A", "E", "C"}));
    EXPECT_THROW(ds->SetIndexName("Missing"), EDatabaseError);
    EXPECT_THROW(ds->SetIndexFieldNames("MB999"), EDatabaseError);
    EXPECT_EQ(ds->IndexFieldNames(), "MB003;MB001");

    ds->IndexDefs().Add("Key", "MB001", {TIndexOption::ixUnique});
    ds->SetIndexName("Key");
    ds->Append();
    ds->FieldByName("MB001")->SetAsString("A");
    EXPECT_THROW(ds->Post(), EDatabaseError);
}

TEST(ClientDataSet, MalformedPacketsAreRefusedAndChangeNothing) {
    DbFixture db(3);
    // A provider whose rows do not fit its definitions (a text in an integer column).
    struct BadServer : AutoObject {
        bool firstBad = false;
        BadServer() : AutoObject("BadServer") {
            Method("GetRecords", [this](OleArgs& a) {
                const int position = Arg(a, 2).AsInt();
                const bool bad = position > 0 || firstBad;
                Variant rows = VarArrayOfRows({{"K" + std::to_string(position + 1), "x", bad ? Variant("two") : Variant(1), 1}});
                return Variant::ArrayOf({EncodeFieldDefs(DocDefs()), rows, false});
            });
        }
    };
    auto bad = std::make_shared<BadServer>();
    TClientDataSet* ds = db.NewDataSet();
    ds->SetRemoteServer(Variant(std::static_pointer_cast<IDispatch>(bad)));
    ds->SetPacketRecords(1);
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 1);
    try {
        ds->GetNextPacket();
        ADD_FAILURE() << "accepted";
    } catch (const EDatabaseError& e) {
        EXPECT_NE(e.Message().find("field 'MB003'"), std::string::npos) << e.Message();
    }
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K1");

    bad->firstBad = true;
    ds->Close();
    EXPECT_THROW(ds->Open(), EDatabaseError);
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(ds->FieldCount(), 0);

    TClientDataSet* fresh = db.NewDataSet("cdsFresh");
    fresh->SetRemoteServer(Variant("not a server"));
    EXPECT_THROW(fresh->Open(), EDatabaseError);
    EXPECT_FALSE(fresh->Active());
}

TEST(ClientDataSet, InMemoryDataSetFromFieldDefinitions) {
    TComponent owner(nullptr);
    auto* temp = new TClientDataSet(&owner);
    temp->FieldDefs().Add("QBE", TFieldType::ftString, 255);
    temp->CreateDataSet();
    EXPECT_TRUE(temp->Active());
    EXPECT_TRUE(temp->IsEmpty());
    temp->Edit();   // an empty dataset edits by inserting
    EXPECT_EQ(temp->State(), TDataSetState::dsInsert);
    temp->FieldByName("QBE")->SetAsString("2024/03/05");
    temp->Post();
    EXPECT_EQ(temp->RecordCount(), 1);
    EXPECT_EQ(temp->FieldByName("QBE")->Size(), 255);
    EXPECT_THROW(temp->ApplyUpdates(0), EDatabaseError);   // there is no provider to apply to
    EXPECT_EQ(temp->ChangeCount(), 1);
}

namespace {

TFieldDefs MasterDefs() {
    TFieldDefs defs;
    defs.Add("NO", TFieldType::ftString, 8).Key = true;
    defs.Add("FLAG", TFieldType::ftInteger);
    for (const char* name : {"LINES", "NOTES"}) {
        TFieldDef nested;
        nested.Name = name;
        nested.DataType = TFieldType::ftDataSet;
        nested.ChildDefs = DocDefs().Items();
        defs.Add(nested);
    }
    return defs;
}

Variant Lines(std::initializer_list<const char*> keys) {
    std::vector<std::vector<Variant>> rows;
    for (const char* k : keys) rows.push_back({k, "line", 1, 1});
    return rows.size() ? VarArrayOfRows(rows) : Variant::Null();
}

}  // namespace

TEST(ClientDataSet, NestedDetailsFollowTheirMaster) {
    DbFixture db(0);
    auto orders = std::make_shared<TMemoryProvider>(MasterDefs());
    orders->AppendRow({"O1", 1, Lines({"A", "B"}), Lines({"N1"})});
    orders->AppendRow({"O2", 1, Lines({"C"}), Lines({})});
    db.server->AddProvider("pvdOrders", orders);
    TClientDataSet* master = db.NewDataSet();
    master->SetProviderName("pvdOrders");
    master->Open();
    auto* linesField = dynamic_cast<TDataSetField*>(master->FieldByName("LINES"));
    ASSERT_NE(linesField, nullptr);
    auto* lines = dynamic_cast<TClientDataSet*>(linesField->NestedDataSet());
    ASSERT_NE(lines, nullptr);
    EXPECT_EQ(DbFixture::Column(lines, "MB001"), (Names{"A", "B"}));
    master->Next();
    EXPECT_EQ(DbFixture::Column(lines, "MB001"), (Names{"C"}));

    // A detail edit left pending when the master moves stays with its own master row.
    lines->Edit();
    lines->FieldByName("MB002")->SetAsString("pending");
    master->First();
    EXPECT_EQ(lines->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(DbFixture::Column(lines, "MB002"), (Names{"line", "line"}));
    master->Next();
    EXPECT_EQ(lines->FieldByName("MB002")->AsString(), "pending");
    lines->Cancel();
    lines->CancelUpdates();

    // A detail change belongs to its master row and travels with it.
    lines->Append();
    lines->FieldByName("MB001")->SetAsString("D");
    lines->Post();
    EXPECT_EQ(master->ChangeCount(), 1);
    EXPECT_EQ(master->ApplyUpdates(0), 0);
    EXPECT_EQ(master->ChangeCount(), 0);
    EXPECT_EQ(orders->Value(1, "LINES").Count(1), 2);
    master->First();
    EXPECT_EQ(lines->RecordCount(), 2);
}

TEST(ClientDataSet, DeletingAMasterWithNestedDetails) {
    DbFixture db(0);
    auto orders = std::make_shared<TMemoryProvider>(MasterDefs());
    orders->AppendRow({"O1", 1, Lines({"A", "B"}), Lines({"N1", "N2", "N3"})});
    orders->AppendRow({"O2", 1, Lines({"C"}), Lines({})});
    db.server->AddProvider("pvdOrders", orders);
    TClientDataSet* master = db.NewDataSet();
    master->SetProviderName("pvdOrders");
    master->Open();
    std::vector<std::string> deleted;
    std::function<void(TDataSet*)> deleteWithDetails = [&](TDataSet* ds) {
        for (int i = 0; i < ds->FieldCount(); ++i)
            if (auto* f = dynamic_cast<TDataSetField*>(ds->Fields(i))) {
                TDataSet* detail = f->NestedDataSet();
                detail->Last();
                while (!detail->IsEmpty()) {
                    deleted.push_back(detail->FieldByName("MB001")->AsString());
                    deleteWithDetails(detail);
                    detail->Last();
                }
            }
        ds->Delete();
    };
    deleteWithDetails(master);
    EXPECT_EQ(deleted, (Names{"B", "A", "N3", "N2", "N1"}));
    EXPECT_EQ(master->RecordCount(), 1);
    EXPECT_EQ(master->FieldByName("NO")->AsString(), "O2");
    EXPECT_EQ(master->ChangeCount(), 6);
    EXPECT_EQ(master->ApplyUpdates(0), 0);
    ASSERT_EQ(orders->RowCount(), 1);
    EXPECT_EQ(orders->Value(0, "NO").AsString(), "O2");
    EXPECT_EQ(master->ChangeCount(), 0);

    // A new master row with a detail still being edited: deleting the master
    // settles the detail first and then drops both.
    master->Append();
    master->FieldByName("NO")->SetAsString("O3");
    master->Post();
    auto* lines = master->FieldByName("LINES");
    TDataSet* detail = dynamic_cast<TDataSetField*>(lines)->NestedDataSet();
    detail->Append();
    detail->FieldByName("MB001")->SetAsString("Z");
    master->Delete();
    EXPECT_EQ(detail->State(), TDataSetState::dsBrowse);
    EXPECT_EQ(master->ChangeCount(), 0);
    EXPECT_EQ(master->FieldByName("NO")->AsString(), "O2");
    EXPECT_EQ(DbFixture::Column(detail, "MB001"), (Names{"C"}));   // the details of the row now current
}

TEST(ClientDataSet, FindKeyOnTheCurrentIndex) {
    DbFixture db(4);
    TClientDataSet* ds = db.NewDataSet();
    ds->Open();
    ds->IndexDefs().Add("Index1", "MB002;MB001", {TIndexOption::ixCaseInsensitive});
    ds->SetIndexName("Index1");
    EXPECT_TRUE(ds->FindKey({"NAME 3", "k3"}));
    EXPECT_EQ(ds->FieldByName("MB003")->AsInteger(), 30);
    EXPECT_TRUE(ds->FindKey({"name 2"}));
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K2");
    EXPECT_FALSE(ds->FindKey({"name 3", "K4"}));
    EXPECT_THROW(ds->FindKey({"a", "b", "c"}), EDatabaseError);
}

TEST(ClientDataSet, InternalCalculatedFieldsAreStoredAndSortable) {
    DbFixture db(3);
    TClientDataSet* ds = db.NewDataSet();
    auto* rank = new TIntegerField(&db.owner);
    rank->SetFieldName("RANK");
    rank->SetFieldKind(TFieldKind::fkInternalCalc);
    rank->SetDataSet(ds);
    int calls = 0;
    ds->OnCalcFields = [&](TDataSet* d) {
        ++calls;
        d->FieldByName("RANK")->SetAsInteger(100 - d->FieldByName("MB003")->AsInteger());
    };
    ds->Open();
    EXPECT_EQ(calls, 3);   // once per fetched record
    EXPECT_EQ(rank->AsInteger(), 90);
    ds->SetIndexFieldNames("RANK");
    EXPECT_EQ(DbFixture::Column(ds, "MB001"), (Names{"K3", "K2", "K1"}));
    EXPECT_EQ(calls, 3);   // reading does not recalculate
    ds->First();
    ds->Edit();
    ds->FieldByName("MB003")->SetAsInteger(5);
    ds->Post();
    EXPECT_EQ(rank->AsInteger(), 95);
    EXPECT_EQ(ds->RecNo(), 3);   // the record moved to its place in the order
    EXPECT_EQ(DbFixture::Column(ds, "MB001"), (Names{"K2", "K1", "K3"}));
    const TDelta delta = DecodeDelta(ds->Delta());
    EXPECT_EQ(delta.Fields.Count(), 4);   // internal values never travel
}
