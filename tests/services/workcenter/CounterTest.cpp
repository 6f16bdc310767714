#include <gtest/gtest.h>

#include <map>

#include "services/appserver/UserStore.h"
#include "services/workcenter/Counter.h"
#include "tests/services/workcenter/WorkCenterFixture.h"

namespace {

class CounterTest : public WorkCenterFixture {
protected:
    Variant counter{std::static_pointer_cast<IDispatch>(std::make_shared<TCounter>(link))};

    // GETCOUNTER the way the broker calls it: name and values by reference.
    Variant Counter(const char* function, Variant values) {
        Variant name = function;
        return counter.Call("GETCOUNTER", ByRef(name), ByRef(values), Variant::ArrayOf({"DEMO", "DEMO"}));
    }
};

TEST_F(CounterTest, SimpleSqlReturnsRowsInFieldListOrderUnderEitherName) {
    for (const char* name : {"SimpleSQL", "SimpleSql"}) {
        SCOPED_TRACE(name);
        const Variant rows = Counter(name, Variant::ArrayOf({"SELECT MB002,MB011,MB012,MB013 FROM ADMMB WHERE MB001='TOVI58'",
                                                             "MB011,MB002", "DEMO", "N"}));
        ASSERT_TRUE(rows.IsArray());
        ASSERT_EQ(1, rows.Count());
        EXPECT_EQ(Variant::ArrayOf({"Entry Properties - Expense Adjustment", "设置分录性质-费用调整单"}), rows[0]);
    }
    // The "$$" prefix names the session's database; no row gives Empty.
    EXPECT_EQ(3, Counter("SimpleSQL", Variant::ArrayOf({"select MF001 from $$CMSMF CMSMF", "MF001"})).Count());
    EXPECT_TRUE(Counter("SimpleSQL", Variant::ArrayOf({"SELECT MF001 FROM CMSMF WHERE MF001 = 'XXX'", "MF001"})).IsEmpty());
}

TEST_F(CounterTest, SimpleSqlNeverWrites) {
    EXPECT_THROW(Counter("SimpleSQL", Variant::ArrayOf({"DELETE FROM CMSMF", ""})), Exception);
    EXPECT_EQ(3, Counter("SimpleSQL", Variant::ArrayOf({"SELECT MF001 FROM CMSMF", "MF001"})).Count());
}

TEST_F(CounterTest, TransactionSqlTakesOnlyTheServersGuardedPath) {
    const Variant cleanup = Variant::ArrayOf({Variant::ArrayOf(
                                                  {" DELETE FROM ATTACH  WHERE Parent = 'INVMB'        AND CompanyID = 'DEMO' "
                                                   "       AND KeyValues = 'A001' "}),
                                              ""});
    EXPECT_TRUE(Counter("TransactionSQL", cleanup).AsBoolean());
    EXPECT_TRUE(Counter("SimpleSQL", Variant::ArrayOf({"SELECT DocID FROM ATTACH", "DocID"})).IsEmpty());

    EXPECT_THROW(Counter("TransactionSQL", Variant::ArrayOf({Variant::ArrayOf({"DELETE FROM ACTMA"}), ""})), Exception);
    EXPECT_EQ(7, Counter("SimpleSQL", Variant::ArrayOf({"SELECT MA001 FROM ACTMA", "MA001"})).Count());
}

TEST_F(CounterTest, UserSettingsReflectEarlierWritesAndPersistAcrossSessions) {
    const std::string all = ALL_PROGRAMS_SLOT;
    EXPECT_EQ("", Counter("GetUserDefine", Variant::ArrayOf({"DEMO", "DS", "TOVI58", "InputSettings001"})).AsString());

    EXPECT_EQ("", Counter("SetUserDefine", Variant::ArrayOf({"DEMO", "DS", all, "InputSettings001/IsFocusPageOne", "False"}))
                      .AsString());
    EXPECT_EQ("", Counter("SetUserDefine", Variant::ArrayOf({"DEMO", "DS", "TOVI58", "InputSettings003/IsColorManage", "True"}))
                      .AsString());
    const std::string numbers =
        "<NumberFieldsSetting Enabled=\"True\"><QuantityFieldAutoZero>False</QuantityFieldAutoZero>"
        "<QuantityFieldThousand>True</QuantityFieldThousand></NumberFieldsSetting>";
    EXPECT_EQ("", Counter("SetUserDefine", Variant::ArrayOf({"DEMO", "DS", all, ".", numbers})).AsString());

    // A new link is a new session: what was written is on the server.
    TServerLink other(Opener());
    other.SetLogin({"DS", "DEMO", "DEMO", ""});
    Variant counter2(std::static_pointer_cast<IDispatch>(std::make_shared<TCounter>(other)));
    auto get = [&](const char* program, const char* group) {
        Variant name = "GetUserDefine", values = Variant::ArrayOf({"DEMO", "DS", program, group});
        return counter2.Call("GETCOUNTER", ByRef(name), ByRef(values), Variant::ArrayOf({"DEMO", "DEMO"})).AsString();
    };
    EXPECT_NE(std::string::npos, get("TOVI58", "InputSettings001").find("<IsFocusPageOne>False</IsFocusPageOne>"));
    EXPECT_NE(std::string::npos, get("TOVI58", "InputSettings003").find("<IsColorManage>True</IsColorManage>"));
    EXPECT_EQ("", get("TOVI59", "InputSettings003"));   // stored for TOVI58 only
    EXPECT_EQ(numbers, get("TOVI58", "NumberFieldsSetting"));

    // Changing one key keeps the others of the group.
    EXPECT_EQ("", Counter("SetUserDefine", Variant::ArrayOf({"DEMO", "DS", all, "NumberFieldsSetting/MoneyFieldAutoZero", "False"}))
                      .AsString());
    const std::string merged = get("TOVI58", "NumberFieldsSetting");
    EXPECT_NE(std::string::npos, merged.find("<QuantityFieldAutoZero>False</QuantityFieldAutoZero>"));
    EXPECT_NE(std::string::npos, merged.find("<MoneyFieldAutoZero>False</MoneyFieldAutoZero>"));
}

TEST_F(CounterTest, UserSettingsRefuseOtherUsersAndBadPaths) {
    const std::string all = ALL_PROGRAMS_SLOT;
    struct Case {
        const char* name;
        Variant values;
    };
    const Case cases[] = {
        {"another user", Variant::ArrayOf({"DEMO", "U1", all, "InputSettings001/IsFocusPageOne", "False"})},
        {"another company", Variant::ArrayOf({"OTHER", "DS", all, "InputSettings001/IsFocusPageOne", "False"})},
        {"path without a key", Variant::ArrayOf({"DEMO", "DS", all, "InputSettings001", "False"})},
        {"path that is no name", Variant::ArrayOf({"DEMO", "DS", all, "Input Settings/<x>", "False"})},
        {"whole group that is no document", Variant::ArrayOf({"DEMO", "DS", all, ".", "<open"})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_NE("", Counter("SetUserDefine", c.values).AsString());
    }
    EXPECT_THROW(Counter("GetUserDefine", Variant::ArrayOf({"DEMO", "U1", "TOVI58", "InputSettings001"})), Exception);
}

TEST_F(CounterTest, QueryUdfDataEvaluatesTheExpressionOverTheSourceValues) {
    const Variant rows = Counter("QueryUDFData", Variant::ArrayOf({"ACCOUNTNAME", "", "DEMO", "N", Variant::ArrayOf({"660101"})}));
    ASSERT_TRUE(rows.IsArray());
    EXPECT_EQ("差旅费", rows[0][0].AsString());
    EXPECT_TRUE(Counter("QueryUDFData", Variant::ArrayOf({"ACCOUNTNAME", "", "DEMO", "N", Variant::ArrayOf({"0000"})})).IsEmpty());
    EXPECT_TRUE(Counter("QueryUDFData", Variant::ArrayOf({"NOSUCHKEY", "", "DEMO", "N", Variant::ArrayOf({})})).IsEmpty());
}

TEST_F(CounterTest, UnknownFunctionRaises) { EXPECT_THROW(Counter("DropEverything", Variant::ArrayOf({})), EOleError); }

TEST_F(CounterTest, GetSysInfoGivesNamesAndValuesByColumn) {
    Variant company = "DEMO";
    const Variant info = counter.Call("GetSysInfo", ByRef(company));
    ASSERT_EQ(2, info.DimCount());
    EXPECT_EQ(0, info.LowBound(1));
    EXPECT_EQ(1, info.HighBound(1));
    std::map<std::string, std::string> params;
    for (int i = info.LowBound(2); i <= info.HighBound(2); ++i) params[info.At(0, i).AsString()] = info.At(1, i).AsString();
    EXPECT_EQ("1", params["SYS001"]);
    EXPECT_EQ("/", params["SYS002"]);
    EXPECT_EQ("维尔摩拉演示公司", params["QVN002"]);
    EXPECT_EQ("1000", params["SYS151"]);

    Variant other = "NOBODY";
    EXPECT_TRUE(counter.Call("GetSysInfo", ByRef(other)).IsEmpty());
}

}  // namespace
