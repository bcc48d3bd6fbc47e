#include "app/gui/ListPages.h"

#include <QTabWidget>

#include "app/gui/AccountPage.h"
#include "app/gui/AddressPage.h"
#include "app/gui/FMListView.h"
#include "app/gui/FilterPage.h"
#include "app/gui/SignaturePage.h"
#include "book/AddressList.h"
#include "book/FilterList.h"
#include "book/gui/AddressListModel.h"
#include "book/gui/FilterListModel.h"
#include "common/FileUtil.h"
#include "common/gui/QtText.h"
#include "compose/SignatureList.h"
#include "compose/gui/SignatureListModel.h"
#include "config/AccountList.h"
#include "config/ConfigKeys.h"
#include "config/gui/AccountListModel.h"
#include "config/gui/KeychainStore.h"
#include "store/MailboxTree.h"

namespace {

QStringList Names(const std::vector<std::string>& names) {
    QStringList out;
    for (const auto& n : names) out << qttext::FromStored(n);
    return out;
}

}  // namespace

struct TListPages::Parts {
    Parts(const TFolders& folders, TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt)
        : data(folders.data),
          secrets(cfg::kKeyringService),
          accounts(folders.data, &secrets),
          bookModel(book, {fileutil::FindNoCase(folders.data, cfg::kAddressFile), listFill, pump, prompt}),
          signatureModel(signatures, {fileutil::FindNoCase(folders.data, cfg::kSignatureFile), listFill, pump, prompt}),
          filterModel(filters, {fileutil::FindNoCase(folders.data, cfg::kFilterFile), listFill, pump, prompt}),
          accountModel(accounts, listFill, pump, prompt) {}

    std::string data;
    TAddressList book;
    TSignatureList signatures;
    TFilterList filters;
    TKeychainStore secrets;
    TAccountList accounts;
    TAddressListModel bookModel;
    TSignatureListModel signatureModel;
    TFilterListModel filterModel;
    TAccountListModel accountModel;
};

TListPages::TListPages(const TViews& views, QTabWidget& tabs, const TFolders& folders, const TMailboxTree& tree,
                       TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt, QObject* parent)
    : QObject(parent), parts_(std::make_unique<Parts>(folders, listFill, pump, prompt)) {
    const auto chooser = [this](QWidget* p, const QString& title, const QString& folder, const QString& filter) {
        return chooser_(p, title, folder, filter);
    };
    addressPage_ = new TAddressPage(
        views.addressList, parts_->bookModel, [this] { return SignatureNames(); }, chooser, this);
    signaturePage_ = new TSignaturePage(views.signatureList, parts_->signatures, parts_->signatureModel, chooser, this);
    filterPage_ = new TFilterPage(
        views.filtersBox, parts_->filterModel, [&tree] { return Names(tree.Names()); },
        [this] { return MemberNames(); }, this);
    QWidget* accountsTab = views.accounts;
    accountPage_ = new TAccountPage(
        views.accounts, parts_->accountModel, prompt, [&tabs, accountsTab] { tabs.setCurrentWidget(accountsTab); },
        this);
    connect(&parts_->bookModel, &TListRowsModel::Changed, this, &TListPages::AddressBookChanged);
    connect(addressPage_, &TAddressPage::MemberApplied, this, &TListPages::AddressBookChanged);
    connect(&parts_->signatureModel, &TListRowsModel::Renamed, this, &TListPages::SignatureRenamed);
    connect(&parts_->signatureModel, &TListRowsModel::Changed, this, &TListPages::SignaturesChanged);
    connect(&parts_->filterModel, &TListRowsModel::Changed, this, &TListPages::FiltersChanged);
    connect(&parts_->accountModel, &TAccountListModel::Changed, this, &TListPages::AccountsChanged);
}

TListPages::~TListPages() = default;

void TListPages::Load() {
    parts_->bookModel.Load();
    parts_->signatureModel.Load();
    parts_->filterModel.Load();
    parts_->accountModel.Reload();
}

void TListPages::SetTelephony(ITelephony* telephony) { addressPage_->SetTelephony(telephony); }

const TAddressList& TListPages::Book() const { return parts_->book; }
const TSignatureList& TListPages::Signatures() const { return parts_->signatures; }
const TFilterList& TListPages::Filters() const { return parts_->filters; }
const TAccountList& TListPages::Accounts() const { return parts_->accounts; }
QStringList TListPages::MemberNames() const { return Names(parts_->book.Names()); }
QStringList TListPages::SignatureNames() const { return Names(parts_->signatures.Names()); }
