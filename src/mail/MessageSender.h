#pragma once

#include <memory>
#include <string>
#include <vector>

#include "common/ListFile.h"
#include "common/MimeTypes.h"
#include "transport/MailBase.h"

class IFilterActions;
class TAccountList;
struct TAccount;
class THeaderItem;
class TMailStore;
class TSMTP;
struct TOutgoingMessage;

// Sends one stored outgoing message: makes the message from the record
// (recipients with the address book expanded, the body as rich text or as
// plain text by its type, the signature, priority), builds its bytes, hands
// them to an SMTP session for the record's account and, when the server took the message, marks it sent, runs the
// outgoing filters and moves it to the "Sent Box" (or the filter's mailbox),
// compacting the mailbox it left. A failed send leaves it queued.
class TMessageSender {
public:
    // The rows of "Internet.pab", "Internet.sig" and "Internet.flt".
    struct TLists {
        std::vector<TListRow> book, signatures, filters;
        // The three files of a data folder as they are now, each found in
        // any letter case, as the pages that edit them find them.
        static TLists Read(const std::string& dataFolder);
    };

    TMessageSender(const TMailEnv& env, TMailStore& store, TAccountList& accounts, TLists lists,
                   IFilterActions& actions, TMimeTypes mimeTypes = TMimeTypes());
    ~TMessageSender();

    // True when the server accepted the message.
    bool SendMessage(const THeaderItem& item, const std::vector<std::string>& attachments);
    // The Stop button while sending.
    void Cancel();
    bool Running() const { return current_ != nullptr; }

    // A rich text body's lines with the signature's lines added inside the
    // document.
    static void AppendRtfSignature(std::vector<std::string>& body, const std::vector<std::string>& signature);
    // The lines of the signature that has exactly this name, or nothing.
    static const TListRow* FindSignature(const std::vector<TListRow>& signatures, const std::string& name);
    static constexpr const char* kCanceled = "Mail operation has been canceled at your request.";
    static constexpr const char* kNoBody = "The message's body could not be read; it was not sent.";

private:
    // Fills the message and the client; false when the body could not be read.
    bool Prepare(TSMTP& smtp, TOutgoingMessage& message, const THeaderItem& item,
                 const std::vector<std::string>& attachments, std::string& body);
    void Delivered(const THeaderItem& item, const std::string& from, const std::string& body);

    TMailEnv env_;
    TMailStore& store_;
    TAccountList& accounts_;
    TLists lists_;
    IFilterActions& actions_;
    TMimeTypes mimeTypes_;
    std::unique_ptr<TSMTP> current_;
    // The account of the message being sent, when it signs in with OAuth2.
    const TAccount* oauthAccount_ = nullptr;
};
