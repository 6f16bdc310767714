#pragma once
// `TfrmAccountTree`: the chart of accounts as a tree in `tvAccounts`. An
// account's parent is the account whose code is the longest proper beginning
// of its code ("6601" holds "660101"); accounts without one are roots. Typing
// into `edtSearch` selects the first account, in tree order, whose code begins
// with the text or whose name contains it, and opens the branches above it;
// F3 goes on to the next such account (after the last, the first again). OK
// (`btnOK`, Enter, a double click) takes the selected account; Cancel
// (`btnCancel`, Escape) takes none.
#include <string>
#include <vector>

#include "platform/vcl/Form.h"

class TEdit;
class TTreeNode;
class TTreeView;

struct TAccount {
    std::string Code, Name;
};

class TfrmAccountTree : public TForm {
    VELMORA_CLASS(TfrmAccountTree)
public:
    // Accounts in any order; the one whose code is `current` starts selected.
    TfrmAccountTree(TComponent* owner, std::vector<TAccount> accounts, const std::string& current);

    // Runs the window; the chosen account's code, or "" when cancelled.
    std::string Execute();

private:
    // Selects the first match after `after` (from the top when null); false when none.
    bool SelectMatch(const TTreeNode* after);
    void SelectNode(TTreeNode* node);

    std::vector<TAccount> accounts_;   // in code order; node data indexes it
    TEdit* edtSearch_;
    TTreeView* tvAccounts_;
};
