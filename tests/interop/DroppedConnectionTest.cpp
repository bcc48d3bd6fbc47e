// The connection lost after each command in turn, against the real servers
// (a relay between the client and the server closes both sides once the
// client's Nth command has reached the server): after each, the next
// attempt ends the job, and no message is lost or taken twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "common/SleepPump.h"
#include "common/Clock.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "support/LocalServers.h"
#include "support/RealRig.h"
#include "support/RecordingPrompt.h"
#include "support/TelnetRelay.h"
#include "support/TempDir.h"
#include "support/TransferDoubles.h"
#include "transport/CanceledError.h"
#include "transport/MailError.h"
#include "transport/MessageBuilder.h"
#include "transport/OutgoingMessage.h"
#include "transport/POP3.h"
#include "transport/PosixSocketFactory.h"
#include "transport/SMTP.h"
#include "transport/TimedOutError.h"

namespace {

// One check of the account, through the relay when one is given; whether it
// ended without an error.
bool Check(TRealRig& rig, const TDovecotServer& server, const std::string& folder, const TIniFile& config,
           TTelnetRelay* relay) {
    TPOP3 pop(rig.Env(), rig.passwords);
    pop.Server = "127.0.0.1:" + std::to_string(server.Port());
    pop.UserName = "ann";
    pop.Password = "s3cret";
    pop.TimeOut = 5;
    if (relay) {
        pop.UseProxy = true;
        pop.ProxyServer = "127.0.0.1:" + std::to_string(relay->Port());
    }
    try {
        bool gotNew = false;
        pop.Connect();
        pop.Login();
        pop.Stat();
        if (pop.MessageCount() > 0) pop.Retrieve("Home", folder, config, gotNew);
        pop.Logout();
        pop.Disconnect();
        return true;
    } catch (const EMailError&) {
    } catch (const ETimedOutError&) {
    } catch (const ECanceledError&) {
    }
    return false;
}

}  // namespace

// USER, PASS, STAT, UIDL, LIST, RETR and DELE of each message, QUIT: the
// connection goes after each in turn, with "Delete Messages" on and
// "Record Messages" off (the hardest case: only the journal of taken
// messages knows what was downloaded). The next check downloads exactly
// what is missing, and the server ends empty.
TEST(DroppedConnection, APop3CheckCutAfterAnyCommandLosesNothingAndTakesNothingTwice) {
    const std::vector<std::string> messages = {
        "Subject: one\n\nFirst body\n",
        "Subject: two\n\n.leading dot\n",
        "Subject: three\n\n" + std::string(3000, 'x') + "\n",
    };
    std::vector<std::string> expected;
    for (const auto& m : messages) expected.push_back(TDovecotServer::WireForm(m));
    std::sort(expected.begin(), expected.end());
    bool completed = false;
    for (std::size_t cut = 1; !completed && cut < 20; ++cut) {
        SCOPED_TRACE("connection lost after command " + std::to_string(cut));
        TDovecotServer server("ann", "s3cret");
        for (const auto& m : messages) server.AddMessage(m);
        ASSERT_TRUE(server.Start()) << server.Failure();
        TTempDir data;
        WriteFileOrDie(data.File("Internet.fmt"), "{\\rtf1 }");
        TIniFile config(data.File("Internet.ini"));
        config.Write(cfg::RecordMessages, false);
        config.Write(cfg::DeleteMessages, true);
        TRealRig rig;
        {
            TTelnetRelay relay;
            relay.DropAfter(cut);
            completed = Check(rig, server, data.Path(), config, &relay);
        }
        // At most one box for the lost connection.
        EXPECT_LE(rig.prompt.Texts().size(), 1u);
        const auto first = DownloadsIn(data.Path());
        EXPECT_TRUE(std::includes(expected.begin(), expected.end(), first.begin(), first.end()));
        EXPECT_TRUE(Check(rig, server, data.Path(), config, nullptr));
        EXPECT_EQ(DownloadsIn(data.Path()), expected);
        EXPECT_EQ(server.MessagesOnServer(), 0u);
        // A third check finds nothing.
        EXPECT_TRUE(Check(rig, server, data.Path(), config, nullptr));
        EXPECT_EQ(DownloadsIn(data.Path()).size(), messages.size());
    }
    EXPECT_TRUE(completed);  // the cuts went past the last command
}

// HELO, MAIL, RCPT, DATA, the message, QUIT: a send cut after any of them
// fails (the message stays to be sent), and sending again delivers it. Only
// a cut after the message's final "." can leave the server with a copy the
// client never heard accepted: SMTP cannot tell (RFC 5321 6.1), so the
// second send may deliver it again; never a third time, never a broken one.
TEST(DroppedConnection, AnSmtpSendCutAfterAnyCommandFailsAndASecondSendDelivers) {
    TRealRig rig;
    TOutgoingMessage message;
    TMessageBuilder builder(rig.clock, rig.prompt, rig.display);
    message.From = "Ann <ann@example.org>";
    message.ToList = {"bob@example.net"};
    message.Subject = "Cut";
    message.BodyType = 1;
    message.Body = {"one", ".two", "three"};
    const std::string wire = builder.Build(message);
    // HELO, MAIL, RCPT, DATA, the first and the last line of the message,
    // the final ".", QUIT; then no cut at all.
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = wire.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    bool completed = false;
    for (const std::size_t cut : {1ul, 2ul, 3ul, 4ul, 5ul, 4 + lines, 5 + lines, 6 + lines, 1000ul}) {
        if (completed) break;
        SCOPED_TRACE("connection lost after line " + std::to_string(cut));
        TSmtpSink sink;
        ASSERT_TRUE(sink.Start()) << sink.Failure();
        const auto send = [&](TTelnetRelay* relay) {
            TSMTP smtp(rig.Env());
            smtp.Server = "127.0.0.1:" + std::to_string(sink.Port());
            smtp.TimeOut = 5;
            if (relay) {
                smtp.UseProxy = true;
                smtp.ProxyServer = "127.0.0.1:" + std::to_string(relay->Port());
            }
            try {
                smtp.Send(message.EnvelopeFrom(), message.EnvelopeRecipients(), wire);
                return true;
            } catch (const EMailError&) {
            } catch (const ETimedOutError&) {
            } catch (const ECanceledError&) {
            }
            return false;
        };
        const auto delivered = [&] {
            std::size_t n = 0;
            while (std::filesystem::exists(sink.Folder() + "msg" + std::to_string(n + 1) + ".eml")) ++n;
            return n;
        };
        bool sent;
        {
            TTelnetRelay relay;
            relay.DropAfter(cut);
            sent = send(&relay);
        }
        const std::size_t after = delivered();
        completed = sent;
        EXPECT_LE(after, 1u);
        if (!sent) {
            EXPECT_TRUE(send(nullptr));
            // Before the final "." the server kept nothing of the first try.
            if (cut < 5 + lines)
                EXPECT_EQ(delivered(), 1u);
            else
                EXPECT_LE(delivered(), 2u);
            EXPECT_GE(delivered(), 1u);
        } else {
            EXPECT_EQ(after, 1u);
        }
        for (std::size_t i = 1; i <= delivered(); ++i) {
            const std::string stored = ReadFileOrEmpty(sink.Folder() + "msg" + std::to_string(i) + ".eml");
            EXPECT_NE(stored.find("\r\n\r\none\r\n.two\r\nthree\r\n"), std::string::npos) << stored;
        }
    }
    EXPECT_TRUE(completed);
}
