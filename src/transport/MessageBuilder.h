#pragma once

#include <string>
#include <string_view>

#include "common/MimeTypes.h"

class IClock;
class ITransferDisplay;
class IUserPrompt;
struct TOutgoingMessage;

// Writes an outgoing message as the bytes that go after SMTP's DATA: the
// header lines (long fields folded, 8-bit text as encoded words), the body
// as 7-bit or quoted-printable text, and each attachment as a MIME part in
// base64, or quoted-printable for text files. Every line ends in CR LF;
// line breaks inside an entry start lines of their own. The lines are not
// dot-stuffed: that is the SMTP session's part.
class TMessageBuilder {
public:
    // The display shows what is being written and how far an attachment has
    // been read; the prompt tells of attachments that cannot be sent.
    TMessageBuilder(IClock& clock, IUserPrompt& prompt, ITransferDisplay& display, TMimeTypes mimeTypes = TMimeTypes());

    // The MIME boundary of every message this builder writes: eight digits,
    // chosen when it is made.
    const std::string& Boundary() const { return boundary_; }

    // The message, dated now. An attachment that no longer exists is
    // reported and left out; one that cannot be read to its end is reported
    // and fails the whole message with EMailError, since a message with a
    // part cut short must not be delivered.
    std::string Build(const TOutgoingMessage& message);

private:
    // A line of the message; a line break inside it starts a line of its own.
    void Line(std::string_view line);
    // A header field, folded when long.
    void Header(const std::string& field);
    void Headers(const TOutgoingMessage& message, bool bodyEncoded, bool eightBit);
    void Body(const TOutgoingMessage& message, bool bodyEncoded);
    void Attach(const std::string& path, std::size_t index);
    void AppendBase64(const std::string& path);
    void AppendQuotedPrintable(const std::string& path);
    [[noreturn]] void AttachmentFailed(const std::string& path);
    void Progress(int percent);

    IClock& clock_;
    IUserPrompt& prompt_;
    ITransferDisplay& display_;
    TMimeTypes mimeTypes_;
    std::string boundary_;
    std::string out_;
    int lastProgress_ = -1;
};
