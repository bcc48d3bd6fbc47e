#include "common/gui/QtPrompt.h"

#include <QMessageBox>
#include <iostream>

#include "common/AppTitle.h"
#include "common/gui/QtText.h"

namespace {
// Stored texts break lines with "\r\n" or "\n\r"; a box wants one break each.
QString BoxText(const std::string& text) {
    QString s = qttext::FromStored(text);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1String("\n\r"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

// Boxes show received text (subjects, senders, server replies) as plain
// text: Qt would render anything that looks like markup, links included.
QMessageBox::StandardButton Ask(QWidget* parent, QMessageBox::Icon icon, const std::string& text,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, QString::fromLatin1(kAppTitle), BoxText(text), buttons, parent);
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
}  // namespace

bool TQtPrompt::Told(const std::string& text) {
    if (unattended_) std::cerr << BoxText(text).toStdString() << '\n';
    return unattended_;
}

void TQtPrompt::Error(const std::string& text) {
    ++errors_;
    if (Told(text)) return;
    Ask(parent_, QMessageBox::Critical, text, QMessageBox::Ok);
}

void TQtPrompt::Information(const std::string& text) {
    if (Told(text)) return;
    Ask(parent_, QMessageBox::Information, text, QMessageBox::Ok);
}

bool TQtPrompt::YesNo(const std::string& text) {
    if (Told(text)) return false;
    return Ask(parent_, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TPromptAnswer TQtPrompt::YesNoAll(const std::string& text) {
    if (Told(text)) return TPromptAnswer::No;
    const auto b = Ask(parent_, QMessageBox::Question, text, QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll);
    if (b == QMessageBox::Yes) return TPromptAnswer::Yes;
    if (b == QMessageBox::YesToAll) return TPromptAnswer::All;
    return TPromptAnswer::No;
}
