#include <iostream>
#include <optional>
#include <string>

#include "ConsoleDisplay.h"
#include "Tool.h"
#include "ToolBrowser.h"
#include "common/Clock.h"
#include "config/ProviderTable.h"
#include "mail/AccountTokens.h"
#include "transport/PosixSocketFactory.h"
#include "common/BusyFlag.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "transport/Fingerprint.h"

namespace {

bool LoadAccounts(TToolContext& ctx, std::optional<TAccountList>& list) {
    const TFolders* folders = ctx.Folders();
    if (!folders) return false;
    list.emplace(TAccountList::Read(folders->data, ctx.Secrets()));
    return true;
}

std::string ReadPasswordLine(const std::string& verb) {
    // Keeps the password off the command line, where every user of the
    // machine can read it in the process list.
    std::string line;
    if (!std::getline(std::cin, line)) throw TUsageError{"account " + verb + ": --password-stdin read no line"};
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return FromArg(line);
}

TSecurity SecurityArg(const std::string& verb, const std::string& option, const std::string& value) {
    const auto mode = security::Parse(value);
    if (!mode) throw TUsageError{"account " + verb + ": " + option + " is none, starttls or tls"};
    return *mode;
}

// The options add and set share, applied to an account in the order given.
// A changed server drops the certificate trusted for the old one, unless
// the same command line names the one to trust.
void ApplyOptions(TAccount& account, const TToolArgs& args, const std::string& verb) {
    std::optional<std::string> fingerprint;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--password-stdin") {
            account.popPassword = ReadPasswordLine(verb);
            continue;
        }
        if (i + 1 >= args.size()) throw TUsageError{"account " + verb + ": " + args[i] + " needs a value"};
        const std::string value = FromArg(args[i + 1]);
        const std::string& option = args[i++];
        if (option == "--pop") {
            if (value != account.popServer) account.popFingerprint.clear();
            account.popServer = value;
        } else if (option == "--smtp") {
            if (value != account.smtpServer) account.smtpFingerprint.clear();
            account.smtpServer = value;
        } else if (option == "--user")
            account.popUserName = value;
        else if (option == "--pass")
            account.popPassword = value;
        else if (option == "--return")
            account.returnAddress = value;
        else if (option == "--nick")
            account.nickname = value;
        else if (option == "--security")
            account.security = SecurityArg(verb, option, value);
        else if (option == "--smtp-security")
            account.smtpSecurity = SecurityArg(verb, option, value);
        else if (option == "--oauth")
            account.oauthProvider = value == "none" ? std::string() : value;
        else if (option == "--trust-fingerprint") {
            // The one certificate the user checked by other means; the same
            // host often serves both protocols with it.
            fingerprint = fingerprint::Normalize(value);
            if (fingerprint->empty())
                throw TUsageError{"account " + verb + ": --trust-fingerprint takes a SHA-256 fingerprint (64 hex digits)"};
        } else
            throw TUsageError{"account " + verb + ": unknown option \"" + option + "\""};
    }
    if (fingerprint) account.popFingerprint = account.smtpFingerprint = *fingerprint;
}

bool CheckStorable(const TAccount& account) {
    for (const auto* field : {&account.alias, &account.popServer, &account.smtpServer, &account.popUserName,
                              &account.popPassword, &account.returnAddress, &account.nickname})
        if (!TAccountList::IsStorableField(*field)) {
            std::cerr << "skfp-tool: account fields cannot hold line breaks or the byte 0x01\n";
            return false;
        }
    return true;
}

int SaveList(TToolContext& ctx, TAccountList& list) {
    TBusyFlag listFill;
    if (!list.Save(listFill, ctx.pump)) {
        std::cerr << "skfp-tool: could not write " << list.ListPath() << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

int Add(TToolContext& ctx, TAccountList& list, const TToolArgs& args) {
    if (args.size() < 2) throw TUsageError{"account add: an alias is needed"};
    TAccount account;
    account.alias = FromArg(args[1]);
    // Like a new account of the window: today's providers take mail only
    // over TLS; --security none says so when a server really has none.
    account.security = TSecurity::Tls;
    ApplyOptions(account, args, "add");
    if (!CheckStorable(account)) return kExitFailed;
    if (!TAccountList::IsUsableAlias(account.alias)) {
        std::cerr << "skfp-tool: an alias must not be empty nor hold \"/\"\n";
        return kExitFailed;
    }
    if (list.Find(account.alias)) {
        std::cerr << "skfp-tool: an account named \"" << args[1] << "\" exists already\n";
        return kExitFailed;
    }
    list.Add(std::move(account));
    return SaveList(ctx, list);
}

int Set(TToolContext& ctx, TAccountList& list, const TToolArgs& args) {
    TAccount* account = list.Find(FromArg(args[1]));
    if (!account) {
        std::cerr << "skfp-tool: no account named \"" << args[1] << "\"\n";
        return kExitFailed;
    }
    TAccount changed = *account;
    // An account that followed its server ports keeps the mode it had.
    const TSecurity before = changed.Security();
    ApplyOptions(changed, args, "set");
    if (!changed.security && changed.Security() != before) changed.security = before;
    if (!CheckStorable(changed)) return kExitFailed;
    if (changed == *account) return kExitOk;
    *account = std::move(changed);
    return SaveList(ctx, list);
}

// Where the passwords live: "on" moves them into the keyring, "off" back
// into "Internet.svr".
int Keyring(TToolContext& ctx, TAccountList& list, const std::string& choice) {
    TIniFile ini(list.ConfigPath(), &ctx.prompt);
    if (choice == "status") {
        const bool answers = ctx.Secrets() && ctx.Secrets()->Available();
        std::cout << "keyring\t" << (ini.Read(cfg::PasswordsInKeyring) ? "on" : "off") << '\t'
                  << (answers ? "answers" : "none") << '\t' << (list.PasswordsInStore() ? "in keyring" : "in file")
                  << '\n';
        return kExitOk;
    }
    if (!ini.Write(cfg::PasswordsInKeyring, choice == "on")) return kExitFailed;
    if (choice == "on" && !list.PasswordsInStore()) {
        std::cerr << "skfp-tool: no keyring answers; the passwords stay in " << list.ListPath() << '\n';
        return kExitFailed;
    }
    return SaveList(ctx, list);
}

// The browser sign-in of an account that uses OAuth2.
int SignIn(TToolContext& ctx, TAccountList& list, const std::string& aliasArg, const std::string& provider) {
    TAccount* account = list.Find(FromArg(aliasArg));
    if (!account) {
        std::cerr << "skfp-tool: no account named \"" << aliasArg << "\"\n";
        return kExitFailed;
    }
    if (!provider.empty()) account->oauthProvider = FromArg(provider);
    if (account->oauthProvider.empty()) {
        const TProvider* known = nullptr;
        const auto at = account->returnAddress.rfind('@');
        if (at != std::string::npos) known = TProviderTable::Find(account->returnAddress.substr(at + 1));
        if (!known || known->oauth.Empty()) {
            std::cerr << "skfp-tool: name the provider with --provider NAME (a section of OAuth2.ini)\n";
            return kExitFailed;
        }
        account->oauthProvider = std::string(known->name);
    }
    // The sign-in changes the account: its provider is kept before the wait.
    if (SaveList(ctx, list) != kExitOk) return kExitFailed;
    TPosixSocketFactory net;
    TSystemClock clock;
    TConsoleDisplay display;
    const TMailEnv env{net, ctx.pump, clock, ctx.prompt, display, false};
    TAccountTokens tokens(env, list, ctx.Folders()->data);
    TToolBrowser browser;
    return tokens.SignIn().SignIn(account->alias, account->popUserName, tokens.Registration(account->oauthProvider),
                                  browser)
               ? kExitOk
               : kExitFailed;
}

// "TLS", or "TLS/STARTTLS" when the SMTP server is secured its own way.
std::string SecurityText(const TAccount& a) {
    std::string text(security::Name(a.Security()));
    if (a.SmtpSecurity() != a.Security()) text += "/" + std::string(security::Name(a.SmtpSecurity()));
    return text;
}

}  // namespace

int AccountsCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"accounts: no arguments expected"};
    std::optional<TAccountList> list;
    if (!LoadAccounts(ctx, list)) return kExitFailed;
    for (const auto& a : list->Accounts())
        PrintLine(a.alias + "\t" + a.popServer + "\t" + a.smtpServer + "\t" + SecurityText(a));
    return kExitOk;
}

int AccountCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.empty()) throw TUsageError{"account: add, set, detect, rm or rename expected"};
    const std::string& verb = args[0];
    if (verb != "add" && verb != "set" && verb != "detect" && verb != "keyring" && verb != "oauth" && verb != "rm" &&
        verb != "rename")
        throw TUsageError{"account: unknown action \"" + verb + "\""};
    if (verb == "detect") {
        if (args.size() != 2) throw TUsageError{"account detect: one address expected"};
        return DetectAccountSettings(ctx, args[1]);
    }
    if (verb == "set" && args.size() < 2) throw TUsageError{"account set: an alias is needed"};
    if (verb == "keyring" && (args.size() != 2 || (args[1] != "on" && args[1] != "off" && args[1] != "status")))
        throw TUsageError{"account keyring: on, off or status expected"};
    if (verb == "rm" && args.size() != 2) throw TUsageError{"account rm: one alias expected"};
    if (verb == "rename" && args.size() != 3) throw TUsageError{"account rename: OLD NEW expected"};
    std::optional<TAccountList> list;
    if (!LoadAccounts(ctx, list)) return kExitFailed;
    if (verb == "add") return Add(ctx, *list, args);
    if (verb == "set") return Set(ctx, *list, args);
    if (verb == "keyring") return Keyring(ctx, *list, args[1]);
    if (verb == "oauth") {
        if (args.size() != 2 && !(args.size() == 4 && args[2] == "--provider"))
            throw TUsageError{"account oauth: ALIAS [--provider NAME] expected"};
        return SignIn(ctx, *list, args[1], args.size() == 4 ? args[3] : std::string());
    }
    const std::string alias = FromArg(args[1]);
    if (!list->Find(alias)) {
        std::cerr << "skfp-tool: no account named \"" << args[1] << "\"\n";
        return kExitFailed;
    }
    TBusyFlag listFill;
    if (verb == "rm") return list->Remove(alias, listFill, ctx.pump) ? kExitOk : kExitFailed;
    const std::string newAlias = FromArg(args[2]);
    if (list->Find(alias)->alias == newAlias) return kExitOk;
    if (!TAccountList::IsUsableAlias(newAlias) || !TAccountList::IsStorableField(newAlias)) {
        std::cerr << "skfp-tool: \"" << args[2] << "\" cannot name an account\n";
        return kExitFailed;
    }
    return list->Rename(alias, newAlias, ctx.prompt, listFill, ctx.pump) ? kExitOk : kExitFailed;
}
