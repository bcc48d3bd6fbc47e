// Arbitrary server text as an SMTP EHLO reply and as AUTH challenges: the
// parsers never crash, never offer PLAIN or LOGIN outside TLS, and what a
// challenge decodes to survives another round.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/Base64.h"
#include "transport/SmtpAuth.h"
#include "transport/SmtpCapabilities.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= input.size()) {
        const auto lf = input.find('\n', start);
        lines.push_back(input.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    const TSmtpCapabilities caps = TSmtpCapabilities::Parse(lines);
    for (const auto& m : caps.AuthMechanisms())
        if (m.empty() || m.find(' ') != std::string::npos) std::abort();
    const auto clear = TSmtpAuth::Choose(caps, false);
    if (clear == TSmtpAuth::TMechanism::Plain || clear == TSmtpAuth::TMechanism::Login) std::abort();

    // Every line once more as a challenge to each mechanism.
    for (const auto mechanism :
         {TSmtpAuth::TMechanism::Login, TSmtpAuth::TMechanism::CramMd5, TSmtpAuth::TMechanism::Plain}) {
        TSmtpAuth auth(mechanism, "user", "secret");
        (void)auth.Command();
        for (const auto& line : lines) {
            const auto decoded = TSmtpAuth::DecodeChallenge(line);
            const auto answer = auth.Answer(line);
            if (answer && !decoded) std::abort();
            // What was decoded survives encoding and decoding again.
            if (decoded) {
                const std::string again =
                    base64::Encode(reinterpret_cast<const unsigned char*>(decoded->data()), decoded->size());
                if (TSmtpAuth::DecodeChallenge("334 " + again) != decoded) std::abort();
            }
        }
    }
    return 0;
}
