#include <gtest/gtest.h>

#include "TransferRig.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/TimedOutError.h"

namespace {

class MailBaseTest : public ::testing::Test {
protected:
    TTransferRig rig;
    TMailBase client{rig.Env(), "pop3", 110};
    void SetUp() override {
        client.Server = "10.0.0.5";
        client.TimeOut = 30;
    }
};

template <class E>
std::string MessageOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.what();
    }
    return "(no exception)";
}

TEST_F(MailBaseTest, DottedAddressConnectsWithoutLookupAndSkipsTheGreeting) {
    auto& s = rig.net.Next().Server("+OK ready\r\n").Server("+OK next\r\n");
    client.Connect();
    EXPECT_EQ(rig.net.hostLookups, 0);
    EXPECT_EQ(s.address, 0x0A000005u);
    EXPECT_EQ(s.port, 110);
    EXPECT_EQ(client.ReadLine(), "+OK next");
    EXPECT_TRUE(client.Connected());
    EXPECT_EQ(client.Disconnect(), 0);
    EXPECT_EQ(client.Disconnect(), -1);
}

TEST_F(MailBaseTest, NamesAreLookedUpAndServicesFallBackToTheDefaultPort) {
    rig.net.hosts["pop.example"] = 0x7F000001u;
    rig.net.services.erase("pop3");
    auto& s = rig.net.Next().Server("+OK\r\n");
    client.Server = "pop.example";
    client.Connect();
    EXPECT_EQ(rig.net.hostLookups, 1);
    EXPECT_EQ(s.address, 0x7F000001u);
    EXPECT_EQ(s.port, 110);
}

TEST_F(MailBaseTest, APortInTheServerFieldWins) {
    rig.net.hosts["pop.example"] = 0x7F000001u;
    auto& s = rig.net.Next().Server("+OK\r\n");
    client.Server = "pop.example:2110";
    client.Connect();
    EXPECT_EQ(s.port, 2110);
}

TEST_F(MailBaseTest, AnUnresolvableNameShowsTheAsyncErrorBox) {
    rig.net.hosts["nohost"] = std::nullopt;
    client.Server = "nohost";
    EXPECT_EQ(MessageOf<EMailError>([&] { client.Connect(); }),
              "Internet Connection Refused. No connection. Connection Lost.");
    ASSERT_EQ(rig.prompt.Errors().size(), 1u);
    EXPECT_EQ(rig.prompt.Errors()[0],
              "Fenmarch Skiffpost could not connect to server \"nohost\"!\n\rReason: Async Error.\n\r\n\r"
              "Fix: Check your Internet Server Settings in the Control Center");
}

TEST_F(MailBaseTest, ALookupThatNeverEndsTimesOutAndCanBeCancelled) {
    rig.net.lookupsHang = true;
    client.Server = "slow.example";
    EXPECT_EQ(MessageOf<ETimedOutError>([&] { client.Connect(); }), "Internet Connection Timed Out.");
    EXPECT_GE(rig.pump.passes, 30);
    rig.pump.onPump = [&](int) { client.Cancel(); };
    client.ResetFlags();
    EXPECT_EQ(MessageOf<ECanceledError>([&] { client.Connect(); }),
              "Internet mail operation has been canceled at your request.");
    EXPECT_TRUE(rig.prompt.Texts().empty());
}

TEST_F(MailBaseTest, AConnectThatCannotStartOrIsRefusedShowsTheConnectBox) {
    rig.net.Next().startFails = true;
    rig.net.Next().connectError = 111;
    const std::string box =
        "Fenmarch Skiffpost could not connect to server \"10.0.0.5\".\n\rReason: Could not connect "
        "to server.\n\rFix: Please check your Internet Server Host Name in the Control Center.";
    EXPECT_THROW(client.Connect(), EMailError);
    EXPECT_THROW(client.Connect(), EMailError);
    EXPECT_EQ(rig.prompt.Errors(), (std::vector<std::string>{box, box}));
    EXPECT_FALSE(client.Connected());
}

TEST_F(MailBaseTest, AConnectThatNeverCompletesTimesOut) {
    rig.net.Next().neverConnects = true;
    EXPECT_THROW(client.Connect(), ETimedOutError);
}

TEST_F(MailBaseTest, ASilentServerTimesOutAfterTheTimeOut) {
    rig.net.Next();
    EXPECT_EQ(MessageOf<ETimedOutError>([&] { client.Connect(); }), "Internet Connection Timed Out.");
    EXPECT_GE(rig.pump.passes, 30);
    EXPECT_LE(rig.pump.passes, 32);
}

TEST_F(MailBaseTest, TheTimeOutIgnoresTheWallClockBeingSetBack) {
    rig.net.Next();
    // Every pass the wall clock jumps an hour back, as a clock correction or
    // a time-zone change might; the wait still ends after its 30 seconds.
    rig.pump.onPump = [&](int passes) {
        rig.clock.now -= 3600;
        if (passes > 100) client.Cancel();
    };
    EXPECT_THROW(client.Connect(), ETimedOutError);
    EXPECT_LE(rig.pump.passes, 32);
}

TEST_F(MailBaseTest, ADroppedConnectionEndsAReadAtOnce) {
    rig.net.Next().Server("+OK hi\r\n").Server("+O").Close();
    client.Connect();
    EXPECT_THROW(client.ReadLine(), EMailError);
    EXPECT_LT(rig.pump.passes, 5);
}

TEST_F(MailBaseTest, StopDuringAWaitEndsItWithTheCancelMessage) {
    rig.net.Next().Server("+OK hi\r\n");
    client.Connect();
    rig.pump.onPump = [&](int pass) {
        if (pass == 3) client.Cancel();
    };
    EXPECT_EQ(MessageOf<ECanceledError>([&] { client.ReadLine(); }),
              "Internet mail operation has been canceled at your request.");
}

TEST_F(MailBaseTest, ShortLinesAreJoinedWithTheNextAndSplitLinesAreWhole) {
    rig.net.Next()
        .Server("+OK hi\r\n")
        .Server("+OK\r\n")
        .Server("X\r\n")
        .Server("+OK\r\n")
        .Server("+O")
        .Server("K there\r")
        .Server("\n");
    client.Connect();
    EXPECT_EQ(client.ReadLine(), "+OK");
    EXPECT_EQ(client.ReadLine(), "X\r\n+OK");
    EXPECT_EQ(client.ReadLine(), "+OK there");
}

TEST_F(MailBaseTest, LinesLongerThan255BytesFail) {
    const std::string fits = "+OK " + std::string(249, 'a') + "\r\n";  // 255 bytes
    ASSERT_EQ(fits.size(), 255u);
    rig.net.Next().Server("+OK hi\r\n").Server(fits).Server("+OK " + std::string(250, 'b') + "\r\n");
    client.Connect();
    EXPECT_EQ(client.ReadLine(), fits.substr(0, 253));
    EXPECT_THROW(client.ReadLine(), EMailError);
    EXPECT_FALSE(client.Connected());
}

TEST_F(MailBaseTest, TheGreetingDropsBytesOutsideItsRangeAndItsLineFeed) {
    rig.net.Next().Server("+OK h\x01\xe9llo~\r").Server("\n+OK\r\n");
    client.Connect();
    EXPECT_EQ(client.ReadLine(), "+OK");
}

TEST_F(MailBaseTest, TheProxyIsAskedToOpenTheServerAndItsAnswerStandsForTheGreeting) {
    rig.net.hosts["proxy.example"] = 0xC0A80001u;
    client.Server = "pop.example";
    client.UseProxy = true;
    client.ProxyServer = "proxy.example";
    rig.net.services.erase("telnet");
    client.ProxyPort = 2323;
    auto& s = rig.net.Next()
                  .Server("Proxy ready\r\n")
                  .Client("open pop.example 110\n")
                  .Server("Trying...\r\n")
                  .Server("+OK POP3 ready\r\n")
                  .Server("+OK after\r\n");
    client.Connect();
    EXPECT_EQ(s.address, 0xC0A80001u);
    EXPECT_EQ(s.port, 2323);
    EXPECT_EQ(s.Written(), s.ClientText());
    EXPECT_EQ(client.ReadLine(), "+OK after");
    EXPECT_EQ(client.Server, "pop.example");
}

TEST_F(MailBaseTest, AProxyThatRefusesShowsItsBox) {
    client.UseProxy = true;
    client.ProxyServer = "192.168.0.1";
    rig.net.Next().Client("open 10.0.0.5 110\n").Server("telnet: Unable: CONNECTION REFUSED\r\n");
    EXPECT_THROW(client.Connect(), EMailError);
    ASSERT_EQ(rig.prompt.Texts().size(), 1u);
    EXPECT_EQ(rig.prompt.Texts()[0].kind, TRecordingPrompt::Shown::Kind::Information);
    EXPECT_EQ(rig.prompt.Texts()[0].text,
              "Fenmarch Skiffpost could not establish a connection with POP3.\n\rReason: telnet: Unable: "
              "CONNECTION REFUSED\r\r\nIt may be possible that the server that you are trying to connect to does "
              "not allow outside connections.");
}

// A proxy that talks on and never relays a greeting ends the connection
// after a bounded number of lines, instead of holding the check forever.
TEST_F(MailBaseTest, AProxyThatNeverRelaysGivesUp) {
    client.UseProxy = true;
    client.ProxyServer = "192.168.0.1";
    std::string chatter;
    for (int i = 0; i < 1000; ++i) chatter += "Trying " + std::to_string(i) + "...\r\n";
    rig.net.Next().Client("open 10.0.0.5 110\n").Server(chatter);
    EXPECT_THROW(client.Connect(), EMailError);
    ASSERT_EQ(rig.prompt.Texts().size(), 1u);
    EXPECT_EQ(rig.prompt.Texts()[0].text,
              "Fenmarch Skiffpost could not establish a connection with POP3.\n\rReason: The proxy sent no answer "
              "of the mail server.");
}

TEST_F(MailBaseTest, SendLineEndsWithALineFeedAndAFailedSendRaises) {
    auto& s = rig.net.Next().Server("+OK\r\n");
    client.Connect();
    client.SendLine("hello");
    EXPECT_EQ(s.Written(), "hello\n");
    s.sendFails = true;
    EXPECT_THROW(client.SendLine("again"), EMailError);
}

}  // namespace
