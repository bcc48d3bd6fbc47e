#include "transport/ThreadSrvLookup.h"

#include <arpa/nameser.h>
#include <netinet/in.h>
#include <resolv.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "transport/SrvAnswer.h"

struct TThreadSrvLookup::TState {
    mutable std::mutex mutex;
    bool done = false;
    std::vector<TSrvRecord> records;
};

TThreadSrvLookup::TThreadSrvLookup(const std::string& name) : state_(std::make_shared<TState>()) {
    std::thread([state = state_, name] {
        std::vector<TSrvRecord> records;
        struct __res_state resolver{};
        if (res_ninit(&resolver) == 0) {
            // An answer larger than this comes truncated and is retried
            // over TCP by the resolver itself.
            std::vector<unsigned char> answer(NS_MAXMSG);
            const int size = res_nquery(&resolver, name.c_str(), ns_c_in, ns_t_srv, answer.data(),
                                        static_cast<int>(answer.size()));
            if (size > 0)
                records = srvanswer::Parse(answer.data(), std::min(static_cast<std::size_t>(size), answer.size()));
            res_nclose(&resolver);
        }
        std::lock_guard lock(state->mutex);
        state->records = std::move(records);
        state->done = true;
    }).detach();
}

bool TThreadSrvLookup::Done() const {
    std::lock_guard lock(state_->mutex);
    return state_->done;
}

std::vector<TSrvRecord> TThreadSrvLookup::Records() const {
    std::lock_guard lock(state_->mutex);
    return state_->records;
}
