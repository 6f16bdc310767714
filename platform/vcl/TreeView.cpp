#include "platform/vcl/TreeView.h"

#include <algorithm>

#include "platform/vcl/ImageList.h"

// ---- TTreeNode ----

const TClassInfo& TTreeNode::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTreeNode", &TPersistent::StaticClass());
        c.Add(Property("Text", &TTreeNode::Text, &TTreeNode::SetText));
        c.Add(Property("ImageIndex", &TTreeNode::ImageIndex, &TTreeNode::SetImageIndex));
        c.Add(Property("SelectedIndex", &TTreeNode::SelectedIndex, &TTreeNode::SetSelectedIndex));
        c.Add(Property("Expanded", &TTreeNode::Expanded, &TTreeNode::SetExpanded));
        return c;
    }();
    return info;
}

TTreeNode::TTreeNode(TTreeNodes* owner, TTreeNode* parent) : owner_(owner), parent_(parent) {}

TTreeNode::~TTreeNode() = default;

TTreeView* TTreeNode::TreeView() const { return owner_ ? owner_->owner_ : nullptr; }

void TTreeNode::SetText(const std::string& t) {
    text_ = t;
    if (TTreeView* tv = TreeView()) tv->Invalidate();
}

TTreeNode* TTreeNode::Item(int index) const {
    if (index < 0 || index >= Count()) throw EListError("Tree node index out of range (" + std::to_string(index) + ")");
    return children_[static_cast<size_t>(index)].get();
}

int TTreeNode::Index() const {
    auto& siblings = owner_->SiblingsOf(parent_);
    for (size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == this) return static_cast<int>(i);
    return -1;
}

int TTreeNode::AbsoluteIndex() const {
    int n = 0;
    for (TTreeNode* node = owner_->GetFirstNode(); node; node = node->GetNext(), ++n)
        if (node == this) return n;
    return -1;
}

int TTreeNode::Level() const {
    int level = 0;
    for (TTreeNode* p = parent_; p; p = p->parent_) ++level;
    return level;
}

TTreeNode* TTreeNode::GetNextSibling() const {
    auto& siblings = owner_->SiblingsOf(parent_);
    const int i = Index();
    return i + 1 < static_cast<int>(siblings.size()) ? siblings[static_cast<size_t>(i + 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
    const int i = Index();
    return i > 0 ? owner_->SiblingsOf(parent_)[static_cast<size_t>(i - 1)].get() : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
    if (!children_.empty()) return children_.front().get();
    for (const TTreeNode* n = this; n; n = n->parent_)
        if (TTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

void TTreeNode::SetExpanded(bool v) {
    if (v == expanded_) return;
    TTreeView* tv = TreeView();
    bool allow = true;
    if (tv && v && tv->OnExpanding) tv->OnExpanding(tv, this, allow);
    if (tv && !v && tv->OnCollapsing) tv->OnCollapsing(tv, this, allow);
    if (!allow) return;
    expanded_ = v;
    // Collapsing over the selected node moves the selection up to this node.
    if (!v && tv && tv->selected_ && tv->selected_ != this)
        for (TTreeNode* p = tv->selected_->parent_; p; p = p->parent_)
            if (p == this) {
                tv->SetSelected(this);
                break;
            }
    if (tv) tv->Invalidate();
}

void TTreeNode::Expand(bool recurse) {
    SetExpanded(true);
    if (recurse)
        for (auto& c : children_) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
    if (recurse)
        for (auto& c : children_) c->Collapse(true);
    SetExpanded(false);
}

bool TTreeNode::Selected() const {
    TTreeView* tv = TreeView();
    return tv && tv->selected_ == this;
}

void TTreeNode::SetSelected(bool v) {
    TTreeView* tv = TreeView();
    if (!tv) return;
    if (v)
        tv->SetSelected(this);
    else if (tv->selected_ == this)
        tv->SetSelected(nullptr);
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
    while (!children_.empty()) owner_->Delete(children_.back().get());
}

// ---- TTreeNodes ----

const TClassInfo& TTreeNodes::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTreeNodes", &TPersistent::StaticClass());
        c.Add(Property("Count", &TTreeNodes::Count));
        return c;
    }();
    return info;
}

TTreeNodes::TTreeNodes(TTreeView* owner) : owner_(owner) {}

TTreeNodes::~TTreeNodes() = default;

std::vector<std::unique_ptr<TTreeNode>>& TTreeNodes::SiblingsOf(TTreeNode* parent) {
    return parent ? parent->children_ : roots_;
}

int TTreeNodes::Count() const {
    int n = 0;
    for (TTreeNode* node = GetFirstNode(); node; node = node->GetNext()) ++n;
    return n;
}

TTreeNode* TTreeNodes::Item(int absoluteIndex) const {
    if (absoluteIndex < 0) return nullptr;
    TTreeNode* node = GetFirstNode();
    while (node && absoluteIndex-- > 0) node = node->GetNext();
    return node;
}

TTreeNode* TTreeNodes::InsertAt(TTreeNode* parent, size_t pos, const std::string& text) {
    auto& siblings = SiblingsOf(parent);
    auto node = std::make_unique<TTreeNode>(this, parent);
    node->text_ = text;
    TTreeNode* raw = node.get();
    siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(std::min(pos, siblings.size())), std::move(node));
    if (owner_) owner_->Invalidate();
    return raw;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& text) {
    TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
    return InsertAt(parent, SiblingsOf(parent).size(), text);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& text) {
    return InsertAt(sibling ? sibling->parent_ : nullptr, 0, text);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& text) {
    return InsertAt(parent, SiblingsOf(parent).size(), text);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& text) { return InsertAt(parent, 0, text); }

TTreeNode* TTreeNodes::Insert(TTreeNode* before, const std::string& text) {
    if (!before) return InsertAt(nullptr, roots_.size(), text);
    return InsertAt(before->parent_, static_cast<size_t>(before->Index()), text);
}

void TTreeNodes::Delete(TTreeNode* node) {
    if (!node || node->owner_ != this) return;
    node->DeleteChildren();
    if (owner_) owner_->NodeRemoving(node);
    auto& siblings = SiblingsOf(node->parent_);
    siblings.erase(siblings.begin() + node->Index());
    if (owner_) owner_->Invalidate();
}

void TTreeNodes::Clear() {
    while (!roots_.empty()) Delete(roots_.back().get());
}

void TTreeNodes::EndUpdate() {
    if (updating_ > 0 && --updating_ == 0 && owner_) owner_->Invalidate();
}

// ---- TTreeView ----

const TClassInfo& TTreeView::StaticClass() {
    static const TClassInfo info = [] {
        TClassInfo c("TTreeView", &TWinControl::StaticClass(), [](TComponent* o) { return new TTreeView(o); });
        c.Add(ObjectProperty("Items", &TTreeView::Items));
        c.Add(Property("ReadOnly", &TTreeView::ReadOnly, &TTreeView::SetReadOnly));
        c.Add(Property("ShowLines", &TTreeView::ShowLines, &TTreeView::SetShowLines));
        c.Add(Property("ShowRoot", &TTreeView::ShowRoot, &TTreeView::SetShowRoot));
        c.Add(Property("AutoExpand", &TTreeView::AutoExpand, &TTreeView::SetAutoExpand));
        c.Add(ObjectProperty("Images", &TTreeView::Images, &TTreeView::SetImages));
        c.Add(EventProperty("OnChange", &TTreeView::OnChange));
        c.Add(EventProperty("OnChanging", &TTreeView::OnChanging));
        c.Add(EventProperty("OnExpanding", &TTreeView::OnExpanding));
        c.Add(EventProperty("OnCollapsing", &TTreeView::OnCollapsing));
        c.Add(EventProperty("OnDeletion", &TTreeView::OnDeletion));
        return c;
    }();
    return info;
}

TTreeView::TTreeView(TComponent* owner) : TWinControl(owner), items_(std::make_unique<TTreeNodes>(this)) {
    SetBoundsQuiet(0, 0, 121, 97);
    SetTabStop(true);
    SetColor(clWindow);
}

TTreeView::~TTreeView() {
    MarkDestroying();
    items_->owner_ = nullptr;   // no events while the nodes go
    selected_ = nullptr;
}

void TTreeView::NodeRemoving(TTreeNode* node) {
    if (selected_ == node) selected_ = nullptr;
    if (OnDeletion && !Destroying()) OnDeletion(this, node);
}

void TTreeView::SetSelected(TTreeNode* node) {
    if (node == selected_) return;
    selected_ = node;
    // A selected node is shown: its parents open.
    for (TTreeNode* p = node ? node->Parent() : nullptr; p; p = p->Parent()) p->expanded_ = true;
    Invalidate();
    if (OnChange) OnChange(this, node);
}

bool TTreeView::ChangeSelection(TTreeNode* node) {
    if (node == selected_) return true;
    bool allow = true;
    if (OnChanging) OnChanging(this, node, allow);
    if (!allow) return false;
    SetSelected(node);
    if (autoExpand_ && node) node->Expand(false);
    return true;
}

void TTreeView::SetImages(TImageList* images) {
    if (images_) RemoveFreeNotification(images_);
    images_ = images;
    if (images) FreeNotification(images);
}

void TTreeView::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
    TWinControl::Notification(component, operation);
}

int TTreeView::RowHeight() const { return std::abs(Font()->Height()) + 5; }

std::vector<TTreeNode*> TTreeView::VisibleNodes() const {
    std::vector<TTreeNode*> out;
    for (TTreeNode* node = items_->GetFirstNode(); node;) {
        out.push_back(node);
        if (node->Expanded() && node->HasChildren()) {
            node = node->GetFirstChild();
            continue;
        }
        // The next sibling of this node or of the nearest ancestor that has one.
        TTreeNode* next = nullptr;
        for (TTreeNode* n = node; n && !next; n = n->Parent()) next = n->GetNextSibling();
        node = next;
    }
    return out;
}

void TTreeView::KeyDown(uint16_t& key, TShiftState) {
    const auto visible = VisibleNodes();
    if (visible.empty()) return;
    const auto it = std::find(visible.begin(), visible.end(), selected_);
    const int at = it == visible.end() ? -1 : static_cast<int>(it - visible.begin());
    switch (key) {
        case VK_UP: if (at > 0) ChangeSelection(visible[static_cast<size_t>(at - 1)]); break;
        case VK_DOWN: if (at + 1 < static_cast<int>(visible.size())) ChangeSelection(visible[static_cast<size_t>(at + 1)]); break;
        case VK_HOME: ChangeSelection(visible.front()); break;
        case VK_END: ChangeSelection(visible.back()); break;
        case VK_RIGHT: if (selected_) selected_->Expand(false); break;
        case VK_LEFT:
            if (selected_ && selected_->Expanded() && selected_->HasChildren()) selected_->Collapse(false);
            else if (selected_ && selected_->Parent()) ChangeSelection(selected_->Parent());
            break;
        default: return;
    }
    key = 0;
}

void TTreeView::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl::MouseDown(button, shift, x, y);
    if (button != TMouseButton::mbLeft) return;
    const auto visible = VisibleNodes();
    const int row = y / RowHeight();
    if (row >= 0 && row < static_cast<int>(visible.size())) ChangeSelection(visible[static_cast<size_t>(row)]);
}

void TTreeView::PaintOn(TCanvas& canvas) {
    canvas.Font()->Assign(Font());
    int y = 0;
    for (TTreeNode* node : VisibleNodes()) {
        const int indent = (node->Level() + (showRoot_ ? 1 : 0)) * 19;
        const TRect r = Bounds(indent, y, Width() - indent, RowHeight());
        canvas.Brush()->SetColor(node == selected_ ? clHighlight : Color());
        canvas.FillRect(r);
        if (images_) images_->Draw(canvas, r.Left, r.Top, node == selected_ ? node->SelectedIndex() : node->ImageIndex());
        canvas.AlignedText(r, node->Text(), TAlignment::taLeftJustify);
        y += RowHeight();
    }
}
