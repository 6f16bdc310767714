#include <gtest/gtest.h>

#include "DbFixture.h"
#include "platform/db/DataLink.h"

namespace {

// A stand-in for a data-aware edit: shows the field's text, and writes what the
// user typed when the dataset asks.
struct FakeEdit {
    TFieldDataLink link;
    std::string text;
    std::vector<std::string> log;
    explicit FakeEdit(TDataSource* source, const std::string& field) {
        link.OnDataChange = [this](TObject*) {
            text = link.Field() ? link.Field()->DisplayText() : "";
            log.push_back("data " + text);
        };
        link.OnEditingChange = [this](TObject*) { log.push_back(link.Editing() ? "editing" : "browsing"); };
        link.OnUpdateData = [this](TObject*) { link.Field()->SetText(text); };
        link.OnActiveChange = [this](TObject*) { log.push_back(link.Active() ? "active" : "inactive"); };
        link.SetFieldName(field);
        link.SetDataSource(source);
    }
    // The user types: the link puts the dataset into edit state first.
    bool Type(const std::string& typed) {
        if (!link.Edit()) return false;
        text = typed;
        link.Modified();
        return true;
    }
};

}  // namespace

class DataSourceTest : public ::testing::Test {
protected:
    DbFixture db{3};
    TClientDataSet* ds = db.NewDataSet();
    TDataSource* source = new TDataSource(&db.owner);
    void SetUp() override { source->SetDataSet(ds); }
};

TEST_F(DataSourceTest, AFieldLinkFollowsAndEditsTheRecord) {
    FakeEdit edit(source, "MB002");
    EXPECT_FALSE(edit.link.Active());
    ds->Open();
    EXPECT_TRUE(edit.link.Active());
    EXPECT_EQ(edit.text, "name 1");
    ds->Next();
    EXPECT_EQ(edit.text, "name 2");

    EXPECT_TRUE(edit.Type("typed"));
    EXPECT_EQ(ds->State(), TDataSetState::dsEdit);
    ds->Post();   // asks the link for its value first
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "typed");
    EXPECT_EQ(edit.text, "typed");

    source->SetAutoEdit(false);
    EXPECT_FALSE(edit.Type("refused"));
    source->SetAutoEdit(true);
    ds->FieldByName("MB002")->SetReadOnly(true);
    EXPECT_FALSE(edit.Type("refused"));
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);

    ds->Close();
    EXPECT_FALSE(edit.link.Active());
    EXPECT_EQ(edit.link.Field(), nullptr);
    EXPECT_EQ(edit.log.back(), "inactive");
}

TEST_F(DataSourceTest, AMissingRequiredValueAsksItsControlForFocus) {
    FakeEdit name(source, "MB002");
    FakeEdit qty(source, "MB003");
    std::vector<std::string> focused;
    for (FakeEdit* e : {&name, &qty})
        e->link.OnFocusRequest = [&focused](TObject*, TField* f) { focused.push_back(f->FieldName()); };
    ds->Open();
    ds->FieldByName("MB003")->SetRequired(true);
    ds->Append();
    name.Type("typed");
    EXPECT_THROW(ds->Post(), EDatabaseError);
    EXPECT_EQ(focused, (std::vector<std::string>{"MB003"}));
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "typed");   // written before the check

    ds->Cancel();
    ds->SetReadOnly(true);
    EXPECT_FALSE(qty.Type("5"));
    EXPECT_EQ(ds->State(), TDataSetState::dsBrowse);
}

TEST_F(DataSourceTest, EventsAndDisabledControls) {
    int dataChanges = 0, stateChanges = 0;
    TField* changedField = nullptr;
    source->OnDataChange = [&](TObject*, TField* f) {
        ++dataChanges;
        changedField = f;
    };
    source->OnStateChange = [&](TObject*) { ++stateChanges; };
    ds->Open();
    EXPECT_EQ(stateChanges, 1);
    ds->Edit();
    EXPECT_EQ(stateChanges, 2);
    ds->FieldByName("MB003")->SetAsInteger(5);
    EXPECT_EQ(changedField, ds->FieldByName("MB003"));
    ds->Post();
    EXPECT_EQ(changedField, nullptr);

    dataChanges = stateChanges = 0;
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->Edit();
    ds->Cancel();
    ds->EnableControls();
    EXPECT_EQ(dataChanges, 0);   // still disabled once
    EXPECT_TRUE(ds->ControlsDisabled());
    ds->EnableControls();
    EXPECT_FALSE(ds->ControlsDisabled());
    EXPECT_EQ(dataChanges, 1);
    EXPECT_EQ(stateChanges, 0);   // the state is the same as when the controls were disabled

    source->SetEnabled(false);
    EXPECT_EQ(source->State(), TDataSetState::dsInactive);
    ds->Next();
    EXPECT_EQ(dataChanges, 1);
}

TEST_F(DataSourceTest, AGridWindowReadsRowsWithoutMovingTheCursor) {
    TDataLink grid;
    grid.SetDataSource(source);
    grid.SetBufferCount(2);
    int scrolls = 0;
    ds->AfterScroll = [&](TDataSet*) { ++scrolls; };
    ds->Open();
    scrolls = 0;
    ds->Last();
    EXPECT_EQ(grid.FirstRecord(), 1);
    EXPECT_EQ(grid.ActiveRecord(), 1);
    EXPECT_EQ(grid.RecordCount(), 2);
    std::vector<std::string> rows;
    for (int row = 0; row < grid.RecordCount(); ++row) {
        grid.SetActiveRecord(row);
        rows.push_back(ds->FieldByName("MB001")->AsString());
    }
    grid.SetActiveRecord(-1);
    EXPECT_EQ(rows, (std::vector<std::string>{"K2", "K3"}));
    EXPECT_EQ(ds->FieldByName("MB001")->AsString(), "K3");
    EXPECT_EQ(scrolls, 1);
}

TEST_F(DataSourceTest, DestroyingTheDataSetLeavesNoDanglingReferences) {
    FakeEdit edit(source, "MB001");
    ds->Open();
    delete ds;
    EXPECT_EQ(source->DataSet(), nullptr);
    EXPECT_FALSE(edit.link.Active());
    delete source;
    EXPECT_EQ(edit.link.DataSource(), nullptr);
}
