#pragma once

#include <optional>
#include <string>

// A place for secrets outside the data folder: the desktop's keyring (the
// Secret Service) where one answers. Keys and secrets are the program's
// stored texts.
class ISecretStore {
public:
    virtual ~ISecretStore() = default;
    // Whether the keyring answers (asked once; a locked keyring that the
    // user does not open counts as none).
    virtual bool Available() = 0;
    // The secret of a key; nothing when there is none or the keyring failed.
    virtual std::optional<std::string> Read(const std::string& key) = 0;
    virtual bool Write(const std::string& key, const std::string& secret) = 0;
    // True also when there was nothing to remove.
    virtual bool Remove(const std::string& key) = 0;
};
