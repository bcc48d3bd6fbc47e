#include "transport/SaslOAuth.h"

#include "common/Base64.h"

namespace {

std::string Base64(std::string_view text) {
    return base64::Encode(reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

// A user name inside the GS2 header: "," and "=" are written =2C and =3D.
std::string Gs2Name(std::string_view user) {
    std::string out;
    for (const char c : user) {
        if (c == ',')
            out += "=2C";
        else if (c == '=')
            out += "=3D";
        else
            out += c;
    }
    return out;
}

}  // namespace

namespace sasloauth {

std::string XOAuth2(std::string_view user, std::string_view token) {
    return Base64("user=" + std::string(user) + "\x01" + "auth=Bearer " + std::string(token) + "\x01\x01");
}

std::string OAuthBearer(std::string_view user, std::string_view host, std::uint16_t port, std::string_view token) {
    return Base64("n,a=" + Gs2Name(user) + ",\x01" + "host=" + std::string(host) + "\x01" +
                  "port=" + std::to_string(port) + "\x01" + "auth=Bearer " + std::string(token) + "\x01\x01");
}

std::string AbortAnswer(bool oauthBearer) { return oauthBearer ? Base64("\x01") : std::string(); }

}  // namespace sasloauth
