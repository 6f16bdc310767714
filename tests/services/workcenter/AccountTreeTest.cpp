#include <gtest/gtest.h>

#include "platform/vcl/TreeView.h"
#include "services/workcenter/AccountTree.h"
#include "tests/services/workcenter/WorkCenterFixture.h"
#include "tests/support/vcl/DialogAnswerer.h"
#include "tests/support/vcl/UserInput.h"

namespace {

class AccountTreeTest : public WorkCenterFixture {
protected:
    // ShowTree with the arguments the entry-property window passes.
    std::string ShowTree(const char* current) {
        return tree.Call("ShowTree", Variant::ArrayOf({"ACTMA", "DEMO", "DEMO", current,
                                                       Variant::ArrayOf({"ACTMA", "09", ""}), "DS"}))
            .AsString();
    }
    static std::string SelectedText(TCustomForm& f) {
        TTreeNode* node = Find<TTreeView>(f, "tvAccounts")->Selected();
        return node ? node->Text() : "";
    }

    Variant tree{std::static_pointer_cast<IDispatch>(std::make_shared<TAccountTree>(link))};
    TDialogAnswerer answerer;
};

TEST_F(AccountTreeTest, AccountsHangUnderTheAccountWhoseCodeBeginsTheirs) {
    std::vector<std::string> roots, children;
    answerer.Then([&](TCustomForm& f) {
        TTreeNodes* items = Find<TTreeView>(f, "tvAccounts")->Items();
        for (TTreeNode* n = items->GetFirstNode(); n; n = n->GetNextSibling()) roots.push_back(n->Text());
        for (TTreeNode* n = items->Item(3)->GetFirstChild(); n; n = n->GetNextSibling()) children.push_back(n->Text());
        PressKey(f, VK_ESCAPE);
    });
    EXPECT_EQ("", ShowTree(""));
    EXPECT_EQ((std::vector<std::string>{"1001 库存现金", "1002 银行存款", "2202 应付账款", "6601 销售费用", "6602 管理费用"}), roots);
    EXPECT_EQ((std::vector<std::string>{"660101 差旅费"}), children);
}

TEST_F(AccountTreeTest, SearchByCodeOrNameAndTakeTheChosenCode) {
    struct Case {
        const char* name;
        const char* current;
        std::function<void(TCustomForm&)> user;
        const char* code;
    };
    const Case cases[] = {
        {"the current account starts selected", "660201", [](TCustomForm& f) { PressKey(f, VK_RETURN); }, "660201"},
        {"a code typed, then the next match", "",
         [](TCustomForm& f) {
             TypeText(f, "6601");
             PressKey(f, VK_F3);
             PressKey(f, VK_RETURN);
         },
         "660101"},
        {"the next match wraps around", "",
         [](TCustomForm& f) {
             TypeText(f, "费");     // 销售费用, 差旅费, 管理费用, 办公费
             for (int i = 0; i < 4; ++i) PressKey(f, VK_F3);
             PressKey(f, VK_RETURN);
         },
         "6601"},
        {"a name typed", "", [](TCustomForm& f) { TypeText(f, "银行"); ClickNamed(f, "btnOK"); }, "1002"},
        {"cancelled", "1001", [](TCustomForm& f) { ClickNamed(f, "btnCancel"); }, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answerer.Then(c.user);
        EXPECT_EQ(c.code, ShowTree(c.current));
    }
}

}  // namespace
