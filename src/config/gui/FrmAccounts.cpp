#include "config/gui/FrmAccounts.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdint>
#include <utility>

#include "common/ListName.h"
#include "common/gui/QtText.h"
#include "config/AccountList.h"

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

}  // namespace

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

    // Both pages show the one setting; a choice on either is the user's.
    for (auto [from, to] : {std::pair{PopSecurity, SmtpSecurity}, std::pair{SmtpSecurity, PopSecurity}}) {
        connect(from, &QComboBox::activated, this, [this, to](int index) {
            securityChosen_ = true;
            to->setCurrentIndex(index);
            ShowSecurity(ChosenSecurity());
        });
    }
    connect(POPSERVER, &QLineEdit::textEdited, this, &TFrmAccounts::FollowServers);
    connect(SMTPServer, &QLineEdit::textEdited, this, &TFrmAccounts::FollowServers);
    // Until an account is loaded the dialog stands for a new one.
    securityChosen_ = true;
    ShowSecurity(TSecurity::Tls);
    setFixedSize(sizeHint().expandedTo(QSize(440, 0)));
}

QWidget* TFrmAccounts::BuildReceivingPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
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
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
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
    ShowSecurity(account.Security());
    Pages->setCurrentIndex(0);
}

void TFrmAccounts::ShowSecurity(TSecurity mode) {
    const int index = PopSecurity->findData(static_cast<int>(mode));
    PopSecurity->setCurrentIndex(index);
    SmtpSecurity->setCurrentIndex(index);
    TAccount shown;
    shown.security = mode;
    ClearTextWarning->setVisible(shown.PasswordInClearText());
}

TSecurity TFrmAccounts::ChosenSecurity() const { return static_cast<TSecurity>(PopSecurity->currentData().toInt()); }

void TFrmAccounts::FollowServers() {
    if (securityChosen_) return;
    ShowSecurity(security::Implied(qttext::ToStored(POPSERVER->text()), qttext::ToStored(SMTPServer->text())));
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
    if (securityChosen_) a.security = ChosenSecurity();
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
    emit Applied(Fields());
    if (MayClose()) QDialog::accept();
}

void TFrmAccounts::reject() {
    if (MayClose()) QDialog::reject();
}
