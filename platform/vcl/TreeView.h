#pragma once
// `TTreeView` with `TTreeNode`s held by `TTreeNodes`. Nodes are reached by their
// absolute index (depth-first order, children after their parent) as well as
// through their parent. Up/Down move through the visible nodes (those whose
// parents are all expanded); Right expands and Left collapses or goes to the
// parent; a click selects the node on that row. Selecting asks OnChanging, then
// raises OnChange; expanding and collapsing ask OnExpanding and OnCollapsing.
#include <memory>
#include <string>
#include <vector>

#include "platform/vcl/WinControl.h"

class TTreeView;
class TTreeNodes;
class TImageList;

class TTreeNode : public TPersistent {
    VELMORA_CLASS(TTreeNode)
public:
    TTreeNode(TTreeNodes* owner, TTreeNode* parent);
    ~TTreeNode() override;

    const std::string& Text() const noexcept { return text_; }
    void SetText(const std::string& t);
    void* Data() const noexcept { return data_; }
    void SetData(void* d) { data_ = d; }
    int ImageIndex() const noexcept { return imageIndex_; }
    void SetImageIndex(int i) { imageIndex_ = i; }
    int SelectedIndex() const noexcept { return selectedIndex_; }
    void SetSelectedIndex(int i) { selectedIndex_ = i; }

    TTreeNode* Parent() const noexcept { return parent_; }
    int Count() const noexcept { return static_cast<int>(children_.size()); }
    TTreeNode* Item(int index) const;   // EListError out of range
    bool HasChildren() const noexcept { return !children_.empty(); }
    int Index() const;           // among its siblings
    int AbsoluteIndex() const;   // in the whole tree, depth-first
    int Level() const;           // 0 for a root node
    TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front().get(); }
    TTreeNode* GetNextSibling() const;
    TTreeNode* GetPrevSibling() const;
    // The next node depth-first (children first), or nullptr at the end.
    TTreeNode* GetNext() const;

    bool Expanded() const noexcept { return expanded_; }
    void SetExpanded(bool v);
    void Expand(bool recurse = false);
    void Collapse(bool recurse = false);
    bool Selected() const;
    void SetSelected(bool v);
    TTreeView* TreeView() const;
    void Delete();
    void DeleteChildren();

private:
    friend class TTreeNodes;
    friend class TTreeView;
    TTreeNodes* owner_;
    TTreeNode* parent_;
    std::vector<std::unique_ptr<TTreeNode>> children_;
    std::string text_;
    void* data_ = nullptr;
    int imageIndex_ = -1, selectedIndex_ = -1;
    bool expanded_ = false;
};

class TTreeNodes : public TPersistent {
    VELMORA_CLASS(TTreeNodes)
public:
    explicit TTreeNodes(TTreeView* owner);
    ~TTreeNodes() override;

    TTreeView* Owner() const noexcept { return owner_; }
    int Count() const;                       // every node
    TTreeNode* Item(int absoluteIndex) const;   // nullptr out of range
    TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front().get(); }
    // Adds a node after the last sibling of `sibling` (nullptr: a root node).
    TTreeNode* Add(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddFirst(TTreeNode* sibling, const std::string& text);
    TTreeNode* AddChild(TTreeNode* parent, const std::string& text);
    TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& text);
    // Inserts a node before `before` (nullptr: appended at the root level).
    TTreeNode* Insert(TTreeNode* before, const std::string& text);
    void Delete(TTreeNode* node);
    void Clear();
    void BeginUpdate() { ++updating_; }
    void EndUpdate();

private:
    friend class TTreeNode;
    friend class TTreeView;
    std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(TTreeNode* parent);
    TTreeNode* InsertAt(TTreeNode* parent, size_t pos, const std::string& text);
    TTreeView* owner_;
    std::vector<std::unique_ptr<TTreeNode>> roots_;
    int updating_ = 0;
};

using TTVChangedEvent = std::function<void(TObject* sender, TTreeNode* node)>;
using TTVChangingEvent = std::function<void(TObject* sender, TTreeNode* node, bool& allowChange)>;

class TTreeView : public TWinControl {
    VELMORA_CLASS(TTreeView)
public:
    explicit TTreeView(TComponent* owner);
    ~TTreeView() override;

    TTreeNodes* Items() const noexcept { return items_.get(); }
    TTreeNode* Selected() const noexcept { return selected_; }
    // Code selects without asking OnChanging; OnChange still reports it.
    void SetSelected(TTreeNode* node);
    bool ReadOnly() const noexcept { return readOnly_; }
    void SetReadOnly(bool v) { readOnly_ = v; }
    bool ShowLines() const noexcept { return showLines_; }
    void SetShowLines(bool v) { showLines_ = v; }
    bool ShowRoot() const noexcept { return showRoot_; }
    void SetShowRoot(bool v) { showRoot_ = v; }
    bool AutoExpand() const noexcept { return autoExpand_; }
    void SetAutoExpand(bool v) { autoExpand_ = v; }
    TImageList* Images() const noexcept { return images_; }
    void SetImages(TImageList* images);
    int RowHeight() const;
    // The nodes whose parents are all expanded, top to bottom.
    std::vector<TTreeNode*> VisibleNodes() const;
    // The user's selection: OnChanging may refuse.
    bool ChangeSelection(TTreeNode* node);

    TTVChangedEvent OnChange;
    TTVChangingEvent OnChanging;
    TTVChangingEvent OnExpanding;
    TTVChangingEvent OnCollapsing;
    TTVChangedEvent OnDeletion;

    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void UserClick() override { Click(); }
    void PaintOn(TCanvas& canvas) override;

protected:
    void KeyDown(uint16_t& key, TShiftState shift) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    friend class TTreeNode;
    friend class TTreeNodes;
    void NodeRemoving(TTreeNode* node);
    std::unique_ptr<TTreeNodes> items_;
    TTreeNode* selected_ = nullptr;
    bool readOnly_ = false, showLines_ = true, showRoot_ = true, autoExpand_ = false;
    TImageList* images_ = nullptr;
};
