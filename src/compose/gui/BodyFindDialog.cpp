#include "compose/gui/BodyFindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TBodyFindDialog::TBodyFindDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FindDialog"));
    setWindowTitle(QStringLiteral("Find"));
    setModal(false);
    auto* label = new QLabel(QStringLiteral("Fi&nd what:"), this);
    FindText = new QLineEdit(this);
    FindText->setObjectName(QStringLiteral("FindText"));
    label->setBuddy(FindText);
    WholeWordBox = new QCheckBox(QStringLiteral("Match &whole word only"), this);
    WholeWordBox->setObjectName(QStringLiteral("WholeWord"));
    MatchCaseBox = new QCheckBox(QStringLiteral("Match &case"), this);
    MatchCaseBox->setObjectName(QStringLiteral("MatchCase"));
    FindNextButton = new QPushButton(QStringLiteral("&Find Next"), this);
    FindNextButton->setObjectName(QStringLiteral("FindNext"));
    FindNextButton->setDefault(true);
    FindNextButton->setEnabled(false);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("FindCancel"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0);
    grid->addWidget(FindText, 0, 1);
    grid->addWidget(WholeWordBox, 1, 0, 1, 2);
    grid->addWidget(MatchCaseBox, 2, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(FindNextButton);
    buttons->addWidget(CancelButton);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 3, 1);
    grid->setColumnStretch(1, 1);

    connect(FindText, &QLineEdit::textChanged, this,
            [this](const QString& text) { FindNextButton->setEnabled(!text.isEmpty()); });
    connect(FindNextButton, &QPushButton::clicked, this, [this] {
        if (!FindText->text().isEmpty()) emit FindNext();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::close);
    setFixedHeight(sizeHint().height());
    resize(sizeHint().expandedTo(QSize(360, 0)));
}

QString TBodyFindDialog::Text() const { return FindText->text(); }

void TBodyFindDialog::SetText(const QString& text) {
    FindText->setText(text);
    FindText->selectAll();
}

bool TBodyFindDialog::MatchCase() const { return MatchCaseBox->isChecked(); }

bool TBodyFindDialog::WholeWord() const { return WholeWordBox->isChecked(); }
