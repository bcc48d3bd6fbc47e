#pragma once

#include <string>
#include <vector>

#include "common/ObserverList.h"
#include "store/TreeFile.h"

// Told about every change of the mailbox tree, so that a view can follow.
// The "about to" calls come before the nodes change, the others after.
class IMailboxTreeObserver {
public:
    virtual ~IMailboxTreeObserver() = default;
    virtual void TreeAboutToBeReset() {}
    virtual void TreeReset() {}
    virtual void NodeAboutToBeInserted(int /*index*/) {}
    virtual void NodeInserted(int /*index*/) {}
    // The node and its whole subtree (count nodes from index) go.
    virtual void NodesAboutToBeRemoved(int /*index*/, int /*count*/) {}
    virtual void NodesRemoved(int /*index*/, int /*count*/) {}
    virtual void NodeChanged(int /*index*/) {}
    // The node should be scrolled into view, its parents expanded.
    virtual void NodeRevealed(int /*index*/) {}
};

// The mailbox tree as the main window shows it: nodes in depth-first order
// (a node, its children, then its next sibling), each with its name, depth,
// weight and images. Names are unique in the whole tree.
class TMailboxTree {
public:
    struct Node {
        std::string name;
        int depth = 0;
        bool bold = false;  // its mailbox holds new messages
        int image = 2;      // images of the main window's image list
        int selectedImage = 3;
    };

    // Every listener is told; each removes itself before it goes.
    void AddObserver(IMailboxTreeObserver* observer) { observers_.Add(observer); }
    void RemoveObserver(IMailboxTreeObserver* observer) { observers_.Remove(observer); }

    int Count() const { return static_cast<int>(nodes_.size()); }
    const Node& At(int index) const { return nodes_[static_cast<std::size_t>(index)]; }
    const std::vector<Node>& Nodes() const { return nodes_; }

    // The first node whose name equals name exactly, or -1.
    int IndexOf(const std::string& name) const;
    // The first node whose name equals name without regard to case, or -1.
    int IndexOfNoCase(const std::string& name) const;
    // The parent of a node, or -1 for a top-level node.
    int Parent(int index) const;
    // One past the last node of a node's subtree.
    int SubtreeEnd(int index) const;
    bool HasChildren(int index) const { return SubtreeEnd(index) > index + 1; }
    // The children of a node in order (-1: the top-level nodes).
    std::vector<int> Children(int parent) const;
    std::vector<std::string> Names() const;

    // Replaces every node.
    void Reset(const std::vector<TTreeFile::Node>& nodes);
    // Inserts a node at a depth-first position with the given depth; the
    // caller keeps the order valid.
    void Insert(int index, const std::string& name, int depth);
    // Adds a node as the last child of parent (-1: last top-level node) and
    // returns its index.
    int AppendChild(int parent, const std::string& name);
    // Removes a node with its subtree.
    void Remove(int index);
    // Where a node dropped onto the tree goes.
    enum class Place { FirstChildOf, Before, LastTopLevel };
    // Moves a node with its subtree relative to target (ignored for
    // LastTopLevel). Refused (false, nothing changed) when target lies in
    // the moved subtree. Returns the node's new index through newIndex.
    bool Move(int index, Place place, int target, int* newIndex = nullptr);

    void SetName(int index, const std::string& name);
    void SetBold(int index, bool bold);
    void SetImages(int index, int image, int selectedImage);
    void Reveal(int index);

    std::vector<TTreeFile::Node> ToFileNodes() const;

private:
    void Changed(int index);
    // Takes the subtree of index out and puts it at the position that
    // target had, at depth; target is a node index before the removal.
    int MoveSubtree(int index, int target, int depth);

    std::vector<Node> nodes_;
    TObserverList<IMailboxTreeObserver> observers_;
};
