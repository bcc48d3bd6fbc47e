#include "transport/POP3.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <future>
#include <memory>

#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "transport/CanceledError.h"
#include "transport/EndOfData.h"
#include "transport/MailError.h"
#include "transport/MessageIdentity.h"
#include "transport/PasswordPrompt.h"
#include "transport/SaslOAuth.h"
#include "transport/SeenList.h"
#include "transport/TransferDisplay.h"

namespace {

constexpr char kDQ = '"';
constexpr std::size_t kChunk = 64 * 1024;
// What a download may exceed twice its listed size by (headers a server
// adds, sizes counted loosely) before it counts as a lie.
constexpr long long kSizeLeeway = 64 * 1024;

template <class T>
bool ParseWhole(std::string_view s, T& out) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
    return ec == std::errc() && end == s.data() + s.size() && !s.empty();
}

struct TFileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

TPOP3::TPOP3(const TMailEnv& env, IPasswordPrompt& passwordPrompt)
    : TMailBase(env, "pop3", 110), passwordPrompt_(passwordPrompt) {}

void TPOP3::Connect() {
    ShowStatus("Connecting to Pop Server " + Server + ".");
    ResetFlags();
    SetService(security::PopService(Security), security::StandardPopPort(Security));
    TMailBase::Connect();
    if (Security == TSecurity::StartTls) UpgradeToTls();
}

void TPOP3::UpgradeToTls() {
    // RFC 2595: the upgrade comes before USER, so a server without it never
    // sees the password.
    SendCommand("STLS");
    const std::string reply = ReadLine();
    if (!reply.starts_with("+OK")) {
        Env().prompt.Error(std::string(kAppTitle) + " could not establish a secure connection with POP Server " + kDQ +
                           Server + kDQ + "." + "\n\r" + "Reason: The server does not offer STARTTLS (" + reply + ")." +
                           "\n\r" + "Fix: Choose TLS (port 995) as the security of this account.");
        Disconnect();
        throw EMailError();
    }
    StartTls();
}

void TPOP3::Cancel() {
    TMailBase::Cancel();
    ShowStatus("Mail check operation canceled at your request.");
}

void TPOP3::SendCommand(const std::string& text) {
    Queue(text + "\r\n", TSendFailure::Canceled);
    Flush(TSendFailure::Canceled);
}

void TPOP3::SendFailed(TSendFailure) {
    Env().prompt.Error(std::string(kAppTitle) + " could not communicate with POP Server " + kDQ + Server + kDQ +
                       "\n\r" + "Reason: Socket Error.");
    Disconnect();
    throw ECanceledError();
}

std::string TPOP3::LoginBoxStart() const {
    return std::string(kAppTitle) + " could not login to POP Server " + kDQ + Server + kDQ + "." + "\n\r";
}

bool TPOP3::AskPassword(std::string& user, std::string& password) {
    const std::string caption = "Validation required for " + Server;
    ShowStatus(caption);
    return passwordPrompt_.Ask(caption, user, password);
}

void TPOP3::LoginWithToken() {
    // A continuation is "+" and a blank; "+OK" is an answer (RFC 5034).
    const auto challenge = [](const std::string& line) { return line == "+" || line.starts_with("+ "); };
    // The response goes after the server's empty challenge: some servers
    // refuse an initial response on the AUTH line.
    SendCommand("AUTH XOAUTH2");
    std::string reply = ReadLine();
    if (challenge(reply)) {
        SendCommand(sasloauth::XOAuth2(UserName, AccessToken));
        reply = ReadLine();
        // A failure comes first as a challenge holding the reason in JSON;
        // the empty answer ends the exchange with the server's -ERR.
        if (challenge(reply)) {
            SendCommand(sasloauth::AbortAnswer(false));
            reply = ReadLine();
        }
    }
    if (reply.starts_with("+OK")) return;
    Env().prompt.Error(LoginBoxStart() + "Reason: " + reply + "\n\r" +
                       "Fix: Sign in with the provider again in the account's settings.");
    throw EMailError();
}

void TPOP3::Login() {
    if (!AccessToken.empty()) {
        ShowStatus("Hello " + Server + " User " + UserName + " here (OAuth2).");
        LoginWithToken();
        return;
    }
    ShowStatus("Hello " + Server + " User " + UserName + " here.");
    if (UserName.empty() || Password.empty()) {
        if (!AskPassword(UserName, Password)) Cancel();
    }
    SendCommand("USER " + UserName);
    const std::string userReply = ReadLine();
    if (userReply.find('+') == std::string::npos) {
        std::string box = LoginBoxStart();
        if (text::ToUpperAscii(userReply).find("-ERR NULL") != std::string::npos)
            box += std::string("Reason: Timing error while ") + kDQ + "Login" + kDQ + " in module POPLogin" + "\n\r" +
                   "Fix: Conctact Fenmarch.";
        else
            box += "Reason: " + userReply + "\n\r" + "Fix: None available in this version.";
        Env().prompt.Error(box);
        throw ECanceledError();
    }
    ShowStatus("Password required for " + UserName + " please. ");
    SendCommand("PASS " + Password);
    const std::string passReply = ReadLine();
    if (passReply.empty()) {
        Env().prompt.Error(LoginBoxStart() + "Reason: Invalid Login." + "\n\r" +
                           "Fix: Enter propper username/password configuration.");
        throw EMailError();
    }
    if (passReply[0] != '-') return;
    // The names typed here serve this check only; the account keeps its own.
    std::string user = UserName;
    std::string password;
    bool loggedIn = false;
    while (!loggedIn) {
        if (!AskPassword(user, password)) {
            Cancel();
            break;
        }
        SendCommand("USER " + user);
        SendCommand("PASS " + password);
        ReadLine();
        const std::string reply = ReadLine();
        loggedIn = !reply.empty() && reply[0] == '+';
    }
    if (!loggedIn) {
        Env().prompt.Error(LoginBoxStart() + "Reason: Invalid Passord." + "\n\r" +
                           "Fix: Enter your correct password for this POP Server.");
        throw EMailError();
    }
}

void TPOP3::Stat() {
    SendCommand("STAT");
    const std::string reply = ReadLine();
    if (reply.size() < 4) throw EMailError();
    const std::string_view rest = std::string_view(reply).substr(4);
    const auto blank = rest.find(' ');
    if (blank == std::string_view::npos || blank >= 256) throw EMailError();
    int count = 0;
    long long size = 0;
    if (!ParseWhole(rest.substr(0, blank), count) || !ParseWhole(rest.substr(blank + 1), size) || count < 0)
        throw EMailError();
    messageCount_ = count;
    totalSize_ = size;
}

std::map<int, std::string> TPOP3::ReadListing(const std::string& command) {
    std::map<int, std::string> values;
    SendCommand(command);
    if (!ReadLine().starts_with("+")) return values;  // a server without the command
    // A line per message of at most an id of 70 characters and a number.
    const std::string listing = ReadMultiLine((static_cast<std::size_t>(messageCount_) + 1) * 96 + 4096);
    std::string_view rest = listing;
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line == ".") break;
        const auto blank = line.find(' ');
        int number = 0;
        if (blank == std::string_view::npos || !ParseWhole(line.substr(0, blank), number)) continue;
        std::string value = text::Trim(line.substr(blank + 1));
        if (!value.empty()) values[number] = std::move(value);
    }
    return values;
}

std::vector<std::string> TPOP3::ReadSeenFile(const std::string& path) {
    std::vector<std::string> lines;
    const auto content = fileutil::ReadAll(path);
    if (!content) return lines;
    std::string_view rest = *content;
    while (!rest.empty()) {
        const auto lf = rest.find('\n');
        std::string_view line = rest.substr(0, lf);
        rest.remove_prefix(lf == std::string_view::npos ? rest.size() : lf + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
    }
    return lines;
}

bool TPOP3::WriteSeenFile(const std::string& path, const std::vector<std::string>& identities) {
    std::string content;
    for (const auto& id : identities) content += id + "\r\n";
    return fileutil::WriteAtomically(path, content);
}

std::string TPOP3::ReadMultiLine(std::size_t limit) {
    WaitForData();
    std::string header;
    TEndOfData end;
    char buffer[kChunk];
    // Each read has its own time-out; the whole answer also has one, so a
    // server that trickles bytes forever cannot hold the check.
    const std::int64_t endsAt = Env().clock.MonotonicMs() + std::int64_t{std::max(TimeOut, 1)} * 10'000;
    for (;;) {
        const std::size_t n = ReadSome(buffer, sizeof buffer);
        header.append(buffer, n);
        if (end.Feed(std::string_view(buffer, n))) break;
        if (header.size() > limit || Env().clock.MonotonicMs() > endsAt) {
            ShowStatus(header.size() > limit ? "The server sent a far longer answer than it can mean."
                                             : "The server's answer never ended.");
            Disconnect();
            throw EMailError();
        }
        KeepAlive();
        if (CancelRequested()) throw ECanceledError();
    }
    return header;
}

std::string TPOP3::Download(const std::string& alias, const std::string& dataFolder, long long expected) {
    const std::string stem = dataFolder + fileutil::SafeStem(alias) + std::to_string(currentMessage_);
    // Another account's alias and number may spell the same name (Work1 + 2,
    // Work + 12); an unprocessed download of that name is kept, not replaced.
    const std::string path =
        uniquename::Make(stem,
                         [](std::string_view candidate) { return fileutil::Exists(std::string(candidate) + ".tsg"); }) +
        ".tsg";
    // The message is written under a temporary name and given its own once
    // complete, so the processing never sees half a message.
    const std::string partial = path + ".part";
    const auto diskFull = [&] {
        Env().prompt.Error(std::string(kAppTitle) + " could not download this message." + "\n" +
                           "Reason: Could not get enough disk resources." + "\n" + "Fix: Free some disk space.");
        std::remove(partial.c_str());
        throw ECanceledError();
    };
    WaitForData();
    // A downloaded message is mail: private to the user from its creation.
    const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, fileutil::kPrivateFile);
    std::unique_ptr<std::FILE, TFileCloser> file(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
    if (!file) {
        if (fd >= 0) ::close(fd);
        diskFull();
    }
    // LIST told the message's size. A server may count a little differently
    // (line ends, dot-stuffing adds at most one byte in three), never twice
    // over: one that sends far more is lying or sending forever, and the
    // message is left on the server rather than stored wrong.
    const long long allowed = expected > 0 ? expected * 2 + kSizeLeeway : -1;
    if (expected <= 0) expected = 1;
    TEndOfData end;
    long long written = 0;
    char buffer[kChunk];
    try {
        for (;;) {
            const std::size_t n = ReadSome(buffer, sizeof buffer);
            if (n && std::fwrite(buffer, 1, n, file.get()) != n) diskFull();
            written += static_cast<long long>(n);
            // A size the server did not tell counts as 1; the bar stops at its end.
            SetProgress(static_cast<int>(std::min<long long>(100, (written * 100 + expected / 2) / expected)));
            if (end.Feed(std::string_view(buffer, n))) break;
            if (allowed >= 0 && written > allowed) {
                ShowStatus("The server sent message " + std::to_string(currentMessage_) + " far longer than the " +
                           std::to_string(expected) + " bytes it gave as its size; it stays on the server.");
                Disconnect();
                throw EMailError();
            }
            if (CancelRequested()) throw ECanceledError();
        }
    } catch (...) {
        file.reset();
        std::remove(partial.c_str());
        throw;
    }
    // Written through to the disk later, all downloads at once (see
    // SyncDownloads): a sync per message made a check of many small messages
    // wait on the disk a thousand times.
    if (std::fflush(file.get()) != 0) {
        file.reset();
        diskFull();
    }
    if (std::fclose(file.release()) != 0 || std::rename(partial.c_str(), path.c_str()) != 0) diskFull();
    return path;
}

void TPOP3::Retrieve(const std::string& alias, const std::string& dataFolder, const TIniFile& config, bool& gotNew) {
    if (!fileutil::Exists(fileutil::FindNoCase(dataFolder, cfg::kFormatFile))) {
        Env().prompt.Error(std::string(kAppTitle) + " can not check your internet mail." + "\n\r" +
                           "Reason: Rich Text Format Header not present." + "\n\n" +
                           "Solution: Configure your creation options in preferences.");
        throw ECanceledError();
    }
    const std::string seenPath = dataFolder + fileutil::SafeStem(alias) + ".hf";
    seen_ = ReadSeenFile(seenPath);
    taken_.emplace(dataFolder + fileutil::SafeStem(alias) + ".taken");
    bool journalFailed = false;
    TSeenList seen(seen_);
    std::vector<std::string> newList;
    std::vector<std::string> fetched;  // identities downloaded completely now
    ShowStatus("Retrieving messages for user " + UserName + " on " + Server);
    const bool record = config.Read(cfg::RecordMessages);
    const bool remove = config.Read(cfg::DeleteMessages);
    const std::string count = std::to_string(messageCount_);
    try {
        const std::map<int, std::string> uids = ReadListing("UIDL");
        // Every size in one answer instead of a LIST before each RETR: the
        // sizes only scale the progress bar, and a round per message was a
        // third of a check's time.
        const std::map<int, std::string> sizes = ReadListing("LIST");
        for (int i = 1; i <= messageCount_ && !CancelRequested(); ++i) {
            currentMessage_ = i;
            const std::string number = std::to_string(i);
            ShowStatus("Inspecting message " + number + " of " + count + ".");
            const auto uid = uids.find(i);
            // The header is only needed to name a message the server gives no
            // unique id, or to match lines recorded by header: a round trip
            // per message saved on every check of a UIDL server.
            std::string header;
            if (uid == uids.end() || seen.NeedsHeaders()) {
                SendCommand("TOP " + number + " 0");
                if (ReadLine().starts_with("-")) break;
                header = ReadMultiLine(kMaxHeader);
            }
            const std::string identity =
                uid != uids.end() ? messageidentity::FromUid(uid->second) : messageidentity::FromHeader(header);
            const bool isSeen = seen.Take(identity, messageidentity::Legacy(header));
            if (record && isSeen) {
                newList.push_back(identity);
                continue;
            }
            // Downloaded by a check that never reached QUIT: its file is in
            // the data folder (or already stored), so only the deletion the
            // server dropped is left to do.
            if (taken_->Contains(identity)) {
                newList.push_back(identity);
                if (remove) {
                    ShowStatus("Deleting message " + number + " of " + count + ".");
                    SendCommand("DELE " + number);
                    ReadLine();
                }
                continue;
            }
            ShowStatus("Retrieving message " + number + " of " + count + ".");
            long long expected = 0;
            if (const auto size = sizes.find(i); size == sizes.end() || !ParseWhole(size->second, expected))
                expected = 0;
            SendCommand("RETR " + number);
            // A message the server cannot hand out has no data to wait for;
            // it is neither downloaded nor recorded, so the next check tries
            // again.
            if (ReadLine().starts_with("-")) continue;
            downloaded_.push_back(Download(alias, dataFolder, expected));
            if (!taken_->Add(identity)) journalFailed = true;
            if (MessageDownloaded) MessageDownloaded();
            gotNew = true;
            newList.push_back(identity);
            fetched.push_back(identity);
            if (remove) {
                ShowStatus("Deleting message " + number + " of " + count + ".");
                SendCommand("DELE " + number);
                ReadLine();
            }
        }
    } catch (...) {
        // What was downloaded completely stays recorded, so the next check
        // does not fetch it a second time.
        if (!fetched.empty() && SyncDownloads(dataFolder)) {
            std::vector<std::string> kept = seen_;
            for (const auto& id : fetched)
                if (std::find(kept.begin(), kept.end(), id) == kept.end()) kept.push_back(id);
            if (!WriteSeenFile(seenPath, kept)) SeenFileFailed(seenPath);
        }
        throw;
    }
    if (!fetched.empty() && !SyncDownloads(dataFolder)) {
        Env().prompt.Error(std::string(kAppTitle) + " could not download your messages." + "\n" +
                           "Reason: The messages could not be written to the disk." + "\n" +
                           "Fix: Free some disk space; the next check downloads these messages again.");
        throw ECanceledError();
    }
    if (!WriteSeenFile(seenPath, newList)) SeenFileFailed(seenPath);
    if (journalFailed) SeenFileFailed(dataFolder + fileutil::SafeStem(alias) + ".taken");
}

bool TPOP3::SyncDownloads(const std::string& dataFolder) {
    // The downloads must be on the disk under their own names before the
    // seen file records them and before QUIT lets the server delete what DELE
    // marked: a crash must not lose a message. One sync of the file system
    // writes every download, and the renames, in one go.
    // The sync may take a moment on a busy disk; the window keeps running
    // meanwhile (it cannot be cut short, so Stop waits for it).
    auto synced = std::async(std::launch::async, [folder = dataFolder.empty() ? std::string(".") : dataFolder] {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return false;
        const bool ok = ::syncfs(fd) == 0;
        ::close(fd);
        return ok;
    });
    while (synced.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready) Pump();
    return synced.get();
}

void TPOP3::SeenFileFailed(const std::string& path) {
    // The messages are downloaded; only the record of them is missing, so
    // the next check fetches them again. The user is told why.
    Env().prompt.Error(std::string(kAppTitle) + " could not record which messages it has downloaded." + "\n" +
                       "Reason: The file " + kDQ + path + kDQ + " could not be written." + "\n" +
                       "Fix: Free some disk space; the next check downloads these messages again.");
}

void TPOP3::Logout() {
    ShowStatus("Logging out of Pop Server " + Server);
    SendCommand("QUIT");
    // The server has carried out the deletions now: nothing of this session
    // needs remembering beyond the seen file.
    if (ReadLine().starts_with("+") && taken_) taken_->Clear();
    ShowStatus("Logout Successful.");
}
