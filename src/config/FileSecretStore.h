#pragma once

#include <string>

#include "config/SecretStore.h"

// Secrets in a file of the data folder, readable by the user alone (0600):
// where there is no keyring, the same place the passwords have.
class TFileSecretStore : public ISecretStore {
public:
    explicit TFileSecretStore(std::string path) : path_(std::move(path)) {}
    static constexpr const char* kFileName = "Tokens.ini";

    bool Available() override { return true; }
    std::optional<std::string> Read(const std::string& key) override;
    bool Write(const std::string& key, const std::string& secret) override;
    bool Remove(const std::string& key) override;

private:
    std::string path_;
};
