#pragma once

#include <string>

#include "transport/HttpReply.h"
#include "transport/MailBase.h"

// One HTTP request over the mail clients' connection (TLS and its
// certificate check, time-outs, cancel, the event pump): what an OAuth2
// token endpoint needs. The server is asked to close the connection after
// the response, which is read whole, at most kMaxReply bytes.
class THttpExchange : public TMailBase {
public:
    explicit THttpExchange(const TMailEnv& env);
    static constexpr std::size_t kMaxReply = 256 * 1024;

    // POSTs an application/x-www-form-urlencoded body. A URL that is not
    // http(s), or an answer that is no HTTP response, raises EMailError; so
    // do the failures of the connection, or ETimedOutError / ECanceledError.
    THttpReply PostForm(const std::string& url, const std::string& form);
};
