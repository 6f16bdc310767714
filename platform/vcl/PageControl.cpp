#include "platform/vcl/PageControl.h"

#include <algorithm>

#include "platform/classes/Collection.h"
#include "platform/vcl/Form.h"
#include "platform/vcl/ImageList.h"

const TClassInfo& TTabSheet::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTabSheet", &TWinControl::StaticClass(), [](TComponent* o) { return new TTabSheet(o); });
        c.Add(ObjectProperty("PageControl", &TTabSheet::PageControl, &TTabSheet::SetPageControl));
        c.Add(Property("PageIndex", &TTabSheet::PageIndex, &TTabSheet::SetPageIndex));
        c.Add(Property("TabIndex", &TTabSheet::TabIndex));
        c.Add(Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible));
        c.Add(Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex));
        c.Add(EventProperty("OnShow", &TTabSheet::OnShow));
        c.Add(EventProperty("OnHide", &TTabSheet::OnHide));
        return c;
    }();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    TControl::SetVisible(false);
    SetAlign(TAlign::alClient);
}

TTabSheet::~TTabSheet() {
    MarkDestroying();
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pc) {
    if (pc == pageControl_) return;
    if (pageControl_) pageControl_->RemovePage(this);
    if (pc) pc->InsertPage(this);
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    auto& p = pageControl_->pages_;
    return static_cast<int>(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int index) {
    if (!pageControl_) return;
    auto& p = pageControl_->pages_;
    p.erase(std::find(p.begin(), p.end(), this));
    index = std::clamp(index, 0, static_cast<int>(p.size()));
    p.insert(p.begin() + index, this);
}

int TTabSheet::TabIndex() const {
    if (!pageControl_ || !tabVisible_) return -1;
    int n = 0;
    for (TTabSheet* p : pageControl_->pages_) {
        if (p == this) return n;
        if (p->tabVisible_) ++n;
    }
    return -1;
}

void TTabSheet::SetTabVisible(bool v) {
    if (v == tabVisible_) return;
    tabVisible_ = v;
    if (!v && pageControl_ && pageControl_->activePage_ == this)
        pageControl_->ShowOnly(pageControl_->FindNextPage(this, true, true));
    if (pageControl_) pageControl_->Invalidate();
}

// ---- TPageControl ----

const TClassInfo& TPageControl::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TPageControl", &TWinControl::StaticClass(), [](TComponent* o) { return new TPageControl(o); });
        c.Add(ObjectProperty("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage));
        c.Add(Property("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex));
        c.Add(Property("PageCount", &TPageControl::PageCount));
        c.Add(Property("OwnerDraw", &TPageControl::OwnerDraw, &TPageControl::SetOwnerDraw));
        c.Add(Property("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine));
        c.Add(ObjectProperty("Images", &TPageControl::Images, &TPageControl::SetImages));
        c.Add(EventProperty("OnChanging", &TPageControl::OnChanging));
        c.Add(EventProperty("OnChange", &TPageControl::OnChange));
        c.Add(EventProperty("OnDrawTab", &TPageControl::OnDrawTab));
        return c;
    }();
    return info;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
    SetBoundsQuiet(0, 0, 289, 193);
    SetTabStop(true);
}

TPageControl::~TPageControl() {
    MarkDestroying();
    for (TTabSheet* p : pages_) p->pageControl_ = nullptr;
}

TTabSheet* TPageControl::Pages(int index) const {
    if (index < 0 || index >= PageCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return pages_[static_cast<size_t>(index)];
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    page->pageControl_ = this;
    page->SetParent(this);
    if (!activePage_ && page->TabVisible()) ShowOnly(page);
    else page->TControl::SetVisible(false);
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    TTabSheet* next = activePage_ == page ? FindNextPage(page, true, true) : activePage_;
    pages_.erase(it);
    page->pageControl_ = nullptr;
    if (next == page) next = nullptr;
    if (!page->Destroying()) page->SetParent(nullptr);
    if (activePage_ == page) {
        activePage_ = nullptr;
        if (!Destroying()) ShowOnly(next);
    }
}

void TPageControl::ShowOnly(TTabSheet* page) {
    TTabSheet* old = activePage_;
    if (old == page) return;
    // Leaving a page takes the focus out of it first.
    if (old && page) {
        TCustomForm* form = GetParentForm(this);
        if (form && form->ActiveControl() && old->ContainsControl(form->ActiveControl())) form->FocusControl(this);
    }
    activePage_ = page;
    if (old) {
        old->TControl::SetVisible(false);
        if (old->OnHide) old->OnHide(old);
    }
    if (page) {
        page->TControl::SetVisible(true);
        Realign();
        if (page->OnShow) page->OnShow(page);
    }
    Invalidate();
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->pageControl_ != this) throw EInvalidOperation("The page belongs to another page control");
    if (page && !page->TabVisible()) throw EInvalidOperation("Cannot show a page whose tab is hidden");
    ShowOnly(page);
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool forward, bool checkTabVisible) const {
    const int n = PageCount();
    if (n == 0) return nullptr;
    int start = current ? current->PageIndex() : -1;
    if (start < 0) start = forward ? n - 1 : 0;
    int i = start;
    do {
        i = forward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = pages_[static_cast<size_t>(i)];
        if (!checkTabVisible || p->TabVisible()) return p;
    } while (i != start);
    return nullptr;
}

bool TPageControl::ChangeActivePage(TTabSheet* page) {
    if (!page || page == activePage_ || !page->TabVisible()) return false;
    bool allow = true;
    if (OnChanging) OnChanging(this, allow);
    if (!allow) return false;
    ShowOnly(page);
    if (OnChange) OnChange(this);
    return true;
}

bool TPageControl::SelectNextPage(bool forward) { return ChangeActivePage(FindNextPage(activePage_, forward, true)); }

int TPageControl::TabCount() const {
    return static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](TTabSheet* p) { return p->TabVisible(); }));
}

TTabSheet* TPageControl::TabPage(int tabIndex) const {
    for (TTabSheet* p : pages_)
        if (p->TabVisible() && tabIndex-- == 0) return p;
    return nullptr;
}

int TPageControl::TabHeight() const { return std::abs(Font()->Height()) + 8; }

TRect TPageControl::TabRect(int tabIndex) const {
    TCanvas measure;
    measure.Font()->Assign(Font());
    int x = 2;
    for (int i = 0; i < TabCount(); ++i) {
        const int w = measure.TextWidth(TabPage(i)->Caption()) + 12;
        if (i == tabIndex) return Rect(x, 0, x + w, TabHeight());
        x += w;
    }
    return TRect{};
}

void TPageControl::AdjustClientRect(TRect& r) const {
    r = Rect(r.Left + 4, r.Top + TabHeight() + 2, std::max(r.Left + 4, r.Right - 4),
             std::max(r.Top + TabHeight() + 2, r.Bottom - 4));
}

void TPageControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    for (int i = 0; i < TabCount(); ++i)
        if (TabRect(i).Contains({x, y})) {
            ChangeActivePage(TabPage(i));
            return;
        }
}

bool TPageControl::ContainerDialogKey(uint16_t key, TShiftState shift) {
    if (key != VK_TAB || !shift.Contains(TShiftStateItem::ssCtrl)) return false;
    SelectNextPage(!shift.Contains(TShiftStateItem::ssShift));
    return true;
}

void TPageControl::SetImages(TImageList* images) {
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images) FreeNotification(images);
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
    TWinControl::Notification(component, operation);
}

void TPageControl::PaintOn(TCanvas& canvas) {
    canvas_ = &canvas;
    canvas.Font()->Assign(Font());
    for (int i = 0; i < TabCount(); ++i) {
        const TRect r = TabRect(i);
        const bool active = TabPage(i) == activePage_;
        if (ownerDraw_ && OnDrawTab) {
            OnDrawTab(this, i, r, active);
            continue;
        }
        canvas.Brush()->SetColor(clBtnFace);
        canvas.FillRect(r);
        if (images_) images_->Draw(canvas, r.Left + 2, r.Top + 2, TabPage(i)->ImageIndex());
        canvas.AlignedText(r, TabPage(i)->Caption(), TAlignment::taCenter);
    }
    canvas_ = nullptr;
}
