// A form of 500 controls (edits in nested panels on two pages) receiving key
// events through the form's key preview, the way every window of the module
// sees its keys. Reports the time per key event (down, press or up).
#include <benchmark/benchmark.h>

#include "platform/vcl/Edit.h"
#include "platform/vcl/Input.h"
#include "platform/vcl/PageControl.h"
#include "platform/vcl/Panel.h"

namespace {
constexpr int kControls = 500;
constexpr int kEvents = 10000;

TForm* BuildForm() {
    TForm* form = NewForm<TForm>(nullptr);
    form->SetBounds(0, 0, 1000, 700);
    auto* pages = new TPageControl(form);
    pages->SetParent(form);
    pages->SetAlign(TAlign::alClient);
    int made = 1;
    TTabSheet* sheets[2];
    for (auto*& sheet : sheets) {
        sheet = new TTabSheet(form);
        sheet->SetPageControl(pages);
        ++made;
    }
    TPanel* panel = nullptr;
    TEdit* last = nullptr;
    for (int i = 0; made < kControls; ++i) {
        if (i % 10 == 0) {
            panel = new TPanel(form);
            panel->SetParent(sheets[(i / 10) % 2]);
            panel->SetAlign(TAlign::alTop);
            ++made;
            continue;
        }
        auto* edit = new TEdit(form);
        edit->SetParent(panel);
        if (panel->Parent() == sheets[0]) last = edit;
        ++made;
    }
    form->SetKeyPreview(true);
    // A preview handler like the module's: looks at function keys, swallows F2.
    form->OnKeyDown = [](TObject*, uint16_t& key, TShiftState) {
        if (key == VK_F2) key = 0;
    };
    form->OnKeyPress = [](TObject*, char32_t& key) {
        if (key == U'\r') key = 0;
    };
    form->Show();
    last->SetFocus();   // keys go to an edit two containers deep, which types them
    return form;
}
}  // namespace

static void BM_KeyEventsThroughKeyPreview(benchmark::State& state) {
    TForm* form = BuildForm();
    auto* edit = dynamic_cast<TEdit*>(form->ActiveControl());
    int64_t events = 0;
    for (auto _ : state) {
        for (int i = 0; i < kEvents / 3; ++i) {
            const uint16_t key = (i % 4 == 0) ? uint16_t{VK_F2} : static_cast<uint16_t>('A' + i % 26);
            KeyDown(*form, key);
            KeyPress(*form, i % 4 == 0 ? U'\r' : static_cast<char32_t>(U'a' + i % 26));
            KeyUp(*form, key);
            events += 3;
            // Field-sized texts: the edit is emptied every 32 keys.
            if (i % 32 == 31) edit->SetText("");
        }
    }
    state.SetItemsProcessed(events);
    state.counters["ns_per_event"] = benchmark::Counter(static_cast<double>(events), benchmark::Counter::kIsRate |
                                                                                         benchmark::Counter::kInvert);
    state.counters["controls"] = form->ComponentCount();
    form->Free();
}
BENCHMARK(BM_KeyEventsThroughKeyPreview)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
