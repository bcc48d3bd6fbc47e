#include "store/HeaderItem.h"

namespace {
constexpr const char* kWords[6] = {"R", "NR", "FWD", "RE", "Q", "S"};  // bits 0 to 5
constexpr const char* kAttachWord = " ATT";
}  // namespace

std::string THeaderItem::StatusWord(std::uint8_t flags) {
    std::string word;
    for (int bit = 0; bit < 6; ++bit)
        if (flags & (1u << bit)) word = kWords[bit];
    if (flags & mfAttach) word += kAttachWord;
    return word;
}

std::uint8_t THeaderItem::FlagsFromStatusWord(std::string_view word) {
    // "RE" before "R", since "R" is a prefix of it.
    static constexpr struct {
        const char* word;
        std::uint8_t flag;
    } kOrder[] = {{"RE", mfReply}, {"NR", mfNew}, {"FWD", mfForward}, {"R", mfRead}, {"Q", mfQueued}, {"S", mfSent}};
    std::uint8_t flags = 0;
    for (const auto& entry : kOrder) {
        if (word.starts_with(entry.word)) {
            flags = entry.flag;
            break;
        }
    }
    if (word.find(kAttachWord) != std::string_view::npos) flags |= mfAttach;
    return flags;
}

std::string THeaderItem::StatusText() const {
    if (Has(mfSent)) return "S";
    if (Has(mfNew)) return "NR";
    if (Has(mfQueued)) return "Q";
    if (Has(mfReply)) return "RE";
    if (Has(mfForward)) return "FWD";
    return " ";
}

std::string THeaderItem::AttachmentText() const { return Has(mfAttach) ? "  " : ""; }

unsigned THeaderItem::ChangedFields(const THeaderItem& a, const THeaderItem& b) {
    unsigned fields = 0;
    const auto differs = [&fields](bool different, TRecordField field) {
        if (different) fields |= field;
    };
    differs(a.Subject != b.Subject, rfSubject);
    differs(a.Who != b.Who, rfWho);
    differs(a.Address != b.Address, rfAddress);
    differs(a.Date != b.Date, rfDate);
    differs(a.Flags != b.Flags, rfFlags);
    differs(a.Signature != b.Signature, rfSignature);
    differs(a.MsgType != b.MsgType, rfMsgType);
    differs(a.Server != b.Server, rfServer);
    differs(a.Attachments != b.Attachments, rfAttachments);
    differs(a.CCList != b.CCList, rfCCList);
    differs(a.BCCList != b.BCCList, rfBCCList);
    differs(a.WindowHandle != b.WindowHandle, rfWindowHandle);
    return fields;
}
