#include "richtext/CodePage.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

#include "common/Windows1252.h"

namespace {

constexpr char32_t kReplacement = U'\uFFFD';

std::string IconvName(int number) {
    switch (number) {
        case 65001:
            return "UTF-8";
        case 10000:
            return "MACINTOSH";
        case 20127:
            return "ASCII";
        case 20866:
            return "KOI8-R";
        case 21866:
            return "KOI8-U";
        case 51932:
        case 20932:
            return "EUC-JP";
        case 51949:
            return "EUC-KR";
        case 936:
            return "GBK";
        case 54936:
            return "GB18030";
        case 1361:
            return "JOHAB";
        default:
            break;
    }
    if (number >= 28591 && number <= 28606) return "ISO-8859-" + std::to_string(number - 28590);
    return "CP" + std::to_string(number);
}

bool IsMultiByte(int number) {
    switch (number) {
        case 932:
        case 936:
        case 949:
        case 950:
        case 1361:
        case 65001:
        case 51932:
        case 20932:
        case 51949:
        case 54936:
            return true;
        default:
            return false;
    }
}

// Decodes in with an open converter, one replacement per undecodable byte.
void Convert(iconv_t cd, std::string_view in, std::u32string& out) {
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    std::vector<char> buffer(in.size() * 4 + 16);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    while (srcLeft > 0) {
        char* dst = buffer.data();
        std::size_t dstLeft = buffer.size();
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        const std::size_t produced = buffer.size() - dstLeft;
        for (std::size_t i = 0; i + 3 < produced; i += 4) {
            const auto b = [&](std::size_t k) {
                return static_cast<char32_t>(static_cast<unsigned char>(buffer[i + k]));
            };
            out.push_back(b(0) | (b(1) << 8) | (b(2) << 16) | (b(3) << 24));
        }
        if (r != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or truncated sequence: replace its first byte and go on.
        out.push_back(kReplacement);
        ++src;
        --srcLeft;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
}

}  // namespace

TCodePage::TCodePage(int number) : number_(number) {
    for (int b = 0; b < 256; ++b) table_[b] = cp1252::ToUnicode(static_cast<unsigned char>(b));
    if (number == 1252 || number <= 0) {
        number_ = 1252;
        return;
    }
    iconv_t cd = iconv_open("UTF-32LE", IconvName(number).c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        number_ = 1252;
        return;
    }
    if (IsMultiByte(number)) {
        iconv_ = cd;
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        std::u32string one;
        Convert(cd, std::string_view(&byte, 1), one);
        table_[b] = one.size() == 1 ? one[0] : kReplacement;
    }
    iconv_close(cd);
}

TCodePage::~TCodePage() {
    if (iconv_) iconv_close(static_cast<iconv_t>(iconv_));
}

void TCodePage::Decode(std::string_view bytes, std::u32string& out) const {
    if (iconv_) {
        Convert(static_cast<iconv_t>(iconv_), bytes, out);
        return;
    }
    for (const char c : bytes) out.push_back(table_[static_cast<unsigned char>(c)]);
}

int TCodePage::FromCharset(int charset) {
    switch (charset) {
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        default:
            return 0;
    }
}
