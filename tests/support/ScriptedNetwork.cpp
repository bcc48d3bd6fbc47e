#include "support/ScriptedNetwork.h"

#include <algorithm>
#include <cstring>

#include "transport/Socket.h"

TScript& TScript::Server(std::string bytes) {
    steps_.push_back({Step::ServerBytes, std::move(bytes)});
    return *this;
}

TScript& TScript::Client(std::string bytes) {
    steps_.push_back({Step::ClientBytes, std::move(bytes)});
    return *this;
}

TScript& TScript::ClientUntil(std::string end) {
    steps_.push_back({Step::ClientUntil, std::move(end)});
    return *this;
}

TScript& TScript::Close() {
    steps_.push_back({Step::Hangup, {}});
    return *this;
}

TScript& TScript::Tls(TPeerCertificate certificate) {
    steps_.push_back({Step::Handshake, {}, std::move(certificate)});
    return *this;
}

TScript& TScript::TlsFails() {
    steps_.push_back({Step::BrokenHandshake, {}, {}});
    return *this;
}

TScript& TScript::TlsStalls() {
    steps_.push_back({Step::StalledHandshake, {}, {}});
    return *this;
}

TPeerCertificate TScript::Trusted() {
    return {true, "",
            "00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF:00:11:22:33:44:55:66:77:88:99:AA:BB:CC:DD:EE:FF"};
}

TPeerCertificate TScript::Untrusted(std::string problem, std::string fingerprint) {
    return {false, std::move(problem), std::move(fingerprint)};
}

bool TScript::StartTls() {
    Advance();
    // A handshake where the script has none is the client's fault; the
    // test sees it as a failed handshake.
    if (step_ == steps_.size() || !pending_.empty()) return false;
    const auto kind = steps_[step_].kind;
    if (kind != Step::Handshake && kind != Step::BrokenHandshake && kind != Step::StalledHandshake) return false;
    tlsStarted_ = true;
    return true;
}

ISocket::TTlsStep TScript::ContinueTls() {
    if (!tlsStarted_) return ISocket::TTlsStep::Failed;
    if (steps_[step_].kind == Step::StalledHandshake) return ISocket::TTlsStep::WantRead;
    tlsStarted_ = false;
    const Step& s = steps_[step_++];
    if (s.kind == Step::BrokenHandshake) {
        closed_ = true;
        return ISocket::TTlsStep::Failed;
    }
    certificate_ = s.certificate;
    ++handshakes;
    return ISocket::TTlsStep::Done;
}

std::string TScript::ClientText() const {
    std::string out;
    for (const auto& s : steps_)
        if (s.kind == Step::ClientBytes) out += s.bytes;
    return out;
}

void TScript::Advance() {
    while (step_ < steps_.size()) {
        const Step& s = steps_[step_];
        if (s.kind == Step::ServerBytes) {
            // A piece waits until the client read the one before it, so
            // each piece is exactly one receive.
            if (!pending_.empty()) return;
            pending_.push_back(s.bytes);
        } else if (s.kind == Step::Hangup) {
            if (!pending_.empty()) return;
            closed_ = true;
        } else if (s.kind == Step::Handshake || s.kind == Step::BrokenHandshake || s.kind == Step::StalledHandshake) {
            return;  // taken by the client's handshake
        } else if (s.kind == Step::ClientUntil) {
            const auto at = written_.find(s.bytes, matched_);
            if (at == std::string::npos) return;
            matched_ = at + s.bytes.size();
        } else {
            if (written_.size() - matched_ < s.bytes.size()) return;
            if (written_.compare(matched_, s.bytes.size(), s.bytes) != 0) return;
            matched_ += s.bytes.size();
        }
        ++step_;
    }
}

bool TScript::Readable() {
    Advance();
    return !pending_.empty() || closed_;
}

long TScript::Receive(char* buffer, std::size_t size) {
    Advance();
    if (pending_.empty()) return closed_ ? 0 : ISocket::kWouldBlock;
    std::string& piece = pending_.front();
    const std::size_t n = std::min(size, piece.size());
    std::memcpy(buffer, piece.data(), n);
    piece.erase(0, n);
    if (piece.empty()) pending_.pop_front();
    return static_cast<long>(n);
}

long TScript::Send(const char* data, std::size_t size) {
    if (sendFails || closed_) return ISocket::kError;
    written_.append(data, size);
    return static_cast<long>(size);
}

namespace {

class TScriptedSocket : public ISocket {
public:
    explicit TScriptedSocket(std::shared_ptr<TScript> script) : script_(std::move(script)) {}
    bool StartConnect(std::uint32_t address, std::uint16_t port) override {
        script_->address = address;
        script_->port = port;
        return !script_->startFails;
    }
    int ConnectResult() override { return script_->connectError; }
    unsigned Wait(unsigned wanted, int) override {
        unsigned got = 0;
        if ((wanted & kWritable) && !script_->neverConnects) got |= kWritable;
        if ((wanted & kReadable) && script_->Readable()) got |= kReadable;
        return got;
    }
    long Receive(char* buffer, std::size_t size) override { return script_->Receive(buffer, size); }
    long Send(const char* data, std::size_t size) override { return script_->Send(data, size); }
    bool StartTls() override { return script_->StartTls(); }
    TTlsStep ContinueTls() override { return script_->ContinueTls(); }
    std::string TlsFailure() const override { return "handshake refused by the script"; }
    TPeerCertificate PeerCertificate() const override { return script_->PeerCertificate(); }

private:
    std::shared_ptr<TScript> script_;
};

class TScriptedLookup : public IHostLookup {
public:
    TScriptedLookup(bool done, std::optional<std::uint32_t> address) : done_(done), address_(address) {}
    bool Done() const override { return done_; }
    std::optional<std::uint32_t> Address() const override { return address_; }
    void Cancel() override {}

private:
    bool done_;
    std::optional<std::uint32_t> address_;
};

}  // namespace

TScript& TScriptedNetwork::Next() {
    scripts_.push_back(std::make_shared<TScript>());
    return *scripts_.back();
}

std::unique_ptr<IHostLookup> TScriptedNetwork::LookupHost(const std::string& name) {
    ++hostLookups;
    const auto it = hosts.find(name);
    return std::make_unique<TScriptedLookup>(!lookupsHang, it == hosts.end() ? std::nullopt : it->second);
}

std::optional<std::uint16_t> TScriptedNetwork::LookupService(const std::string& name) {
    const auto it = services.find(name);
    if (it == services.end()) return std::nullopt;
    return it->second;
}

std::unique_ptr<ISocket> TScriptedNetwork::Open(const TEndpoint& endpoint) {
    if (scripts_.empty()) return nullptr;
    auto script = scripts_.front();
    script->endpoint = endpoint;
    scripts_.pop_front();
    used_.push_back(script);
    return std::make_unique<TScriptedSocket>(script);
}
