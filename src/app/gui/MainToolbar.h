#pragma once

#include <QToolBar>

class QToolButton;
class TMainActions;

// The main window's twelve buttons, a picture above each caption.
class TMainToolbar : public QToolBar {
    Q_OBJECT

public:
    TMainToolbar(TMainActions& actions, QWidget* parent);

    // Hints of every button but "Stop".
    void SetHintsVisible(bool visible);
    // The picture of "Empty": an empty or a full trash can.
    void SetTrashFull(bool full);

    QToolButton* Button(const QString& name) const;

    QToolButton* BNewStickit;
    QToolButton* BView;
    QToolButton* BPrint;
    QToolButton* BRename;
    QToolButton* BDelete;
    QToolButton* BImport;
    QToolButton* BExport;
    QToolButton* BFind;
    QToolButton* MailCheck;
    QToolButton* CancelMail;
    QToolButton* BTrash;
    QToolButton* BSetup;

private:
    QToolButton* Add(const char* name, const char* caption, const char* hint, const char* icon, int fallback);
};
