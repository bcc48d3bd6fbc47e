#include "spell/DictionarySection.h"

#include <algorithm>
#include <vector>

#include "spell/DictionaryFile.h"
#include "spell/NodeCache.h"

DictionarySection::DictionarySection(std::shared_ptr<TDictionaryFile> file, std::string fileName,
                                     const TSectionHeader& header, std::int64_t headerOffset, TKind kind, int identity)
    : file_(std::move(file)),
      fileName_(std::move(fileName)),
      header_(header),
      headerOffset_(headerOffset),
      base_(headerOffset + TSectionHeader::kSize - TDictionaryNode::kSize),
      kind_(kind),
      identity_(identity) {
    header_.offset = static_cast<std::uint32_t>(headerOffset);
    if (kind_ != kUser) {
        cache_ = std::make_unique<TNodeCache>();
        const std::int64_t inFile = std::max<std::int64_t>(0, (file_->Size() - (base_ + 3)) / 3);
        nodeLimit_ = static_cast<std::uint32_t>(std::min<std::int64_t>({inFile, header_.capacity, 65535}));
    }
}

DictionarySection::~DictionarySection() = default;

std::int64_t DictionarySection::NextHeaderOffset() const {
    return base_ + 3 * (static_cast<std::int64_t>(header_.capacity) + 1);
}

std::uint32_t DictionarySection::NodeCount() const {
    if (!file_) return 0;
    if (cache_) return nodeLimit_;
    const std::int64_t inFile = std::max<std::int64_t>(0, (file_->Size() - (base_ + 3)) / 3);
    return static_cast<std::uint32_t>(std::min<std::int64_t>(inFile, kMaxNode));
}

std::optional<TDictionaryNode> DictionarySection::Node(std::uint32_t n) {
    if (!file_ || n == 0) return std::nullopt;
    if (cache_) {
        if (n > nodeLimit_) return std::nullopt;
        return cache_->Read(*file_, base_, n);
    }
    if (n > kMaxNode) return std::nullopt;
    unsigned char b[3];
    if (file_->ReadAt(base_ + 3 * static_cast<std::int64_t>(n), b, 3) != 3) return std::nullopt;
    return TDictionaryNode::FromBytes(b);
}

bool DictionarySection::ReadNodes(std::uint32_t first, TDictionaryNode* out, std::uint32_t count) const {
    if (!file_ || count == 0) return file_ != nullptr;
    std::vector<unsigned char> buf(static_cast<std::size_t>(count) * 3);
    file_->ReadAt(base_ + 3 * static_cast<std::int64_t>(first), buf.data(), buf.size());
    for (std::uint32_t i = 0; i < count; ++i) out[i] = TDictionaryNode::FromBytes(buf.data() + 3 * i);
    return true;
}

bool DictionarySection::WriteNodes(std::uint32_t first, const TDictionaryNode* nodes, std::uint32_t count) {
    if (!file_ || kind_ != kUser) return false;
    std::vector<unsigned char> buf(static_cast<std::size_t>(count) * 3);
    for (std::uint32_t i = 0; i < count; ++i) nodes[i].ToBytes(buf.data() + 3 * i);
    return file_->WriteAt(base_ + 3 * static_cast<std::int64_t>(first), buf.data(), buf.size());
}

bool DictionarySection::ReloadHeader() {
    if (!file_) return false;
    unsigned char b[TSectionHeader::kSize];
    if (file_->ReadAt(headerOffset_, b, sizeof b) != sizeof b) return false;
    header_ = TSectionHeader::FromBytes(b);
    header_.offset = static_cast<std::uint32_t>(headerOffset_);
    return true;
}

bool DictionarySection::WriteHeader() {
    if (!file_ || kind_ != kUser) return false;
    header_.offset = static_cast<std::uint32_t>(headerOffset_);
    // The nodes must be on disk before the header that counts them.
    if (!file_->Sync()) return false;
    const auto bytes = header_.ToBytes();
    return file_->WriteAt(headerOffset_, bytes.data(), bytes.size()) && file_->Sync();
}

void DictionarySection::Close() {
    file_.reset();
    cache_.reset();
}
