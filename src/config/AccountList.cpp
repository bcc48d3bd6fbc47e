#include "config/AccountList.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/ListFile.h"
#include "common/ListName.h"
#include "common/TextUtil.h"
#include "common/UniqueName.h"
#include "common/UserPrompt.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "config/SecretStore.h"

namespace {

constexpr const char* kAccountSections[] = {cfg::kServerSecuritySection, cfg::kSmtpSecuritySection,
                                            cfg::kPopCertificatesSection, cfg::kSmtpCertificatesSection,
                                            cfg::kOAuthSection};

// The key an account's settings go under in "Internet.ini": the alias
// itself, as always, when the file's reader gives it back unchanged. An alias
// it would trim, split or take for a comment or a section ("Work ", "a=b",
// ";x", "[x") is written with those characters as %XX after a leading "%";
// so is any alias starting with "%", so the two forms never meet.
bool NeedsEscape(unsigned char c) {
    return c < 0x20 || c == 0x7F || c == ' ' || c == '\t' || c == '=' || c == ';' || c == '[' || c == ']' ||
           c == '%' || c == '#';
}

bool IsPlainKey(std::string_view alias) {
    if (alias.empty() || alias.front() == '%' || alias.front() == ';' || alias.front() == '[' ||
        alias.front() == '#')
        return false;
    if (alias.front() == ' ' || alias.back() == ' ' || alias.front() == '\t' || alias.back() == '\t') return false;
    for (const unsigned char c : alias)
        if (c < 0x20 || c == '=') return false;
    return true;
}

std::string SettingKey(std::string_view alias) {
    if (IsPlainKey(alias)) return std::string(alias);
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string key = "%";
    for (const unsigned char c : alias) {
        if (NeedsEscape(c)) {
            key += '%';
            key += kHex[c >> 4];
            key += kHex[c & 15];
        } else {
            key += static_cast<char>(c);
        }
    }
    return key;
}

// Reads a setting of an alias; an alias starting with "%" that an older
// version kept under its plain form is still found there.
std::string ReadSetting(const TIniFile& ini, const char* section, std::string_view alias, bool& found) {
    const std::string key = SettingKey(alias);
    found = ini.HasKey(section, key);
    if (found) return ini.ReadString(section, key, "");
    if (alias.front() == '%' && IsPlainKey(alias.substr(1)) && ini.HasKey(section, alias)) {
        found = true;
        return ini.ReadString(section, alias, "");
    }
    return {};
}

// Writes a value, or removes the key when there is none; false on a failed
// write.
bool StoreOrDrop(TIniFile& ini, const char* section, const std::string& key, const std::string& value) {
    if (value.empty()) return !ini.HasKey(section, key) || ini.DeleteKey(section, key);
    if (ini.HasKey(section, key) && ini.ReadString(section, key, "") == value) return true;
    return ini.WriteString(section, key, value);
}

}  // namespace

TAccountList TAccountList::Read(std::string dataFolder, ISecretStore* secrets) {
    TAccountList list(std::move(dataFolder), secrets);
    list.Load();
    return list;
}

void TAccountList::Load() {
    accounts_.clear();
    for (const auto& row : listfile::Read(ListPath())) {
        TAccount a;
        a.alias = row.caption;
        a.popServer = row.SubItem(0);
        a.smtpServer = row.SubItem(1);
        a.popUserName = row.SubItem(2);
        a.popPassword = row.SubItem(3);
        a.returnAddress = row.SubItem(4);
        a.nickname = row.SubItem(5);
        accounts_.push_back(std::move(a));
    }
    const TIniFile ini(ConfigPath());
    inStore_.clear();
    // An empty password field may stand for one in the keyring.
    const bool store = StoreAnswers();
    for (auto& a : accounts_) {
        if (a.alias.empty()) continue;
        if (store && a.popPassword.empty()) {
            if (auto secret = secrets_->Read(SecretKey(a.alias))) {
                a.popPassword = *secret;
                inStore_[a.alias] = std::move(*secret);
            }
        }
        bool found = false;
        const std::string mode = ReadSetting(ini, cfg::kServerSecuritySection, a.alias, found);
        if (found) a.security = security::Parse(mode);
        const std::string smtpMode = ReadSetting(ini, cfg::kSmtpSecuritySection, a.alias, found);
        if (found) a.smtpSecurity = security::Parse(smtpMode);
        a.popFingerprint = ReadSetting(ini, cfg::kPopCertificatesSection, a.alias, found);
        a.smtpFingerprint = ReadSetting(ini, cfg::kSmtpCertificatesSection, a.alias, found);
        a.oauthProvider = ReadSetting(ini, cfg::kOAuthSection, a.alias, found);
    }
}

bool TAccountList::Save(TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt) const {
    errno = 0;
    if (Save(listFill, pump)) return true;
    // The writer has released the flag by now: the box may wait on the user.
    // A write refused before it began (the flag already held here) set no errno.
    prompt.Error(listname::SaveFailureText("internet servers", ListPath(), errno ? errno : EBUSY));
    return false;
}

bool TAccountList::StoreAnswers() const { return secrets_ && secrets_->Available(); }

bool TAccountList::PasswordsInStore() const {
    return StoreAnswers() && TIniFile(ConfigPath()).Read(cfg::PasswordsInKeyring);
}

std::string TAccountList::SecretKey(std::string_view alias) const {
    return dataFolder_ + std::string(alias);
}

std::string TAccountList::PasswordField(const TAccount& a, bool inStore) const {
    if (!inStore || a.alias.empty()) return a.popPassword;
    if (a.popPassword.empty()) {
        ForgetSecret(a.alias);
        return {};
    }
    const auto held = inStore_.find(a.alias);
    if (held != inStore_.end() && held->second == a.popPassword) return {};
    // A password the keyring refused stays in the file rather than be lost.
    if (!secrets_->Write(SecretKey(a.alias), a.popPassword)) return a.popPassword;
    inStore_[a.alias] = a.popPassword;
    return {};
}

void TAccountList::ForgetSecret(std::string_view alias) const {
    const auto held = inStore_.find(std::string(alias));
    if (held == inStore_.end() || !secrets_) return;
    if (secrets_->Remove(SecretKey(alias))) inStore_.erase(held);
}

bool TAccountList::Save(TBusyFlag& listFill, IEventPump& pump) const {
    const bool inStore = PasswordsInStore();
    std::vector<TListRow> rows;
    rows.reserve(accounts_.size());
    for (const auto& a : accounts_)
        rows.push_back({a.alias,
                        {a.popServer, a.smtpServer, a.popUserName, PasswordField(a, inStore), a.returnAddress,
                         a.nickname}});
    if (!listfile::Write(ListPath(), rows, listFill, pump)) return false;
    // The passwords are in the file now: the keyring's copies go, and so do
    // those of accounts no longer in the list.
    std::vector<std::string> gone;
    for (const auto& [alias, secret] : inStore_) {
        const bool listed = std::any_of(accounts_.begin(), accounts_.end(),
                                        [&](const TAccount& a) { return a.alias == alias; });
        if (!inStore || !listed) gone.push_back(alias);
    }
    for (const auto& alias : gone) ForgetSecret(alias);
    return SaveSettings();
}

bool TAccountList::SaveSettings() const {
    TIniFile ini(ConfigPath());
    bool ok = true;
    for (const auto& a : accounts_) {
        if (a.alias.empty()) continue;
        const std::string key = SettingKey(a.alias);
        ok = StoreOrDrop(ini, cfg::kServerSecuritySection, key,
                         a.security ? std::string(security::Name(*a.security)) : std::string()) &&
             ok;
        ok = StoreOrDrop(ini, cfg::kSmtpSecuritySection, key,
                         a.smtpSecurity ? std::string(security::Name(*a.smtpSecurity)) : std::string()) &&
             ok;
        ok = StoreOrDrop(ini, cfg::kPopCertificatesSection, key, a.popFingerprint) && ok;
        ok = StoreOrDrop(ini, cfg::kSmtpCertificatesSection, key, a.smtpFingerprint) && ok;
        ok = StoreOrDrop(ini, cfg::kOAuthSection, key, a.oauthProvider) && ok;
    }
    return ok;
}

void TAccountList::DropSettings(std::string_view alias) const {
    if (alias.empty()) return;
    TIniFile ini(ConfigPath());
    std::vector<std::string> keys{SettingKey(alias)};
    if (alias.front() == '%' && IsPlainKey(alias.substr(1))) keys.emplace_back(alias);  // an older version's
    for (const std::string& key : keys) {
        for (const char* section : kAccountSections)
            while (ini.HasKey(section, key))
                if (!ini.DeleteKey(section, key)) break;
    }
}

std::vector<std::string> TAccountList::Aliases() const {
    std::vector<std::string> out;
    for (const auto& a : accounts_) out.push_back(a.alias);
    return out;
}

std::vector<std::string> TAccountList::SmtpAliases() const {
    std::vector<std::string> out;
    for (const auto& a : accounts_)
        if (!a.smtpServer.empty()) out.push_back(a.alias);
    return out;
}

const TAccount* TAccountList::Find(std::string_view alias) const {
    const auto it = std::find_if(accounts_.begin(), accounts_.end(),
                                 [&](const TAccount& a) { return text::EqualsNoCase(a.alias, alias); });
    return it == accounts_.end() ? nullptr : &*it;
}

TAccount* TAccountList::Find(std::string_view alias) {
    return const_cast<TAccount*>(static_cast<const TAccountList*>(this)->Find(alias));
}

std::string TAccountList::NewAccountName() const { return uniquename::Make("New Account", Aliases()); }

TAccount& TAccountList::AddNew() {
    TAccount a;
    a.alias = NewAccountName();
    // Providers take mail only over TLS now.
    a.security = TSecurity::Tls;
    accounts_.push_back(std::move(a));
    return accounts_.back();
}

bool TAccountList::Rename(std::string_view oldAlias, std::string_view newAlias, IUserPrompt& prompt,
                          TBusyFlag& listFill, IEventPump& pump) {
    TAccount* account = Find(oldAlias);
    if (!account || account->alias == newAlias) return false;
    const TAccount* holder = Find(newAlias);
    if (holder && holder != account) {
        prompt.Error(std::string(kAppTitle) + " can not rename this account." + "\n\r" +
                     "Reason: Alias (Name) already in list" + "\n\r" + "Fix: Choose another Alias.");
        return false;
    }
    if (!listname::CheckStorable(newAlias, "account", prompt)) return false;
    // The alias names the account's seen file: it must stay inside the data folder.
    if (!IsUsableAlias(newAlias)) {
        prompt.Error(std::string(kAppTitle) + " can not rename this account." + "\n\r" +
                     "Reason: An account name names a file in the data folder; it can not hold \"/\" or be \".\" or "
                     "\"..\"." +
                     "\n\r" + "Fix: Choose another Alias.");
        return false;
    }
    // A change of letter case alone is a rename too: file names are
    // case-sensitive here, and the seen file must keep matching the alias.
    const std::string before = account->alias;
    account->alias = std::string(newAlias);
    // The settings kept under the old alias go with the account; keys differing
    // only in case name the same account, so they are dropped first.
    DropSettings(before);
    if (!Save(listFill, pump, prompt)) {
        account->alias = before;
        SaveSettings();
        return false;
    }
    // A seen file that cannot follow stays as it is.
    std::rename(SeenPath(before).c_str(), SeenPath(newAlias).c_str());
    return true;
}

bool TAccountList::Remove(std::string_view alias, TBusyFlag& listFill, IEventPump& pump) {
    const auto it = std::find_if(accounts_.begin(), accounts_.end(),
                                 [&](const TAccount& a) { return text::EqualsNoCase(a.alias, alias); });
    if (it == accounts_.end()) return false;
    std::remove(SeenPath(it->alias).c_str());
    DropSettings(it->alias);
    accounts_.erase(it);
    return Save(listFill, pump);
}

TAccountsCloseRefusal TAccountList::CheckClose(IUserPrompt& prompt) const {
    if (accounts_.size() != 1) return TAccountsCloseRefusal::None;
    if (accounts_.front().smtpServer.empty()) {
        prompt.Error(std::string(kAppTitle) + " needs a SMTP Server for only one account.");
        return TAccountsCloseRefusal::NeedsSmtpServer;
    }
    if (accounts_.front().popServer.empty()) {
        prompt.Error(std::string(kAppTitle) + " needs a POP3 Server for only one account.");
        return TAccountsCloseRefusal::NeedsPopServer;
    }
    return TAccountsCloseRefusal::None;
}

bool TAccountList::IsStorableField(std::string_view field) {
    return field.find_first_of(std::string_view("\x01\r\n", 3)) == std::string_view::npos;
}

bool TAccountList::IsUsableAlias(std::string_view alias) {
    return !text::Trim(alias).empty() && alias.find('/') == std::string_view::npos && alias != "." && alias != "..";
}

std::string TAccountList::ListPath() const { return fileutil::FindNoCase(dataFolder_, cfg::kServerFile); }

std::string TAccountList::ConfigPath() const { return fileutil::FindNoCase(dataFolder_, cfg::kConfigFile); }

std::string TAccountList::SeenPath(std::string_view alias) const {
    return dataFolder_ + fileutil::SafeStem(alias) + ".hf";
}
