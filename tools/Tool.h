#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ConsolePrompt.h"
#include "app/Folders.h"
#include "common/SleepPump.h"
#include "config/SecretStore.h"

// Exit codes of skfp-tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// What every command gets: the global options, the prompt and the pump, and
// the folders once a command asks for them.
class TToolContext {
public:
    std::optional<std::string> programFolder;
    std::optional<std::string> dataFolder;
    std::optional<std::string> attachFolder;
    TConsolePrompt prompt;
    TSleepPump pump;

    // Runs the start-up folder steps once; nothing when they failed (the
    // reason is on stderr).
    const TFolders* Folders();
    // The desktop keyring, where the client keeps the passwords; null in a
    // build without Qt.
    ISecretStore* Secrets();

private:
    std::optional<TFolders> folders_;
    bool tried_ = false;
    std::unique_ptr<ISecretStore> secrets_;
};

// Thrown by a command for a wrong command line; main prints the usage.
struct TUsageError {
    std::string message;
};

using TToolArgs = std::vector<std::string>;

// Output helpers: stored texts in their stored form, the terminal UTF-8.
void PrintLine(const std::string& stored);  // a stored text as a line of UTF-8
// Received text for a terminal: control characters (escape sequences, a
// lone carriage return) become "?"; tabs stay, and line ends when asked.
std::string WithoutControls(std::string_view utf8, bool keepLines);
std::string FromArg(const std::string& utf8);  // a command-line text as stored text

int IniCommand(TToolContext& ctx, const TToolArgs& args);
int FoldersCommand(TToolContext& ctx, const TToolArgs& args);
int RtfCommand(TToolContext& ctx, const TToolArgs& args);
int FmtCommand(TToolContext& ctx, const TToolArgs& args);
int AccountsCommand(TToolContext& ctx, const TToolArgs& args);
int AccountCommand(TToolContext& ctx, const TToolArgs& args);
// Prints the servers found for an address (account detect).
int DetectAccountSettings(TToolContext& ctx, const std::string& address);
int MailboxesCommand(TToolContext& ctx, const TToolArgs& args);
int ListCommand(TToolContext& ctx, const TToolArgs& args);
int ShowCommand(TToolContext& ctx, const TToolArgs& args);
int CompactCommand(TToolContext& ctx, const TToolArgs& args);
int MoveCommand(TToolContext& ctx, const TToolArgs& args);
int DestroyCommand(TToolContext& ctx, const TToolArgs& args);
int TrashCommand(TToolContext& ctx, const TToolArgs& args);
int EmptyTrashCommand(TToolContext& ctx, const TToolArgs& args);
int MkboxCommand(TToolContext& ctx, const TToolArgs& args);
int RenameBoxCommand(TToolContext& ctx, const TToolArgs& args);
int RmboxCommand(TToolContext& ctx, const TToolArgs& args);
int DictCommand(TToolContext& ctx, const TToolArgs& args);
int ProcessCommand(TToolContext& ctx, const TToolArgs& args);
int CheckCommand(TToolContext& ctx, const TToolArgs& args);
int ComposeCommand(TToolContext& ctx, const TToolArgs& args);
int SendCommand(TToolContext& ctx, const TToolArgs& args);
int SearchCommand(TToolContext& ctx, const TToolArgs& args);
int DesktopCommand(TToolContext& ctx, const TToolArgs& args);
int ImportCommand(TToolContext& ctx, const TToolArgs& args);
int ExportCommand(TToolContext& ctx, const TToolArgs& args);
