#include "book/SenderMember.h"

#include "book/AddressList.h"
#include "book/MemberFields.h"
#include "common/BoundedText.h"
#include "common/FieldText.h"
#include "common/ListName.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "incoming/MailHeader.h"

namespace sendermember {

namespace {
// A header text may still hold bytes a list file cannot keep in a field.
std::string Clean(std::string_view value) { return text::Trim(listname::CleanField(value)); }
}  // namespace

TListRow Row(std::string_view from, const std::vector<std::string>& members) {
    const std::string address = Clean(mailheader::AddressPart(from));
    std::string name = fieldtext::Decode(Clean(mailheader::NamePart(from)));
    // The name is typed as a recipient later, and recipients are split at
    // commas: "Doe, Jane" would become two unknown recipients.
    std::erase(name, ',');
    name = text::Trim(name);
    name = fieldtext::Encode(name, fieldtext::kNoLimit);
    if (name.empty()) name = address;
    if (name.empty()) name = TAddressList::kNewName;
    // Room for " (n)" within the bound of a row's name.
    if (name.size() > TBoundedText::kLimit - 8) name = text::Trim(fieldtext::Fit(name, TBoundedText::kLimit - 8));
    TListRow row;
    row.caption = uniquename::Make(name, members);
    row.subItems.assign(memberfield::Count, std::string());
    row.subItems[memberfield::Addresses] = address;
    return row;
}

}  // namespace sendermember
