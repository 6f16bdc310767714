#include "platform/vcl/ListView.h"

#include <algorithm>

#include "platform/vcl/ImageList.h"

namespace {
const TTypeInfo& ViewStyleType() {
    static const TTypeInfo t("TViewStyle", TTypeKind::tkEnumeration, {"vsIcon", "vsSmallIcon", "vsList", "vsReport"});
    return t;
}
}  // namespace

const TClassInfo& TListColumn::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TListColumn", &TCollectionItem::StaticClass());
        c.Add(Property("Caption", &TListColumn::Caption, &TListColumn::SetCaption));
        c.Add(Property("Width", &TListColumn::Width, &TListColumn::SetWidth));
        c.Add(TypedProperty("Alignment", AlignmentType(), &TListColumn::Alignment, &TListColumn::SetAlignment));
        return c;
    }();
    return info;
}

TListColumn::TListColumn(TCollection* c) : TCollectionItem(c) {}

const TClassInfo& TListColumns::StaticClass() {
    static const TClassInfo info("TListColumns", &TCollection::StaticClass());
    return info;
}

const TClassInfo& TListItem::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TListItem", &TPersistent::StaticClass());
        c.Add(Property("Caption", &TListItem::Caption, &TListItem::SetCaption));
        c.Add(ObjectProperty("SubItems", &TListItem::SubItems));
        c.Add(Property("ImageIndex", &TListItem::ImageIndex, &TListItem::SetImageIndex));
        c.Add(Property("Checked", &TListItem::Checked, &TListItem::SetChecked));
        c.Add(Property("Selected", &TListItem::Selected, &TListItem::SetSelected));
        return c;
    }();
    return info;
}

TListItem::TListItem(TListView* owner) : owner_(owner), subItems_(std::make_unique<TStringList>()) {}

TListItem::~TListItem() = default;

void TListItem::SetCaption(const std::string& c) {
    caption_ = c;
    if (owner_) owner_->Invalidate();
}

void TListItem::SetSelected(bool v) {
    if (v == selected_) return;
    if (v && owner_ && !owner_->multiSelect_)
        for (auto& other : owner_->items_)
            if (other.get() != this && other->selected_) {
                other->selected_ = false;
                owner_->SelectionChanged(other.get(), false);
            }
    selected_ = v;
    if (owner_) owner_->SelectionChanged(this, v);
}

int TListItem::Index() const {
    if (!owner_) return -1;
    auto& items = owner_->items_;
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].get() == this) return static_cast<int>(i);
    return -1;
}

void TListItem::Delete() {
    if (owner_) owner_->DeleteItem(Index());
}

bool TListItem::EditCaption() { return owner_ && owner_->EditCaption(this); }

const TClassInfo& TListView::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TListView", &TWinControl::StaticClass(), [](TComponent* o) { return new TListView(o); });
        c.Add(ObjectProperty("Columns", &TListView::Columns));
        c.Add(TypedProperty("ViewStyle", ViewStyleType(), &TListView::ViewStyle, &TListView::SetViewStyle));
        c.Add(Property("ReadOnly", &TListView::ReadOnly, &TListView::SetReadOnly));
        c.Add(Property("MultiSelect", &TListView::MultiSelect, &TListView::SetMultiSelect));
        c.Add(Property("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect));
        c.Add(Property("GridLines", &TListView::GridLines, &TListView::SetGridLines));
        c.Add(Property("Checkboxes", &TListView::Checkboxes, &TListView::SetCheckboxes));
        c.Add(ObjectProperty("SmallImages", &TListView::SmallImages, &TListView::SetSmallImages));
        c.Add(Property("ItemIndex", &TListView::ItemIndex, &TListView::SetItemIndex));
        c.Add(EventProperty("OnEditing", &TListView::OnEditing));
        c.Add(EventProperty("OnEdited", &TListView::OnEdited));
        c.Add(EventProperty("OnSelectItem", &TListView::OnSelectItem));
        c.Add(EventProperty("OnColumnClick", &TListView::OnColumnClick));
        c.Add(EventProperty("OnChange", &TListView::OnChange));
        return c;
    }();
    return info;
}

TListView::TListView(TComponent* owner) : TWinControl(owner), columns_(std::make_unique<TListColumns>(this)) {
    SetBoundsQuiet(0, 0, 250, 150);
    SetTabStop(true);
    SetColor(clWindow);
}

TListView::~TListView() {
    MarkDestroying();
    for (auto& item : items_) item->owner_ = nullptr;
}

TListItem* TListView::Items(int index) const {
    if (index < 0 || index >= ItemCount()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)].get();
}

TListItem* TListView::AddItem() { return InsertItem(ItemCount()); }

TListItem* TListView::InsertItem(int index) {
    index = std::clamp(index, 0, ItemCount());
    items_.insert(items_.begin() + index, std::make_unique<TListItem>(this));
    Invalidate();
    return items_[static_cast<size_t>(index)].get();
}

void TListView::DeleteItem(int index) {
    TListItem* item = Items(index);
    if (item == editing_) EndEdit(false);
    items_.erase(items_.begin() + index);
    Invalidate();
}

void TListView::ClearItems() {
    if (editing_) EndEdit(false);
    items_.clear();
    Invalidate();
}

void TListView::SetSmallImages(TImageList* images) {
    if (smallImages_) RemoveFreeNotification(smallImages_);
    smallImages_ = images;
    if (images) FreeNotification(images);
}

void TListView::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == smallImages_) smallImages_ = nullptr;
    TWinControl::Notification(component, operation);
}

int TListView::RowHeight() const { return std::abs(Font()->Height()) + 4; }

TListItem* TListView::Selected() const {
    for (auto& item : items_)
        if (item->selected_) return item.get();
    return nullptr;
}

void TListView::SetSelected(TListItem* item) {
    for (auto& other : items_)
        if (other.get() != item && other->selected_) other->SetSelected(false);
    if (item) item->SetSelected(true);
}

int TListView::ItemIndex() const {
    TListItem* s = Selected();
    return s ? s->Index() : -1;
}

void TListView::SetItemIndex(int index) { SetSelected(index >= 0 && index < ItemCount() ? Items(index) : nullptr); }

void TListView::SelectionChanged(TListItem* item, bool selected) {
    Invalidate();
    if (OnSelectItem) OnSelectItem(this, item, selected);
    if (OnChange) OnChange(this);
}

bool TListView::EditCaption(TListItem* item) {
    if (!item || readOnly_ || item->owner_ != this) return false;
    if (editing_) EndEdit(true);
    bool allow = true;
    if (OnEditing) OnEditing(this, item, allow);
    if (!allow) return false;
    editing_ = item;
    if (!editor_) {
        editor_ = new TEdit(this);
        editor_->SetParent(this);
        editor_->OnKeyDown = [this](TObject*, uint16_t& key, TShiftState) {
            if (key == VK_RETURN || key == VK_ESCAPE) {
                const bool keep = key == VK_RETURN;
                key = 0;
                EndEdit(keep);
            }
        };
    }
    editor_->SetBounds(0, (item->Index() + (viewStyle_ == TViewStyle::vsReport ? 1 : 0)) * RowHeight(),
                       columns_->Count() > 0 ? columns_->Items(0)->Width() : Width(), RowHeight());
    editor_->SetText(item->Caption());
    editor_->Show();
    if (Focused()) editor_->SetFocus();
    editor_->SelectAll();
    return true;
}

void TListView::EndEdit(bool keep) {
    if (!editing_) return;
    TListItem* item = editing_;
    editing_ = nullptr;
    std::string text = editor_->Text();
    const bool hadFocus = editor_->Focused();
    editor_->Hide();
    if (hadFocus && CanFocus()) SetFocus();
    if (!keep) return;
    if (OnEdited) OnEdited(this, item, text);
    item->SetCaption(text);
}

void TListView::KeyDown(uint16_t& key, TShiftState) {
    int to = ItemIndex();
    switch (key) {
        case VK_UP: to = std::max(to - 1, 0); break;
        case VK_DOWN: to = std::min(to + 1, ItemCount() - 1); break;
        case VK_HOME: to = 0; break;
        case VK_END: to = ItemCount() - 1; break;
        case VK_F2:
            EditCaption(Selected());
            key = 0;
            return;
        default: return;
    }
    key = 0;
    if (to >= 0 && to != ItemIndex()) SetItemIndex(to);
}

void TListView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    int row = y / RowHeight();
    if (viewStyle_ == TViewStyle::vsReport) {
        if (row == 0) {
            // The header: a column click.
            int left = 0;
            for (int i = 0; i < columns_->Count(); ++i) {
                const int w = columns_->Items(i)->Width();
                if (x >= left && x < left + w) {
                    if (OnColumnClick) OnColumnClick(this, columns_->Items(i));
                    return;
                }
                left += w;
            }
            return;
        }
        --row;
    }
    if (row < 0 || row >= ItemCount()) return;
    if (multiSelect_ && shift.Contains(TShiftStateItem::ssCtrl))
        Items(row)->SetSelected(!Items(row)->Selected());
    else
        SetSelected(Items(row));
}

void TListView::PaintOn(TCanvas& canvas) {
    canvas.Font()->Assign(Font());
    const int h = RowHeight();
    int y = 0;
    if (viewStyle_ == TViewStyle::vsReport) {
        int x = 0;
        for (int i = 0; i < columns_->Count(); ++i) {
            const TRect r = Bounds(x, 0, columns_->Items(i)->Width(), h);
            canvas.Brush()->SetColor(clBtnFace);
            canvas.FillRect(r);
            canvas.AlignedText(r, columns_->Items(i)->Caption(), columns_->Items(i)->Alignment());
            x += r.Width();
        }
        y = h;
    }
    for (auto& item : items_) {
        int x = 0;
        const int cols = viewStyle_ == TViewStyle::vsReport ? std::max(columns_->Count(), 1) : 1;
        for (int c = 0; c < cols; ++c) {
            const int w = viewStyle_ == TViewStyle::vsReport && columns_->Count() ? columns_->Items(c)->Width() : Width();
            const TRect r = Bounds(x, y, w, h);
            const bool highlight = item->Selected() && (c == 0 || rowSelect_);
            canvas.Brush()->SetColor(highlight ? clHighlight : Color());
            canvas.FillRect(r);
            if (c == 0 && smallImages_) smallImages_->Draw(canvas, r.Left, r.Top, item->ImageIndex());
            const std::string text = c == 0 ? item->Caption()
                                            : (c - 1 < item->SubItems()->Count() ? item->SubItems()->Strings(c - 1) : "");
            canvas.AlignedText(r, text, columns_->Count() ? columns_->Items(c)->Alignment() : TAlignment::taLeftJustify);
            x += w;
        }
        y += h;
    }
}
