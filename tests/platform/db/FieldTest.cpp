#include <gtest/gtest.h>

#include "DbFixture.h"
#include "platform/classes/PropertyAccess.h"
#include "platform/db/NumberFormat.h"

TEST(NumberFormat, Patterns) {
    struct Case {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"#,##0.00", 1234567.891, "1,234,567.89"},
        {"#,##0.00", -1234.5, "-1,234.50"},
        {"#,##0.00", 0, "0.00"},
        {"#,##0.#######", 1234.5, "1,234.5"},
        {"#,##0.#######", 3, "3"},
        {"##0.#######", 1234.125, "1234.125"},
        {"#,##0.", 2.675, "3"},
        {"0.00", 2.675, "2.68"},      // half away from zero on the shortest decimal form
        {"0.00", -2.675, "-2.68"},
        {"0.00", 1.005, "1.01"},
        {"#,##0.00;(#,##0.00)", -5, "(5.00)"},
        {"0.0;-0.0;'zero'", 0, "zero"},
        {"0000", 42, "0042"},
        {"#", 0, ""},
        {"0.00%", 12.5, "12.50%"},
        {"'$'#,##0", 1234, "$1,234"},
        {"0.00", -0.001, "0.00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " " + std::to_string(c.value));
        EXPECT_EQ(FormatFloat(c.pattern, c.value), c.text);
    }
}

class FieldTest : public ::testing::Test {
protected:
    DbFixture db{2};
    TClientDataSet* ds = db.NewDataSet();
    void SetUp() override {
        ds->Open();
        ds->Edit();
    }
};

TEST_F(FieldTest, ValueChangeRunsSetTextValidateChangeInOrder) {
    std::vector<std::string> log;
    TField* f = ds->FieldByName("MB002");
    f->OnSetText = [&](TField* sender, const std::string& text) {
        log.push_back("settext " + text);
        sender->SetAsString(UpperCase(text));
    };
    f->OnValidate = [&](TField* sender) { log.push_back("validate " + sender->AsString()); };
    f->OnChange = [&](TField* sender) { log.push_back("change " + sender->AsString()); };
    f->SetText("abc");
    EXPECT_EQ(log, (std::vector<std::string>{"settext abc", "validate ABC", "change ABC"}));
    EXPECT_TRUE(ds->Modified());
}

TEST_F(FieldTest, ValidateHandlerRefusingKeepsTheOldValue) {
    TField* f = ds->FieldByName("MB003");
    bool changed = false;
    f->OnValidate = [](TField* sender) {
        if (sender->AsInteger() < 0) throw EDatabaseError("negative");
    };
    f->OnChange = [&](TField*) { changed = true; };
    EXPECT_THROW(f->SetAsInteger(-5), EDatabaseError);
    EXPECT_EQ(f->AsInteger(), 10);
    EXPECT_FALSE(changed);
    EXPECT_FALSE(ds->Modified());
    f->SetAsInteger(7);
    EXPECT_EQ(f->AsInteger(), 7);
    EXPECT_TRUE(changed);
}

TEST_F(FieldTest, BadInputLeavesTheOldValue) {
    struct Case {
        const char* field;
        const char* text;
    } cases[] = {{"MB003", "abc"}, {"MB003", "1.5"}, {"MB003", "12x"}, {"MB003", "99999999999"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " <- " + c.text);
        EXPECT_ANY_THROW(ds->FieldByName(c.field)->SetAsString(c.text));
        EXPECT_EQ(ds->FieldByName(c.field)->AsInteger(), 10);
    }
    EXPECT_THROW(ds->FieldByName("MB003")->SetText("abc"), EConvertError);
    ds->FieldByName("MB003")->SetText(" ");   // an empty numeric text clears
    EXPECT_TRUE(ds->FieldByName("MB003")->IsNull());
}

TEST_F(FieldTest, TextIsCutAtTheSizeWithoutSplittingACharacter) {
    TField* f = ds->FieldByName("MB001");   // 4 characters
    struct Case {
        const char* text;
        const char* stored;
    } cases[] = {{"ABCDEFG", "ABCD"}, {"设置分录性质", "设置分录"}, {"ab设置分", "ab设置"}, {"短", "短"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        f->SetAsString(c.text);
        EXPECT_EQ(f->AsString(), c.stored);
    }
}

TEST_F(FieldTest, ConversionsAndFormats) {
    auto* qty = dynamic_cast<TNumericField*>(ds->FieldByName("MB003"));
    ASSERT_NE(qty, nullptr);
    qty->SetAsString("1234567");
    qty->SetDisplayFormat("#,##0.00");
    EXPECT_EQ(qty->DisplayText(), "1,234,567.00");
    EXPECT_EQ(qty->Text(), "1,234,567.00");   // editing uses the display format without an edit format
    qty->SetEditFormat("0");
    EXPECT_EQ(qty->Text(), "1234567");
    EXPECT_DOUBLE_EQ(qty->AsFloat(), 1234567.0);
    EXPECT_EQ(qty->AsString(), "1234567");
    qty->Clear();
    EXPECT_TRUE(qty->IsNull());
    EXPECT_EQ(qty->DisplayText(), "");
    qty->OnGetText = [](TField*, std::string& text, bool display) { text = display ? "shown" : "edited"; };
    EXPECT_EQ(qty->DisplayText(), "shown");
    EXPECT_EQ(qty->Text(), "edited");
}

TEST_F(FieldTest, ChangesNeedEditStateAndAWritableField) {
    ds->Cancel();
    EXPECT_THROW(ds->FieldByName("MB002")->SetAsString("x"), EDatabaseError);
    ds->Edit();
    ds->FieldByName("MB002")->SetReadOnly(true);
    EXPECT_THROW(ds->FieldByName("MB002")->SetAsString("x"), EDatabaseError);
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "name 1");
}

TEST_F(FieldTest, OldValueIsTheFetchedValue) {
    ds->FieldByName("MB002")->SetAsString("new");
    ds->Post();
    EXPECT_EQ(ds->FieldByName("MB002")->AsString(), "new");
    EXPECT_EQ(ds->FieldByName("MB002")->OldValue().AsString(), "name 1");
}

TEST(FieldClasses, RegisteredAndPublished) {
    RegisterFieldClasses();
    const char* names[] = {"TADTField", "TAggregateField", "TArrayField", "TAutoIncField", "TBCDField",
                           "TBinaryField", "TBlobField", "TBooleanField", "TBytesField", "TCurrencyField",
                           "TDateField", "TDataSetField", "TDateTimeField", "TFloatField", "TGraphicField",
                           "TIntegerField", "TLargeintField", "TMemoField", "TNumericField", "TObjectField",
                           "TReferenceField", "TSmallintField", "TStringField", "TTimeField", "TVarBytesField",
                           "TWordField"};
    TComponent owner(nullptr);
    for (const char* name : names) {
        SCOPED_TRACE(name);
        TComponent* c = CreateComponentByClassName(name, &owner);
        ASSERT_NE(dynamic_cast<TField*>(c), nullptr);
        EXPECT_EQ(c->ClassName(), name);
    }
    auto* f = dynamic_cast<TFloatField*>(CreateComponentByClassName("TFloatField", &owner));
    SetPropValue(f, "DisplayFormat", "#,##0.00");
    SetPropValue(f, "DisplayLabel", "数量");
    SetPropValue(f, "FieldKind", "fkCalculated");
    EXPECT_EQ(f->DisplayFormat(), "#,##0.00");
    EXPECT_EQ(f->DisplayLabel(), "数量");
    EXPECT_EQ(f->FieldKind(), TFieldKind::fkCalculated);
    f->OnValidate = [](TField*) {};
    auto saved = SaveAndClearEvents(f, {"OnValidate", "OnChange"});
    EXPECT_FALSE(f->OnValidate);
    RestoreEvents(f, saved);
    EXPECT_TRUE(f->OnValidate);
}

TEST(FieldClasses, TypedConversions) {
    TComponent owner(nullptr);
    auto* ds = new TClientDataSet(&owner);
    ds->FieldDefs().Add("B", TFieldType::ftBoolean);
    ds->FieldDefs().Add("D", TFieldType::ftDate);
    ds->FieldDefs().Add("T", TFieldType::ftTime);
    ds->FieldDefs().Add("S", TFieldType::ftSmallint);
    ds->FieldDefs().Add("F", TFieldType::ftFloat);
    ds->CreateDataSet();
    ds->Append();
    ds->FieldByName("B")->SetAsString("true");
    ds->FieldByName("D")->SetAsString("2024-03-05 14:05");
    ds->FieldByName("T")->SetAsString("2024-03-05 14:05:09");
    ds->FieldByName("F")->SetAsString("1.5e2");
    EXPECT_THROW(ds->FieldByName("S")->SetAsInteger(40000), EDatabaseError);
    EXPECT_THROW(ds->FieldByName("D")->SetAsString("5 March"), EConvertError);
    EXPECT_THROW(ds->FieldByName("F")->SetAsString("1,5"), EConvertError);
    EXPECT_EQ(ds->FieldByName("B")->DisplayText(), "True");
    EXPECT_EQ(ds->FieldByName("D")->DisplayText(), "2024-03-05");
    EXPECT_EQ(ds->FieldByName("T")->DisplayText(), "14:05:09");
    EXPECT_DOUBLE_EQ(ds->FieldByName("F")->AsFloat(), 150.0);
    EXPECT_TRUE(ds->FieldByName("S")->IsNull());
}
