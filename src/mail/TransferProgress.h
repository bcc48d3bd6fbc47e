#pragma once

#include <cstddef>
#include <cstdint>

// How far a mailbox import or export has come.
struct TTransferProgress {
    std::size_t messages = 0;
    std::uint64_t bytes = 0;
    std::uint64_t totalBytes = 0;
};
