#include "app/gui/WindowFilterActions.h"

#include "app/gui/PrintService.h"
#include "common/gui/QtText.h"
#include "mail/RecordBody.h"
#include "store/MailStore.h"

bool TWindowFilterActions::IsMailbox(const std::string& name) const { return store_.Tree().IndexOf(name) >= 0; }

void TWindowFilterActions::Print(const std::string& body, const std::string& subject, const std::string& printer) {
    // The body is the one being stored: RTF as the program writes it, or the
    // plain text of a message that came without any.
    printing_.Print(qttext::FromStored(subject), TRecordBody::DocumentOf(body), qttext::FromStored(printer));
}
