#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "transport/SrvRecord.h"

// The SRV records of a DNS answer as the resolver returns it (RFC 1035
// message format, names compressed). Answers are the network's: anything
// malformed gives no records, never a read beyond the message.
namespace srvanswer {

std::vector<TSrvRecord> Parse(const unsigned char* message, std::size_t size);
// The record to use: the lowest priority, of those the greatest weight,
// then the first (RFC 2782 leaves the choice among equals to chance; one
// fixed choice serves a set-up as well). Nothing when no record names a
// host (an answer of "." alone says the service is not offered).
std::optional<TSrvRecord> Best(const std::vector<TSrvRecord>& records);

}  // namespace srvanswer
