#include "app/gui/ControlCenter.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QUrl>
#include <QWindowStateChangeEvent>

#include "app/CheckInterval.h"
#include "app/CommandRequest.h"
#include "app/gui/AccountPage.h"
#include "app/gui/AddressPage.h"
#include "app/gui/DialogFileChooser.h"
#include "app/gui/FMListView.h"
#include "app/gui/FilterPage.h"
#include "app/gui/HelpWindow.h"
#include "app/gui/HintTime.h"
#include "app/gui/ListPage.h"
#include "app/gui/ListPages.h"
#include "app/gui/MailCheckController.h"
#include "app/gui/MailCommands.h"
#include "app/gui/MailboxPorts.h"
#include "app/gui/MailPage.h"
#include "app/gui/MailboxTreeView.h"
#include "app/gui/MainActions.h"
#include "app/gui/MainToolbar.h"
#include "app/gui/MessageMenu.h"
#include "app/gui/MessageOpener.h"
#include "app/gui/MessageSearch.h"
#include "app/gui/MessageWindows.h"
#include "app/gui/PopupMenus.h"
#include "app/gui/PrintService.h"
#include "app/gui/SearchBar.h"
#include "app/gui/SendRunner.h"
#include "app/gui/SetupCommands.h"
#include "app/gui/SignaturePage.h"
#include "app/gui/ToolButton.h"
#include "app/gui/TransferState.h"
#include "app/gui/TrayIcon.h"
#include "app/gui/WindowFilterActions.h"
#include "common/AppTitle.h"
#include "compose/gui/FromPad.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/gui/FileDrag.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "config/Preferences.h"
#include "phone/gui/DesktopTelephony.h"
#include "phone/gui/PhoneDialers.h"
#include "spell/gui/RichSpell.h"
#include "store/MailStore.h"

namespace {
constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;
}  // namespace

// The maker's pages behind the web items of the Help menu.
constexpr const char* kSiteBase = "https://www.fenmarch.example/skiffpost/";

TControlCenter::TControlCenter(TIniFile& config, const TFolders& folders, IUserPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), config_(config), folders_(folders), prompt_(prompt) {
    printing_ = std::make_unique<TPrintService>(folders_.data, [this](const QString& text) { SetStatusText(text); });
    chooser_ = std::make_unique<TDialogFileChooser>();
    telephony_ = std::make_unique<TDesktopTelephony>();
    setObjectName(QStringLiteral("ControlCenter"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    // Hints of every window stay up for the same time while this one lives.
    qApp->installEventFilter(new THintTime(this));
    resize(738, 405);
    actions_ = new TMainActions(this);
    actions_->BuildMenus(menuBar());
    toolbar_ = new TMainToolbar(*actions_, this);
    addToolBar(Qt::TopToolBarArea, toolbar_);
    BuildPages();
    BuildStatusLine();
    transfers_ = new TTransferState(
        *toolbar_->CancelMail->defaultAction(), *progress_, [this](const QString& text) { SetStatusText(text); }, this);
    mailOps_ = new TMailCheckController(config_, prompt_, folders_.data, {toolbar_->MailCheck, actions_->checkMail},
                                        *transfers_, this);
    mailOps_->SetProcessing([this] {
        if (startProcessing_) startProcessing_();
    });
    mailOps_->SetNoAccounts([this] {
        pages_->setCurrentIndex(4);
        if (actions_->newServer->isEnabled()) actions_->newServer->trigger();
    });
    BuildTray();
    WireCommands();
    WirePages();
    spell_ = new TRichSpell(prompt_, this);
    spell_->DictionaryMain = folders_.resources + cfg::kMainDictionary;
    // The user's words go with the user's data: an installed program folder
    // is read-only.
    spell_->DictionaryUser = folders_.data + cfg::kUserDictionary;
    geometryTimer_.setSingleShot(true);
    geometryTimer_.setInterval(250);
    connect(&geometryTimer_, &QTimer::timeout, this, &TControlCenter::SaveGeometry);
}

// The pages and the tabs go with the widgets after this body has run; what
// they tell then has no one to hear it.
TControlCenter::~TControlCenter() {
    // Message windows save their edits through this window's services.
    if (windows_) windows_->CloseAll();
    if (store_ && tipListener_ >= 0) store_->Tip().RemoveListener(tipListener_);
    // Replaced pages waiting for their deletion are children too.
    for (TMainPage* page : findChildren<TMainPage*>()) disconnect(page, nullptr, this, nullptr);
    for (TMainPage* page : std::as_const(pageObjects_))
        if (page) disconnect(page, nullptr, this, nullptr);
    disconnect(pages_, nullptr, this, nullptr);
    pageObjects_.clear();
}

void TControlCenter::BuildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("Pages"));
    mailPage_ = new TMailPage(config_, pages_);
    pages_->addTab(mailPage_, QStringLiteral("Mail Messages"));
    const auto addList = [this](const char* page, const char* caption, const char* name, const QStringList& columns,
                                const QList<int>& widths) {
        auto* list = new TFMListView(pages_);
        list->setObjectName(QString::fromLatin1(name));
        list->setProperty("page", QString::fromLatin1(page));
        list->SetColumns(columns, widths);
        pages_->addTab(list, QString::fromLatin1(caption));
        return list;
    };
    addressList_ = addList("TabSheet2", "Address Book", "AddressList",
                           {"Member Name", "Email Address", "Phone Number", "Fax Number"}, {200, 200, 100, 100});
    signatureList_ = addList("TabSheet1", "Signature Files", "SignitureFiles", {"Signature Name"}, {300});
    filtersBox_ = addList("Filters", "Message Filters", "FiltersBox",
                          {"Filter Name", "In", "Out", "Move Message To", "Print Message To", "Send Message To"},
                          {200, 50, 50, 100, 100, 100});
    accounts_ = addList("TabSheet4", "Internet Servers", "Accounts", {"Server Name", "Pop Server", "SMTP Server"},
                        {200, 200, 200});
    setCentralWidget(pages_);
}

namespace {
// The tray's pictures: the program's own, and the one that says new mail
// waits.
QIcon TrayPicture(const std::string& resource) {
    if (resource == "NEWMAIL")
        return QIcon::fromTheme(QStringLiteral("mail-unread"),
                                QApplication::style()->standardIcon(QStyle::SP_MessageBoxInformation));
    return QIcon::fromTheme(QStringLiteral("mail-client"),
                            QApplication::style()->standardIcon(QStyle::SP_DriveNetIcon));
}
}  // namespace

void TControlCenter::BuildTray() {
    tray_ = new TTrayIcon(this);
    tray_->SetIcon(TrayPicture("MAINICON"));
    tray_->SetToolTip(QString::fromLatin1(kAppTitle));
    trayPopup_ = new QMenu(this);
    trayPopup_->setObjectName(QStringLiteral("TrayPopup"));
    QAction* show = trayPopup_->addAction(QStringLiteral("Show"));
    show->setObjectName(QStringLiteral("TrayShow"));
    trayPopup_->setDefaultAction(show);
    QAction* check = trayPopup_->addAction(QStringLiteral("Check Mail"));
    check->setObjectName(QStringLiteral("CheckMail2"));
    mailOps_->AddCheckMailAction(check);
    trayPopup_->addSeparator();
    QMenu* import = trayPopup_->addMenu(QStringLiteral("Import"));
    import->addActions({actions_->importAddressBook, actions_->importSignature, actions_->importMessage});
    trayPopup_->addAction(actions_->findMessage);
    trayPopup_->addSeparator();
    QAction* close = trayPopup_->addAction(QStringLiteral("Close"));
    close->setObjectName(QStringLiteral("TrayClose"));
    connect(show, &QAction::triggered, this, &TControlCenter::ShowFromTray);
    connect(close, &QAction::triggered, this, &QWidget::close);
    connect(tray_, &TTrayIcon::Clicked, this, &TControlCenter::ShowFromTray);
    tray_->SetPopupMenu(trayPopup_);
}

void TControlCenter::ShowFromTray() {
    show();
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
}

void TControlCenter::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    tray_->SetActive(!config_.Read(cfg::HideTray));
}

void TControlCenter::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    // A minimized window is hidden by the system too; only a window taken off
    // the screen goes to the tray. Closing detaches this.
    if (!closing_ && !event->spontaneous()) tray_->SetActive(true);
}

void TControlCenter::BuildStatusLine() {
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 100);
    progress_->setFixedWidth(193);
    progress_->setVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusBar"));
    status_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(progress_);
    statusBar()->addWidget(status_, 1);
}

QList<std::pair<TFMListView*, const char*>> TControlCenter::Lists() const {
    return {{mailPage_->StickitLB, cfg::kMessageColumns},
            {addressList_, cfg::kAddressColumns},
            {signatureList_, cfg::kSignatureColumns},
            {filtersBox_, cfg::kFilterColumns},
            {accounts_, cfg::kServerColumns}};
}

void TControlCenter::WireCommands() {
    popups_ = new TPopupMenus(*actions_, this);
    TPopupMenus::Attach(mailPage_->StickitLB, popups_->StickitLBPopup);
    TPopupMenus::Attach(mailPage_->CategoryLB, popups_->CategoryLBPopup);
    TPopupMenus::Attach(mailPage_->STextBox, popups_->STextBoxPopup);
    TPopupMenus::Attach(addressList_, popups_->AddressPopup);
    TPopupMenus::Attach(signatureList_, popups_->SigFilePopup);
    TPopupMenus::Attach(filtersBox_, popups_->FiltersPopup);
    TPopupMenus::Attach(accounts_, popups_->PopupAccounts);
    connect(popups_->previewCopy, &QAction::triggered, mailPage_->STextBox, &QTextEdit::copy);
    connect(popups_->previewSelectAll, &QAction::triggered, mailPage_->STextBox, &QTextEdit::selectAll);
    connect(mailPage_->STextBox, &TSRichEdit::LinkStatus, this, &TControlCenter::SetStatusText);
    connect(mailPage_->StickitLB, &QAbstractItemView::clicked, this,
            [this] { SetStatusText(QStringLiteral("Drag 'N Drop this message to preview!")); });

    connect(actions_->close, &QAction::triggered, this, &QWidget::close);
    connect(actions_->previewer, &QAction::toggled, this, &TControlCenter::ApplyPreviewSwitch);
    connect(actions_->topics, &QAction::triggered, this, [this] { ShowHelp(); });
    connect(actions_->about, &QAction::triggered, this, &TControlCenter::ShowAbout);
    const std::pair<QAction*, const char*> pagesOfSite[] = {
        {actions_->feedback, "feedback"}, {actions_->storeFront, "store"}, {actions_->support, "support"},
        {actions_->products, "products"}, {actions_->updates, "updates"},  {actions_->whatsNew, "whatsnew"}};
    for (const auto& [action, page] : pagesOfSite) {
        const QUrl url(QString::fromLatin1(kSiteBase) + QString::fromLatin1(page));
        connect(action, &QAction::triggered, this, [url] { QDesktopServices::openUrl(url); });
    }
}

void TControlCenter::WirePages() {
    pageObjects_ = {nullptr, nullptr, nullptr, nullptr, nullptr};
    const std::pair<TFMListView*, QMenu*> lists[] = {{addressList_, popups_->AddressPopup},
                                                     {signatureList_, popups_->SigFilePopup},
                                                     {filtersBox_, popups_->FiltersPopup},
                                                     {accounts_, popups_->PopupAccounts}};
    int index = 1;
    for (const auto& [list, popup] : lists) {
        auto* page = new TListPage(list, this);
        page->SetPopup(popup);
        SetPage(index++, page);
    }
    for (TPageCommand command : {TPageCommand::Edit, TPageCommand::Rename, TPageCommand::Delete, TPageCommand::Export,
                                 TPageCommand::Print, TPageCommand::SelectAll})
        for (QAction* action : ActionsOf(command))
            connect(action, &QAction::triggered, this, [this, command] { RunCommand(command); });
    connect(pages_, &QTabWidget::currentChanged, this, &TControlCenter::UpdateCommands);
    // The button imports for the page showing; its arrow opens the menu.
    toolbar_->BImport->setPopupMode(QToolButton::MenuButtonPopup);
    connect(toolbar_->BImport, &QToolButton::clicked, this, &TControlCenter::ImportOnPage);
    connect(popups_->listImport, &QAction::triggered, this, &TControlCenter::ImportOnPage);
    // Ctrl+I, the shortcut of File, "&Import", opens its items under the
    // "Import" button.
    connect(actions_->importMenu->menuAction(), &QAction::triggered, this, [this] {
        QToolButton* button = toolbar_->BImport;
        actions_->importMenu->popup(button->mapToGlobal(QPoint(0, button->height())));
    });
    const std::pair<QAction*, int> imports[] = {
        {actions_->importMessage, 0}, {actions_->importAddressBook, 1}, {actions_->importSignature, 2}};
    for (const auto& [action, index] : imports) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, index] { ImportFor(index); });
    }
    UpdateCommands();
}

void TControlCenter::ImportOnPage() {
    // A page that imports nothing of its own (filters, servers) imports a
    // message file on "Mail Messages".
    TMainPage* page = CurrentPage();
    if (page && page->Enabled(TPageCommand::Import))
        RunCommand(TPageCommand::Import);
    else
        ImportFor(0);
}

void TControlCenter::ImportFor(int index) {
    if (isMinimized() || isHidden()) showNormal();
    pages_->setCurrentIndex(index);
    RunCommand(TPageCommand::Import);
}

IFilterActions& TControlCenter::FilterActions() const { return *filterActions_; }

void TControlCenter::SetFileChooser(std::unique_ptr<IFileChooser> chooser) {
    // The mail page holds the chooser it was given; it is replaced in place.
    if (chooser) chooser_.swap(chooser);
    if (commands_) commands_->SetFileChooser(*chooser_);
}

QList<QAction*> TControlCenter::ActionsOf(TPageCommand command) const {
    switch (command) {
        case TPageCommand::Edit:
            return {actions_->view, toolbar_->BView->defaultAction()};
        case TPageCommand::Print:
            return {actions_->print, toolbar_->BPrint->defaultAction()};
        case TPageCommand::Rename:
            return {actions_->rename, toolbar_->BRename->defaultAction()};
        case TPageCommand::Delete:
            return {actions_->remove, toolbar_->BDelete->defaultAction()};
        case TPageCommand::Export:
            return {actions_->exportMessage, toolbar_->BExport->defaultAction()};
        case TPageCommand::SelectAll:
            return {actions_->selectAll};
        case TPageCommand::New:
        case TPageCommand::Import:
            // The New and Import menus name what they make; the pages' pop-ups
            // carry these two.
            return {};
    }
    return {};
}

TMainPage* TControlCenter::Page(int index) const {
    return index >= 0 && index < pageObjects_.size() ? pageObjects_[index] : nullptr;
}

TMainPage* TControlCenter::CurrentPage() const { return Page(pages_->currentIndex()); }

void TControlCenter::SetPage(int index, TMainPage* page) {
    if (index < 0 || index >= pageObjects_.size() || !page) return;
    TMainPage* old = pageObjects_[index];
    if (old == page) return;
    QWidget* widget = page->Widget();
    if (widget && widget != pages_->widget(index)) {
        const QString caption = pages_->tabText(index);
        QWidget* previous = pages_->widget(index);
        const bool current = pages_->currentIndex() == index;
        pages_->removeTab(index);
        pages_->insertTab(index, widget, caption);
        if (current) pages_->setCurrentIndex(index);
        if (previous && previous != mailPage_) previous->deleteLater();
    }
    pageObjects_[index] = page;
    page->setParent(this);
    connect(page, &TMainPage::CommandsChanged, this, [this, page] {
        if (page == CurrentPage()) UpdateCommands();
    });
    if (old) disconnect(old, nullptr, this, nullptr);  // it may still tell until it is gone
    if (old && old != commands_) old->deleteLater();
    UpdateCommands();
}

void TControlCenter::UpdateCommands() {
    TMainPage* page = CurrentPage();
    for (TPageCommand command : {TPageCommand::Edit, TPageCommand::Rename, TPageCommand::Delete, TPageCommand::Export,
                                 TPageCommand::Print, TPageCommand::SelectAll}) {
        const bool enabled = page && page->Enabled(command);
        for (QAction* action : ActionsOf(command)) action->setEnabled(enabled);
    }
}

void TControlCenter::RunCommand(TPageCommand command) {
    TMainPage* page = CurrentPage();
    if (page && page->Enabled(command)) page->Run(command);
    UpdateCommands();
}

void TControlCenter::ApplyPreviewSwitch(bool checked) {
    config_.Write(cfg::PreviewVisible, checked);
    mailPage_->SetPreviewVisible(checked);
}

void TControlCenter::ShowHelp(const QString& heading) {
    const std::string file = fileutil::FindNoCase(folders_.resources, cfg::kHelpFile);
    if (!help_) help_ = new THelpWindow(this);
    if (!fileutil::Exists(file) || !help_->Load(QString::fromStdString(file))) {
        prompt_.Error("No Online Help was found. Please reinstall.");
        return;
    }
    help_->ShowSection(heading);
}

void TControlCenter::ShowAbout() {
    QMessageBox::about(
        this, QStringLiteral("About"),
        QString::fromLatin1(kAppTitle) + QStringLiteral("\nA mail client for POP3 and SMTP servers.\nVersion 0.1"));
}

void TControlCenter::RestoreColumnWidths() {
    // A column without a saved width keeps the width it was made with:
    // "Subject" at 50 pixels would show nothing of a subject.
    for (const auto& [list, section] : Lists())
        for (int i = 0; i < list->ColumnCount(); ++i)
            if (config_.HasKey(section, std::to_string(i)))
                list->setColumnWidth(i, config_.ReadInteger(section, std::to_string(i), list->columnWidth(i)));
}

void TControlCenter::SaveColumnWidths() {
    for (const auto& [list, section] : Lists())
        for (int i = 0; i < list->ColumnCount(); ++i)
            config_.WriteInteger(section, std::to_string(i), list->columnWidth(i));
}

void TControlCenter::SetStatusText(const QString& text) {
    status_->setText(text);
    status_->repaint();
}

QString TControlCenter::StatusText() const { return status_->text(); }

std::string TControlCenter::MissingDictionaryMessage() {
    const std::string title = kAppTitle;
    return title + " is missing the main dictionary file.\n\r" +
           "You will not be able to spell check your messages\n\r" + "Fix: Reinstall " + title +
           " and select dictionary files.";
}

void TControlCenter::SetStore(TMailStore& store) {
    if (store_ && tipListener_ >= 0) store_->Tip().RemoveListener(tipListener_);
    store_ = &store;
    windows_ = new TMessageWindows(store, this);
    filterActions_ = std::make_unique<TWindowFilterActions>(store, *printing_);
    commands_ = new TMailCommands(
        store, *mailPage_, *actions_, *toolbar_, *popups_, *windows_, *printing_, *filterActions_, *chooser_,
        *progress_, [this](const QString& text) { SetStatusText(text); }, this);
    SetPage(0, commands_);
    ports_ = new TMailboxPorts(
        store, *actions_, *popups_, *mailPage_->CategoryLB, [this] { return commands_->SelectedMailbox(); },
        [this]() -> IFileChooser& { return *chooser_; }, *filterActions_, folders_.attach,
        [this](const QString& text) { SetStatusText(text); }, this);
    WireListPages();
    search_ =
        new TMessageSearch(store, *commands_, *mailPage_, this, [this](const QString& text) { SetStatusText(text); });
    actions_->findMessage->setEnabled(true);
    connect(actions_->findMessage, &QAction::triggered, search_, &TMessageSearch::Open);
    sender_ = new TSendRunner(store, folders_.data, *transfers_, this);
    sender_->SetFilterActions(filterActions_.get());
    opener_ = new TMessageOpener(store, folders_.data, *windows_, *commands_, *sender_, this);
    opener_->SetSpell(spell_);
    opener_->SetPrinting(printing_.get());
    opener_->SetFilterActions(filterActions_.get());
    opener_->SetNewAccountEditor([this] {
        pages_->setCurrentIndex(4);
        if (actions_->newServer->isEnabled()) actions_->newServer->trigger();
    });
    opener_->SetListPages(listPages_);
    connect(listPages_, &TListPages::SignatureRenamed, opener_, &TMessageOpener::SignatureRenamed);
    connect(listPages_, &TListPages::SignaturesChanged, opener_, &TMessageOpener::SignaturesChanged);
    connect(listPages_, &TListPages::AccountsChanged, opener_, &TMessageOpener::AccountsChanged);
    opener_->SetMailPageShower([this] { pages_->setCurrentIndex(0); });
    opener_->SetSenderAdder([this](const std::string& from) {
        pages_->setCurrentIndex(1);
        listPages_->AddressPage().AddSender(from);
    });
    searchBar_ = new TSearchBar(store, *commands_, *this, [this](const QString& text) { SetStatusText(text); });
    commands_->SetOpener([this](int handle) {
        // A message opened from the hits shows the words that found it.
        if (auto* reader = dynamic_cast<TFromPad*>(opener_->Open(handle)))
            if (auto* body = reader->Body()) searchBar_->Highlight(*body);
    });
    QAction* newMessage = toolbar_->BNewStickit->defaultAction();
    newMessage->setEnabled(true);
    opener_->SetNewMessageButton(newMessage);
    connect(newMessage, &QAction::triggered, opener_, [this] { opener_->NewMessage(""); });
    if (auto* item = popups_->findChild<QAction*>(QStringLiteral("StickitLBNew"))) {
        item->setEnabled(true);
        connect(item, &QAction::triggered, opener_, [this] { opener_->NewMessage(""); });
    }
    // Files dropped from the desktop onto the window become messages.
    auto* drag = new TFileDrag(this);
    drag->setObjectName(QStringLiteral("FileDrag"));
    drag->SetEnableDrop(true);
    connect(drag, &TFileDrag::OnDrop, opener_, [this, drag] { opener_->FilesDropped(drag->Files().NameWithPath); });
    tipListener_ = store.Tip().AddListener([this](const std::string& tip, const std::string& icon) {
        statusBar()->setToolTip(qttext::FromStored(tip));
        tray_->SetToolTip(qttext::FromStored(tip));
        tray_->SetIcon(TrayPicture(icon));
    });
}

void TControlCenter::Initialise() {
    SetStatusText(QStringLiteral("Loading Settings..."));
    const int state = config_.Read(cfg::WindowState);
    const bool visible = config_.Read(cfg::Visible);
    if (!fileutil::Exists(folders_.resources + cfg::kMainDictionary)) prompt_.Error(MissingDictionaryMessage());
    RestoreGeometry();
    actions_->SetMenuSystemVisible(config_.Read(cfg::MenuSystem));
    toolbar_->SetHintsVisible(config_.Read(cfg::Hints));
    SetCheckInterval(config_.Read(cfg::PopInterval));
    {
        const QSignalBlocker quiet(actions_->previewer);  // reading the switch is no change to write back
        actions_->previewer->setChecked(config_.Read(cfg::PreviewVisible));
    }
    mailPage_->SetPreviewVisible(actions_->previewer->isChecked());
    if (config_.Read(cfg::CCFontBold)) {
        QFont bold = mailPage_->CategoryLB->font();
        bold.setBold(true);
        mailPage_->CategoryLB->setFont(bold);
    }
    if (commands_) commands_->LoadStore();
    if (searchBar_) searchBar_->Start();

    if (state == kStateMinimized)
        setWindowState(Qt::WindowMinimized);
    else if (state == kStateMaximized)
        setWindowState(Qt::WindowMaximized);
    // Without a tray a hidden window could be neither reached nor closed.
    if (visible || !tray_->Available())
        show();
    else
        tray_->SetActive(true);
    RestoreColumnWidths();
    mailPage_->RestoreLayout();

    const bool checkRequested = ActOnCommandRequest();
    if (commands_) commands_->RefreshTrashIndicator();
    QApplication::processEvents();
    if (commands_) commands_->SelectMailbox(config_.Read(cfg::DefaultMailBox));
    if (startProcessing_) startProcessing_();
    mailOps_->ApplyInterval();
    // The check runs from the event loop, after start-up has returned.
    if (checkRequested) QTimer::singleShot(0, mailOps_, [this] { mailOps_->CheckAll(); });
}

void TControlCenter::RestoreGeometry() {
    move(config_.Read(cfg::Left), config_.Read(cfg::Top));
    const int w = config_.Read(cfg::Width);
    const int h = config_.Read(cfg::Height);
    if (w > 0 && h > 0) resize(w, h);
}

bool TControlCenter::ActOnCommandRequest() {
    const TCommandRequest request = TCommandRequest::Parse(config_.Read(cfg::Command));
    switch (request.kind) {
        case TCommandRequest::Kind::None:
            return false;
        case TCommandRequest::Kind::CheckMail:
            SetStatusText(QStringLiteral("Loaded Control Center. Checking Mail..."));
            break;
        case TCommandRequest::Kind::WriteTo:
            SetStatusText(QStringLiteral("Writing a new message to ") + qttext::FromStored(request.address));
            WriteTo(request.address);
            break;
    }
    QApplication::processEvents();
    config_.Write(cfg::Command, "");
    return request.kind == TCommandRequest::Kind::CheckMail;
}

void TControlCenter::WriteTo(const std::string& address) {
    // The opener comes with the store; the new message opens in a composer.
    if (opener_) opener_->WriteTo(address);
}

void TControlCenter::TakeHandOver(const std::function<void()>& done) {
    const std::string request = config_.Read(cfg::Command);
    if (!request.empty()) config_.Write(cfg::Command, "");
    done();
    if (request.find('@') != std::string::npos) {
        WriteTo(request);
    } else if (TCommandRequest::Parse(request).kind == TCommandRequest::Kind::CheckMail) {
        // From the event loop: the check lets the window run while it waits.
        QTimer::singleShot(0, mailOps_, [this] { mailOps_->RequestCheckAll(); });
    }
}

int TControlCenter::WindowStateValue() const {
    if (isMinimized()) return kStateMinimized;
    if (isMaximized()) return kStateMaximized;
    return kStateNormal;
}

void TControlCenter::SaveGeometry() {
    // "Window State" follows every resize, written once its burst is over.
    config_.Write(cfg::WindowState, WindowStateValue());
    if (!isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
    config_.Write(cfg::Top, y());
    config_.Write(cfg::Left, x());
    config_.Write(cfg::Width, width());
    config_.Write(cfg::Height, height());
}

void TControlCenter::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!closing_) geometryTimer_.start();
}

void TControlCenter::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (closing_) return;
    geometryTimer_.start();
    SetStatusText(QString());
}

void TControlCenter::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || closing_) return;
    config_.Write(cfg::WindowState, WindowStateValue());
    // Minimized with "Hide CC" on, the window leaves the task bar for the
    // tray, when there is one to come back from.
    if (isVisible() && isMinimized() && config_.Read(cfg::HideCC) && tray_->Available())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized() && !closing_) hide();
        });
}

void TControlCenter::closeEvent(QCloseEvent* event) {
    // A pending geometry write belongs to the state being left.
    if (geometryTimer_.isActive()) {
        geometryTimer_.stop();
        SaveGeometry();
    }
    closing_ = true;
    tray_->SetActive(false);
    // A running check ends at its next wait; the program then quits.
    mailOps_->Cancel();
    if (windows_) windows_->CloseAll();
    SaveColumnWidths();
    config_.Write(cfg::PreViewerWindow, mailPage_->PanelHeight());
    setWindowTitle(QStringLiteral("Shutting down..."));
    if (commands_) {
        const std::string selected = commands_->SelectedMailbox();
        if (!selected.empty()) config_.Write(cfg::DefaultMailBox, selected);
    }
    config_.Write(cfg::Visible, isVisible());
    // A window minimized at close starts normal next time.
    config_.Write(cfg::WindowState, isMaximized() ? kStateMaximized : kStateNormal);
    event->accept();
    QApplication::quit();
}

void TControlCenter::WireListPages() {
    listPages_ = new TListPages({addressList_, signatureList_, filtersBox_, accounts_}, *pages_, folders_,
                                store_->Tree(), store_->Flags().listFill, store_->Pump(), prompt_, this);
    const std::pair<TListPage*, QMenu*> pages[] = {{&listPages_->AddressPage(), popups_->AddressPopup},
                                                   {&listPages_->SignaturePage(), popups_->SigFilePopup},
                                                   {&listPages_->FilterPage(), popups_->FiltersPopup},
                                                   {&listPages_->AccountPage(), popups_->PopupAccounts}};
    int index = 1;
    for (const auto& [page, popup] : pages) {
        page->SetPopup(popup);
        SetPage(index++, page);
    }
    // File, New and File, Import show the page they act on first.
    const auto newOn = [this](QAction* action, int tab) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, tab] {
            pages_->setCurrentIndex(tab);
            if (TMainPage* page = Page(tab)) page->Run(TPageCommand::New);
        });
    };
    newOn(actions_->newMember, 1);
    newOn(actions_->newSignature, 2);
    newOn(actions_->newFilter, 3);
    newOn(actions_->newServer, 4);
    // File, Import shows its page and runs the page's Import (ImportFor).

    setupCommands_ = new TSetupCommands(config_, folders_, prompt_, listPages_->AccountPage(), this);
    connect(setupCommands_, &TSetupCommands::Applied, this, &TControlCenter::ApplyPreferences);
    const std::pair<QAction*, TSetup::TPage> setupPages[] = {{actions_->setupGeneral, TSetup::GeneralOptions},
                                                             {actions_->setupBells, TSetup::BellsAndWhistles},
                                                             {actions_->setupDefaults, TSetup::DefaultMessages},
                                                             {actions_->setupSending, TSetup::SendingAndReceiving},
                                                             {actions_->setupPersonal, TSetup::PersonalInformation}};
    for (const auto& [action, page] : setupPages) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, [this, page] { setupCommands_->Open(page); });
    }

    messageMenu_ = new TMessageMenu(toolbar_->BNewStickit, toolbar_->BNewStickit->defaultAction(), this);
    connect(listPages_, &TListPages::AddressBookChanged, this,
            [this] { messageMenu_->Rebuild(listPages_->MemberNames()); });
    connect(messageMenu_, &TMessageMenu::MemberChosen, this, [this](const QString& member) {
        if (opener_) opener_->NewMessage(qttext::ToStored(member));
    });
    listPages_->SetTelephony(telephony_.get());
    phoneDialers_ = new TPhoneDialers(listPages_->Book(), prompt_, this);
    phoneDialers_->SetTelephony(telephony_.get());
    actions_->phoneDialer->setEnabled(true);
    connect(actions_->phoneDialer, &QAction::triggered, phoneDialers_, &TPhoneDialers::Open);
    connect(listPages_, &TListPages::AddressBookChanged, phoneDialers_, &TPhoneDialers::BookChanged);
    listPages_->Load();
}

void TControlCenter::SetTelephony(std::unique_ptr<ITelephony> telephony) {
    telephony_ = std::move(telephony);
    if (listPages_) listPages_->SetTelephony(telephony_.get());
    if (phoneDialers_) phoneDialers_->SetTelephony(telephony_.get());
}

void TControlCenter::RunFirstRun() {
    if (setupCommands_) setupCommands_->Open(TSetup::GeneralOptions);
}

void TControlCenter::ApplyPreferences(const TPreferences& values) {
    actions_->SetMenuSystemVisible(values.menuSystem);
    toolbar_->SetHintsVisible(values.showHints);
    SetCheckInterval(values.interval);
}

QTimer& TControlCenter::InternetTimer() { return mailOps_->InternetTimer; }

void TControlCenter::SetCheckInterval(int) {
    // The check controller owns InternetTimer and reads "Interval" itself.
    mailOps_->ApplyInterval();
}
