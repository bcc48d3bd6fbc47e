#include "app/gui/WindowFilterActions.h"

#include "store/MailStore.h"

bool TWindowFilterActions::IsMailbox(const std::string& name) const { return store_.Tree().IndexOf(name) >= 0; }
