#include <gtest/gtest.h>

#include "DbFixture.h"
#include "platform/classes/PropertyAccess.h"
#include "platform/db/DataLink.h"

namespace {

// Records every event of a dataset by name.
struct EventLog {
    std::vector<std::string> names;
    void Attach(TDataSet* ds) {
        auto on = [this](const char* name) { return [this, name](TDataSet*) { names.emplace_back(name); }; };
        ds->BeforeOpen = on("BeforeOpen");
        ds->AfterOpen = on("AfterOpen");
        ds->BeforeClose = on("BeforeClose");
        ds->AfterClose = on("AfterClose");
        ds->BeforeInsert = on("BeforeInsert");
        ds->AfterInsert = on("AfterInsert");
        ds->BeforeEdit = on("BeforeEdit");
        ds->AfterEdit = on("AfterEdit");
        ds->BeforePost = on("BeforePost");
        ds->AfterPost = on("AfterPost");
        ds->BeforeCancel = on("BeforeCancel");
        ds->AfterCancel = on("AfterCancel");
        ds->BeforeDelete = on("BeforeDelete");
        ds->AfterDelete = on("AfterDelete");
        ds->BeforeScroll = on("BeforeScroll");
        ds->AfterScroll = on("AfterScroll");
        ds->OnNewRecord = on("OnNewRecord");
    }
    std::vector<std::string> Take() { return std::exchange(names, {}); }
};

using Names = std::vector<std::string>;

}  // namespace

class DataSetTest : public ::testing::Test {
protected:
    DbFixture db;
    TClientDataSet* ds = db.NewDataSet();
    EventLog log;
};

TEST_F(DataSetTest, EventOrder) {
    log.Attach(ds);
    ds->Open();
    EXPECT_EQ(log.Take(), (Names{"BeforeOpen", "AfterOpen", "AfterScroll"}));

    ds->Append();
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    ds->FieldByName("MB001")->SetAsString("K9");
    ds->Post();
    EXPECT_EQ(log.Take(), (Names{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll",
                                 "BeforePost", "AfterPost"}));

    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("changed");
    ds->Cancel();
    EXPECT_EQ(log.Take(), (Names{"BeforeEdit", "AfterEdit", "BeforeCancel", "AfterCancel"}));
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "");

    ds->First();
    ds->Delete();
    EXPECT_EQ(log.Take(), (Names{"BeforeScroll", "AfterScroll", "BeforeDelete", "BeforeScroll", "AfterDelete",
                                 "AfterScroll"}));

    // A pending edit is posted before the cursor moves.
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("moved");
    ds->Next();
    EXPECT_EQ(log.Take(), (Names{"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}));
    ds->Close();
    EXPECT_EQ(log.Take(), (Names{"BeforeClose", "AfterClose"}));
}

TEST_F(DataSetTest, AbortInABeforeEventCancelsTheOperation) {
    ds->Open();
    struct Case {
        const char* name;
        TDataSetNotifyEvent TDataSet::*event;
        std::function<void()> action;
        TDataSetState state;
        int records;
    } cases[] = {
        {"insert", &TDataSet::BeforeInsert, [&] { ds->Append(); }, TDataSetState::dsBrowse, 5},
        {"edit", &TDataSet::BeforeEdit, [&] { ds->Edit(); }, TDataSetState::dsBrowse, 5},
        {"delete", &TDataSet::BeforeDelete, [&] { ds->Delete(); }, TDataSetState::dsBrowse, 5},
        {"post", &TDataSet::BeforePost, [&] {
             ds->Edit();
             ds->FieldByName("MB002")->SetAsString("x");
             ds->Post();
         }, TDataSetState::dsEdit, 5},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ds->*c.event = [](TDataSet*) { Abort(); };
        EXPECT_THROW(c.action(), EAbort);
        EXPECT_EQ(ds->State(), c.state);
        EXPECT_EQ(ds->RecordCount(), c.records);
        ds->*c.event = nullptr;
        ds->Cancel();
    }
    ds->Edit();
    ds->FieldByName("MB002")->SetAsString("x");
    ds->BeforePost = [](TDataSet*) { Abort(); };
    EXPECT_THROW(ds->Post(), EAbort);
    ds->BeforePost = nullptr;
    ds->Post();
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "x");
    EXPECT_EQ(ds->ChangeCount(), 1);
}

TEST_F(DataSetTest, Navigation) {
    ds->Open();
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(ds->RecordCount(), 5);
    EXPECT_EQ(ds->MoveBy(3), 3);
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(ds->MoveBy(5), 1);
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K5");
    ds->Prior();
    EXPECT_FALSE(ds->Eof());
    EXPECT_EQ(ds->MoveBy(-10), -3);
    EXPECT_TRUE(ds->Bof());
    ds->Last();
    EXPECT_EQ(ds->RecNo(), 5);
    ds->SetRecNo(2);
    EXPECT_EQ(ds->FieldByName("mb001")->AsString(), "K2");   // lookup by name ignores case
    EXPECT_EQ(ds->FindField("MB999"), nullptr);
    EXPECT_THROW(ds->FieldByName("MB999"), EDatabaseError);
    while (ds->RecordCount() > 1) ds->Delete();
    ds->First();
    ds->Next();   // one record: past its end is Eof, not Bof as well
    EXPECT_TRUE(ds->Eof());
    EXPECT_FALSE(ds->Bof());
    ds->Prior();
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    ds->Delete();
    EXPECT_TRUE(ds->Bof());
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 0);
    EXPECT_THROW(ds->Delete(), EDatabaseError);
    ds->Close();
    EXPECT_THROW(ds->Next(), EDatabaseError);
}

TEST_F(DataSetTest, InsertGoesBeforeTheCurrentRecordAppendAtTheEnd) {
    ds->Open();
    ds->SetRecNo(3);
    ds->Insert();
    ds->FieldByName("MB001")->SetAsString("I");
    ds->Post();
    EXPECT_EQ(ds->RecNo(), 3);
    ds->Append();
    ds->FieldByName("MB001")->SetAsString("A");
    ds->Post();
    EXPECT_EQ(DbFixture::Column(ds, "MB001"), (Names{"K1", "K2", "I", "K3", "K4", "K5", "A"}));
}

TEST_F(DataSetTest, RequiredFieldsAreCheckedBeforePost) {
    ds->Open();
    ds->FieldByName("MB002")->SetRequired(true);
    ds->Append();
    EXPECT_THROW(ds->Post(), EDatabaseError);
    EXPECT_EQ(ds->State(), TDataSetState::dsInsert);
    ds->FieldByName("MB002")->SetAsString("ok");
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 6);
}

TEST_F(DataSetTest, LocateOnTwoKeys) {
    db.table->AppendRow({"K6", "Name 2", 99, 1});
    ds->Open();
    struct Case {
        const char* fields;
        Variant values;
        TLocateOptions options;
        bool found;
        const char* key;
    } cases[] = {
        {"MB002;MB003", Variant::ArrayOf({"Name 2", 99}), {}, true, "K6"},
        {"MB002;MB003", Variant::ArrayOf({"name 2", 99}), {}, false, ""},
        {"MB002;MB003", Variant::ArrayOf({"NAME 2", 20}), {TLocateOption::loCaseInsensitive}, true, "K2"},
        {"MB002; MB003", Variant::ArrayOf({"name", 30}), {TLocateOption::loPartialKey}, true, "K3"},
        {"MB003", Variant("50"), {}, true, "K5"},
        {"MB001", Variant("K7"), {}, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fields + std::string(" ") + c.key);
        ds->First();
        EXPECT_EQ(ds->Locate(c.fields, c.values, c.options), c.found);
        if (c.found) EXPECT_EQ(ds->FieldByName("MB001")->AsString(), c.key);
        else EXPECT_EQ(ds->RecNo(), 1);
    }
    EXPECT_THROW(ds->Locate("MB002;MB003", Variant("x")), EDatabaseError);
}

TEST_F(DataSetTest, BookmarksSurviveAReSort) {
    ds->Open();
    ds->SetRecNo(2);
    const TBookmark k2 = ds->GetBookmark();
    ds->SetIndexFieldNames("MB003");
    ds->IndexDefs().Add("ByQtyDesc", "MB003", {TIndexOption::ixDescending});
    ds->SetIndexName("ByQtyDesc");
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K2");   // the current record stays current
    ds->First();
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K5");
    EXPECT_TRUE(ds->BookmarkValid(k2));
    ds->GotoBookmark(k2);
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K2");
    EXPECT_EQ(ds->RecNo(), 4);
    ds->Delete();
    EXPECT_FALSE(ds->BookmarkValid(k2));
    EXPECT_THROW(ds->GotoBookmark(k2), EDatabaseError);
}

TEST_F(DataSetTest, CalculatedFieldsAreComputedPerRecord) {
    auto* calc = new TStringField(&db.owner);
    calc->SetFieldName("LABEL");
    calc->SetFieldKind(TFieldKind::fkCalculated);
    calc->SetDataSet(ds);
    int calls = 0;
    ds->OnCalcFields = [&](TDataSet* d) {
        ++calls;
        EXPECT_EQ(d->State(), TDataSetState::dsCalcFields);
        d->FieldByName("LABEL")->SetAsString(d->FieldByName("MB001")->AsString() + "/" +
                                            d->FieldByName("MB003")->AsString());
        EXPECT_THROW(d->FieldByName("MB002")->SetAsString("x"), EDatabaseError);
    };
    ds->Open();
    EXPECT_EQ(ds->FieldCount(), 5);   // the calculated field and the four from the packet
    EXPECT_EQ(calc->AsString(), "K1/10");
    ds->Next();
    EXPECT_EQ(calc->AsString(), "K2/20");
    EXPECT_EQ(calc->AsString(), "K2/20");
    EXPECT_EQ(calls, 2);
    ds->Edit();
    ds->FieldByName("MB003")->SetAsInteger(21);
    EXPECT_EQ(calc->AsString(), "K2/21");
    ds->Cancel();
    EXPECT_EQ(calc->AsString(), "K2/20");
}

TEST_F(DataSetTest, PublishedPropertiesAndEvents) {
    SetPropValue(ds, "Active", true);
    EXPECT_TRUE(ds->Active());
    EXPECT_EQ(GetPropText(ds, "State"), "dsBrowse");
    auto* types = dynamic_cast<TStrings*>(GetObjectProp(ds, "ControlType"));
    ASSERT_NE(types, nullptr);
    types->Add("MB021;CheckBox;Y;N");
    EXPECT_EQ(ds->ControlType()->Strings(0), "MB021;CheckBox;Y;N");
    int scrolled = 0;
    ds->AfterScroll = [&](TDataSet*) { ++scrolled; };
    ds->BeforePost = [](TDataSet*) {};
    const auto saved = SaveAndClearEvents(ds, {"AfterEdit", "BeforePost", "AfterScroll", "NoSuchEvent"});
    EXPECT_EQ(saved.size(), 3u);
    ds->Next();
    EXPECT_EQ(scrolled, 0);
    RestoreEvents(ds, saved);
    ds->Next();
    EXPECT_EQ(scrolled, 1);
    EXPECT_TRUE(ds->BeforePost);
}

TEST_F(DataSetTest, MovingAFieldReordersTheFields) {
    ds->Open();
    TField* qty = ds->FieldByName("MB003");
    qty->SetIndex(0);
    EXPECT_EQ(ds->Fields(0), qty);
    EXPECT_EQ(ds->Fields(1)->FieldName(), "MB001");
    EXPECT_EQ(qty->Index(), 0);
    EXPECT_EQ(qty->FieldNo(), 3);   // the definition's position does not change
    EXPECT_EQ(qty->AsInteger(), 10);
}

TEST_F(DataSetTest, AggregateSummarisesAllRecords) {
    auto* total = new TAggregateField(&db.owner);
    total->SetFieldName("TOTAL");
    total->SetExpression("SUM(MB003)");
    total->SetDataSet(ds);
    ds->Open();
    EXPECT_DOUBLE_EQ(total->AsFloat(), 150.0);
    total->SetExpression("max(MB001)");
    EXPECT_EQ(total->AsString(), "K5");
    total->SetExpression("COUNT(MB003)");
    EXPECT_EQ(total->AsInteger(), 5);
    total->SetExpression("MEDIAN(MB003)");
    EXPECT_THROW(total->Value(), EDatabaseError);
}
