#include "spell/FirstLetterTable.h"

namespace {

std::string Bytes(std::initializer_list<int> chars) {
    std::string s;
    for (int c : chars) s.push_back(static_cast<char>(c));
    return s;
}

}  // namespace

std::string TFirstLetterTable::LettersFor(unsigned char c) {
    const auto in = [c](int from, int to) { return c >= from && c <= to; };
    if (c == 'A' || in(0xC0, 0xC6)) return Bytes({'E', 'D', 'A', 0xC0, 0xC1, 0xC2, 0xC3, 0xC4, 0xC5, 0xC6});
    if (c == 'B' || c == 0xDF) return Bytes({'P', 'V', 'N', 'B', 0xDF});
    if (c == 'C' || c == 0x8C || c == 0xC7) return Bytes({'S', 'X', 'V', 'C', 0xC7, 0x8C});
    if (c == 'D' || c == 0xD0) return Bytes({'F', 'D', 0xD0});
    if (c == 'E' || in(0xC8, 0xCB)) return Bytes({'I', 'W', 'R', 'E', 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF});
    if (c == 'F') return "DGF";
    if (c == 'G') return "JG";
    if (c == 'H') return "JGH";
    if (c == 'I' || in(0xCC, 0xCF)) return Bytes({'E', 'O', 'U', 'I', 0xC8, 0xC9, 0xCA, 0xCB, 0xCC, 0xCD, 0xCE, 0xCF});
    if (c == 'J') return "GJ";
    if (c == 'K') return "CLJK";
    if (c == 'L') return "KL";
    if (c == 'M') return Bytes({'N', 'M', 0xD1});
    if (c == 'N' || c == 0xD1) return Bytes({'M', 'B', 'N', 0xD1});
    if (c == 'O' || in(0xD2, 0xD6)) return Bytes({'P', 'I', 'O', 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xCC, 0xCD, 0xCE, 0xCF});
    if (c == 'P' || c == 0xDE) return Bytes({'B', 'O', 'P', 0xDE});
    if (c == 'Q') return "WQ";
    if (c == 'R') return "ETR";
    if (c == 'S') return Bytes({'A', 'C', 'D', 'S', 0x8A, 0x8C});
    if (c == 'T') return "YRT";
    if (c == 'U' || in(0xD9, 0xDC)) return Bytes({'Y', 'I', 'U', 0xD9, 0xDA, 0xDB, 0xDC});
    if (c == 'V') return Bytes({'B', 'C', 'V', 0xC7, 0x8C});
    if (c == 'W') return "QEW";
    if (c == 'X') return "CZX";
    if (c == 'Y' || c == 0x9F || c == 0xDD) return Bytes({'T', 'U', 'Y', 0x9F, 0xDD});
    if (c == 'Z') return "XZ";
    return std::string(1, static_cast<char>(c));
}
