#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

#include "support/ScopedEnv.h"
#include "support/TempDir.h"

// A private desktop keyring for one test: a D-Bus session bus of its own
// and GNOME Keyring's Secret Service on it, its "login" keyring made and
// unlocked in a temporary folder. While the object lives, this process (and
// the programs it starts) talk to that bus. Stopped when the object goes.
class TSecretService {
public:
    TSecretService();
    ~TSecretService();
    TSecretService(const TSecretService&) = delete;
    TSecretService& operator=(const TSecretService&) = delete;

    // Starts both; Failure() then says why not (the programs missing, say).
    bool Start();
    const std::string& Failure() const { return failure_; }

private:
    void Stop();
    TTempDir dir_;
    pid_t bus_ = -1;
    pid_t keyring_ = -1;
    std::string failure_;
    std::optional<TScopedEnv> address_;
};
