#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "transport/MailBase.h"
#include "transport/TakenJournal.h"

class IPasswordPrompt;
class TIniFile;

// Fetches the new mail of one account into download files (alias + number +
// ".tsg") in the data folder, and keeps the account's seen file (alias +
// ".hf") so that the next check skips what was fetched.
class TPOP3 : public TMailBase {
public:
    TPOP3(const TMailEnv& env, IPasswordPrompt& passwordPrompt);

    std::string UserName;
    std::string Password;  // held for this check only
    // An OAuth2 access token: set, the login is SASL XOAUTH2 with it
    // (RFC 5034 AUTH) instead of USER and PASS.
    std::string AccessToken;

    void Connect() override;
    void Cancel() override;

    void Login();
    void Stat();
    // Downloads the messages not seen before. config is "Internet.ini";
    // dataFolder ends with "/". gotNew is set when a message was downloaded.
    void Retrieve(const std::string& alias, const std::string& dataFolder, const TIniFile& config, bool& gotNew);
    void Logout();

    int MessageCount() const { return messageCount_; }
    long long TotalSize() const { return totalSize_; }
    int CurrentMessage() const { return currentMessage_; }
    // Download files this check completed, in order.
    const std::vector<std::string>& Downloaded() const { return downloaded_; }
    // Told each time a message is whole in its download file (the file may
    // be processed from then on).
    std::function<void()> MessageDownloaded;

    // Sends text with a CR LF line end.
    void SendCommand(const std::string& text);

    static std::vector<std::string> ReadSeenFile(const std::string& path);
    static bool WriteSeenFile(const std::string& path, const std::vector<std::string>& identities);

protected:
    [[noreturn]] void SendFailed(TSendFailure onFailure) override;
    std::uint16_t StandardPort(TSecurity mode) const override { return security::StandardPopPort(mode); }

private:
    void UpgradeToTls();
    std::string LoginBoxStart() const;
    void LoginWithToken();
    bool AskPassword(std::string& user, std::string& password);
    // A multi-line answer up to its terminating line; a longer one than
    // limit, or one that does not end in ten time-outs, fails the check.
    std::string ReadMultiLine(std::size_t limit);
    // A message header (TOP n 0) far beyond what any mailer writes.
    static constexpr std::size_t kMaxHeader = 8u << 20;
    // A listing by message number (UIDL: the unique ids; LIST: the sizes);
    // empty when the server refuses the command.
    std::map<int, std::string> ReadListing(const std::string& command);
    void SeenFileFailed(const std::string& path);
    // Writes every download of this check through to the disk.
    bool SyncDownloads(const std::string& dataFolder);
    // Downloads one answer into a free download file name; returns its path.
    std::string Download(const std::string& alias, const std::string& dataFolder, long long expected);

    IPasswordPrompt& passwordPrompt_;
    int currentMessage_ = 0;
    std::vector<std::string> seen_;
    long long totalSize_ = 0;
    int messageCount_ = 0;
    std::vector<std::string> downloaded_;
    // What this session and any unfinished earlier one took; cleared once
    // the server confirmed QUIT.
    std::optional<TTakenJournal> taken_;
};
