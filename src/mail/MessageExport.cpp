#include "mail/MessageExport.h"

#include "common/FileUtil.h"
#include "mail/RecordBody.h"
#include "richtext/PlainText.h"
#include "richtext/RtfWriter.h"

TMessageExport::TTarget TMessageExport::Target(const std::string& chosen, int filter) {
    const std::size_t slash = chosen.rfind('/');
    const std::size_t dot = chosen.rfind('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    if (hasExtension) return {chosen, filter != kTextFiles};
    if (filter == kRichTextFiles) return {chosen + ".rtf", true};
    return {chosen + ".txt", false};
}

TMessageExport::TResult TMessageExport::Write(int handle, const TTarget& target) const {
    const auto doc = TRecordBody(store_).Document(handle);
    if (!doc) return TResult::NoBody;
    const std::string data = target.rich ? TRtfWriter::Write(*doc) : plaintext::Utf8(*doc);
    // The file is the user's, outside the data folder: it gets the usual
    // mode of a document, not the store's private one.
    return fileutil::WriteAtomically(target.path, data, 0644) ? TResult::Written : TResult::NotWritten;
}
