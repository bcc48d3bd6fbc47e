#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <thread>

#include "support/RecordingPrompt.h"
#include "support/TransferDoubles.h"
#include "transport/MailBase.h"
#include "transport/MailError.h"
#include "transport/PosixSocketFactory.h"
#include "transport/ThreadHostLookup.h"

namespace {

TEST(PosixNetwork, LooksUpNamesOnAHelperThreadAndServicesFromTheDatabase) {
    TThreadHostLookup lookup("localhost");
    for (int i = 0; i < 5000 && !lookup.Done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(lookup.Done());
    EXPECT_EQ(lookup.Address(), 0x7F000001u);
    TPosixSocketFactory net;
    EXPECT_EQ(net.LookupService("no-such-service-here"), std::nullopt);
    if (!net.LookupService("pop3")) GTEST_SKIP() << "no services database";
    EXPECT_EQ(net.LookupService("pop3"), 110);
    EXPECT_EQ(net.LookupService("smtp"), 25);
}

TEST(PosixNetwork, AServerThatHangsUpIsNoticedAtOnce) {
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at), 0);
    socklen_t len = sizeof at;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&at), &len);
    ::listen(listener, 1);
    std::thread server([listener] {
        const int c = ::accept(listener, nullptr, nullptr);
        const char greeting[] = "+OK hello\r\n+OK first\r\n";
        ::send(c, greeting, sizeof greeting - 1, 0);
        ::close(c);
    });
    TPosixSocketFactory net;
    // A second passes per pump: a hang-up noticed only by the time-out
    // would end in ETimedOutError instead.
    TManualClock clock;
    TTickPump pump(clock);
    TRecordingPrompt prompt;
    TRecordingDisplay display;
    TMailBase client({net, pump, clock, prompt, display}, "pop3", 110);
    client.Server = "127.0.0.1:" + std::to_string(ntohs(at.sin_port));
    client.TimeOut = 600;
    client.Connect();
    EXPECT_EQ(client.ReadLine(), "+OK first");
    EXPECT_THROW(client.ReadLine(), EMailError);
    server.join();
    ::close(listener);
}

}  // namespace
