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

namespace {

constexpr const char* kAccountSections[] = {cfg::kServerSecuritySection, cfg::kPopCertificatesSection,
                                            cfg::kSmtpCertificatesSection};

// Writes a value, or removes the key when there is none; false on a failed
// write.
bool StoreOrDrop(TIniFile& ini, const char* section, const std::string& key, const std::string& value) {
    if (value.empty()) return !ini.HasKey(section, key) || ini.DeleteKey(section, key);
    if (ini.HasKey(section, key) && ini.ReadString(section, key, "") == value) return true;
    return ini.WriteString(section, key, value);
}

}  // namespace

TAccountList TAccountList::Read(std::string dataFolder) {
    TAccountList list(std::move(dataFolder));
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
    for (auto& a : accounts_) {
        if (ini.HasKey(cfg::kServerSecuritySection, a.alias))
            a.security = security::Parse(ini.ReadString(cfg::kServerSecuritySection, a.alias, ""));
        a.popFingerprint = ini.ReadString(cfg::kPopCertificatesSection, a.alias, "");
        a.smtpFingerprint = ini.ReadString(cfg::kSmtpCertificatesSection, a.alias, "");
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

bool TAccountList::Save(TBusyFlag& listFill, IEventPump& pump) const {
    std::vector<TListRow> rows;
    rows.reserve(accounts_.size());
    for (const auto& a : accounts_)
        rows.push_back(
            {a.alias, {a.popServer, a.smtpServer, a.popUserName, a.popPassword, a.returnAddress, a.nickname}});
    if (!listfile::Write(ListPath(), rows, listFill, pump)) return false;
    return SaveSettings();
}

bool TAccountList::SaveSettings() const {
    TIniFile ini(ConfigPath());
    bool ok = true;
    for (const auto& a : accounts_) {
        ok = StoreOrDrop(ini, cfg::kServerSecuritySection, a.alias,
                         a.security ? std::string(security::Name(*a.security)) : std::string()) &&
             ok;
        ok = StoreOrDrop(ini, cfg::kPopCertificatesSection, a.alias, a.popFingerprint) && ok;
        ok = StoreOrDrop(ini, cfg::kSmtpCertificatesSection, a.alias, a.smtpFingerprint) && ok;
    }
    return ok;
}

void TAccountList::DropSettings(std::string_view alias) const {
    TIniFile ini(ConfigPath());
    for (const char* section : kAccountSections)
        while (ini.HasKey(section, alias))
            if (!ini.DeleteKey(section, alias)) break;
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
