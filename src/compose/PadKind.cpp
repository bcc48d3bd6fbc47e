#include "compose/PadKind.h"

#include "store/HeaderItem.h"

TPadKind PadKindOf(std::uint8_t flags) {
    if (flags & (mfNew | mfRead | mfReply | mfForward)) return TPadKind::Reader;
    if (flags & (mfSent | mfQueued)) return TPadKind::Composer;
    return TPadKind::None;
}
