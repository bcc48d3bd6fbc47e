#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;
class QPushButton;

// The account chooser of "Check Mail" when there are several accounts: the
// aliases as large icons, sorted, several selectable. "&Start" (or a double
// click) hands the selected aliases, in the list's order, to whoever
// listens and closes; "&Close" and Esc only close. Not modal, stays on top,
// freed when closed.
class TCheckAccounts : public QDialog {
    Q_OBJECT

public:
    TCheckAccounts(const QStringList& aliases, QWidget* parent = nullptr);

    QListWidget* AccountsBox() const { return box_; }
    QPushButton* StartButton() const { return start_; }
    QPushButton* CloseButton() const { return close_; }
    // Selected aliases in the order they show.
    QStringList Selected() const;

signals:
    void Start(const QStringList& aliases);

private:
    void StartSelected();

    QListWidget* box_;
    QPushButton* start_;
    QPushButton* close_;
};
