#pragma once

#include "compose/gui/MessagePad.h"

class QAction;
class QLineEdit;
class QToolButton;

// The reader: a received or answered message with its correspondent,
// recipients and date, a read-only body that "Edit" makes editable, and the
// answers: Reply (the body quoted), Forward (the attachments carried), the
// sender into the address book, Print and Destroy.
class TFromPad : public TMessagePad {
    Q_OBJECT

public:
    TFromPad(IPadHost& host, int handle);

    void RecordChanged(int handle) override;

    void Reply();
    void Forward();
    void ToggleEdit();

    QLineEdit* FromText() const { return fromText_; }
    QLineEdit* FromToText() const { return fromToText_; }
    QLineEdit* FromDate() const { return fromDate_; }
    QAction* reply;
    QAction* forward;
    QAction* edit;
    QAction* print;
    QAction* trash;
    QAction* addSender;
    QAction* undo;
    QAction* cut;
    QAction* paste;
    QAction* remove;

private:
    void Fill();
    void BuildMenu();

    QLineEdit* fromToText_;
    QLineEdit* fromText_;
    QLineEdit* fromDate_;
};
