#include "spell/LetterToSoundRules.h"

#include <string_view>

namespace {

// The rules in the report's own notation: left context, the pattern in
// brackets, right context, "=", phonemes. "[]=" ends a group. Upper-case
// two-letter symbols are vowels, lower-case letters consonants.
constexpr std::string_view kRules[] = {
    // Characters that are not letters.
    "[ ]= ", "[-]=", ".['S]=z", "#:.E['S]=z", "#['S]=z", "[']=", "[,]= ", "[.]= ", "[?]= ", "[!]= ", "[]=",
    // A
    "[A] =AX", "[AE] =AE", "[A]E=", " [ARE] =AAr", " [AR]O=AXr", "[AR]#=EHr", "^[AS]#=EYs", "[A]WA=AX", "[AW]=AO",
    " :[ANY]=EHnIY", "[A]^+#=EY", "#:[ALLY]=AXlIY", " [AL]#=AXl", "[AGAIN]=AXgEHn", "#:[AG]E=IHj", "[A]^+:#=AE",
    " :[A]^+ =EY", "[A]^%=EY", " [ARR]=AXr", "[ARR]=AEr", " :[AR] =AAr", "[AR] =ER", "[AR]=AAr", "[AIR]=EHr",
    "[AI]=EY", "[AY]=EY", "[AU]=AO", "#:[AL] =AXl", "#:[ALS] =AXlz", "[ALK]=AOk", "[AL]^=AOl", " :[ABLE]=EYbAXl",
    "[ABLE]=AXbAXl", "[ANG]+=EYnj", "[A]=AE", "[]=",
    // B
    " [BE]^#=bIH", " [BOTH] =bOWTH", " [BUS]#=bIHz", "[BUIL]=bIHl", "[B]=b", "[]=",
    // C
    " [CH]^=k", "^E[CH]=k", "[CH]=CH", " S[CI]#=sAY", "[CI]A=SH", "[CI]O=SH", "[CI]EN=SH", "[C]+=s", "[CK]=k",
    "[COM]%=kAHm", "[C]=k", "[]=",
    // D
    "#:[DED] =dIHd", ".E[D] =d", "#:^E[D] =t", " [DE]^#=dIH", " [DO] =dUW", " [DOES]=dAHz", " [DOW]=dAW",
    "[DU]A=jUW", "[D]=d", "[]=",
    // E
    "#:[E] =", "':^[E] =", " :[E] =IY", "#[ED] =d", "#:[E]D =", "[EV]ER=EHv", "[E]^%=IY", "[ERI]#=IYrIY",
    "[ERI]=EHrIH", "#:[ER]#=ER", "[ER]#=EHr", "[ER]=ER", " [EVEN]=IYvEHn", "#:[E]W=", "T[EW]=UW", "S[EW]=UW",
    "R[EW]=UW", "D[EW]=UW", "L[EW]=UW", "Z[EW]=UW", "N[EW]=UW", "J[EW]=UW", "TH[EW]=UW", "CH[EW]=UW", "SH[EW]=UW",
    "[EW]=yUW", "[E]O=IY", "#:S[ES] =IHz", "#:C[ES] =IHz", "#:G[ES] =IHz", "#:Z[ES] =IHz", "#:X[ES] =IHz",
    "#:J[ES] =IHz", "#:CH[ES] =IHz", "#:SH[ES] =IHz", "#:[E]S =", "#:[ELY] =lIY", "#:[EMENT]=mEHnt",
    "[EFUL]=fUHl", "[EE]=IY", "[EARN]=ERn", " [EAR]^=ER", "[EAD]=EHd", "#:[EA] =IYAX", "[EA]SU=EH", "[EA]=IY",
    "[EIGH]=EY", "[EI]=IY", " [EYE]=AY", "[EY]=IY", "[EU]=yUW", "[E]=EH", "[]=",
    // F
    "[FUL]=fUHl", "[F]=f", "[]=",
    // G
    "[GIV]=gIHv", " [G]I^=g", "[GE]T=gEH", "SU[GGES]=gjEHs", "[GG]=g", " B#[G]=g", "[G]+=j", "[GREAT]=grEYt",
    "#[GH]=", "[G]=g", "[]=",
    // H
    " [HAV]=hAEv", " [HERE]=hIYr", " [HOUR]=AWER", "[HOW]=hAW", "[H]#=h", "[H]=", "[]=",
    // I
    " [IN]=IHn", " [I] =AY", "[IN]D=AYn", "[IER]=IYER", "#:R[IED]=IYd", "[IED] =AYd", "[IEN]=IYEHn", "[IE]T=AYEH",
    " :[I]%=AY", "[I]%=IY", "[IE]=IY", "[I]^+:#=IH", "[IR]#=AYr", "[IZ]%=AYz", "[IS]%=AYz", "[I]D%=AY",
    "+^[I]^+=IH", "[I]T%=AY", "#:^[I]^+=IH", "[I]^+=AY", "[IR]=ER", "[IGH]=AY", "[ILD]=AYld", "[IGN] =AYn",
    "[IGN]^=AYn", "[IGN]%=AYn", "[IQUE]=IYk", "[I]=IH", "[]=",
    // J
    "[J]=j", "[]=",
    // K
    " [K]N=", "[K]=k", "[]=",
    // L
    "[LO]C#=lOW", "L[L]=", "#:^[L]%=AXl", "[LEAD]=lIYd", "[L]=l", "[]=",
    // M
    "[MOV]=mUWv", "[M]=m", "[]=",
    // N
    "E[NG]+=nj", "[NG]R=NGg", "[NG]#=NGg", "[NGL]%=NGgAXl", "[NG]=NG", "[NK]=NGk", " [NOW] =nAW", "[N]=n", "[]=",
    // O
    "[OF] =AXv", "[OROUGH]=EROW", "#:[OR] =ER", "#:[ORS] =ERz", "[OR]=AOr", " [ONE]=wAHn", "[OW]=OW",
    " [OVER]=OWvER", "[OV]=AHv", "[O]^%=OW", "[O]^EN=OW", "[O]^I#=OW", "[OL]D=OWl", "[OUGHT]=AOt", "[OUGH]=AHf",
    " [OU]=AW", "H[OU]S#=AW", "[OUS]=AXs", "[OUR]=AOr", "[OULD]=UHd", "^[OU]^L=AH", "[OUP]=UWp", "[OU]=AW",
    "[OY]=OY", "[OING]=OWIHNG", "[OI]=OY", "[OOR]=AOr", "[OOK]=UHk", "[OOD]=UHd", "[OO]=UW", "[O]E=OW", "[O] =OW",
    "[OA]=OW", " [ONLY]=OWnlIY", " [ONCE]=wAHns", "[ON'T]=OWnt", "C[O]N=AA", "[O]NG=AO", " :^[O]N=AH", "I[ON]=AXn",
    "#:[ON] =AXn", "#^[ON]=AXn", "[O]ST =OW", "[OF]^=AOf", "[OTHER]=AHDHER", "[OSS] =AOs", "#:^[OM]=AHm", "[O]=AA",
    "[]=",
    // P
    "[PH]=f", "[PEOP]=pIYp", "[POW]=pAW", "[PUT] =pUHt", "[P]=p", "[]=",
    // Q
    "[QUAR]=kwAOr", "[QU]=kw", "[Q]=k", "[]=",
    // R
    " [RE]^#=rIY", "[R]=r", "[]=",
    // S
    "[SH]=SH", "#[SION]=ZHAXn", "[SOME]=sAHm", "#[SUR]#=ZHER", "[SUR]#=SHER", "#[SU]#=ZHUW", "#[SSU]#=SHUW",
    "#[SED] =zd", "#[S]#=z", "[SAID]=sEHd", "^[SION]=SHAXn", "[S]S=", ".[S] =z", "#:.E[S] =z", "#:^##[S] =z",
    "#:^#[S] =s", "U[S] =s", " :#[S] =z", " [SCH]=sk", "[S]C+=", "#[SM]=zm", "#[SN]'=zAXn", "[S]=s", "[]=",
    // T
    " [THE] =DHAX", "[TO] =tUW", "[THAT] =DHAEt", " [THIS] =DHIHs", " [THEY]=DHEY", " [THERE]=DHEHr",
    "[THER]=DHER", "[THEIR]=DHEHr", " [THAN] =DHAEn", " [THEM] =DHEHm", "[THESE] =DHIYz", " [THEN]=DHEHn",
    "[THOSE]=DHOWz", "[THOUGH] =DHOW", " [THUS]=DHAHs", "[TH]=TH", "#:[TED] =tIHd", "S[TI]#N=CH", "[TI]O=SH",
    "[TI]A=SH", "[TIEN]=SHAXn", "[TUR]#=CHER", "[TU]A=CHUW", " [TWO]=tUW", "[T]=t", "[]=",
    // U
    " [UN]I=yUWn", " [UN]=AHn", " [UPON]=AXpAOn", "T[UR]#=UHr", "S[UR]#=UHr", "R[UR]#=UHr", "D[UR]#=UHr",
    "L[UR]#=UHr", "Z[UR]#=UHr", "N[UR]#=UHr", "J[UR]#=UHr", "TH[UR]#=UHr", "CH[UR]#=UHr", "SH[UR]#=UHr",
    "[UR]#=yUHr", "[UR]=ER", "[U]^ =AH", "[U]^^=AH", "[UY]=AY", " G[U]#=", "G[U]%=", "G[U]#=w", "#N[U]=yUW",
    "T[U]=UW", "S[U]=UW", "R[U]=UW", "D[U]=UW", "L[U]=UW", "Z[U]=UW", "N[U]=UW", "J[U]=UW", "TH[U]=UW", "CH[U]=UW",
    "SH[U]=UW", "[U]=yUW", "[]=",
    // V
    "[VIEW]=vyUW", "[V]=v", "[]=",
    // W
    " [WERE]=wER", "[WA]S=wAA", "[WA]T=wAA", "[WHERE]=WHEHr", "[WHAT]=WHAAt", "[WHOL]=hOWl", "[WHO]=hUW",
    "[WH]=WH", "[WAR]=wAOr", "[WOR]^=wER", "[WR]=r", "[W]=w", "[]=",
    // X
    "[X]=ks", "[]=",
    // Y
    "[YOUNG]=yAHNG", " [YOU]=yUW", " [YES]=yEHs", " [Y]=y", "#:^[Y] =IY", "#:^[Y]I=IY", " :[Y] =AY", " :[Y]#=AY",
    " :[Y]^+:#=IH", " :[Y]^#=AY", "[Y]=IH", "[]=",
    // Z
    "[Z]=z", "[]=",
};

TSoundRule Parse(std::string_view row) {
    const auto open = row.find('[');
    const auto close = row.find(']', open);
    const auto eq = row.find('=', close);
    return {std::string(row.substr(0, open)), std::string(row.substr(open + 1, close - open - 1)),
            std::string(row.substr(close + 1, eq - close - 1)), std::string(row.substr(eq + 1))};
}

}  // namespace

TLetterToSoundRules::TLetterToSoundRules() {
    rules_.reserve(std::size(kRules));
    for (auto row : kRules) rules_.push_back(Parse(row));
    // Group 0 starts at the first place; a letter's group at the first rule
    // whose pattern begins with that letter.
    starts_[0] = 0;
    for (int g = 1; g < kGroups; ++g) {
        const char letter = static_cast<char>('A' + g - 1);
        std::size_t at = starts_[static_cast<std::size_t>(g - 1)];
        while (at < rules_.size() && (rules_[at].pattern.empty() || rules_[at].pattern[0] != letter)) ++at;
        starts_[static_cast<std::size_t>(g)] = at;
    }
}

std::size_t TLetterToSoundRules::GroupStart(unsigned char c) const {
    if (c >= 'A' && c <= 'Z') return starts_[static_cast<std::size_t>(c - 'A' + 1)];
    return starts_[0];
}
