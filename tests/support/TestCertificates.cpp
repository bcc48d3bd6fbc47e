#include "support/TestCertificates.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "support/TempDir.h"

namespace {

std::string Quoted(const std::string& s) { return "'" + s + "'"; }

// Small, quick keys: the tests make several certificates each.
constexpr const char* kNewKey = " -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes";

}  // namespace

TTestCertificates::TTestCertificates() {
    if (MakeAuthority("ca") && MakeAuthority("stranger")) return;
    if (failure_.empty()) failure_ = "openssl could not make the test authorities";
}

bool TTestCertificates::Run(const std::string& command) {
    const std::string full = command + " >" + Quoted(dir_.File("openssl.log")) + " 2>&1";
    if (std::system(full.c_str()) == 0) return true;
    failure_ = "openssl failed: " + command + "\n" + ReadFileOrEmpty(dir_.File("openssl.log"));
    return false;
}

bool TTestCertificates::MakeAuthority(const std::string& name) {
    return Run("openssl req -x509" + std::string(kNewKey) + " -keyout " + Quoted(dir_.File(name + ".key")) + " -out " +
               Quoted(dir_.File(name + ".pem")) + " -days 2 -subj '/CN=Skiffpost test " + name +
               "' -addext basicConstraints=critical,CA:TRUE -addext keyUsage=critical,keyCertSign,cRLSign");
}

TTestCertificates::TPair TTestCertificates::Issue(const std::string& name, const std::string& altNames, bool trusted) {
    const std::string issuer = trusted ? "ca" : "stranger";
    TPair pair{dir_.File(name + ".pem"), dir_.File(name + ".key")};
    {
        std::ofstream ext(dir_.File(name + ".ext"));
        ext << "subjectAltName=" << altNames << "\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n";
    }
    const bool ok =
        Run("openssl req" + std::string(kNewKey) + " -keyout " + Quoted(pair.key) + " -out " +
            Quoted(dir_.File(name + ".csr")) + " -subj '/CN=" + name + "'") &&
        Run("openssl x509 -req -in " + Quoted(dir_.File(name + ".csr")) + " -CA " + Quoted(dir_.File(issuer + ".pem")) +
            " -CAkey " + Quoted(dir_.File(issuer + ".key")) + " -CAcreateserial -days 2 -out " + Quoted(pair.cert) +
            " -extfile " + Quoted(dir_.File(name + ".ext")));
    if (!ok) return {};
    return pair;
}

std::string TTestCertificates::Fingerprint(const TPair& pair) {
    if (!Run("openssl x509 -noout -fingerprint -sha256 -in " + Quoted(pair.cert))) return {};
    // "sha256 Fingerprint=AB:CD:..."
    std::string text = ReadFileOrEmpty(dir_.File("openssl.log"));
    const auto eq = text.find('=');
    if (eq == std::string::npos) return {};
    text = text.substr(eq + 1);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}
