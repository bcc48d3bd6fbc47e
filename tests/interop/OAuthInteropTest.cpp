// OAuth2 end to end: the browser sign-in (authorization code with PKCE,
// answered on a loopback port) at a local authorization server, then a
// check and a send signed in with SASL XOAUTH2 at a real Dovecot and
// aiosmtpd that ask that server whether the token is good; renewal with
// the refresh token, and a new sign-in asked for once the grant is revoked.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/FileUtil.h"
#include "support/LocalServers.h"
#include "support/OAuthServer.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"
#include "support/TestCertificates.h"
#include "support/ToolRunner.h"
#include "transport/HttpReply.h"
#include "transport/SaslOAuth.h"
#include "transport/TokenReply.h"

namespace {

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace

TEST(OAuthParts, SaslResponsesTokenAnswersAndHttpRepliesAreReadAsTheirRfcsWriteThem) {
    // "user=ann@example.org^Aauth=Bearer ya29.x^A^A"
    EXPECT_EQ(sasloauth::XOAuth2("ann@example.org", "ya29.x"), "dXNlcj1hbm5AZXhhbXBsZS5vcmcBYXV0aD1CZWFyZXIgeWEyOS54AQE=");
    // RFC 7628 3.1 with a "," in the name escaped as =2C.
    EXPECT_EQ(sasloauth::OAuthBearer("a,b", "mail.example", 587, "t"),
              "bixhPWE9MkNiLAFob3N0PW1haWwuZXhhbXBsZQFwb3J0PTU4NwFhdXRoPUJlYXJlciB0AQE=");
    EXPECT_EQ(sasloauth::AbortAnswer(true), "AQ==");

    const auto ok = TTokenReply::Parse(R"({"access_token":"at-1","expires_in":"3599","refresh_token":"rt-1"})");
    ASSERT_TRUE(ok);
    EXPECT_TRUE(ok->Ok());
    EXPECT_EQ(ok->expiresIn, 3599);
    const auto refused = TTokenReply::Parse(R"({"error":"invalid_grant","error_description":"revoked"})");
    ASSERT_TRUE(refused);
    EXPECT_FALSE(refused->Ok());
    EXPECT_EQ(refused->error, "invalid_grant");
    // A token with a line break would reach a command line: not taken.
    EXPECT_FALSE(TTokenReply::Parse("{\"access_token\":\"a\\r\\nQUIT\"}")->Ok());
    EXPECT_FALSE(TTokenReply::Parse("[1]"));
    EXPECT_FALSE(TTokenReply::Parse("{\"access_token\":"));

    const auto chunked = THttpReply::Parse(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4;x=y\r\n{\"a\"\r\n3\r\n:1}\r\n0\r\n\r\n");
    ASSERT_TRUE(chunked);
    EXPECT_EQ(chunked->status, 200);
    EXPECT_EQ(chunked->body, "{\"a\":1}");
    const auto sized = THttpReply::Parse("HTTP/1.0 400 Bad Request\r\nContent-Length: 2\r\n\r\n{}extra");
    ASSERT_TRUE(sized);
    EXPECT_EQ(sized->status, 400);
    EXPECT_EQ(sized->body, "{}");
    EXPECT_FALSE(THttpReply::Parse("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort"));
    EXPECT_FALSE(THttpReply::Parse("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffff\r\nab"));
    EXPECT_FALSE(THttpReply::Parse("SMTP 220 hello\r\n\r\n"));
}

namespace {

TTestCertificates& Certificates() {
    static TTestCertificates certs;
    return certs;
}

}  // namespace

TEST(OAuthInterop, SignInInTheBrowserThenMailIsFetchedAndSentWithTokensRenewedUntilTheGrantIsRevoked) {
    ASSERT_TRUE(Certificates().Ok()) << Certificates().Failure();
    const auto pair = Certificates().Issue("oauth", "DNS:localhost,IP:127.0.0.1");
    TScopedEnv caFile("SSL_CERT_FILE", Certificates().CaFile());
    // Tokens that live a minute are renewed before every use.
    TOAuthServer auth(60);
    ASSERT_TRUE(auth.Start()) << auth.Failure();
    TDovecotServer dovecot("ann@example.test", "unused");
    dovecot.EnableTls(pair.cert, pair.key);
    dovecot.EnableOAuth2(auth.Url("/introspect"));
    dovecot.AddMessage("Subject: signed in\n\nFetched with a token.\n");
    ASSERT_TRUE(dovecot.Start()) << dovecot.Failure();
    TSmtpSinkOptions smtpOptions{TSmtpSinkOptions::TMode::StartTls, pair.cert, pair.key, "ann@example.test", ""};
    smtpOptions.introspectionUrl = auth.Url("/introspect");
    TSmtpSink sink(smtpOptions);
    ASSERT_TRUE(sink.Start()) << sink.Failure();

    TTempDir dir;
    // The "browser": fetches the sign-in page and follows its redirect to
    // the program's loopback port, as a user's browser would after consent.
    WriteFileOrDie(dir.File("browser.sh"), "#!/bin/sh\nexec curl -s -L -o /dev/null \"$1\"\n");
    ::chmod(dir.File("browser.sh").c_str(), 0755);
    TScopedEnv browser("BROWSER", dir.File("browser.sh"));
    const std::vector<std::string> global = {"--data", dir.File("d"), "--attach", dir.File("a")};
    auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), global.begin(), global.end());
        return RunTool(args);
    };
    ASSERT_EQ(run({"account", "add", "Home", "--pop", "127.0.0.1:" + std::to_string(dovecot.Port()), "--smtp",
                   "127.0.0.1:" + std::to_string(sink.Port()), "--security", "starttls", "--user", "ann@example.test",
                   "--return", "ann@example.test", "--oauth", "Local"})
                  .exitCode,
              0);
    // The client registration of the provider "Local".
    WriteFileOrDie(dir.File("d/OAuth2.ini"), "[Local]\r\nClient Id=skfp-test\r\nClient Secret=s3cret-client\r\n"
                                             "Authorize URL=" + auth.Url("/authorize") + "\r\nToken URL=" +
                                                 auth.Url("/token") + "\r\nScopes=mail offline_access\r\n");
    WriteFileOrDie(dir.File("d/Internet.fmt"), "{\\rtf1\\ansi \r\n\\pard\\plain \r\n");

    const auto signedIn = run({"account", "oauth", "Home"});
    ASSERT_EQ(signedIn.exitCode, 0) << signedIn.err;
    EXPECT_TRUE(Contains(signedIn.err, "Sign in at: " + auth.Url("/authorize?response_type=code&client_id=skfp-test")))
        << signedIn.err;
    EXPECT_TRUE(Contains(auth.Log(), "authorize ann@example.test\ntoken authorization_code\n")) << auth.Log();
    // No keyring here: the tokens are in the data folder, for the user alone.
    struct stat st {};
    ASSERT_EQ(::stat(dir.File("d/Tokens.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_TRUE(Contains(ReadFileOrEmpty(dir.File("d/Tokens.ini")), "rt-"));

    const auto checked = run({"check", "Home"});
    EXPECT_EQ(checked.exitCode, 0) << checked.err << dovecot.Log() << auth.Log();
    EXPECT_TRUE(Contains(checked.out, "signed in")) << checked.out;
    EXPECT_TRUE(Contains(dovecot.Log(), "user=<ann@example.test>, method=XOAUTH2")) << dovecot.Log();

    WriteFileOrDie(dir.File("body.txt"), "Sent with a token.\n");
    const auto made = run({"compose", "--to", "bob@example.net", "--subject", "OAuth", "--text", dir.File("body.txt"),
                           "--server", "Home", "--type", "Text"});
    ASSERT_EQ(made.exitCode, 0) << made.err;
    const auto sent = run({"send", made.out.substr(0, made.out.size() - 1)});
    EXPECT_EQ(sent.exitCode, 0) << sent.err;
    EXPECT_EQ(sink.AuthLog(), "XOAUTH2 ann@example.test ok\n");
    EXPECT_TRUE(Contains(ReadFileOrEmpty(sink.Folder() + "msg1.eml"), "Sent with a token."));
    // Each use renewed the short-lived token first.
    EXPECT_EQ(Count(auth.Log(), "token refresh_token"), 2u) << auth.Log();

    // Revoked: the renewal is refused and the user is told to sign in again.
    auth.RevokeAll();
    const auto refused = run({"check", "Home"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(Contains(refused.err, "no longer accepts the sign-in: invalid_grant")) << refused.err;
    EXPECT_TRUE(Contains(refused.err, "Sign in with the provider again")) << refused.err;
}
