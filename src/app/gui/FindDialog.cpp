#include "app/gui/FindDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFindDialog::TFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    text_ = new QLineEdit(this);
    text_->setObjectName(QStringLiteral("FindText"));
    label->setBuddy(text_);
    find_ = new QPushButton(QStringLiteral("&Find Next"), this);
    find_->setObjectName(QStringLiteral("FindNext"));
    find_->setDefault(true);
    find_->setEnabled(false);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_->setObjectName(QStringLiteral("FindCancel"));
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(text_, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(find_);
    buttons->addWidget(cancel_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(row, 1);
    layout->addLayout(buttons);
    connect(text_, &QLineEdit::textChanged, this, [this](const QString& t) { find_->setEnabled(!t.isEmpty() && !searching_); });
    connect(find_, &QPushButton::clicked, this, [this] {
        if (!text_->text().isEmpty()) emit FindNext(text_->text());
    });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (searching_)
            emit StopRequested();
        else
            close();
    });
}

QString TFindDialog::Text() const { return text_->text(); }

void TFindDialog::SetText(const QString& text) { text_->setText(text); }

void TFindDialog::SetSearching(bool searching) {
    searching_ = searching;
    find_->setEnabled(!searching && !text_->text().isEmpty());
    cancel_->setText(searching ? QStringLiteral("Stop") : QStringLiteral("Cancel"));
}
