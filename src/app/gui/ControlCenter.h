#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>

#include "app/Folders.h"

class QLabel;
class QProgressBar;
class QTabWidget;
class TFMListView;
class TIniFile;
class IUserPrompt;
class TMailPage;
class TMailCommands;
class TMailStore;
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
    // The store whose tree and mailboxes the window shows; set before
    // Initialise. Without one the pages stay empty.
    void SetStore(TMailStore& store);
    // Run as the last step of start-up: the processing of downloads an
    // earlier run left over.
    void SetLeftoverProcessing(std::function<void()> start) { startProcessing_ = std::move(start); }
    TMailCommands* Commands() const { return commands_; }
    TMailStore* Store() const { return store_; }
    // The error shown when the main dictionary is missing.
    static std::string MissingDictionaryMessage();

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
    TMailStore* store_ = nullptr;
    TMailCommands* commands_ = nullptr;
    std::function<void()> startProcessing_;
};
