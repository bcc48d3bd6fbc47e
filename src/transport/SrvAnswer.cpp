#include "transport/SrvAnswer.h"

#include <arpa/nameser.h>
#include <resolv.h>

#include <limits>

namespace srvanswer {

std::vector<TSrvRecord> Parse(const unsigned char* message, std::size_t size) {
    std::vector<TSrvRecord> records;
    // DNS messages over TCP are at most 65535 bytes; nothing larger is one.
    if (!message || size > std::numeric_limits<std::uint16_t>::max()) return records;
    ns_msg handle{};
    if (ns_initparse(message, static_cast<int>(size), &handle) != 0) return records;
    const int count = ns_msg_count(handle, ns_s_an);
    for (int i = 0; i < count; ++i) {
        ns_rr rr{};
        if (ns_parserr(&handle, ns_s_an, i, &rr) != 0) break;
        if (ns_rr_type(rr) != ns_t_srv || ns_rr_class(rr) != ns_c_in || ns_rr_rdlen(rr) < 7) continue;
        const unsigned char* data = ns_rr_rdata(rr);
        TSrvRecord record;
        record.priority = static_cast<std::uint16_t>(ns_get16(data));
        record.weight = static_cast<std::uint16_t>(ns_get16(data + 2));
        record.port = static_cast<std::uint16_t>(ns_get16(data + 4));
        char target[NS_MAXDNAME];
        // The target may point back into the message (compression); the
        // expansion is bounded by the message's end and the buffer.
        const int used = dn_expand(ns_msg_base(handle), ns_msg_end(handle), data + 6, target, sizeof target);
        if (used < 0 || used > ns_rr_rdlen(rr) - 6) continue;
        record.target = target;
        if (record.target == ".") record.target.clear();
        records.push_back(std::move(record));
    }
    return records;
}

std::optional<TSrvRecord> Best(const std::vector<TSrvRecord>& records) {
    const TSrvRecord* best = nullptr;
    for (const TSrvRecord& r : records) {
        if (r.target.empty() || r.port == 0) continue;
        if (!best || r.priority < best->priority || (r.priority == best->priority && r.weight > best->weight))
            best = &r;
    }
    if (!best) return std::nullopt;
    return *best;
}

}  // namespace srvanswer
