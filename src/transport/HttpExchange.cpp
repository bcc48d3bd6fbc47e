#include "transport/HttpExchange.h"

#include "transport/HttpUrl.h"
#include "transport/MailError.h"

THttpExchange::THttpExchange(const TMailEnv& env) : TMailBase(env, "https", 443) { readsGreeting_ = false; }

THttpReply THttpExchange::PostForm(const std::string& url, const std::string& form) {
    const auto parsed = THttpUrl::Parse(url);
    if (!parsed) throw EMailError();
    Security = parsed->secure ? TSecurity::Tls : TSecurity::None;
    Server = parsed->host + ":" + std::to_string(parsed->port);
    ResetFlags();
    SetService(parsed->secure ? "https" : "http", parsed->port);
    TMailBase::Connect();
    const std::string hostHeader =
        parsed->port == (parsed->secure ? 443 : 80) ? parsed->host : parsed->host + ":" + std::to_string(parsed->port);
    Queue("POST " + parsed->target + " HTTP/1.1\r\nHost: " + hostHeader +
              "\r\nContent-Type: application/x-www-form-urlencoded\r\nAccept: application/json\r\n"
              "Connection: close\r\nContent-Length: " +
              std::to_string(form.size()) + "\r\n\r\n" + form,
          TSendFailure::MailError);
    Flush(TSendFailure::MailError);
    std::string bytes;
    char buffer[16 * 1024];
    for (;;) {
        std::size_t n = 0;
        try {
            n = ReadSome(buffer, sizeof buffer);
        } catch (const EMailError&) {
            break;  // the server closed the connection: the response is whole
        }
        bytes.append(buffer, n);
        if (bytes.size() > kMaxReply) {
            Disconnect();
            throw EMailError();
        }
    }
    Disconnect();
    auto reply = THttpReply::Parse(bytes);
    if (!reply) throw EMailError();
    return std::move(*reply);
}
