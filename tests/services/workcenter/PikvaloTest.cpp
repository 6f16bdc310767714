#include <gtest/gtest.h>

#include "platform/vcl/Edit.h"
#include "platform/vcl/Grid.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListBox.h"
#include "platform/vcl/ListView.h"
#include "services/workcenter/Calculator.h"
#include "services/workcenter/Pikvalo.h"
#include "tests/services/workcenter/WorkCenterFixture.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/UserInput.h"

namespace {

class PikvaloTest : public WorkCenterFixture {
protected:
    static Variant Service(TServerLink& link) { return Variant(std::static_pointer_cast<IDispatch>(std::make_shared<TPikvalo>(link))); }

    // The 19-element array the broker builds for a lookup.
    static Variant LookupArray(const char* table, const char* kind, Variant values, const char* text, bool firstFlag) {
        return Variant::ArrayOf({table, kind, values, false, text, "DEMO", "DEMO", 0, 1, firstFlag, 0, "", "", "", "N",
                                 true, true, Variant(), "DS"});
    }
    Variant F2(const char* table, const char* kind, Variant values, const char* text = "", bool firstFlag = false) {
        Variant lookup = LookupArray(table, kind, std::move(values), text, firstFlag);
        return pikvalo.Call("F2GetData", ByRef(lookup));
    }
    static int ListedRows(TCustomForm& form) { return Find<TListView>(form, "lvRows")->ItemCount(); }

    Variant pikvalo = Service(link);
    TDialogAnswerer answerer;
};

TEST_F(PikvaloTest, AUserMarksTwoRowsAndGetsBothBack) {
    int listed = 0;
    answerer.Then([&](TCustomForm& f) {
        listed = ListedRows(f);
        PressKey(f, VK_TAB);     // from the search box into the list
        PressKey(f, VK_SPACE);   // mark K501
        PressKey(f, VK_DOWN);
        PressKey(f, VK_DOWN);
        PressKey(f, VK_SPACE);   // mark K503
        PressKey(f, VK_RETURN);
    });
    const Variant rows = F2("CMSMQ", "19", Variant::ArrayOf({"K5", ""}));
    EXPECT_EQ(3, listed);
    ASSERT_TRUE(rows.IsArray());
    ASSERT_EQ(2, rows.Count());
    EXPECT_EQ(Variant::ArrayOf({"K501", "费用调整单"}), rows[0]);
    EXPECT_EQ(Variant::ArrayOf({"K503", "费用分摊单"}), rows[1]);
    ASSERT_EQ(1u, answerer.Shown().size());
    EXPECT_EQ("单别查询", answerer.Shown()[0].Caption);
}

TEST_F(PikvaloTest, TheSearchBoxFiltersAsTheUserTypes) {
    std::vector<int> listed;
    answerer.Then([&](TCustomForm& f) {
        listed.push_back(ListedRows(f));
        TypeText(f, "9");
        listed.push_back(ListedRows(f));      // 9101 and 9102 (kind 23 holds usable voucher types only)
        TypeText(f, "102");
        listed.push_back(ListedRows(f));
        PressKey(f, VK_BACK);
        PressKey(f, VK_BACK);
        PressKey(f, VK_BACK);
        PressKey(f, VK_BACK);
        TypeText(f, "记账");                  // names match too
        listed.push_back(ListedRows(f));
        PressKey(f, VK_RETURN);               // no mark: the current row
    });
    const Variant rows = F2("CMSMQ", "23", Variant::ArrayOf({"91", "1"}));
    EXPECT_EQ((std::vector<int>{2, 2, 1, 1}), listed);
    ASSERT_EQ(1, rows.Count());
    EXPECT_EQ("9102", rows[0][0].AsString());
}

TEST_F(PikvaloTest, CancelOrAnUndefinedKindChoosesNothing) {
    answerer.Then([](TCustomForm& f) { PressKey(f, VK_ESCAPE); });
    EXPECT_TRUE(F2("CMSMQ", "19", Variant::ArrayOf({"K5"})).IsEmpty());
    EXPECT_TRUE(F2("CMSMQ", "77", Variant::ArrayOf({"K5"})).IsEmpty());
    EXPECT_TRUE(F2("CMSMQ", "19", Variant::ArrayOf({"ZZ"})).IsEmpty());   // no rows: no window
    EXPECT_EQ(1u, answerer.Shown().size());
}

TEST_F(PikvaloTest, ACodeTypedInAFieldIsTakenWithoutAWindowWhenItMatches) {
    Variant rows = F2("ACTMA", "68", Variant::ArrayOf({"1002"}), "1002", true);
    EXPECT_TRUE(answerer.Shown().empty());
    ASSERT_EQ(1, rows.Count());
    EXPECT_EQ("银行存款", rows[0][1].AsString());

    // A partial code opens the window filtered by it; one row at most comes back.
    int listed = 0;
    answerer.Then([&](TCustomForm& f) {
        listed = ListedRows(f);
        PressKey(f, VK_DOWN);
        PressKey(f, VK_RETURN);
    });
    rows = F2("ACTMA", "68", Variant::ArrayOf({"6602"}), "6602", true);
    EXPECT_EQ(1, listed);   // 660201 (6602 itself is no posting account)
    ASSERT_EQ(1, rows.Count());
    EXPECT_EQ("660201", rows[0][0].AsString());
}

TEST(CalculatorTest, EvaluatesOrSaysWhy) {
    struct Case {
        const char* expression;
        const char* value;   // nullptr: does not evaluate
    };
    const Case cases[] = {{"12.5*(3+1)/2", "25"}, {"1+2*3", "7"},        {"(1+2)*3", "9"},   {"-3+-(2)", "-5"},
                          {" 1,000 / 8 ", "125"},   {"0.1+0.2", "0.3"},    {"7/3", "2.3333333333"},
                          {"2*(3", nullptr},        {"1/0", nullptr},      {"1+", nullptr},     {"", nullptr},
                          {"3x", nullptr},          {"1..2", nullptr},     {"(1))", nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expression);
        if (c.value) {
            EXPECT_EQ(c.value, FormatCalcValue(EvaluateExpression(c.expression)));
        } else {
            EXPECT_THROW(EvaluateExpression(c.expression), ECalcError);
        }
    }
}

TEST_F(PikvaloTest, CalculatorWindowReturnsTheValueOrLeavesTheTextAlone) {
    answerer.Click("btnOK");
    Variant text = "12.5*(3+1)/2";
    EXPECT_EQ("25", pikvalo.Call("GetCalcValue", ByRef(text), 0).AsString());
    EXPECT_EQ("25", text.AsString());

    // OK on an expression that does not evaluate keeps the window open and says why.
    std::string reason;
    answerer.Click("btnOK").Then([&](TCustomForm& f) {
        reason = Find<TLabel>(f, "lblResult")->Caption();
        PressKey(f, VK_ESCAPE);
    });
    text = "12+*3";
    EXPECT_EQ("12+*3", pikvalo.Call("GetCalcValue", ByRef(text), 0).AsString());
    EXPECT_EQ("12+*3", text.AsString());
    EXPECT_NE(std::string::npos, reason.find("*")) << reason;

    // The user corrects the expression.
    answerer.Then([](TCustomForm& f) {
        PressKey(f, VK_END);    // the text starts selected
        PressKey(f, VK_BACK);   // "12+*"
        PressKey(f, VK_BACK);   // "12+"
        PressKey(f, VK_BACK);   // "12"
        TypeText(f, "*3");
        PressKey(f, VK_RETURN);
    });
    text = "12+*3";
    pikvalo.Call("GetCalcValue", ByRef(text), 0);
    EXPECT_EQ("36", text.AsString());
}

TEST_F(PikvaloTest, PhrasesArePickedAddedAndDeletedAndPersistAcrossSessions) {
    std::vector<std::string> listed;
    auto readList = [&](TCustomForm& f) {
        listed.clear();
        TStrings* items = Find<TListBox>(f, "lbPhrases")->Items();
        for (int i = 0; i < items->Count(); ++i) listed.push_back(items->Strings(i));
    };
    answerer.Then([&](TCustomForm& f) {
        readList(f);
        ClickNamed(f, "btnAdd");   // the field's text, already in the phrase box
        PressKey(f, VK_RETURN);    // the added phrase is current
    });
    Variant text = "月底结转";
    EXPECT_EQ(2, pikvalo.Call("GetPhrase2", "DS", "DEMO", 0, ByRef(text)).AsInt());
    EXPECT_EQ("月底结转", text.AsString());
    EXPECT_EQ((std::vector<std::string>{"逐张生成凭证", "月底汇总生成"}), listed);

    // Another session sees it; deleting the first phrase and picking leaves the rest.
    TServerLink second(Opener());
    second.SetLogin({"DS", "DEMO", "DEMO", ""});
    answerer.Then([&](TCustomForm& f) {
        readList(f);
        ClickNamed(f, "btnDelete");
        PressKey(f, VK_RETURN);
    });
    text = "";
    EXPECT_EQ(0, Service(second).Call("GetPhrase2", "DS", "DEMO", 0, ByRef(text)).AsInt());
    EXPECT_EQ("月底汇总生成", text.AsString());
    EXPECT_EQ((std::vector<std::string>{"逐张生成凭证", "月底汇总生成", "月底结转"}), listed);

    TServerLink third(Opener());
    third.SetLogin({"DS", "DEMO", "DEMO", ""});
    answerer.Then([&](TCustomForm& f) {
        readList(f);
        PressKey(f, VK_ESCAPE);
    });
    text = "不变";
    EXPECT_EQ(-1, Service(third).Call("GetPhrase2", "DS", "DEMO", 0, ByRef(text)).AsInt());
    EXPECT_EQ("不变", text.AsString());
    EXPECT_EQ((std::vector<std::string>{"月底汇总生成", "月底结转"}), listed);
}

TEST_F(PikvaloTest, PhrasesOfAnotherUserAreOutOfReach) {
    Variant text = "";
    EXPECT_THROW(pikvalo.Call("GetPhrase2", "U1", "DEMO", 0, ByRef(text)), Exception);
}

TEST_F(PikvaloTest, CharacterPickerReturnsTheChosenCharacters) {
    answerer.Then([](TCustomForm& f) {
        PressKey(f, VK_RIGHT);
        PressKey(f, VK_RETURN);
    });
    Variant user = "DS", company = "DEMO", set = 2, handle = "0";
    Variant chosen = pikvalo.Call("ShowCharaters", ByRef(user), ByRef(company), ByRef(set), false, ByRef(handle));
    ASSERT_TRUE(chosen.IsArray());
    EXPECT_EQ("×", chosen[0].AsString());

    answerer.Then([](TCustomForm& f) {
        PressKey(f, VK_SPACE);
        PressKey(f, VK_DOWN);
        PressKey(f, VK_SPACE);
        PressKey(f, VK_RETURN);
    });
    set = 1;
    chosen = pikvalo.Call("ShowCharaters", ByRef(user), ByRef(company), ByRef(set), true, ByRef(handle));
    EXPECT_EQ("，‘", chosen[0].AsString());   // the first of the second row

    answerer.Then([](TCustomForm& f) { PressKey(f, VK_ESCAPE); });
    EXPECT_TRUE(pikvalo.Call("ShowCharaters", ByRef(user), ByRef(company), ByRef(set), false, ByRef(handle)).IsEmpty());
}

}  // namespace
