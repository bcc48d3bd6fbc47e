#include "richtext/RtfWords.h"

#include <algorithm>
#include <array>

namespace rtfwords {

namespace {

struct TWordEntry {
    std::string_view name;
    TWord word;
};

// Sorted by name for the binary search below.
constexpr std::array kWords = std::to_array<TWordEntry>({
    {"annotation", TWord::SkipDest},
    {"ansi", TWord::Ansi},
    {"ansicpg", TWord::AnsiCpg},
    {"author", TWord::SkipDest},
    {"b", TWord::B},
    {"bin", TWord::Bin},
    {"blue", TWord::Blue},
    {"bullet", TWord::Bullet},
    {"cell", TWord::Tab},
    {"cf", TWord::Cf},
    {"colorschememapping", TWord::SkipDest},
    {"colortbl", TWord::ColorTable},
    {"datastore", TWord::SkipDest},
    {"deff", TWord::Deff},
    {"emdash", TWord::Emdash},
    {"emspace", TWord::Emspace},
    {"endash", TWord::Endash},
    {"enspace", TWord::Enspace},
    {"f", TWord::F},
    {"fcharset", TWord::FCharset},
    {"fi", TWord::Fi},
    {"field", TWord::Field},
    {"filetbl", TWord::SkipDest},
    {"fldinst", TWord::FldInst},
    {"fldrslt", TWord::FldRslt},
    {"fonttbl", TWord::FontTable},
    {"footer", TWord::SkipDest},
    {"footerf", TWord::SkipDest},
    {"footerl", TWord::SkipDest},
    {"footerr", TWord::SkipDest},
    {"footnote", TWord::SkipDest},
    {"fs", TWord::Fs},
    {"green", TWord::Green},
    {"header", TWord::SkipDest},
    {"headerf", TWord::SkipDest},
    {"headerl", TWord::SkipDest},
    {"headerr", TWord::SkipDest},
    {"i", TWord::I},
    {"info", TWord::SkipDest},
    {"latentstyles", TWord::SkipDest},
    {"ldblquote", TWord::Ldblquote},
    {"li", TWord::Li},
    {"line", TWord::Line},
    {"listoverridetable", TWord::SkipDest},
    {"listtable", TWord::SkipDest},
    {"listtext", TWord::PnText},
    {"lquote", TWord::Lquote},
    {"ls", TWord::Ls},
    {"mac", TWord::Mac},
    {"nonshppict", TWord::SkipDest},
    {"object", TWord::SkipDest},
    {"page", TWord::Par},
    {"par", TWord::Par},
    {"pard", TWord::Pard},
    {"pc", TWord::Pc},
    {"pca", TWord::Pca},
    {"pict", TWord::SkipDest},
    {"plain", TWord::Plain},
    {"pn", TWord::Pn},
    {"pntext", TWord::PnText},
    {"qc", TWord::Qc},
    {"qj", TWord::Qj},
    {"ql", TWord::Ql},
    {"qmspace", TWord::Qmspace},
    {"qr", TWord::Qr},
    {"rdblquote", TWord::Rdblquote},
    {"red", TWord::Red},
    {"row", TWord::Par},
    {"rquote", TWord::Rquote},
    {"rtf", TWord::Rtf},
    {"sect", TWord::Par},
    {"shp", TWord::SkipDest},
    {"shpinst", TWord::SkipDest},
    {"shppict", TWord::SkipDest},
    {"strike", TWord::Strike},
    {"striked", TWord::Strike},
    {"stylesheet", TWord::SkipDest},
    {"tab", TWord::Tab},
    {"tc", TWord::SkipDest},
    {"themedata", TWord::SkipDest},
    {"txe", TWord::SkipDest},
    {"u", TWord::U},
    {"uc", TWord::Uc},
    {"ud", TWord::Ud},
    {"ul", TWord::Ul},
    {"uld", TWord::Ul},
    {"uldash", TWord::Ul},
    {"uldashd", TWord::Ul},
    {"uldashdd", TWord::Ul},
    {"uldb", TWord::Ul},
    {"ulhwave", TWord::Ul},
    {"ulldash", TWord::Ul},
    {"ulnone", TWord::UlNone},
    {"ulth", TWord::Ul},
    {"ulthd", TWord::Ul},
    {"ulthdash", TWord::Ul},
    {"ulthdashd", TWord::Ul},
    {"ulthdashdd", TWord::Ul},
    {"ulthldash", TWord::Ul},
    {"ululdbwave", TWord::Ul},
    {"ulw", TWord::Ul},
    {"ulwave", TWord::Ul},
    {"upr", TWord::Upr},
    {"xe", TWord::SkipDest},
});
static_assert(std::is_sorted(kWords.begin(), kWords.end(),
                             [](const TWordEntry& a, const TWordEntry& b) { return a.name < b.name; }));

}  // namespace

TWord Lookup(std::string_view name) {
    const auto it = std::lower_bound(kWords.begin(), kWords.end(), name,
                                     [](const TWordEntry& e, std::string_view n) { return e.name < n; });
    return it != kWords.end() && it->name == name ? it->word : TWord::Unknown;
}

}  // namespace rtfwords
