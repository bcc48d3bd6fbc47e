#include <iostream>

#include "ConsoleDisplay.h"
#include "Tool.h"
#include "ToolStore.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/Windows1252.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/MailCheck.h"
#include "transport/NoDialUp.h"
#include "transport/Notifier.h"
#include "transport/PasswordPrompt.h"
#include "transport/PosixSocketFactory.h"

namespace {

// Nobody is there to type a password: the dialog is cancelled.
class TNoPasswordPrompt : public IPasswordPrompt {
public:
    bool Ask(const std::string& caption, std::string&, std::string&) override {
        std::cerr << cp1252::ToUtf8(caption) << ": no password can be asked for here\n";
        return false;
    }
};

// New-mail notices as lines of stderr.
class TConsoleNotifier : public INotifier {
public:
    void Beep() override { std::cerr << "\a"; }
    void RunProgram(const std::string& path) override {
        std::cerr << "notify program: " << cp1252::ToUtf8(path) << '\n';
    }
    void PlaySound(const std::string& path) override { std::cerr << "notify sound: " << cp1252::ToUtf8(path) << '\n'; }
};

}  // namespace

int CheckCommand(TToolContext& ctx, const TToolArgs& args) {
    for (const auto& a : args)
        if (a.starts_with("--")) throw TUsageError{"check: unknown option \"" + a + "\""};
    const TFolders* folders = ctx.Folders();
    if (!folders) return kExitFailed;
    TAccountList accounts = TAccountList::Read(folders->data, ctx.Secrets());
    std::vector<std::string> aliases;
    for (const auto& a : args) {
        const std::string alias = FromArg(a);
        if (!accounts.Find(alias)) {
            std::cerr << "skfp-tool: no account named \"" << a << "\"\n";
            return kExitFailed;
        }
        aliases.push_back(alias);
    }
    if (args.empty()) aliases = accounts.Aliases();
    TIniFile config(fileutil::FindNoCase(folders->data, cfg::kConfigFile), &ctx.prompt);
    TPosixSocketFactory net;
    TSystemClock clock;
    TConsoleDisplay display;
    TNoPasswordPrompt passwords;
    TNoDialUp dialUp;
    TConsoleNotifier notifier;
    TMailCheck check({net, ctx.pump, clock, ctx.prompt, display, /*mayTrustCertificates=*/false}, passwords, dialUp,
                     notifier, config, accounts, folders->data);
    const bool ok = check.CheckAccounts(aliases);
    // What a check downloaded goes into the In Box even when a later account
    // failed, so that nothing waits for a second run.
    auto tool = TToolStore::Open(ctx);
    if (!tool) return kExitFailed;
    const int processed = ProcessDownloads(ctx, *tool);
    return ok && processed == kExitOk ? kExitOk : kExitFailed;
}
