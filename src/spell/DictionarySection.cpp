#include "spell/DictionarySection.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "spell/DictionaryFile.h"

namespace {

// Reading the clock costs more than comparing the header, so it is read only
// every this many lookups.
constexpr std::uint32_t kLooksPerClock = 16;

}  // namespace

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
    if (kind_ == kUser) {
        stamp_ = TFileStamp::OfPath(fileName_);
        stampedAt_ = std::chrono::steady_clock::now();
        Load();
        return;
    }
    const std::int64_t inFile = std::max<std::int64_t>(0, (file_->Size() - (base_ + 3)) / 3);
    nodeLimit_ = static_cast<std::uint32_t>(std::min<std::int64_t>({inFile, header_.capacity, 65535}));
    IndexRoot();
}

DictionarySection::~DictionarySection() = default;

std::int64_t DictionarySection::NextHeaderOffset() const {
    return base_ + 3 * (static_cast<std::int64_t>(header_.capacity) + 1);
}

void DictionarySection::IndexRoot() {
    rootPlace_.fill(0);
    for (int k = 0; k < kMaxSiblings; ++k) {
        const auto node = Node(static_cast<std::uint32_t>(k) + 1);
        if (!node) return;
        auto& place = rootPlace_[node->Code()];
        if (place == 0) place = static_cast<std::uint8_t>(k + 1);
        if (node->IsLast()) return;
    }
}

void DictionarySection::Load() {
    usable_ = false;
    nodeLimit_ = 0;
    rootPlace_.fill(0);
    cache_.Clear();
    // Whatever stands at the header's place now is what later looks compare
    // with, so that a mended file is noticed as well as a damaged one.
    if (head_) std::memcpy(seenHeader_.data(), head_ + headerOffset_, seenHeader_.size());
    const std::int64_t offset = file_->TextHeaderEnd();
    if (offset < 0) return;
    head_ = file_->SharedHead(static_cast<std::size_t>(offset) + TSectionHeader::kSize);
    // The header is taken from the same bytes later looks compare with.
    if (head_) {
        std::memcpy(seenHeader_.data(), head_ + offset, seenHeader_.size());
    } else if (file_->ReadAt(offset, seenHeader_.data(), seenHeader_.size()) != seenHeader_.size()) {
        return;
    }
    const TSectionHeader header = TSectionHeader::FromBytes(seenHeader_.data());
    if (header.kind != 0) return;
    header_ = header;
    headerOffset_ = offset;
    header_.offset = static_cast<std::uint32_t>(offset);
    base_ = offset + TSectionHeader::kSize - TDictionaryNode::kSize;
    const std::int64_t inFile = std::max<std::int64_t>(0, (file_->Size() - (base_ + 3)) / 3);
    nodeLimit_ = static_cast<std::uint32_t>(std::min<std::int64_t>(inFile, kMaxNode));
    usable_ = true;
    IndexRoot();
}

void DictionarySection::Refresh(bool thorough) {
    if (kind_ != kUser || !file_) return;
    const bool headerChanged = head_ && std::memcmp(head_ + headerOffset_, seenHeader_.data(), seenHeader_.size()) != 0;
    if (!head_) thorough = true;  // without the mapping only the file system can tell
    if (!headerChanged && !thorough) {
        if (++looks_ % kLooksPerClock != 0) return;
        if (std::chrono::steady_clock::now() - stampedAt_ < kStampInterval) return;
    }
    const TFileStamp now = TFileStamp::OfPath(fileName_);
    stampedAt_ = std::chrono::steady_clock::now();
    if (!headerChanged && now == stamp_) return;
    if (now.size >= 0 && !now.SameFile(stamp_)) {
        // Replaced under its name: the words are in the new file. A name that
        // leads nowhere keeps the file that is open.
        if (auto file = TDictionaryFile::Open(fileName_, true)) {
            file_ = std::move(file);
            head_ = nullptr;
        }
    }
    stamp_ = now;
    Load();
}

bool DictionarySection::ReadNodes(std::uint32_t first, TDictionaryNode* out, std::uint32_t count) const {
    if (!file_ || count == 0) return file_ != nullptr;
    std::vector<unsigned char> buf(static_cast<std::size_t>(count) * 3);
    file_->ReadAt(base_ + 3 * static_cast<std::int64_t>(first), buf.data(), buf.size());
    for (std::uint32_t i = 0; i < count; ++i) out[i] = TDictionaryNode::FromBytes(buf.data() + 3 * i);
    return true;
}

bool DictionarySection::WriteNodes(std::uint32_t first, const TDictionaryNode* nodes, std::uint32_t count) {
    if (!file_ || kind_ != kUser || !usable_) return false;
    std::vector<unsigned char> buf(static_cast<std::size_t>(count) * 3);
    for (std::uint32_t i = 0; i < count; ++i) nodes[i].ToBytes(buf.data() + 3 * i);
    const bool written = file_->WriteAt(base_ + 3 * static_cast<std::int64_t>(first), buf.data(), buf.size());
    cache_.Forget(base_, first, count);
    if (written && count > 0) {
        nodeLimit_ = std::max(nodeLimit_, std::min(first + count - 1, kMaxNode));
        if (first <= static_cast<std::uint32_t>(kMaxSiblings)) IndexRoot();
    }
    return written;
}

bool DictionarySection::WriteHeader() {
    if (!file_ || kind_ != kUser || !usable_) return false;
    header_.offset = static_cast<std::uint32_t>(headerOffset_);
    // The nodes must be on disk before the header that counts them.
    if (!file_->Sync()) return false;
    const auto bytes = header_.ToBytes();
    if (!file_->WriteAt(headerOffset_, bytes.data(), bytes.size()) || !file_->Sync()) return false;
    // What this program wrote is no change by another one.
    std::copy(bytes.begin(), bytes.end(), seenHeader_.begin());
    stamp_ = TFileStamp::OfPath(fileName_);
    return true;
}

void DictionarySection::Close() {
    file_.reset();
    head_ = nullptr;
    nodeLimit_ = 0;
    rootPlace_.fill(0);
    cache_.Clear();
}
