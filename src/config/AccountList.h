#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/Account.h"

class IEventPump;
class ISecretStore;
class IUserPrompt;
class TBusyFlag;

// Why the accounts dialog may not close yet.
enum class TAccountsCloseRefusal { None, NeedsSmtpServer, NeedsPopServer };

// The accounts of "Internet.svr" in list order (the order a check over all
// accounts visits them), and the rules of adding, renaming and deleting.
// Each account's seen file (alias + ".hf") lives beside the list and follows
// its alias.
class TAccountList {
public:
    // With a secret store, the passwords live there while "Keyring" of
    // "[Passwords]" is on (the default) and the store answers: the file's
    // password fields stay empty, which older readers take as a password to
    // ask for. Without one, or with the setting off, they live in the file
    // (0600), and a save writes back what the store held.
    explicit TAccountList(std::string dataFolder, ISecretStore* secrets = nullptr)
        : dataFolder_(std::move(dataFolder)), secrets_(secrets) {}

    // The accounts of a data folder as its files hold them now: the one way
    // the program, the tool and a send read the list.
    static TAccountList Read(std::string dataFolder, ISecretStore* secrets = nullptr);
    // Replaces the rows with the file's; a missing file gives no accounts.
    // For a list that is kept (a page's, a check's) and read again.
    void Load();
    // Rewrites the file whole, and each account's security mode and trusted
    // certificates in "Internet.ini"; false when either could not be written.
    bool Save(TBusyFlag& listFill, IEventPump& pump) const;
    // Only the settings of "Internet.ini" (a certificate trusted during a
    // check or send).
    bool SaveSettings() const;
    // The same, reporting a failure with a box once the list-fill flag is free.
    bool Save(TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const;

    const std::vector<TAccount>& Accounts() const { return accounts_; }
    std::vector<std::string> Aliases() const;
    // The names of the accounts that have an SMTP server, in list order.
    std::vector<std::string> SmtpAliases() const;
    const TAccount* Find(std::string_view alias) const;
    TAccount* Find(std::string_view alias);

    // A name for a new account: "New Account", else "New Account (2)", ...
    std::string NewAccountName() const;
    // Appends an account named by NewAccountName() with empty fields.
    TAccount& AddNew();
    void Add(TAccount account) { accounts_.push_back(std::move(account)); }
    // Drops a row that was never written (a cancelled new account).
    void RemoveAt(std::size_t index) {
        if (index < accounts_.size()) accounts_.erase(accounts_.begin() + static_cast<std::ptrdiff_t>(index));
    }

    // The rename rule: another account holding the new alias (case ignored),
    // or an alias the file cannot keep or that would name a file outside the
    // data folder, shows a box and keeps the old one; otherwise the alias,
    // the file and the seen file's name change. False when nothing changed.
    bool Rename(std::string_view oldAlias, std::string_view newAlias, IUserPrompt& prompt, TBusyFlag& listFill,
                IEventPump& pump);
    // Removes an account with its seen file, and rewrites the file.
    bool Remove(std::string_view alias, TBusyFlag& listFill, IEventPump& pump);

    // Whether the dialog may close; shows the refusal's box.
    TAccountsCloseRefusal CheckClose(IUserPrompt& prompt) const;

    // A text can be stored in a field: no 0x01 and no line break.
    static bool IsStorableField(std::string_view field);
    // An alias also names files: not empty and without "/".
    static bool IsUsableAlias(std::string_view alias);

    ISecretStore* Secrets() const { return secrets_; }
    const std::string& DataFolder() const { return dataFolder_; }
    // Whether a save puts the passwords into the secret store.
    bool PasswordsInStore() const;
    // The store's key of an account's password: the data folder and the
    // alias, so two data folders never share one.
    std::string SecretKey(std::string_view alias) const;

    std::string ListPath() const;
    std::string ConfigPath() const;
    std::string SeenPath(std::string_view alias) const;

private:
    // Removes the "Internet.ini" keys of an alias.
    void DropSettings(std::string_view alias) const;

    bool StoreAnswers() const;
    // The file's password field of an account; puts the password into the
    // store when it goes there.
    std::string PasswordField(const TAccount& account, bool inStore) const;
    void ForgetSecret(std::string_view alias) const;

    std::string dataFolder_;
    ISecretStore* secrets_ = nullptr;
    std::vector<TAccount> accounts_;
    // The passwords the store holds for this list, by alias as stored: read
    // at load or written since. A save writes only what changed.
    mutable std::map<std::string, std::string> inStore_;
};
