#include "phone/gui/PhoneDialer.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "book/AddressList.h"
#include "book/MemberPhone.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "phone/gui/EditAndDial.h"
#include "phone/gui/MemberBox.h"

TPhoneDialer::TPhoneDialer(const TAddressList& book, ITelephony* telephony, IUserPrompt& prompt, QWidget* parent)
    : QDialog(parent), book_(book), prompt_(prompt) {
    setObjectName(QStringLiteral("TPhoneDialer"));
    setWindowTitle(QStringLiteral("Phone Dialer"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    auto* pad = new QGroupBox(QStringLiteral("Key Pad"), this);
    auto* grid = new QGridLayout(pad);
    const char* keys[] = {"1", "2", "3", "4", "5", "6", "7", "8", "9", "*", "0", "#"};
    for (int i = 0; i < 12; ++i) {
        auto* key = new QPushButton(QString::fromLatin1(keys[i]), pad);
        key->setObjectName(QStringLiteral("Key") + key->text());
        key->setAutoDefault(false);
        key->setFocusPolicy(Qt::NoFocus);  // the keys never take the focus from the chooser's lookup
        key->setFixedSize(40, 30);
        grid->addWidget(key, i / 3, i % 3);
        Keys << key;
        connect(key, &QPushButton::clicked, this, [this, key] { KeyPressed(key->text()); });
    }
    // Key pad order is 1-9, *, 0, #; callers find "0" after "9".
    Keys.swapItemsAt(9, 10);

    auto* number = new QGroupBox(QStringLiteral("Phone Number"), this);
    auto* numberLayout = new QVBoxLayout(number);
    PN = new TEditAndDial(telephony, number);
    PN->setObjectName(QStringLiteral("PN"));
    PN->SetButtonHint(QStringLiteral("Dial Phone Number"));
    PN->SetButtonShortCut(QKeySequence(QStringLiteral("Ctrl+D")));
    PN->SetBeforeDial([this] { return ToText->currentText(); });
    numberLayout->addWidget(PN);

    auto* members = new QGroupBox(QStringLiteral("Address Book Members"), this);
    auto* membersLayout = new QVBoxLayout(members);
    ToText = new TMemberBox(members);
    ToText->setObjectName(QStringLiteral("ToText"));
    ToText->setMinimumWidth(200);
    membersLayout->addWidget(ToText);
    connect(ToText, &QComboBox::activated, this, &TPhoneDialer::Lookup);
    connect(ToText, &TMemberBox::DroppedDown, this, &TPhoneDialer::Lookup);
    connect(ToText, &TMemberBox::Entered, this, &TPhoneDialer::Lookup);
    connect(ToText, &TMemberBox::Left, this, &TPhoneDialer::Lookup);

    Finished = new QPushButton(QStringLiteral("&Finished"), this);
    Finished->setObjectName(QStringLiteral("Finished"));
    Finished->setAutoDefault(false);
    connect(Finished, &QPushButton::clicked, this, &QDialog::close);

    auto* right = new QVBoxLayout;
    right->addWidget(number);
    right->addWidget(members);
    right->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Finished);
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(pad);
    layout->addLayout(right);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        adjustSize();
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    Refresh();
}

void TPhoneDialer::Refresh() {
    const QString typed = ToText->currentText();
    {
        const QSignalBlocker quiet(ToText);
        ToText->clear();
        for (const std::string& name : book_.Names()) ToText->addItem(qttext::FromStored(name));
        ToText->setCurrentIndex(-1);
        ToText->setEditText(typed);
    }
    Lookup();
}

void TPhoneDialer::Lookup() {
    const std::string name = qttext::ToStored(ToText->currentText());
    if (name.empty()) return;
    if (const auto phone = memberphone::Find(book_, name))
        PN->setText(qttext::FromStored(*phone));
    else
        prompt_.Information(kIncorrectUser);
}

void TPhoneDialer::KeyPressed(const QString& key) {
    // "*" and "#" are not added: the number field takes them from the keyboard.
    if (key == QLatin1String("*") || key == QLatin1String("#")) return;
    PN->setText(PN->text() + key);
}
