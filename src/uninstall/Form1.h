#pragma once

#include <QDialog>

#include "Registrations.h"

class QPushButton;

// The uninstaller's one window: "&OK" removes the registrations and closes,
// "&Cancel" closes without changing anything.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(TRegistrations registrations, QWidget* parent = nullptr);

    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

private:
    void Uninstall();

    TRegistrations registrations_;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};
