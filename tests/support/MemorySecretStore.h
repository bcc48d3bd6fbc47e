#pragma once

#include <map>
#include <string>

#include "config/SecretStore.h"

// A keyring in memory: answers or not as the test says, refuses writes
// when told, and counts what it was asked.
class TMemorySecretStore : public ISecretStore {
public:
    bool answers = true;
    bool refuseWrites = false;
    std::map<std::string, std::string> secrets;
    int writes = 0;

    bool Available() override { return answers; }
    std::optional<std::string> Read(const std::string& key) override {
        const auto it = secrets.find(key);
        if (!answers || it == secrets.end()) return std::nullopt;
        return it->second;
    }
    bool Write(const std::string& key, const std::string& secret) override {
        ++writes;
        if (!answers || refuseWrites) return false;
        secrets[key] = secret;
        return true;
    }
    bool Remove(const std::string& key) override {
        if (!answers) return false;
        secrets.erase(key);
        return true;
    }
};
