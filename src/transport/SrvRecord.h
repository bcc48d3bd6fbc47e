#pragma once

#include <cstdint>
#include <string>

// One DNS SRV record (RFC 2782): where a service of a domain is offered.
// An empty target stands for ".": the domain decidedly does not offer it.
struct TSrvRecord {
    std::uint16_t priority = 0;
    std::uint16_t weight = 0;
    std::uint16_t port = 0;
    std::string target;
    friend bool operator==(const TSrvRecord&, const TSrvRecord&) = default;
};
