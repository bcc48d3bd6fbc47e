#include "ToolFilterActions.h"

#include <iostream>

#include "common/Windows1252.h"
#include "store/MailStore.h"

bool TToolFilterActions::IsMailbox(const std::string& name) const { return store_.Tree().IndexOf(name) >= 0; }

void TToolFilterActions::Tell(const std::string& what) {
    std::cerr << "skfp-tool: filter: " << cp1252::ToUtf8(what) << '\n';
}
