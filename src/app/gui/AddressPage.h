#pragma once

#include <functional>

#include "app/gui/RowsPage.h"
#include "common/gui/FileChooser.h"

class ITelephony;
class TAddressListModel;

// The "Address Book" page: members in name order, the member dialog, and
// the import of another program's nickname file.
class TAddressPage : public TRowsPage {
    Q_OBJECT

public:
    // signatures gives the signature names the member dialog offers.
    TAddressPage(TFMListView* list, TAddressListModel& model, std::function<QStringList()> signatures,
                 TFileChooser chooser, QObject* parent);

    // Asks for a nickname file and adds its members.
    void ImportNicknames();
    // The member dialog's dial button calls through this (null: disabled).
    void SetTelephony(ITelephony* telephony) { telephony_ = telephony; }

    // A new member for the sender of a message (its From text), opened in
    // the member dialog: kept with "&Close", gone again otherwise.
    void AddSender(const std::string& from);

signals:
    // The member dialog wrote into a row ("&Apply" or "&Close"); the
    // windows that follow the book refresh.
    void MemberApplied();

protected:
    bool OpenDialog(int row) override;
    bool CanImport() const override { return true; }
    void Import() override { ImportNicknames(); }

private:
    TAddressListModel& book_;
    std::function<QStringList()> signatures_;
    TFileChooser chooser_;
    ITelephony* telephony_ = nullptr;
};
