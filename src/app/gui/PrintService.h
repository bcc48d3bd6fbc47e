#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "richtext/RichDocument.h"

class QTextDocument;

// The one way the program prints: the main window's Print, the composer and
// reader, and the filters' "Print Message To" all come here. A job is the
// body under a heading (program title, " - ", title; blue, bold, centred,
// 12 points) and goes to the system's default printer, or to the printer
// named by the caller when the system knows it. When the system has no
// printer at all, the job is written as a PDF in the data folder under a
// name made from the title, and the status line names the file, so that
// nothing the user asked to print is silently lost.
//
// Windows call Print(title, body) with the body as a QTextDocument or as
// the document model; the body is not changed.
class TPrintService {
public:
    using StatusSink = std::function<void(const QString&)>;

    struct TResult {
        bool done = false;
        // The PDF written when no printer was there, else empty.
        QString file;
    };

    TPrintService(std::string dataFolder, StatusSink status);

    TResult Print(const QString& title, const QTextDocument& body, const QString& printer = QString());
    TResult Print(const QString& title, const TRichDocument& body, const QString& printer = QString());

    // The job's document: the heading line, an empty line, then the body.
    static std::unique_ptr<QTextDocument> WithHeading(const QString& title, const QTextDocument& body);
    // The heading's text.
    static QString Heading(const QString& title);
    // A file name in folder, made from title, that no file has yet.
    static std::string PdfPath(const std::string& folder, const QString& title);

    // Whether the system's printers are used; off, every job becomes a PDF
    // (how the tests and a machine without a print system see it).
    void UsePrinters(bool use) { usePrinters_ = use; }

private:
    std::string dataFolder_;
    StatusSink status_;
    bool usePrinters_ = true;
};
