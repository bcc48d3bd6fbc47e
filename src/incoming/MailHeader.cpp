#include "incoming/MailHeader.h"

#include <algorithm>
#include <map>

#include "common/Clock.h"
#include "common/DisplayDate.h"
#include "common/TextUtil.h"
#include "incoming/CharsetConverter.h"
#include "incoming/EncodedWords.h"

namespace mailheader {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
int ToInt(std::string_view s) {
    int v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// "month/day/year hh:nn[:ss]" read the way the store's date conversion reads it.
bool ReadDateTime(std::string_view monthText, std::string_view day, std::string_view year, std::string_view time,
                  std::tm& tm) {
    if (monthText.empty() || !IsDigits(day) || day.size() > 2 || !IsDigits(year) || year.size() > 4) return false;
    std::vector<std::string_view> parts;
    while (true) {
        const auto colon = time.find(':');
        parts.push_back(time.substr(0, colon));
        if (colon == std::string_view::npos) break;
        time.remove_prefix(colon + 1);
    }
    if (parts.size() < 2 || parts.size() > 3) return false;
    for (auto p : parts)
        if (!IsDigits(p) || p.size() > 2) return false;
    const int month = ToInt(monthText), mday = ToInt(day), hour = ToInt(parts[0]), minute = ToInt(parts[1]);
    const int second = parts.size() == 3 ? ToInt(parts[2]) : 0;
    int fullYear = ToInt(year);
    if (year.size() <= 2) fullYear += fullYear < 50 ? 2000 : 1900;
    static constexpr int kDays[12] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (fullYear % 4 == 0 && fullYear % 100 != 0) || fullYear % 400 == 0;
    if (fullYear < 1 || month < 1 || month > 12 || mday < 1 || mday > kDays[month - 1]) return false;
    if (month == 2 && mday == 29 && !leap) return false;
    if (hour > 23 || minute > 59 || second > 59) return false;
    tm = std::tm{};
    tm.tm_year = fullYear - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = mday;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    return true;
}

// One parameter of a header value: attribute (lower case) and raw value.
struct TParam {
    std::string attribute;
    std::string value;
};

std::vector<TParam> SplitParams(std::string_view value) {
    std::vector<TParam> params;
    std::size_t pos = value.find(';');
    while (pos != std::string_view::npos && pos < value.size()) {
        ++pos;
        const auto eq = value.find('=', pos);
        if (eq == std::string_view::npos) break;
        TParam p;
        p.attribute = text::ToLowerAscii(TrimBlanks(value.substr(pos, eq - pos)));
        std::size_t v = eq + 1;
        while (v < value.size() && IsBlank(value[v])) ++v;
        if (v < value.size() && value[v] == '"') {
            std::size_t end = v + 1;
            while (end < value.size() && value[end] != '"') {
                if (value[end] == '\\' && end + 1 < value.size()) ++end;
                p.value += value[end++];
            }
            pos = value.find(';', end);
        } else {
            const auto end = value.find(';', v);
            p.value = TrimBlanks(value.substr(v, end == std::string_view::npos ? std::string_view::npos : end - v));
            pos = end;
        }
        params.push_back(std::move(p));
    }
    return params;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string PercentDecoded(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() + 0 && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// An RFC 2231 value of attribute ("filename" or "name"): "attr*=cs'lang'x" or
// the numbered sections "attr*0*=", "attr*1=", ... joined in order.
std::string ExtendedParam(const std::vector<TParam>& params, const std::string& attribute) {
    std::map<int, std::pair<bool, std::string>> sections;  // number -> (encoded, text)
    for (const auto& p : params) {
        if (p.attribute.size() <= attribute.size() || p.attribute.compare(0, attribute.size(), attribute) != 0 ||
            p.attribute[attribute.size()] != '*')
            continue;
        std::string_view rest = std::string_view(p.attribute).substr(attribute.size() + 1);
        if (rest.empty()) {
            sections[0] = {true, p.value};
            continue;
        }
        const bool encoded = rest.back() == '*';
        if (encoded) rest.remove_suffix(1);
        if (!IsDigits(rest) || rest.size() > 3) continue;
        sections.emplace(ToInt(rest), std::make_pair(encoded, p.value));
    }
    if (sections.empty()) return {};
    std::string charset, bytes;
    bool first = true;
    for (const auto& [number, section] : sections) {
        std::string_view text = section.second;
        if (section.first && first) {
            // Only the first section carries charset'language'.
            const auto q1 = text.find('\'');
            const auto q2 = q1 == std::string_view::npos ? q1 : text.find('\'', q1 + 1);
            if (q2 != std::string_view::npos) {
                charset = std::string(text.substr(0, q1));
                text.remove_prefix(q2 + 1);
            }
        }
        bytes += section.first ? PercentDecoded(text) : std::string(text);
        first = false;
    }
    return TCharsetConverter::Decode(bytes, charset);
}

}  // namespace

std::string TrimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
}

std::string HeaderValue(const std::vector<std::string>& block, std::string_view name) {
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (!text::StartsWithNoCase(block[i], name)) continue;
        const std::string& line = block[i];
        const auto colon = line.find(':');
        std::string value = colon == std::string::npos
                                ? TrimBlanks(std::string_view(line).substr(name.size()))
                                : TrimBlanks(std::string_view(line).substr(std::min(line.size(), colon + 2)));
        for (std::size_t j = i + 1; j < block.size() && block[j].find(':') == std::string::npos; ++j) {
            value += ' ';
            value += TrimBlanks(block[j]);
        }
        return value;
    }
    return {};
}

std::string ParamValue(std::string_view name, std::string_view value) {
    if (name.empty()) return {};
    const auto at = text::FindNoCase(value, name);
    if (at == std::string_view::npos) return {};
    const std::string rest = TrimBlanks(value.substr(std::min(value.size(), at + name.size() + 1)));
    std::string result;
    if (!rest.empty() && rest.front() == '"') {
        const auto close = rest.find('"', 1);
        result = rest.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    } else {
        result = rest.substr(0, rest.find(' '));
    }
    if (!result.empty() && result.back() == ';') result.pop_back();
    return TrimBlanks(result);
}

std::uint8_t ContentTypeFlags(std::string_view ct) {
    std::uint8_t flags = 0;
    if (ct.find("text/plain") != std::string_view::npos) flags |= ctPlain;
    if (ct.find("text/enriched") != std::string_view::npos || ct.find("text/html") != std::string_view::npos)
        flags |= ctRich;
    if (ct.find("text/rtf") != std::string_view::npos) flags |= ctRtf;
    if (text::FindNoCase(ct, "multipart/") != std::string_view::npos) flags |= ctMultipart;
    if (text::FindNoCase(ct, "message/rfc") != std::string_view::npos) flags |= ctMessage;
    if (text::FindNoCase(ct, "multipart/alternative") != std::string_view::npos) flags |= ctAlternative;
    return flags;
}

TTransferEncoding TransferEncoding(std::string_view value) {
    if (text::FindNoCase(value, "base64") != std::string_view::npos) return teBase64;
    if (text::FindNoCase(value, "quoted-printable") != std::string_view::npos) return teQuotedPrintable;
    if (text::FindNoCase(value, "x-uuencode") != std::string_view::npos) return teUUEncode;
    return teNone;
}

std::string NamePart(std::string_view address) {
    std::string s(address);
    for (int i = 0; i < 2; ++i)
        if (const auto q = s.find('"'); q != std::string::npos) s.erase(q, 1);
    if (const auto lt = s.find('<'); lt != std::string::npos) return lt == 0 ? std::string() : s.substr(0, lt - 1);
    if (const auto lp = s.find('('); lp != std::string::npos) {
        // After the "(" up to the end, without the text's last character.
        const std::size_t end = s.size() - 1;
        return end > lp + 1 ? s.substr(lp + 1, end - lp - 1) : std::string();
    }
    return AddressPart(s);
}

std::string AddressPart(std::string_view address) {
    if (const auto lt = address.find('<'); lt != std::string_view::npos) {
        const auto gt = address.find('>');
        if (gt == std::string_view::npos || gt < lt) return {};
        return std::string(address.substr(lt + 1, gt - lt - 1));
    }
    const auto lp = address.find('(');
    if (lp == std::string_view::npos) return std::string(address);
    return lp == 0 ? std::string() : std::string(address.substr(0, lp - 1));
}

std::string DisplayDate(std::string_view value, const IClock& clock) {
    std::string v(value);
    if (v.find("from") != std::string::npos) {
        // A Received header: the date follows the ";". The value's last
        // character goes too (the blank a block's last header ends with).
        const auto semi = v.find(';');
        const std::size_t from = semi == std::string::npos ? 0 : semi + 1;
        const std::size_t end = v.empty() ? 0 : v.size() - 1;
        v = TrimBlanks(from < end ? std::string_view(v).substr(from, end - from) : std::string_view());
    }
    std::vector<std::string_view> words;
    std::string_view rest = v;
    while (words.size() < 5 && !rest.empty()) {
        const auto blank = rest.find(' ');
        words.push_back(rest.substr(0, blank));
        if (blank == std::string_view::npos) break;
        rest.remove_prefix(blank + 1);
    }
    static constexpr const char* kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm tm{};
    if (words.size() == 5) {
        std::string month;
        for (int m = 0; m < 12; ++m)
            if (words[2] == kMonths[m]) month = std::to_string(m + 1);
        if (ReadDateTime(month, words[1], words[3], words[4], tm)) return displaydate::Format(tm);
    }
    return displaydate::Format(clock.Now());
}

std::string PartFileName(std::string_view disposition, std::string_view contentType) {
    for (const std::string_view value : {disposition, contentType}) {
        const auto params = SplitParams(value);
        for (const char* attribute : {"filename", "name"}) {
            std::string extended = ExtendedParam(params, attribute);
            if (!extended.empty()) return extended;
        }
        const std::string plain = ParamValue("name", value);
        if (!plain.empty()) return encodedwords::DecodeToUtf8(plain);
    }
    return {};
}

namespace {
// What follows "--boundary" on a delimiter line: "" or "--", then blanks;
// npos when the line is no delimiter.
std::size_t DelimiterTail(std::string_view line, std::string_view boundary) {
    if (boundary.empty() || line.size() < boundary.size() + 2 || line.substr(0, 2) != "--" ||
        line.substr(2, boundary.size()) != boundary)
        return std::string_view::npos;
    std::string_view rest = line.substr(boundary.size() + 2);
    const bool close = rest.substr(0, 2) == "--";
    if (close) rest.remove_prefix(2);
    if (rest.find_first_not_of(" \t") != std::string_view::npos) return std::string_view::npos;
    return close ? 2 : 0;
}
}  // namespace

bool IsDelimiter(std::string_view line, std::string_view boundary) {
    return DelimiterTail(line, boundary) != std::string_view::npos;
}

bool IsCloseDelimiter(std::string_view line, std::string_view boundary) { return DelimiterTail(line, boundary) == 2; }

}  // namespace mailheader
