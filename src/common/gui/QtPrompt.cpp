#include "common/gui/QtPrompt.h"

#include <QMessageBox>

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
}  // namespace

void TQtPrompt::Error(const std::string& text) {
    QMessageBox::critical(parent_, QString::fromLatin1(kAppTitle), BoxText(text));
}

void TQtPrompt::Information(const std::string& text) {
    QMessageBox::information(parent_, QString::fromLatin1(kAppTitle), BoxText(text));
}

bool TQtPrompt::YesNo(const std::string& text) {
    return QMessageBox::question(parent_, QString::fromLatin1(kAppTitle), BoxText(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TPromptAnswer TQtPrompt::YesNoAll(const std::string& text) {
    const auto b = QMessageBox::question(parent_, QString::fromLatin1(kAppTitle), BoxText(text),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::YesToAll);
    if (b == QMessageBox::Yes) return TPromptAnswer::Yes;
    if (b == QMessageBox::YesToAll) return TPromptAnswer::All;
    return TPromptAnswer::No;
}
