#pragma once
// `TTabSet`: a row of tabs from a list of texts (no pages). Changing the tab asks
// OnChange (which may refuse) and then raises OnClick; owner-drawn tabs measure
// and paint through OnMeasureTab and OnDrawTab. Headless geometry: tab i is as
// wide as its text plus 12 pixels (or what OnMeasureTab says), from x = 4.
#include <memory>

#include "platform/classes/StringList.h"
#include "platform/vcl/WinControl.h"

enum class TTabStyle { tsStandard, tsOwnerDraw };

using TTabChangeEvent = std::function<void(TObject* sender, int newTab, bool& allowChange)>;
using TTabSetDrawEvent = std::function<void(TObject* sender, TCanvas* canvas, TRect rect, int index, bool selected)>;
using TMeasureTabEvent = std::function<void(TObject* sender, int index, int& tabWidth)>;

class TTabSet : public TWinControl {
    VELMORA_CLASS(TTabSet)
public:
    explicit TTabSet(TComponent* owner);
    ~TTabSet() override;

    TStrings* Tabs() const noexcept { return tabs_.get(); }
    int TabIndex() const noexcept { return tabIndex_; }
    // Code sets the tab without asking OnChange.
    void SetTabIndex(int index);
    TTabStyle Style() const noexcept { return style_; }
    void SetStyle(TTabStyle s) { style_ = s; }
    // The user's change: OnChange may refuse; true when the tab changed.
    bool ChangeTab(int index);
    void SelectNext(bool forward);
    TRect TabRect(int index);

    TTabChangeEvent OnChange;
    TTabSetDrawEvent OnDrawTab;
    TMeasureTabEvent OnMeasureTab;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override {}   // the press already chose the tab
    void PaintOn(TCanvas& canvas) override;

private:
    std::unique_ptr<TStringList> tabs_;
    int tabIndex_ = -1;
    TTabStyle style_ = TTabStyle::tsStandard;
};
