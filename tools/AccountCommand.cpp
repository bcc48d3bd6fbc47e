#include <iostream>
#include <string>

#include "Tool.h"
#include "common/BusyFlag.h"
#include "config/AccountList.h"
#include "transport/Fingerprint.h"

namespace {

bool LoadAccounts(TToolContext& ctx, std::optional<TAccountList>& list) {
    const TFolders* folders = ctx.Folders();
    if (!folders) return false;
    list.emplace(TAccountList::Read(folders->data));
    return true;
}

int Add(TToolContext& ctx, TAccountList& list, const TToolArgs& args) {
    if (args.size() < 2) throw TUsageError{"account add: an alias is needed"};
    TAccount account;
    account.alias = FromArg(args[1]);
    // Like a new account of the window: today's providers take mail only
    // over TLS; --security none says so when a server really has none.
    account.security = TSecurity::Tls;
    for (std::size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--password-stdin") {
            // Keeps the password off the command line, where every user of
            // the machine can read it in the process list.
            std::string line;
            if (!std::getline(std::cin, line)) throw TUsageError{"account add: --password-stdin read no line"};
            if (!line.empty() && line.back() == '\r') line.pop_back();
            account.popPassword = FromArg(line);
            continue;
        }
        if (i + 1 >= args.size()) throw TUsageError{"account add: " + args[i] + " needs a value"};
        const std::string value = FromArg(args[i + 1]);
        const std::string& option = args[i++];
        if (option == "--pop")
            account.popServer = value;
        else if (option == "--smtp")
            account.smtpServer = value;
        else if (option == "--user")
            account.popUserName = value;
        else if (option == "--pass")
            account.popPassword = value;
        else if (option == "--return")
            account.returnAddress = value;
        else if (option == "--nick")
            account.nickname = value;
        else if (option == "--security") {
            account.security = security::Parse(value);
            if (!account.security) throw TUsageError{"account add: --security is none, starttls or tls"};
        } else if (option == "--trust-fingerprint") {
            // The one certificate the user checked by other means; the same
            // host often serves both protocols with it.
            const std::string fingerprint = fingerprint::Normalize(value);
            if (fingerprint.empty())
                throw TUsageError{"account add: --trust-fingerprint takes a SHA-256 fingerprint (64 hex digits)"};
            account.popFingerprint = account.smtpFingerprint = fingerprint;
        } else
            throw TUsageError{"account add: unknown option \"" + option + "\""};
    }
    for (const auto* field : {&account.alias, &account.popServer, &account.smtpServer, &account.popUserName,
                              &account.popPassword, &account.returnAddress, &account.nickname})
        if (!TAccountList::IsStorableField(*field)) {
            std::cerr << "skfp-tool: account fields cannot hold line breaks or the byte 0x01\n";
            return kExitFailed;
        }
    if (!TAccountList::IsUsableAlias(account.alias)) {
        std::cerr << "skfp-tool: an alias must not be empty nor hold \"/\"\n";
        return kExitFailed;
    }
    if (list.Find(account.alias)) {
        std::cerr << "skfp-tool: an account named \"" << args[1] << "\" exists already\n";
        return kExitFailed;
    }
    list.Add(std::move(account));
    TBusyFlag listFill;
    if (!list.Save(listFill, ctx.pump)) {
        std::cerr << "skfp-tool: could not write " << list.ListPath() << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

int AccountsCommand(TToolContext& ctx, const TToolArgs& args) {
    if (!args.empty()) throw TUsageError{"accounts: no arguments expected"};
    std::optional<TAccountList> list;
    if (!LoadAccounts(ctx, list)) return kExitFailed;
    for (const auto& a : list->Accounts()) PrintLine(a.alias + "\t" + a.popServer + "\t" + a.smtpServer);
    return kExitOk;
}

int AccountCommand(TToolContext& ctx, const TToolArgs& args) {
    if (args.empty()) throw TUsageError{"account: add, rm or rename expected"};
    const std::string& verb = args[0];
    if (verb != "add" && verb != "rm" && verb != "rename")
        throw TUsageError{"account: unknown action \"" + verb + "\""};
    if (verb == "rm" && args.size() != 2) throw TUsageError{"account rm: one alias expected"};
    if (verb == "rename" && args.size() != 3) throw TUsageError{"account rename: OLD NEW expected"};
    std::optional<TAccountList> list;
    if (!LoadAccounts(ctx, list)) return kExitFailed;
    if (verb == "add") return Add(ctx, *list, args);
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
