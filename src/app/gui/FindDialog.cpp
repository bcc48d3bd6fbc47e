#include "app/gui/FindDialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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
    // The search text stands beside "Find Next", the button it goes with;
    // the dialog keeps the height of its two buttons.
    auto* layout = new QGridLayout(this);
    layout->addWidget(label, 0, 0);
    layout->addWidget(text_, 0, 1);
    layout->addWidget(find_, 0, 2);
    layout->addWidget(cancel_, 1, 2);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetMinAndMaxSize);
    setMaximumHeight(sizeHint().height());
    connect(text_, &QLineEdit::textChanged, this,
            [this](const QString& t) { find_->setEnabled(!t.isEmpty() && !searching_); });
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
