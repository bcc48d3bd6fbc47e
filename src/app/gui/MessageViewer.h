#pragma once

#include "app/gui/MessageWindow.h"
#include "compose/gui/FMViewer.h"

class TMailStore;

// A record shown read-only in the file viewer, in its own window: what the
// reader and composer windows will be until they exist. It follows its
// record's subject and body.
class TMessageViewer : public TFMViewer, public IMessageWindow {
    Q_OBJECT

public:
    TMessageViewer(TMailStore& store, int handle, QWidget* parent);

    QWidget* Widget() override { return this; }
    void RecordChanged(int handle) override;

    // Fills a text box with the body of a record: rich text as such, plain
    // text as it is; empty when the body cannot be read.
    static void ShowBody(TMailStore& store, int handle, class QTextEdit& box);

private:
    void Fill();

    TMailStore& store_;
    int handle_;
};
