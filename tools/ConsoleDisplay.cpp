#include "ConsoleDisplay.h"

#include <iostream>

#include "common/Windows1252.h"

void TConsoleDisplay::ShowStatus(const std::string& text) { std::cerr << cp1252::ToUtf8(text) << '\n'; }
