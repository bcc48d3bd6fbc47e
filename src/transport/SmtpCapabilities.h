#pragma once

#include <string>
#include <string_view>
#include <vector>

// What an SMTP server offers, read from its EHLO reply (RFC 5321 4.1.1.1):
// the first line greets, each further line names one extension and its
// parameters.
class TSmtpCapabilities {
public:
    // The reply's lines without their line ends, codes included.
    static TSmtpCapabilities Parse(const std::vector<std::string>& lines);

    bool StartTls() const { return startTls_; }
    // The authentication mechanisms in upper case, as offered.
    const std::vector<std::string>& AuthMechanisms() const { return auth_; }
    bool Offers(std::string_view mechanism) const;

private:
    void AddMechanisms(std::string_view list);

    bool startTls_ = false;
    std::vector<std::string> auth_;
};
