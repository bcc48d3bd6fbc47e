#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class ITelephony;
class IUserPrompt;
class QWidget;
class TAddressList;
class TPhoneDialer;

// The main window's phone dialers: "Phone Dialer" opens a new one each time,
// and every open one follows the address book. Changes come in bursts (an
// "&Apply" followed by "&Close" writes the same member twice), so the
// dialers refresh once the burst is over, and ask at most once about a name
// that went away.
class TPhoneDialers : public QObject {
    Q_OBJECT

public:
    TPhoneDialers(const TAddressList& book, IUserPrompt& prompt, QWidget* window);

    // Calls go here; the window keeps it for the run (null: no dialing).
    void SetTelephony(ITelephony* telephony) { telephony_ = telephony; }

    TPhoneDialer* Open();
    // The address book changed: every open dialer refreshes soon.
    void BookChanged();
    QList<TPhoneDialer*> OpenDialers() const;

private:
    void RefreshAll();

    const TAddressList& book_;
    IUserPrompt& prompt_;
    QWidget* window_;
    ITelephony* telephony_ = nullptr;
    QList<QPointer<TPhoneDialer>> dialers_;
    QTimer refresh_;
};
