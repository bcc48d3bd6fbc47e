#include "app/NewMessageTo.h"

#include "book/FilterList.h"
#include "common/AppTitle.h"
#include "common/DisplayDate.h"
#include "compose/MessageCreator.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "richtext/FormatFile.h"
#include "store/HeaderItem.h"

std::string TNewMessageTo::MissingFormatMessage() {
    return std::string(kAppTitle) +
           " could not create a new message.\nReason: Invalid or missing format file.\nFix: Please setup your "
           "preferences for default messages.";
}

int TNewMessageTo::Create(TMailStore& store, const std::string& dataFolder, const TIniFile& config,
                          IFilterActions& actions, std::time_t now, const std::string& address) {
    auto format = TFormatFile::Read(dataFolder + cfg::kFormatFile);
    if (!format) return -1;
    TNewMessage message;
    message.subject = config.Read(cfg::NewMessage);
    message.to = "Internet User <" + address + ">";
    message.flags = mfQueued;
    message.date = displaydate::Format(now);
    message.body = TFormatFile::NewBody(std::move(*format));
    TFilterList filters;
    filters.Load(dataFolder + cfg::kFilterFile);
    TMessageCreator creator(store, filters.Rows(), actions);
    return creator.CreateMessage(message);
}
