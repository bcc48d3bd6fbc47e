#pragma once

#include <QDialog>

class ITelephony;
class IUserPrompt;
class QPushButton;
class TAddressList;
class TEditAndDial;
class TMemberBox;

// "Phone Dialer": a key pad, the number field PN with its dial button, and
// the chooser ToText of address-book members. Choosing a member (or typing
// a name and leaving the chooser) puts that member's number into PN; a name
// no member has exactly, letter case included, asks the user to add the
// member first. A dial hands PN's number to the desktop's dialer with the
// chooser's name as the called party. The window is not modal and deletes
// itself when closed; several may be open.
class TPhoneDialer : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kIncorrectUser =
        "You have entered an incorrect User.\rPlease add this member to your address book.";

    TPhoneDialer(const TAddressList& book, ITelephony* telephony, IUserPrompt& prompt, QWidget* parent = nullptr);

    // Fills ToText with the member names in book order (its text stays) and
    // runs the lookup: at opening and after the book changed.
    void Refresh();
    // The member of ToText's text: its number into PN, or the box. Nothing
    // happens while ToText is empty.
    void Lookup();

    TEditAndDial* PN = nullptr;
    TMemberBox* ToText = nullptr;
    QPushButton* Finished = nullptr;
    // "1" ... "9", "0", "*", "#", in key pad order.
    QList<QPushButton*> Keys;

private:
    void KeyPressed(const QString& key);

    const TAddressList& book_;
    IUserPrompt& prompt_;
};
