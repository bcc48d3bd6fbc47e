#pragma once

#include <memory>
#include <optional>
#include <string>

#include "config/SecretStore.h"

// The desktop keyring through QtKeychain (the Secret Service: GNOME
// Keyring, KWallet, KeePassXC). Each call waits for its answer in an event
// loop of its own, so the client's window and skfp-tool use it alike; a
// program without a Qt application (the tool) gets one made here. Kept free
// of Qt in its header, so the tool's sources see no Qt.
class TKeychainStore : public ISecretStore {
public:
    explicit TKeychainStore(std::string service);
    ~TKeychainStore() override;
    TKeychainStore(const TKeychainStore&) = delete;
    TKeychainStore& operator=(const TKeychainStore&) = delete;

    bool Available() override;
    std::optional<std::string> Read(const std::string& key) override;
    bool Write(const std::string& key, const std::string& secret) override;
    bool Remove(const std::string& key) override;

private:
    struct TJobs;
    std::string service_;
    std::optional<bool> available_;
    std::unique_ptr<TJobs> jobs_;
};
