#pragma once

#include <QMainWindow>
#include <QTimer>

#include "app/Folders.h"

class QLabel;
class QProgressBar;
class QTabWidget;
class TFMListView;
class TIniFile;
class IUserPrompt;
class TMailPage;
class TMainActions;
class TMainToolbar;
class TPopupMenus;

// The main window, "Control Center": tool bar, menus, the five pages and the
// status line. It coordinates; each page and command group is its own class.
class TControlCenter : public QMainWindow {
    Q_OBJECT

public:
    TControlCenter(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, QWidget* parent = nullptr);

    // Brings the window into its saved state and shows or hides it, as the
    // last steps of start-up do.
    void Initialise();

    void SetStatusText(const QString& text);
    QString StatusText() const;
    QTabWidget* Pages() const { return pages_; }
    QProgressBar* Progress() const { return progress_; }
    TMailPage* MailPage() const { return mailPage_; }
    TMainActions& Actions() const { return *actions_; }
    TMainToolbar* Toolbar() const { return toolbar_; }
    TPopupMenus* Popups() const { return popups_; }
    // The five lists with the configuration sections of their column widths.
    QList<std::pair<TFMListView*, const char*>> Lists() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildPages();
    void BuildStatusLine();
    void WireCommands();
    void RestoreGeometry();
    void RestoreColumnWidths();
    void SaveColumnWidths();
    void ActOnCommandRequest();
    void ApplyPreviewSwitch(bool checked);
    void OpenHelp();
    void ShowAbout();
    // Writes "Top", "Left", "Width" and "Height" while the window shows in
    // normal state.
    void SaveGeometry();
    int WindowStateValue() const;

    TIniFile& config_;
    TFolders folders_;
    IUserPrompt& prompt_;
    TMainActions* actions_ = nullptr;
    TMainToolbar* toolbar_ = nullptr;
    TPopupMenus* popups_ = nullptr;
    QTabWidget* pages_ = nullptr;
    TMailPage* mailPage_ = nullptr;
    TFMListView* addressList_ = nullptr;
    TFMListView* signatureList_ = nullptr;
    TFMListView* filtersBox_ = nullptr;
    TFMListView* accounts_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    // Moves and resizes come in bursts while the user drags; the geometry is
    // written once the burst is over.
    QTimer geometryTimer_;
    bool closing_ = false;
};
