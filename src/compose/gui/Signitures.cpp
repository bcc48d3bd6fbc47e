#include "compose/gui/Signitures.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/gui/QtText.h"

TSignitures::TSignitures(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TSignitures"));
    setWindowTitle(QStringLiteral("Fenmarch Skiffpost Signatures"));
    auto* layout = new QVBoxLayout(this);
    auto* group = new QGroupBox(QStringLiteral("Signature"), this);
    auto* gl = new QVBoxLayout(group);
    Sig = new QPlainTextEdit(group);
    Sig->setObjectName(QStringLiteral("Sig"));
    Sig->setFixedSize(374, 209);
    Sig->setLineWrapMode(QPlainTextEdit::NoWrap);
    gl->addWidget(Sig);
    layout->addWidget(group);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    auto* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ApplyRole);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] {
        emit Applied(Lines());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, [this] { emit Applied(Lines()); });
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

void TSignitures::Load(const std::vector<std::string>& lines) { Sig->setPlainText(qttext::FromStoredLines(lines)); }

std::vector<std::string> TSignitures::Lines() const { return qttext::ToStoredLines(Sig->toPlainText()); }
