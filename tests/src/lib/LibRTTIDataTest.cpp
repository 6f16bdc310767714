#include <gtest/gtest.h>

#include "platform/db/ClientDataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/Fields.h"
#include "platform/vcl/DBGrid.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"
#include "src/lib/LibRTTI.h"

namespace {
using Names = std::vector<std::string>;

// An in-memory dataset: KEY text(4), NAME text(10), QTY integer, PRICE float, NOTE memo.
struct DataFixture {
    TComponent owner{nullptr};
    TClientDataSet* ds = new TClientDataSet(&owner);
    TDataSource* source = new TDataSource(&owner);

    explicit DataFixture(int rows = 2) {
        ds->FieldDefs().Add("KEY", TFieldType::ftString, 4);
        ds->FieldDefs().Add("NAME", TFieldType::ftString, 10);
        ds->FieldDefs().Add("QTY", TFieldType::ftInteger);
        ds->FieldDefs().Add("PRICE", TFieldType::ftFloat);
        ds->FieldDefs().Add("NOTE", TFieldType::ftMemo);
        ds->CreateDataSet();
        for (int i = 1; i <= rows; ++i) {
            ds->Append();
            ds->FieldByName("KEY")->SetAsString("K" + std::to_string(i));
            ds->Post();
        }
        source->SetDataSet(ds);
    }
};

const Names DataSetEvents = {"AfterEdit",  "AfterInsert", "AfterOpen",  "AfterPost",    "BeforeEdit",
                             "BeforeInsert", "BeforeOpen", "BeforePost", "BeforeScroll", "AfterScroll"};
}  // namespace

TEST(LibRTTIData, SaveClearAndRestoreDataSetEvents) {
    DataFixture f;
    Names fired;
    for (const std::string& name : DataSetEvents)
        SetMethodPropByName(f.ds, name, TMethod(TDataSetNotifyEvent([&fired, name](TDataSet*) { fired.push_back(name); })));
    f.ds->BeforeCancel = [&](TDataSet*) { fired.push_back("BeforeCancel"); };   // not one of the ten

    const std::vector<TSavedEvent> saved = SaveAndClearDataSetEvents(f.ds);
    Names savedNames;
    for (const auto& e : saved) savedNames.push_back(e.Name);
    EXPECT_EQ(savedNames, DataSetEvents);
    f.ds->Edit();
    f.ds->Cancel();
    f.ds->First();
    f.ds->Next();
    EXPECT_EQ(fired, Names{"BeforeCancel"});

    RestoreDataSetEvents(f.ds, saved);
    fired.clear();
    f.ds->Edit();
    f.ds->Post();
    EXPECT_EQ(fired, (Names{"BeforeEdit", "AfterEdit", "BeforePost", "AfterPost"}));
}

TEST(LibRTTIData, SaveClearAndRestoreDataSourceEvents) {
    DataFixture f;
    int dataChanges = 0, stateChanges = 0, scrolls = 0;
    f.source->OnDataChange = [&](TObject*, TField*) { ++dataChanges; };
    f.source->OnStateChange = [&](TObject*) { ++stateChanges; };
    f.ds->AfterScroll = [&](TDataSet*) { ++scrolls; };

    const TDataSourceEvents saved = SaveAndClearDataSourceEvents(f.source);
    EXPECT_EQ(saved.DataSet.size(), 10u);
    EXPECT_EQ(saved.DataSource.size(), 2u);
    f.ds->First();
    f.ds->Next();
    f.ds->Edit();
    f.ds->Cancel();
    EXPECT_EQ(dataChanges + stateChanges + scrolls, 0);

    RestoreDataSourceEvents(f.source, saved);
    f.ds->Prior();
    f.ds->Edit();
    EXPECT_EQ(scrolls, 1);
    EXPECT_GT(dataChanges, 0);
    EXPECT_EQ(stateChanges, 1);

    TDataSource lonely(nullptr);   // no dataset: only its own events
    lonely.OnStateChange = [](TObject*) {};
    const TDataSourceEvents own = SaveAndClearDataSourceEvents(&lonely);
    EXPECT_TRUE(own.DataSet.empty());
    EXPECT_FALSE(lonely.OnStateChange);
    RestoreDataSourceEvents(&lonely, own);
    EXPECT_TRUE(lonely.OnStateChange);
    EXPECT_TRUE(SaveAndClearDataSourceEvents(nullptr).DataSource.empty());
}

TEST(LibRTTIData, HasBrowseRecord) {
    DataFixture full;
    DataFixture empty(0);
    EXPECT_TRUE(HasBrowseRecord(full.ds));
    EXPECT_FALSE(HasBrowseRecord(empty.ds));
    EXPECT_FALSE(HasBrowseRecord(nullptr));
    full.ds->Edit();
    EXPECT_FALSE(HasBrowseRecord(full.ds));   // editing
    full.ds->Cancel();
    full.ds->Close();
    EXPECT_FALSE(HasBrowseRecord(full.ds));
}

TEST(LibRTTIData, SetFieldValue) {
    DataFixture f;
    f.ds->Edit();
    TField* name = f.ds->FieldByName("NAME");
    TField* qty = f.ds->FieldByName("QTY");
    TField* price = f.ds->FieldByName("PRICE");
    TField* note = f.ds->FieldByName("NOTE");
    std::vector<std::string> setTexts;
    qty->OnSetText = [&](TField* sender, const std::string& text) {
        setTexts.push_back(text);
        sender->SetAsString(text.substr(0, text.find(',')) + text.substr(text.find(',') + 1));
    };

    EXPECT_FALSE(SetFieldValue(nullptr, "x", true));

    name->SetReadOnly(true);
    EXPECT_TRUE(SetFieldValue(name, "费用调整单ABCDEFG", false));   // 12 characters into 10
    EXPECT_EQ(name->AsString(), "费用调整单ABCDE");
    EXPECT_TRUE(name->ReadOnly());   // restored

    EXPECT_TRUE(SetFieldValue(qty, "1,234", true));   // edit text: through the set-text handling
    EXPECT_EQ(qty->AsInteger(), 1234);
    EXPECT_EQ(setTexts, (std::vector<std::string>{"1,234"}));
    EXPECT_TRUE(SetFieldValue(qty, "77", false));      // plain value: no handler
    EXPECT_EQ(qty->AsInteger(), 77);
    EXPECT_EQ(setTexts.size(), 1u);

    EXPECT_TRUE(SetFieldValue(price, "12.5", true));
    EXPECT_DOUBLE_EQ(price->AsFloat(), 12.5);
    const std::string longNote(300, 'n');
    EXPECT_TRUE(SetFieldValue(note, longNote, false));
    EXPECT_EQ(note->AsString(), longNote);

    price->SetReadOnly(true);
    EXPECT_THROW(SetFieldValue(price, "not a number", false), EConvertError);
    EXPECT_TRUE(price->ReadOnly());   // restored after the error too
    EXPECT_DOUBLE_EQ(price->AsFloat(), 12.5);
}

TEST(LibRTTIData, GetLastControlsOfPages) {
    TComponent form(nullptr);
    auto* pages = new TPageControl(&form);
    pages->SetName("pgHead");
    auto page = [&](const char* name) {
        auto* p = new TTabSheet(&form);
        p->SetName(name);
        p->SetPageControl(pages);
        return p;
    };
    TTabSheet* p0 = page("tbsMain");
    TTabSheet* p1 = page("tbsOther");
    TTabSheet* p2 = page("tbsEmpty");
    TTabSheet* udf = page("TbsUDF");
    TTabSheet* browse = page("tbsbrowse");
    auto edit = [&](const char* name, TWinControl* parent, int tabOrder) {
        auto* e = new TEdit(&form);
        e->SetName(name);
        e->SetParent(parent);
        e->SetTabOrder(tabOrder);
        return e;
    };
    edit("edMB001", p0, 0);
    edit("edMB003", p0, 2);
    edit("edMB002", p0, 1);
    edit("edHidden", p0, 3)->SetVisible(false);
    edit("edOff", p1, 5)->SetEnabled(false);
    edit("edMB010", p1, 0);
    auto* panel = new TPanel(&form);
    panel->SetName("pnlInner");
    panel->SetParent(p1);
    panel->SetTabOrder(1);
    edit("edOnPanel", panel, 9);   // its parent is the panel, not the page
    edit("edUDF1", udf, 0);
    edit("edGrid", browse, 0);
    (void)p2;

    const TPageLastControls last = GetLastControlsOfPages(pages);
    EXPECT_EQ(last.Names, (Names{"edMB003", "pnlInner"}));
    ASSERT_NE(last.LastControl, nullptr);
    EXPECT_EQ(last.LastControl->Name(), "pnlInner");

    // Without the browse page, the user-defined page is the last and is left out too;
    // with another page after it, it counts.
    browse->SetPageControl(nullptr);
    EXPECT_EQ(GetLastControlsOfPages(pages).Names, (Names{"edMB003", "pnlInner"}));
    page("tbsMore");
    EXPECT_EQ(GetLastControlsOfPages(pages).Names, (Names{"edMB003", "pnlInner", "edUDF1"}));

    EXPECT_TRUE(GetLastControlsOfPages(nullptr).Names.empty());
    EXPECT_EQ(GetLastControlsOfPages(nullptr).LastControl, nullptr);
}

TEST(LibRTTIData, CopySelectedItems) {
    TComponent form(nullptr);
    auto* source = new TListBox(&form);
    auto* target = new TListBox(&form);
    source->SetMultiSelect(true);
    for (const char* item : {"MB001", "MB002", "mb003", "MB004"}) source->Items()->Add(item);
    target->Items()->Add("MB003");
    source->SetSelected(0, true);
    source->SetSelected(2, true);
    source->SetSelected(3, true);
    CopySelectedItems(source, target);
    CopySelectedItems(source, target);   // a second copy adds nothing
    std::vector<std::string> items;
    for (int i = 0; i < target->Items()->Count(); ++i) items.push_back(target->Items()->Strings(i));
    EXPECT_EQ(items, (Names{"MB003", "MB001", "MB004"}));
    CopySelectedItems(nullptr, target);
    CopySelectedItems(source, nullptr);
}

TEST(LibRTTIData, FitGridColumns) {
    struct Case {
        const char* name;
        bool indicator;
        int gridWidth;
        bool widens;   // else the parent grows
    } cases[] = {
        {"room to spare", true, 2000, true},
        {"no indicator", false, 2000, true},
        {"too narrow", true, 50, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DataFixture f;
        auto* panel = new TPanel(&f.owner);
        panel->SetWidth(100);
        auto* grid = new TwwDBGrid(&f.owner);
        grid->SetParent(panel);
        grid->SetDataSource(f.source);
        if (!c.indicator) grid->SetOptions(grid->Options() - TwwDBGridOptions{TwwDBGridOption::dgIndicator});
        grid->SetWidth(c.gridWidth);
        const int first = grid->IndicatorOffset();
        const int fields = grid->FieldCount();
        ASSERT_EQ(fields, 5);
        std::vector<int> before;
        int sum = 17 + 2;
        for (int col = 0; col < first + fields; ++col) {
            before.push_back(grid->ColWidths(col));
            sum += grid->ColWidths(col) + grid->GridLineWidth();
        }
        FitGridColumns(grid);
        EXPECT_TRUE(grid->Enabled());   // enabled again afterwards
        if (c.widens) {
            const int extra = (grid->ClientWidth() - sum) / fields;
            ASSERT_GT(extra, 0);
            if (first) {
                EXPECT_EQ(grid->ColWidths(0), before[0]);   // the indicator keeps its width
            }
            for (int col = first; col < first + fields; ++col) EXPECT_EQ(grid->ColWidths(col), before[static_cast<size_t>(col)] + extra);
            EXPECT_EQ(panel->Width(), 100);
        } else {
            for (int col = 0; col < first + fields; ++col) EXPECT_EQ(grid->ColWidths(col), before[static_cast<size_t>(col)]);
            EXPECT_EQ(panel->ClientWidth(), sum);
        }
    }

    // Without an open dataset nothing happens, although the grid is too narrow.
    DataFixture closed;
    auto* panel = new TPanel(&closed.owner);
    panel->SetWidth(100);
    auto* grid = new TwwDBGrid(&closed.owner);
    grid->SetParent(panel);
    grid->SetDataSource(closed.source);
    grid->SetWidth(50);
    closed.ds->Close();
    FitGridColumns(grid);
    EXPECT_EQ(panel->Width(), 100);
    FitGridColumns(nullptr);
}
