// Converting a window of 300 controls for a Big5 interface, as a window does once
// before it is first shown. The budget is 20 ms per window.
//
// Two windows: a maintenance window as the module builds them (captions on labels,
// panels and check boxes, a hint on every fifth control, combo boxes with items,
// memos, a list view, a tree and a grid holding their titles only, since their
// rows arrive later), and a worst case where every control has a hint and every
// list, tree and grid is filled. The script conversion costs about 2 µs per
// character, so the time follows the amount of text, not the number of controls.
// Reports the median and the slowest of the runs; exits with 1 when the
// maintenance window is over budget.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/vcl/CheckBox.h"
#include "platform/vcl/ComboBox.h"
#include "platform/vcl/Edit.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/Grid.h"
#include "platform/vcl/Label.h"
#include "platform/vcl/ListView.h"
#include "platform/vcl/Panel.h"
#include "platform/vcl/TreeView.h"
#include "src/language/CodeConverter.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRuns = 30;
constexpr double kBudgetMs = 20.0;

const char* const kTexts[] = {"设置分录性质", "单别", "名称", "费用调整单", "借方科目", "贷方科目", "汇总方式", "备注说明"};
const char* Text(int i) { return kTexts[i % 8]; }

// 300 controls on panels: labels, edits, combo boxes, check boxes, memos, list
// views, tree views and string grids. `filled`: every control has a hint and the
// lists hold 10 rows; otherwise every fifth control has a hint and the lists hold
// their titles only.
TForm* MakeWindow(bool filled) {
    const int rows = filled ? 10 : 1;
    TForm* form = NewForm<TForm>(nullptr);
    form->SetCaption(Text(0));
    TWinControl* parent = form;
    for (int i = 0; i < 300; ++i) {
        TControl* control = nullptr;
        switch (i % 20) {
            case 0: {
                auto* panel = new TPanel(form);
                panel->SetCaption(Text(i));
                control = panel;
                break;
            }
            case 1: case 2: case 3: case 4: case 5: case 6: {
                auto* label = new TLabel(form);
                label->SetCaption(Text(i));
                control = label;
                break;
            }
            case 7: case 8: case 9: case 10: case 11:
                control = new TEdit(form);
                break;
            case 12: case 13: {
                auto* combo = new TComboBox(form);
                combo->Items()->SetText("逐笔\n汇总\n按单别\n按科目\n不汇总");
                combo->SetStyle(TComboBoxStyle::csDropDownList);
                combo->SetItemIndex(1);
                control = combo;
                break;
            }
            case 14: case 15: {
                auto* check = new TCheckBox(form);
                check->SetCaption(Text(i));
                control = check;
                break;
            }
            case 16: {
                auto* memo = new TMemo(form);
                memo->Lines()->SetText("备注说明\n费用调整单");
                control = memo;
                break;
            }
            case 17: {
                auto* view = new TListView(form);
                for (int c = 0; c < 5; ++c) view->Columns()->Add()->SetCaption(Text(c));
                for (int r = 1; r < rows; ++r) {
                    TListItem* item = view->AddItem();
                    item->SetCaption(Text(r));
                    for (int c = 1; c < 5; ++c) item->SubItems()->Add(Text(r + c));
                }
                control = view;
                break;
            }
            case 18: {
                auto* tree = new TTreeView(form);
                for (int n = 0; n < rows; ++n) tree->Items()->Add(nullptr, Text(n));
                control = tree;
                break;
            }
            default: {
                auto* grid = new TStringGrid(form);
                grid->SetColCount(5);
                grid->SetRowCount(rows);
                for (int r = 0; r < rows; ++r)
                    for (int c = 0; c < 5; ++c) grid->SetCells(c, r, Text(r + c));
                control = grid;
                break;
            }
        }
        control->SetName("c" + std::to_string(i));
        if (filled || i % 5 == 0) control->SetHint(Text(i + 3));
        control->SetParent(parent);
        if (auto* panel = dynamic_cast<TPanel*>(control)) parent = panel;
    }
    return form;
}

}  // namespace

int main() {
    const auto dir = std::filesystem::temp_directory_path() / ("converter-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir / "client");
    std::ofstream(dir / "registry.ini") << "[Software\\QVN\\Velmora]\nClientPath=" << (dir / "client").string()
                                        << "\nSysCodePage=936\n";
    std::ofstream(dir / "client" / "VelmoraC.ini") << "[CodePage]\nUICodePage=950\n";
    ::setenv("VELMORA_REGISTRY", (dir / "registry.ini").string().c_str(), 1);

    struct Result {
        double median, slowest;
    };
    auto measure = [](bool filled) {
        std::vector<double> ms;
        for (int run = 0; run < kRuns; ++run) {
            TForm* form = MakeWindow(filled);
            auto* converter = new TCodeConverter(form);   // owned by the window, like every window's
            const auto start = Clock::now();
            converter->ConvertForm(form, false, true);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            form->Free();
        }
        std::sort(ms.begin(), ms.end());
        return Result{ms[ms.size() / 2], ms.back()};
    };
    const Result typical = measure(false);
    const Result filled = measure(true);
    std::filesystem::remove_all(dir);
    std::printf("ConvertForm, 300 controls, Big5 interface (budget %.0f ms)\n", kBudgetMs);
    std::printf("  maintenance window: median %.2f ms, slowest %.2f ms\n", typical.median, typical.slowest);
    std::printf("  everything filled:  median %.2f ms, slowest %.2f ms\n", filled.median, filled.slowest);
    return typical.median <= kBudgetMs ? 0 : 1;
}
