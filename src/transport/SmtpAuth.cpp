#include "transport/SmtpAuth.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

#include "common/Base64.h"
#include "transport/SmtpCapabilities.h"

namespace {

std::string Base64(std::string_view text) {
    return base64::Encode(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::string HexOf(const unsigned char* data, unsigned size) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < size; ++i) {
        out.push_back(kHex[data[i] >> 4]);
        out.push_back(kHex[data[i] & 15]);
    }
    return out;
}

}  // namespace

TSmtpAuth::TMechanism TSmtpAuth::Choose(const TSmtpCapabilities& caps, bool secure) {
    if (caps.Offers("CRAM-MD5")) return TMechanism::CramMd5;
    if (!secure) return TMechanism::None;
    if (caps.Offers("PLAIN")) return TMechanism::Plain;
    if (caps.Offers("LOGIN")) return TMechanism::Login;
    return TMechanism::None;
}

const char* TSmtpAuth::Name(TMechanism mechanism) {
    switch (mechanism) {
        case TMechanism::CramMd5:
            return "CRAM-MD5";
        case TMechanism::Plain:
            return "PLAIN";
        case TMechanism::Login:
            return "LOGIN";
        case TMechanism::None:
            break;
    }
    return "";
}

std::optional<std::string> TSmtpAuth::DecodeChallenge(std::string_view line) {
    if (!line.starts_with("334") || (line.size() > 3 && line[3] != ' ')) return std::nullopt;
    std::string_view data = line.size() > 4 ? line.substr(4) : std::string_view();
    while (!data.empty() && (data.back() == ' ' || data.back() == '\t')) data.remove_suffix(1);
    if (data.empty()) return std::string();
    if (data.size() % 4 != 0 || data.size() > 4096) return std::nullopt;
    // Pad characters only close the text.
    const auto pad = data.find('=');
    if (pad != std::string_view::npos &&
        (pad + 2 < data.size() || data.find_first_not_of('=', pad) != std::string_view::npos))
        return std::nullopt;
    std::string out(data.size() / 4 * 3, '\0');
    const int n = EVP_DecodeBlock(reinterpret_cast<unsigned char*>(out.data()),
                                  reinterpret_cast<const unsigned char*>(data.data()), static_cast<int>(data.size()));
    if (n < 0) return std::nullopt;
    // The block decoder counts the pad characters as zero bytes.
    const std::size_t pads = pad == std::string_view::npos ? 0 : data.size() - pad;
    out.resize(static_cast<std::size_t>(n) - pads);
    return out;
}

TSmtpAuth::TSmtpAuth(TMechanism mechanism, std::string user, std::string password)
    : mechanism_(mechanism), user_(std::move(user)), password_(std::move(password)) {}

std::string TSmtpAuth::Command() const {
    if (mechanism_ == TMechanism::Plain) return "AUTH PLAIN " + Base64(std::string(1, '\0') + user_ + '\0' + password_);
    return std::string("AUTH ") + Name(mechanism_);
}

std::optional<std::string> TSmtpAuth::Answer(std::string_view line) {
    const auto challenge = DecodeChallenge(line);
    if (!challenge) return std::nullopt;
    const int step = step_++;
    switch (mechanism_) {
        case TMechanism::Login:
            // The prompts ("Username:", "Password:") come in this order.
            if (step == 0) return Base64(user_);
            if (step == 1) return Base64(password_);
            return std::nullopt;
        case TMechanism::CramMd5: {
            if (step != 0) return std::nullopt;
            unsigned char digest[EVP_MAX_MD_SIZE];
            unsigned size = 0;
            if (!HMAC(EVP_md5(), password_.data(), static_cast<int>(password_.size()),
                      reinterpret_cast<const unsigned char*>(challenge->data()), challenge->size(), digest, &size))
                return std::nullopt;
            return Base64(user_ + ' ' + HexOf(digest, size));
        }
        case TMechanism::Plain:
        case TMechanism::None:
            break;
    }
    return std::nullopt;
}
