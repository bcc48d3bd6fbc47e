#pragma once

#include <QObject>
#include <memory>

#include "app/Folders.h"
#include "common/gui/FileChooser.h"

class IEventPump;
class ITelephony;
class IUserPrompt;
class QMenu;
class QTabWidget;
class TAccountList;
class TAccountPage;
class TAddressList;
class TAddressPage;
class TBusyFlag;
class TFilterList;
class TFilterPage;
class TFMListView;
class TMailboxTree;
class TSignatureList;
class TSignaturePage;

// The four list pages of the main window with their rows: the address book,
// signatures, filters and accounts, each read from its list file at start-up
// and written at once after every change. The filters are the rows the
// processing of new mail applies; the "Message" button's member menu and the
// filter dialog's lists follow the address book and the mailbox tree.
class TListPages : public QObject {
    Q_OBJECT

public:
    struct TViews {
        TFMListView* addressList;
        TFMListView* signatureList;
        TFMListView* filtersBox;
        TFMListView* accounts;
    };

    TListPages(const TViews& views, QTabWidget& tabs, const TFolders& folders, const TMailboxTree& tree,
               TBusyFlag& listFill, IEventPump& pump, IUserPrompt& prompt, QObject* parent);
    ~TListPages() override;

    // Fills the lists from their files (start-up).
    void Load();

    TAddressPage& AddressPage() const { return *addressPage_; }
    TSignaturePage& SignaturePage() const { return *signaturePage_; }
    TFilterPage& FilterPage() const { return *filterPage_; }
    TAccountPage& AccountPage() const { return *accountPage_; }
    const TAddressList& Book() const;
    const TSignatureList& Signatures() const;
    const TFilterList& Filters() const;
    const TAccountList& Accounts() const;
    QStringList MemberNames() const;
    QStringList SignatureNames() const;

    // Where the member dialog's dial button calls.
    void SetTelephony(ITelephony* telephony);

    // Answers the tests in place of the desktop's file dialog.
    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

signals:
    void AddressBookChanged();
    void SignaturesChanged();
    // A signature's name changed (before SignaturesChanged).
    void SignatureRenamed(const QString& from, const QString& to);
    void FiltersChanged();
    void AccountsChanged();

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    TFileChooser chooser_ = filechooser::Desktop();
    TAddressPage* addressPage_ = nullptr;
    TSignaturePage* signaturePage_ = nullptr;
    TFilterPage* filterPage_ = nullptr;
    TAccountPage* accountPage_ = nullptr;
};
