#include "Form1.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kCaption = QStringLiteral("Uninstalling Fenmarch Skiffpost");
}

TForm1::TForm1(TRegistrations registrations, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint),
      registrations_(std::move(registrations)) {
    setWindowTitle(kCaption);
    auto* label = new QLabel(kCaption, this);
    label->setAlignment(Qt::AlignCenter);
    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    ok_->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok_, &QPushButton::clicked, this, &TForm1::Uninstall);
    connect(cancel_, &QPushButton::clicked, this, &TForm1::reject);
}

void TForm1::Uninstall() {
    registrations_.RemoveAll();
    accept();
}
