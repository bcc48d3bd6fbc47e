#include "config/FileSecretStore.h"

#include "config/IniFile.h"

namespace {

constexpr const char* kSection = "Secrets";

// An INI key cannot hold "=" nor begin with "[" or ";": such bytes are
// written as %XX, and so is "%".
std::string Key(const std::string& key) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : key) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '=' || c == '%' || c == '[' || c == ';' || c < 0x20 || c == 0x7F) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

}  // namespace

std::optional<std::string> TFileSecretStore::Read(const std::string& key) {
    const TIniFile ini(path_);
    if (!ini.HasKey(kSection, Key(key))) return std::nullopt;
    return ini.ReadString(kSection, Key(key), "");
}

bool TFileSecretStore::Write(const std::string& key, const std::string& secret) {
    TIniFile ini(path_);
    return ini.WriteString(kSection, Key(key), secret);
}

bool TFileSecretStore::Remove(const std::string& key) {
    TIniFile ini(path_);
    return !ini.HasKey(kSection, Key(key)) || ini.DeleteKey(kSection, Key(key));
}
