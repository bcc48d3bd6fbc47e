#pragma once

#include <cstdint>
#include <string_view>

// The RTF control words the readers act on. TRtfReader and TRtfText share
// this table, so that the text search reads a body exactly as the windows
// show it.
namespace rtfwords {

enum class TWord {
    Unknown,
    // destinations
    FontTable,
    ColorTable,
    SkipDest,
    Pn,
    PnText,
    Upr,
    Ud,
    // fields: the instruction (a HYPERLINK's address) and the shown result
    Field,
    FldInst,
    FldRslt,
    // document
    Rtf,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    Deff,
    Uc,
    U,
    Bin,
    // fonts and colours
    F,
    FCharset,
    Red,
    Green,
    Blue,
    // character format
    Plain,
    Fs,
    Cf,
    B,
    I,
    Ul,
    UlNone,
    Strike,
    // paragraph format
    Pard,
    Ql,
    Qc,
    Qr,
    Qj,
    Li,
    Fi,
    Ls,
    // breaks and symbols
    Par,
    Line,
    Tab,
    Emdash,
    Endash,
    Lquote,
    Rquote,
    Ldblquote,
    Rdblquote,
    Bullet,
    Emspace,
    Enspace,
    Qmspace,
};

// Parameters are clamped to this; larger numbers are no value a writer means.
constexpr std::int64_t kParamLimit = 0x7FFFFFFF;

TWord Lookup(std::string_view name);

}  // namespace rtfwords
