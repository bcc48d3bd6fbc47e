#pragma once

#include <QToolBar>

#include "app/gui/ToolButton.h"

class QAction;
class QToolButton;
class TMainActions;

// The main window's twelve buttons, a picture above each caption. Every
// button but "Import" and "Setup" (which open their menus) shows an action
// of its own, named after the button with "Action" appended; the window
// wires and enables those actions with the menu commands of the same work.
class TMainToolbar : public QToolBar {
    Q_OBJECT

public:
    TMainToolbar(TMainActions& actions, QWidget* parent);

    // Hints of every button but "Stop".
    void SetHintsVisible(bool visible);
    // The picture of "Empty": an empty or a full trash can.
    void SetTrashFull(bool full);

    QToolButton* Button(const QString& name) const;

    TToolButton* BNewStickit;
    TToolButton* BView;
    TToolButton* BPrint;
    TToolButton* BRename;
    TToolButton* BDelete;
    TToolButton* BImport;
    TToolButton* BExport;
    TToolButton* BFind;
    TToolButton* MailCheck;
    TToolButton* CancelMail;
    TToolButton* BTrash;
    TToolButton* BSetup;

private:
    TToolButton* Add(const char* name, const char* caption, const char* hint, const char* icon, int fallback,
                     bool withAction = true);
};
