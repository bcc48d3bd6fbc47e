#include "incoming/CharsetConverter.h"

#include <cerrno>
#include <string_view>
#include <utility>

#include "common/TextUtil.h"
#include "common/Windows1252.h"

namespace {

std::string Normalized(std::string_view charset) {
    std::string name = text::ToLowerAscii(text::Trim(charset));
    // RFC 2231 allows a language after "*"; quotes survive a careless sender.
    if (const auto star = name.find('*'); star != std::string::npos) name.resize(star);
    if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
    return name;
}

// The names mailers write that iconv does not know, or knows only as a
// smaller charset than the one senders really use: GB2312 mail is written
// by GBK and GB18030 encoders, "Shift_JIS" and "EUC-KR" by Windows' code
// pages 932 and 949, "Big5" by code page 950.
std::string IconvName(const std::string& name) {
    static constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
        {"gb2312", "GB18030"},
        {"gbk", "GB18030"},
        {"x-gbk", "GB18030"},
        {"cp936", "GB18030"},
        {"euc-cn", "GB18030"},
        {"x-euc-cn", "GB18030"},
        {"csgb2312", "GB18030"},
        {"gb_2312-80", "GB18030"},
        {"gb18030", "GB18030"},
        {"shift_jis", "CP932"},
        {"shift-jis", "CP932"},
        {"x-sjis", "CP932"},
        {"sjis", "CP932"},
        {"ms_kanji", "CP932"},
        {"csshiftjis", "CP932"},
        {"windows-31j", "CP932"},
        {"x-ms-cp932", "CP932"},
        {"euc-kr", "CP949"},
        {"x-euc-kr", "CP949"},
        {"ks_c_5601-1987", "CP949"},
        {"ks_c_5601", "CP949"},
        {"ks_c_5601-1989", "CP949"},
        {"ksc5601", "CP949"},
        {"ksc_5601", "CP949"},
        {"big5", "CP950"},
        {"x-big5", "CP950"},
        {"big-5", "CP950"},
        {"cn-big5", "CP950"},
        {"x-x-big5", "CP950"},
        {"euc-jp", "EUC-JP-MS"},
        {"x-euc-jp", "EUC-JP-MS"},
        {"iso-8859-8-i", "ISO-8859-8"},
        {"iso-8859-6-i", "ISO-8859-6"},
        {"unicode-1-1-utf-7", "UTF-7"},
        {"x-unicode-2-0-utf-7", "UTF-7"},
    };
    for (const auto& [alias, real] : kAliases)
        if (name == alias) return std::string(real);
    // "iso8859-5", "iso_8859-5:1988", "windows1251", "cp-1251"
    if (name.rfind("iso8859", 0) == 0 || name.rfind("iso_8859", 0) == 0) {
        std::string rest = name.substr(7);
        if (!rest.empty() && (rest[0] == '-' || rest[0] == '_')) rest.erase(0, 1);
        return "ISO-8859-" + rest.substr(0, rest.find(':'));
    }
    if (name.rfind("windows", 0) == 0 && name.size() > 7 && name[7] != '-') return "WINDOWS-" + name.substr(7);
    if (name.rfind("cp-", 0) == 0) return "CP" + name.substr(3);
    return name;
}

}  // namespace

TCharsetConverter::TCharsetConverter(std::string_view charset) {
    const std::string name = Normalized(charset);
    if (name == "utf-8" || name == "utf8" || name == "us-ascii" || name == "ascii" || name == "unicode-1-1-utf-8" ||
        name == "x-unicode20utf8") {
        kind_ = Kind::Utf8;
    } else if (name == "windows-1252" || name == "cp1252" || name == "iso-8859-1" || name == "latin1" ||
               name == "iso_8859-1" || name == "x-cp1252" || name == "iso8859-1" || name == "iso-8859-1:1987" ||
               name == "latin-1" || name == "l1" || name == "windows1252" || name == "cp-1252") {
        // Mail labelled ISO-8859-1 routinely carries Windows-1252 quotes and
        // dashes in 0x80-0x9F, where Latin-1 has only unused controls.
        kind_ = Kind::Windows1252;
    } else if (!name.empty()) {
        cd_ = ::iconv_open("UTF-8", IconvName(name).c_str());
        if (cd_ != reinterpret_cast<iconv_t>(-1)) kind_ = Kind::Iconv;
    }
}

TCharsetConverter::~TCharsetConverter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) ::iconv_close(cd_);
}

std::optional<std::string> TCharsetConverter::ToUtf8(std::string_view bytes) {
    switch (kind_) {
        case Kind::Unknown:
            return std::nullopt;
        case Kind::Windows1252:
            return cp1252::ToUtf8(bytes);
        case Kind::Utf8:
            // Text labelled UTF-8 or ASCII that is not is nearly always
            // Windows-1252 from a mailer that did not say so.
            return cp1252::IsValidUtf8(bytes) ? std::string(bytes) : cp1252::ToUtf8(bytes);
        case Kind::Iconv:
            break;
    }
    ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // a fresh shift state per text
    std::string out;
    out.resize(bytes.size() * 4 + 16);
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    std::size_t used = 0;
    while (true) {
        char* dst = out.data() + used;
        std::size_t dstLeft = out.size() - used;
        const std::size_t r = ::iconv(cd_, inLeft ? &in : nullptr, &inLeft, &dst, &dstLeft);
        used = out.size() - dstLeft;
        if (r != static_cast<std::size_t>(-1)) {
            if (inLeft == 0) break;
            continue;
        }
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
        } else if (errno == EILSEQ || errno == EINVAL) {
            // A byte the charset does not define, or a sequence cut short at
            // the end: one '?' and go on after it.
            if (out.size() - used < 1) out.resize(out.size() * 2);
            out[used++] = '?';
            ++in;
            --inLeft;
            ::iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            if (inLeft == 0) break;
        } else {
            break;
        }
    }
    out.resize(used);
    return out;
}

std::string TCharsetConverter::Decode(std::string_view bytes, std::string_view charset) {
    TCharsetConverter converter(charset);
    if (converter.valid()) return *converter.ToUtf8(bytes);
    if (cp1252::IsValidUtf8(bytes)) return std::string(bytes);
    return cp1252::ToUtf8(bytes);
}
