#include "transport/ThreadHostLookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <mutex>
#include <thread>

struct TThreadHostLookup::TState {
    mutable std::mutex mutex;
    bool done = false;
    std::optional<std::uint32_t> address;
};

TThreadHostLookup::TThreadHostLookup(const std::string& name) : state_(std::make_shared<TState>()) {
    std::thread([state = state_, name] {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        std::optional<std::uint32_t> address;
        if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) == 0 && found) {
            const auto* in = reinterpret_cast<const sockaddr_in*>(found->ai_addr);
            address = ntohl(in->sin_addr.s_addr);
        }
        if (found) ::freeaddrinfo(found);
        std::lock_guard lock(state->mutex);
        state->address = address;
        state->done = true;
    }).detach();
}

bool TThreadHostLookup::Done() const {
    std::lock_guard lock(state_->mutex);
    return state_->done;
}

std::optional<std::uint32_t> TThreadHostLookup::Address() const {
    std::lock_guard lock(state_->mutex);
    return state_->address;
}
