#include "Tool.h"

#include <iostream>

#include "common/FieldText.h"
#include "config/ConfigKeys.h"
#ifdef SKFP_KEYRING
#include "config/gui/KeychainStore.h"
#endif

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

ISecretStore* TToolContext::Secrets() {
#ifdef SKFP_KEYRING
    if (!secrets_) secrets_ = std::make_unique<TKeychainStore>(cfg::kKeyringService);
#endif
    return secrets_.get();
}

std::string WithoutControls(std::string_view utf8, bool keepLines) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        const bool lineEnd = keepLines && (c == '\n' || (c == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n'));
        if ((c < 0x20 && c != '\t' && !lineEnd) || c == 0x7F) {
            out += '?';
        } else if (c == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            out += '?';  // the C1 controls, which terminals also obey
            ++i;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

void PrintLine(const std::string& stored) {
    // A field holds one line; a sender's escape sequences must not reach
    // the terminal (they can rewrite what is shown, or the title).
    std::cout << WithoutControls(fieldtext::Decode(stored), false) << '\n';
}

std::string FromArg(const std::string& utf8) { return fieldtext::Encode(utf8, fieldtext::kNoLimit); }
