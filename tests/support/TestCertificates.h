#pragma once

#include <string>

#include "support/TempDir.h"

// A throwaway certificate authority made with the openssl command line, and
// server certificates it (or an authority nobody trusts) issues. The
// authority's file is what a test gives the client through SSL_CERT_FILE.
class TTestCertificates {
public:
    struct TPair {
        std::string cert;  // PEM files
        std::string key;
    };

    TTestCertificates();
    const std::string& Failure() const { return failure_; }
    bool Ok() const { return failure_.empty(); }
    std::string CaFile() const { return dir_.File("ca.pem"); }

    // A server certificate for the subject alternative names
    // ("DNS:localhost,IP:127.0.0.1"), issued by the test authority or, when
    // trusted is false, by a second authority that is nowhere trusted.
    TPair Issue(const std::string& name, const std::string& altNames, bool trusted = true);
    // The SHA-256 fingerprint as the client shows it ("AB:CD:...").
    std::string Fingerprint(const TPair& pair);

private:
    bool Run(const std::string& command);
    bool MakeAuthority(const std::string& name);

    TTempDir dir_;
    std::string failure_;
};
