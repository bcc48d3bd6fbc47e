#include "config/gui/Setup.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextList>
#include <QVBoxLayout>

#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "config/ConfigKeys.h"
#include "config/DesktopEntries.h"
#include "config/IniFile.h"
#include "config/gui/SizeBox.h"
#include "richtext/FormatFile.h"

namespace {

constexpr const char* kNoProvider = "No internet service provider";

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QRadioButton* Radio(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QRadioButton(QString::fromLatin1(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QLineEdit* Edit(const char* name, QWidget* parent, const char* hint = nullptr) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    if (hint) edit->setToolTip(QString::fromLatin1(hint));
    return edit;
}

QSpinBox* Spin(const char* name, int low, int high, int step, QWidget* parent) {
    auto* spin = new QSpinBox(parent);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(low, high);
    spin->setSingleStep(step);
    return spin;
}

QLabel* Text(const char* text, QWidget* parent) {
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setWordWrap(true);
    return label;
}

// Colours are stored as RGB integers with red in the low byte.
int StoredColor(const QColor& c) { return c.red() | (c.green() << 8) | (c.blue() << 16); }
QColor FromStoredColor(int v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

// Groups a page's radio buttons so that each group is exclusive on its own.
void Exclusive(QWidget* owner, std::initializer_list<QRadioButton*> buttons) {
    auto* group = new QButtonGroup(owner);
    for (auto* b : buttons) group->addButton(b);
}

}  // namespace

TSetup::TSetup(TIniFile& config, std::string programFolder, std::string dataFolder, const QStringList& aliases,
               const QStringList& dialEntries, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent),
      config_(config),
      programFolder_(std::move(programFolder)),
      dataFolder_(std::move(dataFolder)),
      prompt_(prompt) {
    setObjectName(QStringLiteral("TSetup"));
    setWindowTitle(QStringLiteral("Fenmarch Skiffpost Preferences"));
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setUsesScrollButtons(false);  // every page caption shows whole
    Pages->addTab(BuildGeneralPage(), QStringLiteral("General Options"));
    Pages->addTab(BuildBellsPage(), QStringLiteral("Bells and Whistles"));
    Pages->addTab(BuildMessagesPage(), QStringLiteral("Default Messages"));
    Pages->addTab(BuildSendingPage(), QStringLiteral("Sending and Receiving"));
    Pages->addTab(BuildPersonalPage(), QStringLiteral("Personal Information"));
    layout->addWidget(Pages);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("ApplyButton"));
    auto* done = new QPushButton(QStringLiteral("&Done"), this);
    done->setObjectName(QStringLiteral("DoneButton"));
    done->setDefault(true);
    connect(apply, &QPushButton::clicked, this, &TSetup::Apply);
    connect(done, &QPushButton::clicked, this, &TSetup::accept);
    buttons->addWidget(apply);
    buttons->addWidget(done);
    layout->addLayout(buttons);

    ISP->addItem(QString::fromLatin1(kNoProvider));
    ISP->addItems(dialEntries);
    DefServer->addItems(aliases);
    Load(TPreferences::Load(config_, programFolder_));
    autostart_ = TDesktopEntries(TDesktopEntries::FromEnvironment(programFolder_)).IsAutostart();
    StartWithDesktop->setChecked(autostart_);
    setFixedSize(sizeHint());
}

QWidget* TSetup::BuildGeneralPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);

    auto* display = new QGroupBox(QStringLiteral("Display Options"), page);
    auto* dl = new QVBoxLayout(display);
    MenuSystem = Check("MenuSystem", "Display menu system.", display);
    ShowHints = Check("ShowHints", "Display possible hints.", display);
    HideTray = Check("HideTray", "Hide Tray Icon when restored.", display);
    HideCC = Check("HideCC", "Hide Control Center when minimized.", display);
    StartWithDesktop = Check("StartWithDesktop", "Start with the desktop session.", display);
    for (auto* b : {MenuSystem, ShowHints, HideTray, HideCC, StartWithDesktop}) dl->addWidget(b);
    grid->addWidget(display, 0, 0);

    auto* mailbox = new QGroupBox(QStringLiteral("Mailbox Creation:"), page);
    auto* ml = new QVBoxLayout(mailbox);
    CategoryCreation = Edit("CategoryCreation", mailbox, "Default Mailbox name");
    RenameCategory = Check("RenameCategory", "Rename Mailbox on creation.", mailbox);
    ml->addWidget(CategoryCreation);
    ml->addWidget(RenameCategory);
    ml->addStretch(1);
    grid->addWidget(mailbox, 0, 1);

    auto* message = new QGroupBox(QStringLiteral("Message Creation"), page);
    auto* sl = new QVBoxLayout(message);
    StickitCreation = Edit("StickitCreation", message, "Default Message Subject");
    RenameStickit = Check("RenameStickit", "Rename message on creation.", message);
    ShowStickit = Check("ShowStickit", "Show message on creation.", message);
    DefServer = new QComboBox(message);
    DefServer->setObjectName(QStringLiteral("DefServer"));
    DefServer->setToolTip(QStringLiteral("Default Internet Server"));
    for (QWidget* w : std::initializer_list<QWidget*>{StickitCreation, RenameStickit, ShowStickit, DefServer})
        sl->addWidget(w);
    grid->addWidget(message, 1, 0);

    auto* isp = new QGroupBox(QStringLiteral("Internet Service Provider"), page);
    auto* il = new QVBoxLayout(isp);
    auto* ispLabel = new QLabel(QStringLiteral("Dialup Connection:"), isp);
    ISP = new QComboBox(isp);
    ISP->setObjectName(QStringLiteral("ISP"));
    ispLabel->setBuddy(ISP);
    ISPDIAl = Check("ISPDIAl", "Automatic dial.", isp);
    ISPHangUp = Check("ISPHangUp", "Automatic hang-up.", isp);
    il->addWidget(ispLabel);
    il->addWidget(ISP);
    il->addWidget(ISPDIAl);
    il->addWidget(ISPHangUp);
    il->addStretch(1);
    grid->addWidget(isp, 1, 1);
    connect(ISP, &QComboBox::currentIndexChanged, this, [this](int index) {
        ISPDIAl->setEnabled(index > 0);
        ISPHangUp->setEnabled(index > 0);
    });
    return page;
}

QWidget* TSetup::BuildBellsPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    const auto group = [&](const char* title, const char* prefix, const char* displayName, const char* pickTitle,
                           QCheckBox*& display) {
        auto* box = new QGroupBox(QString::fromLatin1(title), page);
        auto* grid = new QGridLayout(box);
        const std::string p(prefix);
        TNotifyGroup g{Radio((p + "PlaySound").c_str(), "Play Sound", box),
                       Radio((p + "RunProgram").c_str(), "Run Program", box),
                       Radio((p + "Beep").c_str(), "Beep", box),
                       Edit((p + "Command").c_str(), box),
                       new QPushButton(QStringLiteral("&Browse"), box),
                       pickTitle};
        g.command->setReadOnly(true);
        g.pick->setObjectName(QString::fromStdString(p + "Pick"));
        display = Check(displayName, "Display Message.", box);
        Exclusive(box, {g.play, g.run, g.beep});
        grid->addWidget(g.play, 0, 0);
        grid->addWidget(g.run, 0, 1);
        grid->addWidget(g.beep, 0, 2);
        grid->addWidget(g.command, 1, 0, 1, 2);
        grid->addWidget(g.pick, 1, 2);
        grid->addWidget(display, 2, 0, 1, 3);
        layout->addWidget(box);
        return g;
    };
    alarm_ = group("Alarm Notification", "A", "ADisplayStickit", "Please select alarm file.", ADisplayStickit);
    mail_ = group("New Internet Mail Notification", "N", "NDisplayStickit", "Please select notification file.",
                  NDisplayStickit);
    layout->addStretch(1);
    APlaySound = alarm_.play, ARunProgram = alarm_.run, ABeep = alarm_.beep, ACommand = alarm_.command,
    APick = alarm_.pick;
    NPlaySound = mail_.play, NRunProgram = mail_.run, NBeep = mail_.beep, NCommand = mail_.command, NPick = mail_.pick;
    for (const TNotifyGroup* g : {&alarm_, &mail_}) {
        for (auto* button : {g->play, g->run, g->beep})
            connect(button, &QRadioButton::clicked, this, [this, g, button] { NotifyClicked(*g, button); });
        connect(g->pick, &QPushButton::clicked, this, [this, g] { Browse(*g); });
    }
    return page;
}

QWidget* TSetup::BuildMessagesPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);

    auto* bullets = new QGroupBox(QStringLiteral("Bullets"), page);
    auto* bl = new QVBoxLayout(bullets);
    TrackBar = new QSlider(Qt::Horizontal, bullets);
    TrackBar->setObjectName(QStringLiteral("TrackBar"));
    TrackBar->setRange(0, 99);
    TrackBar->setSingleStep(5);
    TrackBar->setPageStep(5);
    TrackBar->setTickInterval(5);
    TrackBar->setTickPosition(QSlider::TicksBelow);
    Bullets = Check("Bullets", "Use Bullets in new messages.", bullets);
    bl->addWidget(TrackBar);
    bl->addWidget(Bullets);
    grid->addWidget(bullets, 0, 0);

    auto* align = new QGroupBox(QStringLiteral("Paragraph Alignment"), page);
    auto* al = new QHBoxLayout(align);
    AlignMent1 = Radio("AlignMent1", "Left", align);
    AlignMent2 = Radio("AlignMent2", "Center", align);
    AlignMent3 = Radio("AlignMent3", "Right", align);
    for (auto* b : {AlignMent1, AlignMent2, AlignMent3}) al->addWidget(b);
    grid->addWidget(align, 1, 0);

    auto* sizes = new QGroupBox(QStringLiteral("Sizes"), page);
    auto* zl = new QGridLayout(sizes);
    SizeSmall = Radio("SizeSmall", "Small", sizes);
    SizeMedium = Radio("SizeMedium", "Medium", sizes);
    SizeLarge = Radio("SizeLarge", "Large", sizes);
    SizeCustom = Radio("SizeCustom", "Custom Size", sizes);
    PickBox = new QPushButton(QStringLiteral("Pick..."), sizes);
    PickBox->setObjectName(QStringLiteral("PickBox"));
    SizeWidth = Edit("SizeWidth", sizes);
    SizeHeight = Edit("SizeHeight", sizes);
    SizeWidth->setReadOnly(true);
    SizeHeight->setReadOnly(true);
    zl->addWidget(SizeSmall, 0, 0);
    zl->addWidget(SizeMedium, 1, 0);
    zl->addWidget(SizeLarge, 2, 0);
    zl->addWidget(SizeCustom, 3, 0);
    zl->addWidget(PickBox, 3, 1);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Width"), SizeWidth);
    form->addRow(QStringLiteral("Height"), SizeHeight);
    zl->addLayout(form, 0, 1, 3, 1);
    grid->addWidget(sizes, 2, 0);
    connect(SizeSmall, &QRadioButton::clicked, this, [this] { SetSize(150, 100); });
    connect(SizeMedium, &QRadioButton::clicked, this, [this] { SetSize(250, 160); });
    connect(SizeLarge, &QRadioButton::clicked, this, [this] { SetSize(600, 400); });
    connect(SizeCustom, &QRadioButton::toggled, PickBox, &QPushButton::setEnabled);
    connect(PickBox, &QPushButton::clicked, this, &TSetup::PickSize);
    PickBox->setEnabled(false);

    auto* fonts = new QGroupBox(QStringLiteral("Fonts and Colors"), page);
    auto* fl = new QGridLayout(fonts);
    FontsButton = new QPushButton(QStringLiteral("Fonts..."), fonts);
    FontsButton->setObjectName(QStringLiteral("FontsButton"));
    ColorsButton = new QPushButton(QStringLiteral("Colors..."), fonts);
    ColorsButton->setObjectName(QStringLiteral("ColorsButton"));
    Sample = new QTextEdit(fonts);
    Sample->setObjectName(QStringLiteral("Sample"));
    Sample->setReadOnly(true);
    Sample->setMinimumSize(220, 110);
    fl->addWidget(FontsButton, 0, 0);
    fl->addWidget(ColorsButton, 0, 1);
    fl->addWidget(Sample, 1, 0, 1, 2);
    grid->addWidget(fonts, 0, 1, 2, 1);
    connect(FontsButton, &QPushButton::clicked, this, &TSetup::ChooseFont);
    connect(ColorsButton, &QPushButton::clicked, this, &TSetup::ChooseColor);

    auto* type = new QGroupBox(QStringLiteral("Message Type"), page);
    auto* tl = new QVBoxLayout(type);
    MSGTExt = Radio("MSGTExt", "Plain Text Message", type);
    MSGRTF = Radio("MSGRTF", "Rich Text Message", type);
    tl->addWidget(MSGTExt);
    tl->addWidget(MSGRTF);
    grid->addWidget(type, 2, 1);
    Exclusive(page, {AlignMent1, AlignMent2, AlignMent3});
    Exclusive(page, {SizeSmall, SizeMedium, SizeLarge, SizeCustom});
    Exclusive(page, {MSGTExt, MSGRTF});

    connect(TrackBar, &QSlider::valueChanged, this, &TSetup::FormatSample);
    connect(Bullets, &QCheckBox::toggled, this, &TSetup::FormatSample);
    for (auto* b : {AlignMent1, AlignMent2, AlignMent3})
        connect(b, &QRadioButton::toggled, this, &TSetup::FormatSample);
    return page;
}

QWidget* TSetup::BuildSendingPage() {
    auto* page = new QWidget(this);
    auto* grid = new QGridLayout(page);

    auto* pop = new QGroupBox(QStringLiteral("POP Account (Receiving Mail)"), page);
    auto* pl = new QGridLayout(pop);
    CheckInterval = Spin("CheckInterval", 0, 999, 5, pop);
    PopTimeOutInterval = Spin("PopTimeOutInterval", 10, 500, 1, pop);
    pl->addWidget(new QLabel(QStringLiteral("Check for mail every"), pop), 0, 0);
    pl->addWidget(CheckInterval, 0, 1);
    pl->addWidget(new QLabel(QStringLiteral("miniutes."), pop), 0, 2);
    pl->addWidget(new QLabel(QStringLiteral("Time Out in"), pop), 1, 0);
    pl->addWidget(PopTimeOutInterval, 1, 1);
    pl->addWidget(new QLabel(QStringLiteral("seconds."), pop), 1, 2);
    DeleteMail = Check("DeleteMail", "After downloading delete mail from server.", pop);
    RecordMessages = Check("RecordMessages", "Skip downloaded messages", pop);
    pl->addWidget(DeleteMail, 2, 0, 1, 3);
    pl->addWidget(RecordMessages, 3, 0, 1, 3);
    PasswordsInKeyring =
        Check("PasswordsInKeyring", "Keep passwords in the desktop keyring (when there is one).", pop);
    pl->addWidget(PasswordsInKeyring, 4, 0, 1, 3);
    grid->addWidget(pop, 0, 0);

    auto* smtp = new QGroupBox(QStringLiteral("SMTP Account (Sending Mail)"), page);
    auto* ml = new QHBoxLayout(smtp);
    SMTPTimeOut = Spin("SMTPTimeOut", 10, 500, 1, smtp);
    ml->addWidget(new QLabel(QStringLiteral("Time Out in"), smtp));
    ml->addWidget(SMTPTimeOut);
    ml->addWidget(new QLabel(QStringLiteral("seconds."), smtp));
    ml->addStretch(1);
    grid->addWidget(smtp, 1, 0);

    auto* proxy = new QGroupBox(QStringLiteral("Proxy Server (Sending and Receiving Mail)"), page);
    auto* xl = new QVBoxLayout(proxy);
    xl->addWidget(
        Text("Some LANs require you to use a proxy to get outside a firewall. If your LAN requires a proxy "
             "then enter the DOMAIN NAME of your TELNET Proxy.",
             proxy));
    xl->addWidget(Text("For exampe: \"proxy\"", proxy));
    ProxyServer = Edit("ProxyServer", proxy);
    UseProxy = Check("UseProxy", "Use Proxy to send and receive mail.", proxy);
    xl->addWidget(ProxyServer);
    xl->addWidget(UseProxy);
    grid->addWidget(proxy, 0, 1);

    auto* priority = new QGroupBox(QStringLiteral("Message Priority"), page);
    auto* rl = new QVBoxLayout(priority);
    rl->addWidget(
        Text("Maill servers send mail based on priority. In the field below enter the priorty of all your "
             "internet mail.",
             priority));
    auto* row = new QHBoxLayout;
    PLow = Radio("PLow", "Low", priority);
    PNormal = Radio("PNormal", "Normal", priority);
    Phigh = Radio("Phigh", "High", priority);
    for (auto* b : {PLow, PNormal, Phigh}) row->addWidget(b);
    rl->addLayout(row);
    grid->addWidget(priority, 1, 1);
    Exclusive(page, {PLow, PNormal, Phigh});
    grid->setColumnMinimumWidth(1, 260);
    return page;
}

QWidget* TSetup::BuildPersonalPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Personal Info"), page);
    auto* form = new QFormLayout(group);
    FirstName = Edit("FirstName", group);
    LastName = Edit("LastName", group);
    CompanyName = Edit("CompanyName", group);
    form->addRow(QStringLiteral("First Name:"), FirstName);
    form->addRow(QStringLiteral("Last Name:"), LastName);
    form->addRow(QStringLiteral("Company:"), CompanyName);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

void TSetup::Load(const TPreferences& p) {
    loaded_ = p;
    MenuSystem->setChecked(p.menuSystem);
    ShowHints->setChecked(p.showHints);
    HideTray->setChecked(p.hideTray);
    HideCC->setChecked(p.hideCC);
    CategoryCreation->setText(qttext::FromStored(p.newMailbox));
    RenameCategory->setChecked(p.renameMailbox);
    StickitCreation->setText(qttext::FromStored(p.newMessage));
    RenameStickit->setChecked(p.renameMessage);
    ShowStickit->setChecked(p.showMessage);
    DefServer->setCurrentIndex(DefServer->findText(qttext::FromStored(p.defaultServer), Qt::MatchFixedString));
    const int isp = ISP->findText(qttext::FromStored(p.dialupServer), Qt::MatchExactly);
    ISP->setCurrentIndex(isp < 0 ? 0 : isp);
    ISPDIAl->setEnabled(ISP->currentIndex() > 0);
    ISPHangUp->setEnabled(ISP->currentIndex() > 0);
    ISPDIAl->setChecked(p.autoDial);
    ISPHangUp->setChecked(p.autoHangup);

    ShowNotify(alarm_, p.alarmNotify, p.alarmFile);
    ADisplayStickit->setChecked(p.showOnAlarm);
    ShowNotify(mail_, p.mailNotify, p.mailFile);
    NDisplayStickit->setChecked(p.displayMessages);

    TrackBar->setValue(p.bulletIndent);
    Bullets->setChecked(p.bullets);
    if (p.align >= 1 && p.align <= 3)
        (p.align == 1 ? AlignMent1 : p.align == 2 ? AlignMent2 : AlignMent3)->setChecked(true);
    SetSize(p.width, p.height);
    if (p.width == 150 && p.height == 100)
        SizeSmall->setChecked(true);
    else if (p.width == 250 && p.height == 160)
        SizeMedium->setChecked(true);
    else if (p.width == 600 && p.height == 400)
        SizeLarge->setChecked(true);
    else
        SizeCustom->setChecked(true);
    QFont font(qttext::FromStored(p.fontName), p.fontSize > 0 ? p.fontSize : 8);
    font.setBold(p.fontBold);
    Sample->setFont(font);
    QPalette palette = Sample->palette();
    palette.setColor(QPalette::Base, FromStoredColor(p.padColor));
    palette.setColor(QPalette::Text, FromStoredColor(p.fontColor));
    Sample->setPalette(palette);
    Sample->setPlainText(QStringLiteral("Sample Text"));
    FormatSample();
    (p.richText ? MSGRTF : MSGTExt)->setChecked(true);

    CheckInterval->setValue(p.interval);
    PopTimeOutInterval->setValue(p.popTimeOut);
    DeleteMail->setChecked(p.deleteMessages);
    RecordMessages->setChecked(p.recordMessages);
    PasswordsInKeyring->setChecked(p.passwordsInKeyring);
    SMTPTimeOut->setValue(p.smtpTimeOut);
    ProxyServer->setText(qttext::FromStored(p.proxyServer));
    UseProxy->setChecked(p.useProxy);
    (p.priority == 0 ? PLow : p.priority == 2 ? Phigh : PNormal)->setChecked(true);

    FirstName->setText(qttext::FromStored(p.firstName));
    LastName->setText(qttext::FromStored(p.lastName));
    CompanyName->setText(qttext::FromStored(p.company));
}

void TSetup::ShowNotify(const TNotifyGroup& g, TPreferences::TNotify notify, const std::string& file) {
    using N = TPreferences::TNotify;
    g.play->setChecked(notify == N::PlaySound);
    g.run->setChecked(notify == N::RunProgram);
    g.beep->setChecked(notify == N::Beep);
    g.command->setText(notify == N::PlaySound || notify == N::RunProgram ? qttext::FromStored(file) : QString());
    g.command->setEnabled(notify != N::Beep);
    g.pick->setEnabled(notify != N::Beep);
}

void TSetup::NotifyClicked(const TNotifyGroup& g, QRadioButton* button) {
    g.command->clear();
    g.command->setEnabled(button != g.beep);
    g.pick->setEnabled(button != g.beep);
}

void TSetup::Browse(const TNotifyGroup& g) {
    // Programs here rarely carry those extensions, so every file is offered too.
    const QString filter = g.play->isChecked() ? QStringLiteral("Sounds (*.wav)")
                                               : QStringLiteral("Programs (*.exe *.com *.bat);;All Files (*)");
    const QString chosen =
        chooser_(this, QString::fromLatin1(g.title), QFileInfo(g.command->text()).absolutePath(), filter);
    if (chosen.isEmpty()) return;
    (QFileInfo(chosen).suffix().compare(QLatin1String("wav"), Qt::CaseInsensitive) == 0 ? g.play : g.run)
        ->setChecked(true);
    g.command->setEnabled(true);
    g.pick->setEnabled(true);
    g.command->setText(QFileInfo(chosen).absoluteFilePath());
}

void TSetup::SetSize(int width, int height) {
    SizeWidth->setText(QString::number(width));
    SizeHeight->setText(QString::number(height));
}

void TSetup::PickSize() {
    TSizeBox box(QSize(SizeWidth->text().toInt(), SizeHeight->text().toInt()), this);
    box.exec();
    const QSize size = box.OuterSize();
    SetSize(size.width(), size.height());
    SizeCustom->setChecked(true);
}

void TSetup::ChooseFont() {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, Sample->font(), this);
    if (ok) Sample->setFont(font);
}

void TSetup::ChooseColor() {
    const QColor color = QColorDialog::getColor(Sample->palette().color(QPalette::Base), this);
    if (!color.isValid()) return;
    QPalette palette = Sample->palette();
    palette.setColor(QPalette::Base, color);
    Sample->setPalette(palette);
}

void TSetup::FormatSample() {
    QTextCursor cursor(Sample->document());
    cursor.select(QTextCursor::Document);
    QTextBlockFormat block;
    block.setAlignment(AlignMent2->isChecked()   ? Qt::AlignHCenter
                       : AlignMent3->isChecked() ? Qt::AlignRight
                                                 : Qt::AlignLeft);
    // The indent is in points; the sample shows it at 96 dpi.
    block.setLeftMargin(TrackBar->value() * 4.0 / 3.0);
    cursor.setBlockFormat(block);
    if (QTextList* list = cursor.currentList()) {
        for (int i = list->count() - 1; i >= 0; --i) list->remove(list->item(i));
    }
    if (Bullets->isChecked()) cursor.createList(QTextListFormat::ListDisc);
}

TPreferences TSetup::Values() const {
    using N = TPreferences::TNotify;
    TPreferences p = loaded_;
    p.menuSystem = MenuSystem->isChecked();
    p.showHints = ShowHints->isChecked();
    p.hideTray = HideTray->isChecked();
    p.hideCC = HideCC->isChecked();
    p.newMailbox = qttext::ToStored(CategoryCreation->text());
    p.renameMailbox = RenameCategory->isChecked();
    p.newMessage = qttext::ToStored(StickitCreation->text());
    p.renameMessage = RenameStickit->isChecked();
    p.showMessage = ShowStickit->isChecked();
    // No alias chosen keeps the stored one.
    if (DefServer->currentIndex() >= 0) p.defaultServer = qttext::ToStored(DefServer->currentText());
    p.dialupServer = qttext::ToStored(ISP->currentText());
    p.autoDial = ISPDIAl->isChecked();
    p.autoHangup = ISPHangUp->isChecked();
    const auto notify = [](const TNotifyGroup& g) {
        return g.play->isChecked()   ? N::PlaySound
               : g.run->isChecked()  ? N::RunProgram
               : g.beep->isChecked() ? N::Beep
                                     : N::None;
    };
    p.alarmNotify = notify(alarm_);
    p.alarmFile = qttext::ToStored(ACommand->text());
    p.showOnAlarm = ADisplayStickit->isChecked();
    p.mailNotify = notify(mail_);
    p.mailFile = qttext::ToStored(NCommand->text());
    p.displayMessages = NDisplayStickit->isChecked();

    p.bulletIndent = TrackBar->value();
    p.bullets = Bullets->isChecked();
    p.align = AlignMent1->isChecked() ? 1 : AlignMent2->isChecked() ? 2 : 3;
    p.width = SizeWidth->text().toInt();
    p.height = SizeHeight->text().toInt();
    const QFont font = Sample->font();
    p.fontName = qttext::ToStored(font.family());
    p.fontSize = font.pointSize() > 0 ? font.pointSize() : p.fontSize;
    p.fontBold = TPreferences::FontBoldKey(font.bold(), font.italic());
    p.fontColor = StoredColor(Sample->palette().color(QPalette::Text));
    p.padColor = StoredColor(Sample->palette().color(QPalette::Base));
    p.richText = MSGRTF->isChecked();

    p.interval = CheckInterval->value();
    p.popTimeOut = PopTimeOutInterval->value();
    p.deleteMessages = DeleteMail->isChecked();
    p.recordMessages = RecordMessages->isChecked();
    p.passwordsInKeyring = PasswordsInKeyring->isChecked();
    p.smtpTimeOut = SMTPTimeOut->value();
    p.proxyServer = qttext::ToStored(ProxyServer->text());
    p.useProxy = UseProxy->isChecked();
    p.priority = PLow->isChecked() ? 0 : Phigh->isChecked() ? 2 : 1;

    p.firstName = qttext::ToStored(FirstName->text());
    p.lastName = qttext::ToStored(LastName->text());
    p.company = qttext::ToStored(CompanyName->text());
    return p;
}

void TSetup::ShowPage(TPage page) { Pages->setCurrentIndex(page); }

bool TSetup::Validate() {
    if (!FirstName->text().trimmed().isEmpty()) return true;
    prompt_.Information("Please enter in your First Name.");
    Pages->setCurrentIndex(PersonalInformation);
    FirstName->setFocus();
    return false;
}

bool TSetup::Apply() {
    if (!Validate()) return false;
    const TPreferences values = Values();
    // The configuration reports a refused write itself.
    if (!values.Save(config_)) return false;
    // A copied "Internet.FMT" is the one rewritten, not joined by a second file.
    const std::string format = fileutil::FindNoCase(dataFolder_, cfg::kFormatFile);
    if (!TFormatFile::Write(config_, format)) prompt_.Error("Unable to write to " + format);
    // Only a change of the box touches the desktop's files.
    if (StartWithDesktop->isChecked() != autostart_) {
        TDesktopEntries entries(TDesktopEntries::FromEnvironment(programFolder_));
        if (entries.SetAutostart(StartWithDesktop->isChecked()))
            autostart_ = StartWithDesktop->isChecked();
        else
            prompt_.Error("Unable to write to " + entries.AutostartPath());
    }
    loaded_ = values;
    emit Applied(values);
    return true;
}

void TSetup::accept() {
    if (Apply()) QDialog::accept();
}

void TSetup::reject() {
    if (Validate()) QDialog::reject();
}
