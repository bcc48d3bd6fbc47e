#include "spell/SpellEngine.h"

#include <array>

#include "common/FileUtil.h"
#include "spell/DictionaryFile.h"
#include "spell/LetterCodes.h"
#include "spell/SuggestionSearch.h"
#include "spell/WordInserter.h"

namespace {

constexpr std::string_view kUserTextHeader =
    "USER DICTIONARY\r\n"
    "Skiffpost user word list: letter tree of 3-byte nodes; change it only through the program.\r\n"
    "\x1A";
constexpr std::uint32_t kNewUserCapacity = 500;

bool ReadHeaderAt(const TDictionaryFile& file, std::int64_t offset, TSectionHeader& header) {
    unsigned char b[TSectionHeader::kSize];
    if (file.ReadAt(offset, b, sizeof b) != sizeof b) return false;
    header = TSectionHeader::FromBytes(b);
    header.offset = static_cast<std::uint32_t>(offset);
    return true;
}

std::vector<std::uint8_t> Codes(std::string_view upper) {
    std::vector<std::uint8_t> codes;
    codes.reserve(upper.size());
    for (unsigned char c : upper) codes.push_back(TLetterCodes::Encode(c));
    return codes;
}

TWordCodes CodesOf(std::string_view upper) {
    TWordCodes codes;
    for (unsigned char c : upper) codes.letters[codes.size++] = TLetterCodes::Encode(c);
    return codes;
}

}  // namespace

SpellEngine::SpellEngine() = default;
SpellEngine::~SpellEngine() = default;

bool SpellEngine::OpenMainDictionary(const std::string& path) {
    if (!sections_.empty() && sections_.front()->Kind() == DictionarySection::kMainFirst) return false;
    auto file = TDictionaryFile::Open(path, false);
    if (!file) return false;
    std::int64_t offset = file->TextHeaderEnd();
    TSectionHeader header;
    if (offset < 0 || !ReadHeaderAt(*file, offset, header) || header.kind == 0) return false;
    const std::int64_t size = file->Size();
    std::vector<std::unique_ptr<DictionarySection>> later;
    auto first = std::make_unique<DictionarySection>(file, path, header, offset, DictionarySection::kMainFirst, -1);
    offset = first->NextHeaderOffset();
    // Each header lies past the one before, so the walk through the file ends.
    while (offset + 20 < size && ReadHeaderAt(*file, offset, header)) {
        later.push_back(
            std::make_unique<DictionarySection>(file, path, header, offset, DictionarySection::kMainLater, -1));
        offset = later.back()->NextHeaderOffset();
    }
    sections_.insert(sections_.begin(), std::move(first));
    for (auto& s : later) sections_.push_back(std::move(s));
    return true;
}

int SpellEngine::OpenUserDictionary(const std::string& path) {
    auto probe = TDictionaryFile::Open(path, false);
    if (!probe) return -1;
    const std::int64_t offset = probe->TextHeaderEnd();
    TSectionHeader header;
    if (offset < 0 || !ReadHeaderAt(*probe, offset, header)) return 0;
    if (header.kind != 0) return 0;
    auto file = TDictionaryFile::Open(path, true);
    if (!file) return -1;
    const int identity = nextIdentity_;
    nextIdentity_ = static_cast<std::uint16_t>(nextIdentity_ + 1);  // wraps from 65535 to 0
    sections_.push_back(
        std::make_unique<DictionarySection>(std::move(file), path, header, offset, DictionarySection::kUser, identity));
    return identity;
}

int SpellEngine::CreateUserDictionary(const std::string& path) {
    std::string data(kUserTextHeader);
    TSectionHeader header;
    header.nodesInUse = 1;
    header.capacity = kNewUserCapacity;
    header.words = 1;
    header.kind = 0;
    header.offset = static_cast<std::uint32_t>(data.size());
    const auto hb = header.ToBytes();
    data.append(reinterpret_cast<const char*>(hb.data()), hb.size());
    const std::uint8_t flagsA = TLetterCodes::Encode('A') | TDictionaryNode::kLastSibling | TDictionaryNode::kWordEnd;
    unsigned char node[3];
    TDictionaryNode{0, flagsA}.ToBytes(node);
    data.append(reinterpret_cast<const char*>(node), 3);
    TDictionaryNode{TDictionaryNode::kNoChildren, flagsA}.ToBytes(node);
    for (std::uint32_t n = 2; n <= kNewUserCapacity; ++n) data.append(reinterpret_cast<const char*>(node), 3);
    if (!fileutil::WriteAtomically(path, data)) return -1;
    const int identity = OpenUserDictionary(path);
    return identity > 0 ? identity : -1;
}

void SpellEngine::Refresh(bool thorough) {
    for (auto& s : sections_)
        if (s->Kind() == DictionarySection::kUser) s->Refresh(thorough);
}

bool SpellEngine::Lookup(std::string_view word) {
    Refresh(false);
    // Longer words are refused by the tree lookup after their "'S" endings
    // are stripped, which only the general path does.
    if (word.size() > kMaxWordLength) return LookupUpper(TLetterCodes::Upper(word));
    std::array<char, kMaxWordLength> upper{};
    for (std::size_t i = 0; i < word.size(); ++i)
        upper[i] = static_cast<char>(TLetterCodes::Upper(static_cast<unsigned char>(word[i])));
    return LookupUpper(std::string_view(upper.data(), word.size()));
}

bool SpellEngine::LookupUpper(std::string_view upper) {
    // Each pass strips one "'S", so the loop ends.
    while (true) {
        if (upper.size() <= 1) return true;
        // A character without a letter code of its own is in no tree.
        if (upper.size() <= kMaxWordLength && TLetterCodes::AllHaveCodes(upper)) {
            const TWordCodes codes = CodesOf(upper);
            for (auto& s : sections_)
                if (s->Usable() && SectionHasWord(*s, codes)) return true;
        }
        if (upper.size() >= 2 && upper.substr(upper.size() - 2) == "'S") {
            upper.remove_suffix(2);
            continue;
        }
        return false;
    }
}

bool SpellEngine::SectionHasWord(DictionarySection& section, const TWordCodes& codes) {
    // The root list is indexed: the scan starts at the first node with the
    // word's first letter, which is where a scan from the list's head would
    // first stop.
    const int rootPlace = section.RootPlace(codes.letters[0]);
    if (rootPlace < 0) return false;
    std::uint32_t list = 1;
    for (std::size_t i = 0; i < codes.size; ++i) {
        const bool lastLetter = i + 1 == codes.size;
        const int skip = i == 0 ? rootPlace : 0;
        std::uint32_t n = list + static_cast<std::uint32_t>(skip);
        bool descended = false;
        for (int k = skip; k < DictionarySection::kMaxSiblings && !descended; ++k, ++n) {
            const auto node = section.Node(n);
            if (!node) return false;
            if (node->Code() == codes.letters[i]) {
                if (lastLetter && node->EndsWord()) return true;
                if (!lastLetter && node->HasChildren()) {
                    list = node->child;
                    descended = true;
                    break;
                }
            }
            if (node->IsLast()) return false;
        }
        if (!descended) return false;
    }
    return false;
}

bool SpellEngine::AddWord(int identity, std::string_view word) {
    DictionarySection* section = nullptr;
    for (auto& s : sections_)
        if (s->Identity() == identity && s->IsOpen()) section = s.get();
    if (!section || section->Kind() != DictionarySection::kUser) return false;
    if (word.empty() || word.size() > kMaxWordLength) return false;
    const std::string upper = TLetterCodes::Upper(word);
    if (!TLetterCodes::AllHaveCodes(upper)) return false;
    section->Refresh(true);
    if (!section->Usable()) return false;
    auto& header = section->MutableHeader();
    if (header.nodesInUse + upper.size() > kMaxUserNodes) return false;
    const TSectionHeader before = header;
    if (!TWordInserter(*section).Insert(Codes(upper))) {
        header = before;
        return false;
    }
    ++header.words;
    return section->WriteHeader();
}

void SpellEngine::CloseAll() {
    for (auto& s : sections_) s->Close();
    sections_.clear();
}

const std::vector<std::string>& SpellEngine::Suggest(std::string_view word, TSuggestType type, int maxSuggestions) {
    suggestions_.clear();
    if (type == stNoSuggest) return suggestions_;
    suggestions_ = TSuggestionSearch(*this, type == stPhoneme).Run(word, maxSuggestions);
    return suggestions_;
}
