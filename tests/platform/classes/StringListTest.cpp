#include "platform/classes/StringList.h"

#include <gtest/gtest.h>

namespace {
std::vector<std::string> Lines(const TStrings& s) { return s.ToVector(); }
}  // namespace

TEST(StringList, TextUsesCrLfAndReadsAnyLineBreak) {
    TStringList s;
    const struct {
        const char* text;
        std::vector<std::string> lines;
    } cases[] = {
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r\n\r\nc", {"a", "b", "", "c"}},
        {"", {}},
        {"\r\n", {""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        s.SetText(c.text);
        EXPECT_EQ(Lines(s), c.lines);
    }
    s.SetText("x\ny");
    EXPECT_EQ(s.Text(), "x\r\ny\r\n");
}

TEST(StringList, NameValueAccess) {
    TStringList s;
    s.SetText("M11_TABLE=AJSMB\nM11_KEY=MB001\nplain\nEMPTY=\nA=B=C");
    EXPECT_EQ(s.Values("m11_table"), "AJSMB");
    EXPECT_EQ(s.Values("A"), "B=C");
    EXPECT_EQ(s.Values("plain"), "");
    EXPECT_EQ(s.Names(2), "");
    EXPECT_EQ(s.Names(4), "A");
    EXPECT_EQ(s.ValueFromIndex(4), "B=C");
    EXPECT_EQ(s.IndexOfName("EMPTY"), 3);
    s.SetValues("M11_KEY", "MB002");
    EXPECT_EQ(s.Strings(1), "M11_KEY=MB002");
    s.SetValues("NEW", "1");
    EXPECT_EQ(s.Strings(s.Count() - 1), "NEW=1");
    s.SetValues("M11_TABLE", "");   // an empty value removes the line
    EXPECT_EQ(s.IndexOfName("M11_TABLE"), -1);
}

TEST(StringList, SortedListsKeepOrderAndHandleDuplicates) {
    TStringList s;
    s.SetSorted(true);
    for (const char* x : {"pear", "Apple", "fig", "apple"}) s.Add(x);
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"Apple", "fig", "pear"}));   // dupIgnore, any case
    EXPECT_EQ(s.IndexOf("PEAR"), 2);
    EXPECT_THROW(s.Insert(0, "x"), EStringListError);
    EXPECT_THROW(s.SetStrings(0, "x"), EStringListError);
    s.SetDuplicates(TDuplicates::dupError);
    EXPECT_THROW(s.Add("FIG"), EStringListError);
    s.SetDuplicates(TDuplicates::dupAccept);
    EXPECT_EQ(s.Add("FIG"), 2);
    EXPECT_EQ(s.Count(), 4);
    int index = -1;
    EXPECT_FALSE(s.Find("banana", index));
    EXPECT_EQ(index, 1);

    s.SetCaseSensitive(true);
    EXPECT_EQ(s.IndexOf("apple"), -1);
}

TEST(StringList, ObjectsTravelWithTheirLines) {
    TStringList s, o1, o2;
    s.AddObject("b", &o1);
    s.AddObject("a", &o2);
    s.Exchange(0, 1);
    EXPECT_EQ(s.Objects(0), &o2);
    s.Move(0, 1);
    EXPECT_EQ(s.Strings(1), "a");
    EXPECT_EQ(s.Objects(1), &o2);
    EXPECT_EQ(s.IndexOfObject(&o1), 0);
    s.SetSorted(true);
    EXPECT_EQ(s.Objects(0), &o2);
    TStringList copy;
    copy.Assign(&s);
    EXPECT_TRUE(copy.Equals(s));
    EXPECT_EQ(copy.Objects(1), &o1);
    EXPECT_THROW(s.Strings(2), EStringListError);
    EXPECT_THROW(s.Delete(-1), EStringListError);
}

TEST(StringList, ChangeEventsAreBatchedInsideUpdates) {
    TStringList s;
    int changing = 0, changed = 0;
    s.OnChanging = [&](TObject*) { ++changing; };
    s.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &s);
        ++changed;
    };
    s.Add("a");
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(changing, 1);
    s.SetText("x\ny\nz");   // one batch
    EXPECT_EQ(changed, 2);
    s.BeginUpdate();
    s.Add("1");
    s.Delete(0);
    EXPECT_EQ(changed, 2);
    s.EndUpdate();
    EXPECT_EQ(changed, 3);
    EXPECT_EQ(changing, 3);
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList s;
    s.SetText("a\nb c\nsay \"hi\"\n\nd,e");
    EXPECT_EQ(s.CommaText(), "a,\"b c\",\"say \"\"hi\"\"\",\"\",\"d,e\"");
    TStringList back;
    back.SetCommaText(s.CommaText());
    EXPECT_TRUE(back.Equals(s));
    back.SetCommaText("x y, z,");
    EXPECT_EQ(Lines(back), (std::vector<std::string>{"x", "y", "z", ""}));
}

TEST(StringList, CustomSortOrdersByTheGivenComparison) {
    TStringList s;
    s.SetText("10\n9\n100");
    s.CustomSort([](TStringList& l, int a, int b) {
        return std::stoi(l.Strings(a)) - std::stoi(l.Strings(b));
    });
    EXPECT_EQ(Lines(s), (std::vector<std::string>{"9", "10", "100"}));
}
