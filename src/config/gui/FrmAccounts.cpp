#include "config/gui/FrmAccounts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdint>
#include <utility>

#include "common/Clock.h"
#include "common/ListName.h"
#include "common/gui/QtEventPump.h"
#include "common/gui/QtText.h"
#include "config/AccountList.h"
#include "common/gui/DesktopBrowser.h"
#include "common/UserPrompt.h"
#include "config/ProviderTable.h"
#include "mail/AccountTokens.h"
#include "mail/SettingsFinder.h"
#include "transport/PosixSocketFactory.h"
#include "transport/ProbeNotes.h"
#include "transport/TransferDisplay.h"

namespace {

QLabel* Text(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit* Field(const char* name, const char* hint, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setToolTip(QString::fromLatin1(hint));
    return edit;
}

constexpr TSecurity kModes[] = {TSecurity::None, TSecurity::StartTls, TSecurity::Tls};

// "TLS (port 995)": the mode's stored name with the port a provider uses for it.
QComboBox* SecurityChoice(std::uint16_t (*port)(TSecurity), const char* name, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setToolTip(QStringLiteral("Connection security of this account (receiving and sending)"));
    for (TSecurity mode : kModes) {
        const auto text = security::Name(mode);
        combo->addItem(QStringLiteral("%1 (port %2)")
                           .arg(QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())))
                           .arg(port(mode)),
                       static_cast<int>(mode));
    }
    return combo;
}

// A look for settings has no status line or progress bar of its own: its
// steps are shown below the button.
class TNoDisplay : public ITransferDisplay {
public:
    void ShowStatus(const std::string&) override {}
    void SetProgress(int) override {}
    void ShowProgress(bool) override {}
};

QString Shown(const std::string& text) { return qttext::FromStored(text).toHtmlEscaped(); }

}  // namespace

struct TFrmAccounts::TNetworkSearch {
    TPosixSocketFactory net;
    TQtEventPump pump;
    TSystemClock clock;
    TProbeNotes prompt;
    TNoDisplay display;
    TSettingsFinder finder{TMailEnv{net, pump, clock, prompt, display, false}};
};

TFrmAccounts::TFrmAccounts(const TAccountList& list, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), list_(list), prompt_(prompt) {
    setObjectName(QStringLiteral("TFrmAccounts"));
    setWindowTitle(QStringLiteral("Fenmarch Skiffpost Accounts"));
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setUsesScrollButtons(false);  // every page caption shows whole
    Pages->addTab(BuildReceivingPage(), QStringLiteral("Receiving Mail"));
    Pages->addTab(BuildSendingPage(), QStringLiteral("Sending Mail"));
    layout->addWidget(Pages);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    auto* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ApplyRole);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TFrmAccounts::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFrmAccounts::reject);
    connect(apply, &QPushButton::clicked, this, [this] { emit Applied(Fields()); });
    layout->addWidget(buttons);

    // The receiving page's mode is the account's; the sending page follows
    // it until the user picks a mode of its own there.
    connect(PopSecurity, &QComboBox::activated, this, [this] {
        securityChosen_ = true;
        ShowSecurity(ChosenSecurity(PopSecurity), smtpOwn_ ? ChosenSecurity(SmtpSecurity) : ChosenSecurity(PopSecurity));
    });
    connect(SmtpSecurity, &QComboBox::activated, this, [this] { smtpOwn_ = true; });
    connect(POPSERVER, &QLineEdit::textEdited, this, &TFrmAccounts::FollowServers);
    connect(FindButton, &QPushButton::clicked, this, &TFrmAccounts::FindOrStop);
    connect(SignInMethod, &QComboBox::currentIndexChanged, this,
            [this] { SignInButton->setEnabled(!SignInMethod->currentData().toString().isEmpty()); });
    connect(SignInButton, &QPushButton::clicked, this, &TFrmAccounts::SignInNow);
    SignInButton->setEnabled(false);
    SignInWithProvider = [this](const TAccount& account) {
        if (!network_) network_ = std::make_shared<TNetworkSearch>();
        const auto keep = network_;
        const TMailEnv env{keep->net, keep->pump, keep->clock, prompt_, keep->display};
        TAccountTokens tokens(env, list_, list_.DataFolder());
        TDesktopBrowser browser;
        return tokens.SignIn().SignIn(account.alias, account.popUserName,
                                      tokens.Registration(account.oauthProvider), browser);
    };
    connect(FindAddress, &QLineEdit::returnPressed, this, [this] {
        if (!finding_) FindOrStop();
    });
    FindSettings = [this](const std::string& address, const TStepShown& step) {
        if (!network_) network_ = std::make_shared<TNetworkSearch>();
        // The search outlives a dialog closed while it waits.
        const auto keep = network_;
        keep->finder.stepTaken = step;
        TFoundSettings found = keep->finder.Find(address);
        keep->finder.stepTaken = nullptr;
        return found;
    };
    StopFinding = [this] {
        if (network_) network_->finder.Cancel();
    };
    connect(SMTPServer, &QLineEdit::textEdited, this, &TFrmAccounts::FollowServers);
    // Until an account is loaded the dialog stands for a new one.
    securityChosen_ = true;
    ShowSecurity(TSecurity::Tls, TSecurity::Tls);
    setFixedSize(sizeHint().expandedTo(QSize(440, 0)));
}

QWidget* TFrmAccounts::BuildReceivingPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    BuildFinder(layout, page);
    auto* group = new QGroupBox(QStringLiteral("Pop Server"), page);
    auto* gl = new QVBoxLayout(group);
    POPSERVER = ExplainedField(gl,
                               "When checking for new  mail you must specify a server. In the field below enter in "
                               "your POP3 server's name.",
                               "Server:", "POPSERVER", "POP3 Server name");
    PopUserName = ExplainedField(gl,
                                 "When checking for new internet mail servers require a username. If you do not know "
                                 "your username you can obtain one from your system administrator.",
                                 "Username:", "PopUserName", "POP3 Username");
    // The password shares its form with the warning and the security below it.
    ReceivingForm = new QFormLayout;
    PopPass = ExplainedField(gl,
                             "When checking for new internet mail servers require a password. If you do not know your "
                             "password you can obtain one from your system administrator.",
                             "Password:", "PopPass", "POP3 Password", ReceivingForm);
    PopPass->setEchoMode(QLineEdit::Password);
    ClearTextWarning =
        Text(QStringLiteral("With security \"None\" this password crosses the network in clear text."), group);
    ClearTextWarning->setObjectName(QStringLiteral("ClearTextWarning"));
    ReceivingForm->addRow(QString(), ClearTextWarning);
    PopSecurity = SecurityChoice(&security::StandardPopPort, "PopSecurity", group);
    ReceivingForm->addRow(QStringLiteral("Security:"), PopSecurity);
    SignInMethod = new QComboBox(group);
    SignInMethod->setObjectName(QStringLiteral("SignInMethod"));
    SignInMethod->setToolTip(QStringLiteral("How this account signs in (receiving and sending)"));
    SignInMethod->addItem(QStringLiteral("Password"), QString());
    for (const TProvider& provider : TProviderTable::All())
        if (!provider.oauth.Empty()) {
            const QString name = QString::fromLatin1(provider.name.data(), static_cast<qsizetype>(provider.name.size()));
            SignInMethod->addItem(QStringLiteral("OAuth2 with %1").arg(name), name);
        }
    SignInButton = new QPushButton(QStringLiteral("Sign in with the provider..."), group);
    SignInButton->setObjectName(QStringLiteral("SignInButton"));
    SignInButton->setAutoDefault(false);
    auto* signInRow = new QHBoxLayout;
    signInRow->addWidget(SignInMethod, 1);
    signInRow->addWidget(SignInButton);
    ReceivingForm->addRow(QStringLiteral("Sign-in:"), signInRow);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

void TFrmAccounts::BuildFinder(QVBoxLayout* layout, QWidget* page) {
    auto* group = new QGroupBox(QStringLiteral("Settings from your address"), page);
    auto* gl = new QVBoxLayout(group);
    gl->addWidget(Text(QStringLiteral("Enter your e-mail address and choose \"Find settings\" to fill in the servers, "
                                      "their security and your username."),
                       group));
    auto* row = new QHBoxLayout;
    FindAddress = Field("FindAddress", "Your e-mail address (username@domain)", group);
    FindButton = new QPushButton(QStringLiteral("Find settings"), group);
    FindButton->setObjectName(QStringLiteral("FindButton"));
    FindButton->setAutoDefault(false);
    row->addWidget(new QLabel(QStringLiteral("E-mail address:"), group));
    row->addWidget(FindAddress, 1);
    row->addWidget(FindButton);
    gl->addLayout(row);
    FindResults = Text(QString(), group);
    FindResults->setObjectName(QStringLiteral("FindResults"));
    FindResults->setTextFormat(Qt::RichText);
    FindResults->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The dialog keeps its size: room for the outcome is kept from the start.
    FindResults->setMinimumHeight(FindResults->fontMetrics().lineSpacing() * 6);
    gl->addWidget(FindResults);
    layout->addWidget(group);
}

void TFrmAccounts::ShowSignIn(const std::string& provider) {
    if (provider.empty()) {
        SignInMethod->setCurrentIndex(0);
        return;
    }
    const QString name = qttext::FromStored(provider);
    int index = SignInMethod->findData(name);
    if (index < 0) {
        SignInMethod->addItem(QStringLiteral("OAuth2 with %1").arg(name), name);
        index = SignInMethod->count() - 1;
    }
    SignInMethod->setCurrentIndex(index);
}

void TFrmAccounts::SignInNow() {
    TAccount account = Fields();
    account.alias = alias_;
    if (account.oauthProvider.empty() || !SignInWithProvider) return;
    SignInButton->setEnabled(false);
    const bool done = SignInWithProvider(account);
    SignInButton->setEnabled(true);
    if (done) prompt_.Information("Signed in with " + account.oauthProvider + ".");
}

void TFrmAccounts::FindOrStop() {
    if (finding_) {
        if (StopFinding) StopFinding();
        return;
    }
    const std::string address = qttext::ToStored(FindAddress->text().trimmed());
    if (address.empty() || !FindSettings) return;
    finding_ = true;
    FindButton->setText(QStringLiteral("Stop"));
    FindResults->setText(QStringLiteral("Looking for the settings of %1 ...").arg(Shown(address)));
    const TFoundSettings found = FindSettings(address, [this](const std::string& step) {
        FindResults->setText(Shown(step));
    });
    finding_ = false;
    FindButton->setText(QStringLiteral("Find settings"));
    ShowFound(found);
}

void TFrmAccounts::ShowFound(const TFoundSettings& found) {
    QStringList lines;
    if (!found.Found()) {
        lines << QStringLiteral("<b>No settings were found.</b> Enter the servers your provider names below.");
        // The last looks say why.
        const std::size_t from = found.steps.size() > 6 ? found.steps.size() - 6 : 0;
        for (std::size_t i = from; i < found.steps.size(); ++i) lines << Shown(found.steps[i]);
        FindResults->setText(lines.join(QStringLiteral("<br>")));
        return;
    }
    TAccount account = Fields();
    found.ApplyTo(account);
    POPSERVER->setText(qttext::FromStored(account.popServer));
    SMTPServer->setText(qttext::FromStored(account.smtpServer));
    PopUserName->setText(qttext::FromStored(account.popUserName));
    ReturnAddress->setText(qttext::FromStored(account.returnAddress));
    securityChosen_ = account.security.has_value();
    smtpOwn_ = account.smtpSecurity.has_value();
    ShowSecurity(account.Security(), account.SmtpSecurity());
    // A provider that takes nothing but OAuth2 signs in that way.
    if (found.signIn == TSignIn::OAuth2 && !found.provider.empty()) ShowSignIn(found.provider);
    if (!found.provider.empty()) lines << QStringLiteral("<b>%1</b>").arg(Shown(found.provider));
    const auto server = [&](const char* label, const TServerSettings& s, const std::string& source) {
        if (s.Empty())
            lines << QStringLiteral("%1: none found").arg(QLatin1String(label));
        else
            lines << QStringLiteral("%1: %2 (%3)")
                         .arg(QLatin1String(label), Shown(TFoundSettings::Describe(s)), Shown(source));
    };
    server("POP3", found.pop, found.popSource);
    server("SMTP", found.smtp, found.smtpSource);
    const auto signIn = signin::Name(found.signIn);
    lines << QStringLiteral("Sign-in: %1").arg(QString::fromLatin1(signIn.data(), static_cast<qsizetype>(signIn.size())));
    if (!found.note.empty()) lines << Shown(found.note);
    FindResults->setText(lines.join(QStringLiteral("<br>")));
}

QWidget* TFrmAccounts::BuildSendingPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("SMTP Server"), page);
    auto* gl = new QVBoxLayout(group);
    SendingForm = new QFormLayout;
    SMTPServer = ExplainedField(gl,
                                "When sending mail you must specify a server to send your mail through. In the field "
                                "below enter in your SMTP server's name.",
                                "SMTP Server:", "SMTPServer", "SMTP Server", SendingForm);
    SmtpSecurity = SecurityChoice(&security::StandardSmtpPort, "SmtpSecurity", group);
    SendingForm->addRow(QStringLiteral("Security:"), SmtpSecurity);
    ReturnAddress = ExplainedField(gl,
                                   "When sending mail you must specify an email address so that users reading your "
                                   "mail can answer your email. Email adresses look like \"username@server\". In the "
                                   "field below enter in your return address.",
                                   "Return Address:", "ReturnAddress", "Return address (username@domain)");
    NickName = ExplainedField(gl,
                              "When sending mail you can use a nickname rather than an email address. In the field "
                              "below enter in your nickname.",
                              "Nickname:", "NickName", "Nickname (John Doe)");
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QLineEdit* TFrmAccounts::ExplainedField(QVBoxLayout* column, const char* explanation, const char* label,
                                        const char* name, const char* hint, QFormLayout* form) {
    QWidget* group = column->parentWidget();
    column->addWidget(Text(QString::fromLatin1(explanation), group));
    QLineEdit* field = Field(name, hint, group);
    if (!form) form = new QFormLayout;
    form->addRow(QString::fromLatin1(label), field);
    column->addLayout(form);
    return field;
}

void TFrmAccounts::Load(const TAccount& account) {
    POPSERVER->setText(qttext::FromStored(account.popServer));
    SMTPServer->setText(qttext::FromStored(account.smtpServer));
    PopUserName->setText(qttext::FromStored(account.popUserName));
    PopPass->setText(qttext::FromStored(account.popPassword));
    ReturnAddress->setText(qttext::FromStored(account.returnAddress));
    NickName->setText(qttext::FromStored(account.nickname));
    securityChosen_ = account.security.has_value();
    smtpOwn_ = account.smtpSecurity.has_value();
    ShowSecurity(account.Security(), account.SmtpSecurity());
    FindAddress->setText(qttext::FromStored(account.returnAddress));
    FindResults->clear();
    alias_ = account.alias;
    ShowSignIn(account.oauthProvider);
    Pages->setCurrentIndex(0);
}

void TFrmAccounts::ShowSecurity(TSecurity pop, TSecurity smtp) {
    PopSecurity->setCurrentIndex(PopSecurity->findData(static_cast<int>(pop)));
    SmtpSecurity->setCurrentIndex(SmtpSecurity->findData(static_cast<int>(smtp)));
    TAccount shown;
    shown.security = pop;
    ClearTextWarning->setVisible(shown.PasswordInClearText());
}

TSecurity TFrmAccounts::ChosenSecurity(const QComboBox* combo) {
    return static_cast<TSecurity>(combo->currentData().toInt());
}

void TFrmAccounts::FollowServers() {
    if (securityChosen_) return;
    const TSecurity implied =
        security::Implied(qttext::ToStored(POPSERVER->text()), qttext::ToStored(SMTPServer->text()));
    ShowSecurity(implied, smtpOwn_ ? ChosenSecurity(SmtpSecurity) : implied);
}

TAccount TFrmAccounts::Fields() const {
    const auto stored = [](const QLineEdit* e) { return listname::CleanField(qttext::ToStored(e->text())); };
    TAccount a;
    a.popServer = stored(POPSERVER);
    a.smtpServer = stored(SMTPServer);
    a.popUserName = stored(PopUserName);
    a.popPassword = stored(PopPass);
    a.returnAddress = stored(ReturnAddress);
    a.nickname = stored(NickName);
    if (securityChosen_) a.security = ChosenSecurity(PopSecurity);
    if (smtpOwn_) a.smtpSecurity = ChosenSecurity(SmtpSecurity);
    a.oauthProvider = qttext::ToStored(SignInMethod->currentData().toString());
    return a;
}

bool TFrmAccounts::MayClose() {
    switch (list_.CheckClose(prompt_)) {
        case TAccountsCloseRefusal::None:
            return true;
        case TAccountsCloseRefusal::NeedsSmtpServer:
            Pages->setCurrentIndex(1);
            SMTPServer->setFocus();
            return false;
        case TAccountsCloseRefusal::NeedsPopServer:
            Pages->setCurrentIndex(0);
            POPSERVER->setFocus();
            return false;
    }
    return false;
}

void TFrmAccounts::accept() {
    // The look for settings waits inside this window's loop: it ends first.
    if (finding_) {
        if (StopFinding) StopFinding();
        return;
    }
    emit Applied(Fields());
    if (MayClose()) QDialog::accept();
}

void TFrmAccounts::reject() {
    if (finding_) {
        if (StopFinding) StopFinding();
        return;
    }
    if (MayClose()) QDialog::reject();
}
