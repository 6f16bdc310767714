#include <gtest/gtest.h>

#include "services/workcenter/Validator.h"
#include "tests/services/workcenter/WorkCenterFixture.h"

namespace {

class ValidatorTest : public WorkCenterFixture {
protected:
    Variant validator{std::static_pointer_cast<IDispatch>(std::make_shared<TValidator>(link))};

    // Calls the member the way the broker does: database, values and result by reference.
    bool Call(const char* member, const char* table, const char* kind, Variant values, Variant& result) {
        Variant database = "DEMO";
        result = "stale";
        return validator.Call(member, table, kind, ByRef(database), ByRef(values), ByRef(result)).AsBoolean();
    }
};

TEST_F(ValidatorTest, CheckValueAnswersTheDefinedKindsFromTheDemonstrationData) {
    struct Case {
        const char* table;
        const char* kind;
        Variant values;
        bool found;
        const char* first;   // element 0 of the result when found
    };
    const Case cases[] = {
        {"CMSMQ", "22", Variant::ArrayOf({"K501", "K5", "", ""}), true, "费用调整单"},
        {"CMSMQ", "22", Variant::ArrayOf({"9101", "K5", "", ""}), false, nullptr},   // a voucher type, not kind K5
        {"CMSMQ", "25", Variant::ArrayOf({"9102", "91", "1"}), true, "记账凭证"},
        {"CMSMQ", "25", Variant::ArrayOf({"9109", "91", "1"}), false, nullptr},      // not usable for vouchers
        {"ACTMA", "06", Variant::ArrayOf({"660201"}), true, "办公费"},
        {"ACTMA", "06", Variant("1002"), true, "银行存款"},                           // a single value stands for [value]
        {"ACTMA", "06", Variant::ArrayOf({"9999"}), false, nullptr},
        {"ACTMA", "06", Variant::ArrayOf({"1001' OR '1'='1"}), false, nullptr},       // values never become SQL
        {"AJSMB", "01", Variant::ArrayOf({"K5", "K502"}), true, "K5"},
        {"AJSMB", "01", Variant::ArrayOf({"K5", "K509"}), false, nullptr},
        {"INVMH", "01", Variant::ArrayOf({"6901234567892"}), true, "A001"},
        {"INVMB", "12", Variant::ArrayOf({"A001"}), true, "DOC-A001"},
        {"DOCUS", "01", Variant::ArrayOf({"方案一", "DS", "TOVI58"}), false, nullptr},
        {"F2LINK", "01", Variant::ArrayOf({"1", "AJSMB", "UDF01"}), false, nullptr},
        {"cmsmq", "22", Variant::ArrayOf({"K503", "K5"}), true, "费用分摊单"},          // table names without regard to case
        {"CMSMQ", "99", Variant::ArrayOf({"K501"}), false, nullptr},                 // an undefined kind is "not found"
        {"NOSUCH", "01", Variant::ArrayOf({"x"}), false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.table) + "/" + c.kind + " " + VarQuote(c.values.IsArray() ? c.values[0] : c.values));
        Variant result;
        EXPECT_EQ(c.found, Call("CheckValue", c.table, c.kind, c.values, result));
        if (c.found) {
            ASSERT_TRUE(result.IsArray());
            EXPECT_EQ(c.first, result[0].AsString());
        } else {
            EXPECT_TRUE(result.IsEmpty());
        }
    }
}

TEST_F(ValidatorTest, ProgramRecordHasTheElementsTheBrokerReads) {
    Variant result;
    ASSERT_TRUE(Call("CheckValue", "ADMMB", "06", Variant::ArrayOf({"TOVI58", "DEMO"}), result));
    EXPECT_EQ("设置分录性质-费用调整单", result[0].AsString());
    EXPECT_EQ("TOVI58", result[1].AsString());          // print program
    EXPECT_EQ("Y", result[7].AsString());               // program flag
    ASSERT_GT(result.Count(), 9);
    EXPECT_EQ("Entry Properties - Expense Adjustment", result[9].AsString());
}

TEST_F(ValidatorTest, QueryDataReturnsEveryRow) {
    Variant result;
    ASSERT_TRUE(Call("QueryData", "ADMMD", "03", Variant::ArrayOf({"AJSMB"}), result));
    ASSERT_EQ(1, result.Count());
    EXPECT_EQ(Variant::ArrayOf({"UDF01", "备用说明", "Spare note"}), result[0]);

    ASSERT_TRUE(Call("QueryData", "NUMFD", "01", Variant::ArrayOf({"AJSMB"}), result));
    EXPECT_EQ(Variant::ArrayOf({"UDF51", 16, 4}), result[0]);

    EXPECT_FALSE(Call("QueryData", "ADMMD", "03", Variant::ArrayOf({"CMSMQ"}), result));
    EXPECT_TRUE(result.IsEmpty());
}

TEST_F(ValidatorTest, QueryMaxSeqGivesTheNumberAfterTheHighestKey) {
    struct Case {
        const char* name;
        const char* keys;
        Variant leading;
        const char* date;
        bool ok;
        const char* next;
    };
    const Case cases[] = {
        {"after the highest", "MB001,MB002", Variant::ArrayOf({"K5"}), "K50", true, "K504"},
        {"first of a new prefix", "MB001,MB002", Variant::ArrayOf({"K5"}), "X24", true, "X240001"},
        {"other leading values", "MB001,MB002", Variant::ArrayOf({"K6"}), "K50", true, "K500001"},
        {"remainder not a number", "MB001,MB002", Variant::ArrayOf({"K5"}), "", false, ""},
        {"too few leading values", "MB001,MB002", Variant::ArrayOf({}), "K50", false, ""},
        {"not an identifier", "MB001,MB002;DELETE", Variant::ArrayOf({"K5"}), "K50", false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Variant table = "AJSMB", keys = c.keys, leading = c.leading, date = c.date, program = "TOVI58",
                database = "DEMO", out = "stale";
        const bool ok = validator
                            .Call("QueryMaxSeq", ByRef(table), ByRef(keys), ByRef(leading), ByRef(date), ByRef(program),
                                  ByRef(database), ByRef(out))
                            .AsBoolean();
        EXPECT_EQ(c.ok, ok);
        EXPECT_EQ(c.next, out.AsString());
    }
}

TEST_F(ValidatorTest, BaseLimitedIsAccepted) {
    validator.Set("BaseLimited", "Y");
    EXPECT_EQ("Y", validator.Get("BaseLimited").AsString());
}

}  // namespace
