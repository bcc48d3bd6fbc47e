#pragma once

#include <optional>
#include <string>
#include <string_view>

class TSmtpCapabilities;

// One SMTP AUTH exchange (RFC 4954) with the account's user name and
// password: the command that starts it and the answer to each challenge
// ("334 " and base64) the server sends.
class TSmtpAuth {
public:
    enum class TMechanism { None, CramMd5, Plain, Login };

    // The strongest mechanism both sides have: CRAM-MD5, then PLAIN, then
    // LOGIN. PLAIN and LOGIN show the password to anyone on the way, so
    // they are taken only inside TLS.
    static TMechanism Choose(const TSmtpCapabilities& caps, bool secure);
    static const char* Name(TMechanism mechanism);
    // The decoded text of a challenge line; nothing when the line is no
    // challenge or not base64.
    static std::optional<std::string> DecodeChallenge(std::string_view line);

    TSmtpAuth(TMechanism mechanism, std::string user, std::string password);

    // "AUTH ..." (PLAIN carries its credentials at once).
    std::string Command() const;
    // The line that answers a challenge; nothing when the mechanism has no
    // further answer or the challenge cannot be read.
    std::optional<std::string> Answer(std::string_view line);

private:
    TMechanism mechanism_;
    std::string user_;
    std::string password_;
    int step_ = 0;
};
