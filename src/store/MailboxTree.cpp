#include "store/MailboxTree.h"

#include "common/TextUtil.h"

int TMailboxTree::IndexOf(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (nodes_[static_cast<std::size_t>(i)].name == name) return i;
    return -1;
}

int TMailboxTree::IndexOfNoCase(const std::string& name) const {
    for (int i = 0; i < Count(); ++i)
        if (text::EqualsNoCase(nodes_[static_cast<std::size_t>(i)].name, name)) return i;
    return -1;
}

int TMailboxTree::Parent(int index) const {
    const int depth = At(index).depth;
    for (int i = index - 1; i >= 0; --i)
        if (At(i).depth < depth) return i;
    return -1;
}

int TMailboxTree::SubtreeEnd(int index) const {
    const int depth = At(index).depth;
    int end = index + 1;
    while (end < Count() && At(end).depth > depth) ++end;
    return end;
}

std::vector<int> TMailboxTree::Children(int parent) const {
    std::vector<int> out;
    const int begin = parent < 0 ? 0 : parent + 1;
    const int end = parent < 0 ? Count() : SubtreeEnd(parent);
    const int depth = parent < 0 ? 0 : At(parent).depth + 1;
    for (int i = begin; i < end; ++i)
        if (At(i).depth == depth) out.push_back(i);
    return out;
}

std::vector<std::string> TMailboxTree::Names() const {
    std::vector<std::string> out;
    out.reserve(nodes_.size());
    for (const auto& n : nodes_) out.push_back(n.name);
    return out;
}

void TMailboxTree::Reset(const std::vector<TTreeFile::Node>& nodes) {
    observers_.Notify([&](auto& o) { o.TreeAboutToBeReset(); });
    nodes_.clear();
    for (const auto& n : nodes) nodes_.push_back({n.name, n.depth});
    observers_.Notify([&](auto& o) { o.TreeReset(); });
}

void TMailboxTree::Insert(int index, const std::string& name, int depth) {
    observers_.Notify([&](auto& o) { o.NodeAboutToBeInserted(index); });
    nodes_.insert(nodes_.begin() + index, Node{name, depth});
    observers_.Notify([&](auto& o) { o.NodeInserted(index); });
}

int TMailboxTree::AppendChild(int parent, const std::string& name) {
    const int index = parent < 0 ? Count() : SubtreeEnd(parent);
    Insert(index, name, parent < 0 ? 0 : At(parent).depth + 1);
    return index;
}

void TMailboxTree::Remove(int index) {
    const int end = SubtreeEnd(index);
    observers_.Notify([&](auto& o) { o.NodesAboutToBeRemoved(index, end - index); });
    nodes_.erase(nodes_.begin() + index, nodes_.begin() + end);
    observers_.Notify([&](auto& o) { o.NodesRemoved(index, end - index); });
}

int TMailboxTree::MoveSubtree(int index, int target, int depth) {
    const int end = SubtreeEnd(index);
    observers_.Notify([&](auto& o) { o.TreeAboutToBeReset(); });
    std::vector<Node> moving(nodes_.begin() + index, nodes_.begin() + end);
    const int shift = depth - moving.front().depth;
    for (auto& n : moving) n.depth += shift;
    nodes_.erase(nodes_.begin() + index, nodes_.begin() + end);
    const int at = target > index ? target - (end - index) : target;
    nodes_.insert(nodes_.begin() + at, moving.begin(), moving.end());
    observers_.Notify([&](auto& o) { o.TreeReset(); });
    return at;
}

void TMailboxTree::SetName(int index, const std::string& name) {
    nodes_[static_cast<std::size_t>(index)].name = name;
    Changed(index);
}

void TMailboxTree::SetBold(int index, bool bold) {
    auto& n = nodes_[static_cast<std::size_t>(index)];
    if (n.bold == bold) return;
    n.bold = bold;
    Changed(index);
}

void TMailboxTree::SetImages(int index, int image, int selectedImage) {
    auto& n = nodes_[static_cast<std::size_t>(index)];
    if (n.image == image && n.selectedImage == selectedImage) return;
    n.image = image;
    n.selectedImage = selectedImage;
    Changed(index);
}

void TMailboxTree::Reveal(int index) {
    observers_.Notify([&](auto& o) { o.NodeRevealed(index); });
}

std::vector<TTreeFile::Node> TMailboxTree::ToFileNodes() const {
    std::vector<TTreeFile::Node> out;
    out.reserve(nodes_.size());
    for (const auto& n : nodes_) out.push_back({n.name, n.depth});
    return out;
}

void TMailboxTree::Changed(int index) {
    observers_.Notify([&](auto& o) { o.NodeChanged(index); });
}

bool TMailboxTree::Move(int index, Place place, int target, int* newIndex) {
    if (index < 0 || index >= Count()) return false;
    const int end = SubtreeEnd(index);
    int destination = Count();
    int depth = 0;
    if (place == Place::Before && target == index) {
        if (newIndex) *newIndex = index;  // dropped just before itself: it stays
        return true;
    }
    if (place != Place::LastTopLevel) {
        if (target < 0 || target >= Count() || (target >= index && target < end)) return false;
        destination = place == Place::FirstChildOf ? target + 1 : target;
        depth = place == Place::FirstChildOf ? At(target).depth + 1 : At(target).depth;
    }
    const int at = MoveSubtree(index, destination, depth);
    if (newIndex) *newIndex = at;
    return true;
}
