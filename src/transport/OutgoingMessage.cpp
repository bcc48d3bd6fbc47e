#include "transport/OutgoingMessage.h"

#include "transport/RecipientParts.h"

std::string TOutgoingMessage::EnvelopeFrom() const { return recipient::EnvelopeAddress(From); }

std::vector<std::string> TOutgoingMessage::EnvelopeRecipients() const {
    std::vector<std::string> out;
    out.reserve(ToList.size() + CCList.size() + BCCList.size());
    for (const auto* list : {&ToList, &CCList, &BCCList})
        for (const auto& entry : *list) out.push_back(recipient::EnvelopeAddress(entry));
    return out;
}
