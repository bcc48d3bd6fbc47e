#pragma once

#include <cstdint>

// Which window a stored message opens in. Received and answered mail goes
// to the reader first, so a record that is both received and sent reads;
// outgoing mail goes to the composer; a record with neither kind of status
// (an attachment mark alone) opens nothing.
enum class TPadKind { None, Reader, Composer };

TPadKind PadKindOf(std::uint8_t flags);
