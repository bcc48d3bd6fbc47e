#include "book/gui/AddressBook.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include "common/gui/QtText.h"
#include "phone/gui/EditAndDial.h"

namespace {

QGroupBox* Group(const char* title, QWidget* content, QWidget* parent) {
    auto* box = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

}  // namespace

TAddressBook::TAddressBook(const QStringList& signatures, QWidget* parent, ITelephony* telephony) : QDialog(parent) {
    setObjectName(QStringLiteral("TAddressBook"));
    setWindowTitle(QStringLiteral("Fenmarch Address Book"));
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setUsesScrollButtons(false);  // every page caption shows whole
    Pages->addTab(BuildPersonalPage(telephony), QStringLiteral("Personal Information"));
    Pages->addTab(BuildAddressPage(), QStringLiteral("Email Address(s)"));
    Memo3 = new QPlainTextEdit(this);
    Memo3->setObjectName(QStringLiteral("Memo3"));
    Pages->addTab(Memo3, QStringLiteral("Special Notes"));
    layout->addWidget(Pages);

    SigFile->addItems(signatures);
    SigFile->setCurrentIndex(-1);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    auto* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ApplyRole);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] {
        emit Applied(Form());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, [this] { emit Applied(Form()); });
    layout->addWidget(buttons);

    for (auto* memo : {Memo1, Memo2, Memo3})
        connect(memo, &QPlainTextEdit::textChanged, this, &TAddressBook::FollowAddresses);
    FollowAddresses();
    PlainText->setChecked(true);
    setFixedSize(sizeHint().expandedTo(QSize(420, 330)));
}

QWidget* TAddressBook::BuildPersonalPage(ITelephony* telephony) {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);

    PN1 = new TEditAndDial(telephony, page);
    PN1->setObjectName(QStringLiteral("PN1"));
    PN1->SetButtonHint(QStringLiteral("Dial Phone Number"));
    PN1->SetButtonShortCut(QKeySequence(QStringLiteral("Ctrl+D")));
    DialButton = PN1->Button();
    layout->addWidget(Group("Phone Number", PN1, page));

    FN1 = new QLineEdit(page);
    FN1->setObjectName(QStringLiteral("FN1"));
    layout->addWidget(Group("FAX Number", FN1, page));

    SigFile = new QComboBox(page);
    SigFile->setObjectName(QStringLiteral("SigFile"));
    SigFile->setEditable(true);
    SigFile->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(Group("Signature File", SigFile, page));

    Memo2 = new QPlainTextEdit(page);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    layout->addWidget(Group("Postal Address", Memo2, page), 1);
    return page;
}

QWidget* TAddressBook::BuildAddressPage() {
    auto* page = new QWidget(this);
    auto* layout = new QHBoxLayout(page);
    Memo1 = new QPlainTextEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(Memo1, 1);

    auto* side = new QVBoxLayout;
    auto* distribution = new QGroupBox(QStringLiteral("Distribution List"), page);
    auto* dl = new QVBoxLayout(distribution);
    BCC = new QRadioButton(QStringLiteral("BCC"), distribution);
    BCC->setObjectName(QStringLiteral("BCC"));
    BCC->setToolTip(QStringLiteral("The list will not be echoed to all other recipients."));
    CC = new QRadioButton(QStringLiteral("CC"), distribution);
    CC->setObjectName(QStringLiteral("CC"));
    CC->setToolTip(QStringLiteral("The list will be echoed to all other recipients."));
    dl->addWidget(BCC);
    dl->addWidget(CC);
    side->addWidget(distribution);

    auto* format = new QGroupBox(QStringLiteral("Document Format"), page);
    auto* fl = new QVBoxLayout(format);
    PlainText = new QRadioButton(QStringLiteral("Plain Text"), format);
    PlainText->setObjectName(QStringLiteral("PlainText"));
    PlainText->setToolTip(QStringLiteral("Older Format (Unix, Eudora, Netscape, and MicroSoft"));
    EnhancedText = new QRadioButton(QStringLiteral("Enhanced Text"), format);
    EnhancedText->setObjectName(QStringLiteral("EnhancedText"));
    EnhancedText->setToolTip(QStringLiteral("Rich Text Format (Skiffpost Native)"));
    fl->addWidget(PlainText);
    fl->addWidget(EnhancedText);
    side->addWidget(format);
    side->addStretch(1);
    layout->addLayout(side);
    return page;
}

void TAddressBook::SetDistribution(bool enabled, TMemberForm::TDistribution checked) {
    // Both may be unchecked: exclusivity would keep one of them on.
    for (auto* button : {BCC, CC}) {
        button->setAutoExclusive(false);
        button->setEnabled(enabled);
    }
    BCC->setChecked(checked == TMemberForm::TDistribution::BCC);
    CC->setChecked(checked == TMemberForm::TDistribution::CC);
    for (auto* button : {BCC, CC}) button->setAutoExclusive(true);
}

void TAddressBook::FollowAddresses() {
    const auto lines = qttext::ToStoredLines(Memo1->toPlainText());
    if (!TMemberForm::HasDistributionChoice(lines)) {
        SetDistribution(false, TMemberForm::TDistribution::None);
    } else if (!BCC->isEnabled() || (!BCC->isChecked() && !CC->isChecked())) {
        SetDistribution(true, BCC->isChecked() ? TMemberForm::TDistribution::BCC : TMemberForm::TDistribution::CC);
    }
}

void TAddressBook::Load(const TMemberForm& form) {
    for (auto* memo : {Memo1, Memo2, Memo3}) memo->blockSignals(true);
    Memo1->setPlainText(qttext::FromStoredLines(form.addresses));
    Memo2->setPlainText(qttext::FromStoredLines(form.postal));
    Memo3->setPlainText(qttext::FromStoredLines(form.notes));
    for (auto* memo : {Memo1, Memo2, Memo3}) memo->blockSignals(false);
    (form.richText ? EnhancedText : PlainText)->setChecked(true);
    SigFile->setCurrentText(qttext::FromStored(form.signature));
    PN1->setText(qttext::FromStored(form.phone));
    FN1->setText(qttext::FromStored(form.fax));
    SetDistribution(form.distribution != TMemberForm::TDistribution::None, form.distribution);
    Pages->setCurrentIndex(0);
}

TMemberForm TAddressBook::Form() const {
    TMemberForm form;
    form.addresses = qttext::ToStoredLines(Memo1->toPlainText());
    form.postal = qttext::ToStoredLines(Memo2->toPlainText());
    form.notes = qttext::ToStoredLines(Memo3->toPlainText());
    form.richText = !PlainText->isChecked();
    form.distribution = BCC->isChecked()  ? TMemberForm::TDistribution::BCC
                        : CC->isChecked() ? TMemberForm::TDistribution::CC
                                          : TMemberForm::TDistribution::None;
    form.phone = qttext::ToStored(PN1->text());
    form.fax = qttext::ToStored(FN1->text());
    form.signature = qttext::ToStored(SigFile->currentText());
    return form;
}
