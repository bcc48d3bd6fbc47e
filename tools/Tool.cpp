#include "Tool.h"

#include <iostream>

#include "common/FieldText.h"

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

void PrintLine(const std::string& stored) { std::cout << fieldtext::Decode(stored) << '\n'; }

std::string FromArg(const std::string& utf8) { return fieldtext::Encode(utf8, fieldtext::kNoLimit); }
