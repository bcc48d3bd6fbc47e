#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/Folders.h"
#include "app/gui/MainPage.h"

class QLabel;
class QProgressBar;
class QTabWidget;
class TFMListView;
class TIniFile;
class IUserPrompt;
class TMailPage;
class TMailCommands;
class TMailboxPorts;
class TMailCheckController;
class TTrayIcon;
class QMenu;
class TListPage;
class TListPages;
class TMessageMenu;
class TSetupCommands;
struct TPreferences;
class TMessageWindows;
class TMessageOpener;
class TSendRunner;
class TTransferState;
class TMailStore;
class TMainActions;
class TMainToolbar;
class TPopupMenus;
class TPrintService;
class THelpWindow;
class TMessageSearch;
class TSearchBar;
class TWindowFilterActions;
class IFileChooser;
class IFilterActions;
class TRichSpell;
class ITelephony;
class TPhoneDialers;

// The main window, "Control Center": tool bar, menus, the five pages and the
// status line. It coordinates and holds no page logic: every shared command
// (New, Edit/View, Rename, Delete, Import, Export, Print, Select All) of the
// menus, the tool bar and the pop-ups goes to the page showing, and their
// enabled states follow that page's answers.
class TControlCenter : public QMainWindow {
    Q_OBJECT

public:
    TControlCenter(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, QWidget* parent = nullptr);
    ~TControlCenter() override;

    // Brings the window into its saved state and shows or hides it, as the
    // last steps of start-up do.
    void Initialise();
    // The store whose tree and mailboxes the window shows; set before
    // Initialise. Without one the pages stay empty. The store must outlive
    // the window (or be replaced while both exist).
    void SetStore(TMailStore& store);
    // Run as the last step of start-up: the processing of downloads an
    // earlier run left over.
    void SetLeftoverProcessing(std::function<void()> start) { startProcessing_ = std::move(start); }
    TMailCommands* Commands() const { return commands_; }
    TMailboxPorts* Ports() const { return ports_; }
    // Mail checks, the busy state of mail operations and "Stop".
    TMailCheckController& MailOperations() const { return *mailOps_; }
    // The tray icon and its menu "TrayPopup".
    TTrayIcon& Tray() const { return *tray_; }
    QMenu* TrayPopup() const { return trayPopup_; }
    // The tray's click and its "Show": the window comes back in normal state
    // in front.
    void ShowFromTray();
    // A later copy's request waits in "Command": it is taken (done is then
    // called, which lets that copy end) and acted on.
    void TakeHandOver(const std::function<void()>& done);
    // The open message windows, one per record.
    TMessageWindows& Windows() const { return *windows_; }
    // The print service every window prints through.
    TPrintService& Printing() const { return *printing_; }
    // What filters do from this window (valid after SetStore).
    IFilterActions& FilterActions() const;
    // The open and save dialogs of import and export; tests put their own.
    IFileChooser& FileChooser() const { return *chooser_; }
    // Shows the help file beside the program, at the heading named (the top
    // when empty); a box says so when there is no help file.
    void ShowHelp(const QString& heading = {});
    void SetFileChooser(std::unique_ptr<IFileChooser> chooser);
    // File, Import and the "Import" button's items: show the window, turn to
    // the page of tab index and import for it.
    void ImportFor(int index);
    // The "Import" button and "&Import" of the pop-ups: the page showing
    // imports, or "Mail Messages" a message file when it has no import.
    void ImportOnPage();
    // Find Message (valid after SetStore).
    TMessageSearch* Search() const { return search_; }
    TSearchBar* SearchBar() const { return searchBar_; }
    // Opens messages in their windows and makes new ones; exists after
    // SetStore.
    TMessageOpener* Opener() const { return opener_; }
    // The window side of sending.
    TSendRunner* Sender() const { return sender_; }

    // The page object of a tab (0 "Mail Messages" ... 4 "Internet Servers"),
    // null for the mail page until SetStore.
    TMainPage* Page(int index) const;
    // The page of the tab showing.
    TMainPage* CurrentPage() const;
    // Puts page in place of the page object of tab index; its widget takes
    // the tab when it is another one. The window takes ownership. This is
    // how a page with rows and dialogs replaces an empty list page.
    void SetPage(int index, TMainPage* page);
    // The actions, buttons and pop-up items of a shared command follow the
    // page showing; called whenever that page says its answers changed.
    void UpdateCommands();
    // Runs a shared command on the page showing, when it is enabled there.
    void RunCommand(TPageCommand command);
    // The menu and tool-bar actions of a shared command.
    QList<QAction*> ActionsOf(TPageCommand command) const;
    TMailStore* Store() const { return store_; }
    // The address book, signature, filter and account pages with their
    // rows; made by SetStore.
    TListPages* ListPages() const { return listPages_; }
    // The first run: the preferences dialog before the window shows (with
    // the new-account dialog first while there is no account).
    void RunFirstRun();
    // The timer of timed mail checks; its period follows "Pop Settings" /
    // "Interval".
    QTimer& InternetTimer();
    // The error shown when the main dictionary is missing.
    static std::string MissingDictionaryMessage();
    // The spell checker every composer checks its body with; it lives as long
    // as the window, so its dictionaries stay open and its "Ignore All" and
    // "Change All" decisions hold for the whole run.
    TRichSpell& Spell() const { return *spell_; }

    // Where the phone dialers and the member dialog place calls: the
    // desktop's dialer unless a test puts its own.
    ITelephony& Telephony() const { return *telephony_; }
    void SetTelephony(std::unique_ptr<ITelephony> telephony);
    // Utilities, "Phone Dialer" (Ctrl+D); exists after SetStore.
    TPhoneDialers* PhoneDialers() const { return phoneDialers_; }

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
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BuildPages();
    void BuildStatusLine();
    void BuildTray();
    void WireCommands();
    void WirePages();
    void RestoreGeometry();
    void RestoreColumnWidths();
    void SaveColumnWidths();
    // The request given at start-up; true when it asks for a check.
    bool ActOnCommandRequest();
    // Makes the new message of a "mailto:" request.
    void WriteTo(const std::string& address);
    void ApplyPreviewSwitch(bool checked);
    void WireListPages();
    // What the preferences dialog changes at once: menus, hints, check period.
    void ApplyPreferences(const TPreferences& values);
    void SetCheckInterval(int minutes);
    void ShowAbout();
    // Writes "Window State", and "Top", "Left", "Width" and "Height" while
    // the window shows in normal state.
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
    TRichSpell* spell_ = nullptr;
    QProgressBar* progress_ = nullptr;
    // Moves and resizes come in bursts while the user drags; the geometry is
    // written once the burst is over.
    QTimer geometryTimer_;
    TListPages* listPages_ = nullptr;
    TSetupCommands* setupCommands_ = nullptr;
    TMessageMenu* messageMenu_ = nullptr;
    bool closing_ = false;
    TMailStore* store_ = nullptr;
    // The status line's listener on the store's new-mail tip; taken off when
    // the window goes or shows another store, since the store may outlive it.
    int tipListener_ = -1;
    TMailCommands* commands_ = nullptr;
    TMailboxPorts* ports_ = nullptr;
    TMessageWindows* windows_ = nullptr;
    TMessageSearch* search_ = nullptr;
    TSearchBar* searchBar_ = nullptr;
    std::unique_ptr<TPrintService> printing_;
    THelpWindow* help_ = nullptr;  // made at the first request, a child window
    std::unique_ptr<IFileChooser> chooser_;
    std::unique_ptr<TWindowFilterActions> filterActions_;
    TTransferState* transfers_ = nullptr;
    TMailCheckController* mailOps_ = nullptr;
    TTrayIcon* tray_ = nullptr;
    QMenu* trayPopup_ = nullptr;
    TSendRunner* sender_ = nullptr;
    TMessageOpener* opener_ = nullptr;
    std::unique_ptr<ITelephony> telephony_;
    TPhoneDialers* phoneDialers_ = nullptr;
    // The page object of each tab, in tab order.
    QList<TMainPage*> pageObjects_;
    std::function<void()> startProcessing_;
};
