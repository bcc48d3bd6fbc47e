#include "app/gui/PrintService.h"

#include <QFileInfo>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "common/AppTitle.h"
#include "common/FileUtil.h"
#include "common/UniqueName.h"
#include "richtext/gui/QtRichText.h"

TPrintService::TPrintService(std::string dataFolder, StatusSink status)
    : dataFolder_(fileutil::WithTrailingSlash(std::move(dataFolder))), status_(std::move(status)) {}

QString TPrintService::Heading(const QString& title) {
    return QString::fromLatin1(kAppTitle) + QStringLiteral(" - ") + title;
}

std::unique_ptr<QTextDocument> TPrintService::WithHeading(const QString& title, const QTextDocument& body) {
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(body.defaultFont());
    QTextCursor cursor(doc.get());
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    cursor.setBlockFormat(centred);
    QTextCharFormat heading;
    heading.setFontFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Sans Serif")});
    heading.setFontStyleHint(QFont::SansSerif);
    heading.setFontPointSize(12);
    heading.setFontWeight(QFont::Bold);
    heading.setForeground(QColor(0, 0, 255));
    cursor.insertText(Heading(title), heading);
    // The empty line under the heading, then the body in its own formats.
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertFragment(QTextDocumentFragment(&body));
    return doc;
}

std::string TPrintService::PdfPath(const std::string& folder, const QString& title) {
    // Only characters that are safe in any file name; a title may hold "/"
    // or begin with a dot.
    QString base;
    for (const QChar c : title.trimmed())
        base += (c.isLetterOrNumber() || c == u' ' || c == u'-' || c == u'_' || c == u'.') ? c : u'_';
    while (base.startsWith(u'.')) base.remove(0, 1);
    base = base.trimmed().left(80);
    if (base.isEmpty()) base = QStringLiteral("Message");
    const std::string dir = fileutil::WithTrailingSlash(folder);
    const std::string name = uniquename::Make(base.toStdString(), [&dir](std::string_view candidate) {
        return fileutil::Exists(dir + std::string(candidate) + ".pdf");
    });
    return dir + name + ".pdf";
}

TPrintService::TResult TPrintService::Print(const QString& title, const TRichDocument& body, const QString& printer) {
    QTextDocument doc;
    qtrichtext::Fill(doc, body);
    return Print(title, doc, printer);
}

TPrintService::TResult TPrintService::Print(const QString& title, const QTextDocument& body, const QString& printer) {
    if (status_) status_(QStringLiteral("Printing Message - ") + title);
    QPrinterInfo target;
    if (usePrinters_) {
        if (!printer.isEmpty()) target = QPrinterInfo::printerInfo(printer);
        if (target.isNull()) target = QPrinterInfo::defaultPrinter();
    }
    std::unique_ptr<QTextDocument> job = WithHeading(title, body);
    TResult result;
    if (!target.isNull()) {
        QPrinter device(target, QPrinter::HighResolution);
        device.setDocName(title);
        job->print(&device);
        result.done = device.printerState() != QPrinter::Error && device.printerState() != QPrinter::Aborted;
        if (!result.done && status_)
            status_(QStringLiteral("The message could not be printed on ") + target.printerName() + u'.');
        return result;
    }
    const std::string path = PdfPath(dataFolder_, title);
    QPrinter device(QPrinter::HighResolution);
    device.setOutputFormat(QPrinter::PdfFormat);
    device.setOutputFileName(QString::fromStdString(path));
    device.setDocName(title);
    job->print(&device);
    result.file = QString::fromStdString(path);
    result.done = QFileInfo(result.file).size() > 0;
    if (status_)
        status_(result.done ? QStringLiteral("No printer found; the message was saved as ") + result.file
                            : QStringLiteral("No printer found, and the PDF could not be written to ") + result.file);
    return result;
}
