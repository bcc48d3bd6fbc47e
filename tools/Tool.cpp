#include "Tool.h"

#include <iostream>

#include "common/Windows1252.h"

const TFolders* TToolContext::Folders() {
    if (!tried_) {
        tried_ = true;
        auto options = TFolderSetup::FromEnvironment(programFolder ? *programFolder : TFolderSetup::ExecutableFolder());
        options.dataFolder = dataFolder;
        options.attachFolder = attachFolder;
        folders_ = TFolderSetup(prompt).Run(options);
    }
    return folders_ ? &*folders_ : nullptr;
}

void PrintLine(const std::string& windows1252) { std::cout << cp1252::ToUtf8(windows1252) << '\n'; }

std::string FromArg(const std::string& utf8) {
    // Texts that are not UTF-8 are taken as they are: they already are bytes.
    return cp1252::IsValidUtf8(utf8) ? cp1252::FromUtf8(utf8) : utf8;
}
