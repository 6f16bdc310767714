#pragma once
// `TPageControl` with `TTabSheet` pages: one page shows at a time; hidden tabs
// (TabVisible false) cannot be shown; changing the page asks OnChanging first and
// reports OnChange after. Clicking a tab (at TabRect) or Ctrl+Tab inside the
// control changes the page as a user would.
//
// Headless tab geometry: tabs sit in one row of height |Font.Height| + 8 at the top;
// a tab is as wide as its caption (headless metrics) plus 12 pixels.
#include <vector>

#include "platform/vcl/WinControl.h"

class TPageControl;
class TImageList;

class TTabSheet : public TWinControl {
    VELMORA_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    TPageControl* PageControl() const noexcept { return pageControl_; }
    void SetPageControl(TPageControl* pc);
    int PageIndex() const;
    void SetPageIndex(int index);
    // Index among the visible tabs, or -1 when the tab is hidden.
    int TabIndex() const;
    bool TabVisible() const noexcept { return tabVisible_; }
    void SetTabVisible(bool v);
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; }

    TNotifyEvent OnShow;
    TNotifyEvent OnHide;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
    bool tabVisible_ = true;
    int imageIndex_ = -1;
};

using TTabChangingEvent = std::function<void(TObject* sender, bool& allowChange)>;
using TDrawTabEvent = std::function<void(TObject* sender, int tabIndex, TRect rect, bool active)>;

class TPageControl : public TWinControl {
    VELMORA_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const noexcept { return static_cast<int>(pages_.size()); }
    TTabSheet* Pages(int index) const;   // EListError out of range
    TTabSheet* ActivePage() const noexcept { return activePage_; }
    // Shows the page (no OnChanging/OnChange: those are for the user's changes).
    // A page of another control, or with a hidden tab, raises EInvalidOperation.
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    TTabSheet* FindNextPage(TTabSheet* current, bool forward, bool checkTabVisible) const;
    // The user's change of page: OnChanging may refuse it; OnChange follows.
    bool SelectNextPage(bool forward);
    bool ChangeActivePage(TTabSheet* page);

    // Visible tabs, in page order.
    int TabCount() const;
    TTabSheet* TabPage(int tabIndex) const;
    TRect TabRect(int tabIndex) const;
    bool OwnerDraw() const noexcept { return ownerDraw_; }
    void SetOwnerDraw(bool v) { ownerDraw_ = v; }
    bool MultiLine() const noexcept { return multiLine_; }
    void SetMultiLine(bool v) { multiLine_ = v; }
    TImageList* Images() const noexcept { return images_; }
    void SetImages(TImageList* images);

    TTabChangingEvent OnChanging;
    TNotifyEvent OnChange;
    TDrawTabEvent OnDrawTab;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    // Paints the tab row (owner-drawn tabs through OnDrawTab on `canvas`).
    void PaintOn(TCanvas& canvas) override;
    // The canvas being painted on, valid inside OnDrawTab only.
    TCanvas* Canvas() const noexcept { return canvas_; }

protected:
    void AdjustClientRect(TRect& rect) const override;
    bool ContainerDialogKey(uint16_t key, TShiftState shift) override;   // Ctrl+Tab
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowOnly(TTabSheet* page);
    int TabHeight() const;
    std::vector<TTabSheet*> pages_;
    TTabSheet* activePage_ = nullptr;
    bool ownerDraw_ = false;
    bool multiLine_ = false;
    TImageList* images_ = nullptr;
    TCanvas* canvas_ = nullptr;
};
