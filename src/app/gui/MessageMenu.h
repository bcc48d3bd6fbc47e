#pragma once

#include <QObject>
#include <QStringList>

class QAction;
class QMenu;
class QToolButton;

// The drop-down of the "Message" button: "Default" and one entry per
// address-book member, in list order; with an empty address book the button
// has no menu and makes a message at a click, otherwise a click only opens
// the menu. It is rebuilt whenever the address book changes.
class TMessageMenu : public QObject {
    Q_OBJECT

public:
    // newMessage is the button's own command, which "Default" runs too.
    TMessageMenu(QToolButton* button, QAction* newMessage, QObject* parent);

    void Rebuild(const QStringList& members);

signals:
    // A member's entry: a new message to that member.
    void MemberChosen(const QString& member);

private:
    void FollowEnabled();

    QToolButton* button_;
    QAction* newMessage_;
    QMenu* menu_ = nullptr;
};
