#include "app/gui/MailboxTransfer.h"

#include <QLocale>
#include <QProgressDialog>
#include <QWidget>

#include "book/FilterList.h"
#include "common/AppTitle.h"
#include "common/Clock.h"
#include "common/FileUtil.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "config/ConfigKeys.h"
#include "store/MailStore.h"

namespace {

QString Bytes(std::uint64_t bytes) { return QLocale().formattedDataSize(static_cast<qint64>(bytes)); }

}  // namespace

TMailboxTransfer::TMailboxTransfer(TMailStore& store, IFilterActions& filterActions, std::string attachFolder,
                                   QWidget* window)
    : QObject(window),
      store_(store),
      filterActions_(filterActions),
      attachFolder_(std::move(attachFolder)),
      window_(window),
      clock_(std::make_unique<TSystemClock>()) {
    timer_.setInterval(0);
    connect(&timer_, &QTimer::timeout, this, &TMailboxTransfer::RunStep);
}

TMailboxTransfer::~TMailboxTransfer() {
    // What was read is stored and the attachment threads are waited for.
    if (import_) import_->Cancel(), import_->Step(std::chrono::milliseconds(0));
    if (export_) export_->Cancel(), export_->Step(std::chrono::milliseconds(0));
}

QProgressDialog* TMailboxTransfer::Dialog() const { return dialog_; }

void TMailboxTransfer::Import(const QString& path, const std::string& into) {
    queue_.push_back({path, into});
    if (!Busy()) StartNext();
}

void TMailboxTransfer::Export(const std::string& mailbox, const QString& path, TMailboxExport::TFormat format) {
    if (Busy()) {
        emit StatusText(QStringLiteral("An import or export is running; try again when it is done."));
        return;
    }
    export_ = std::make_unique<TMailboxExport>(store_, TMailboxExport::DefaultSender(store_.DataFolder()));
    std::string error;
    if (!export_->Begin(mailbox, path.toStdString(), format, error)) {
        export_.reset();
        store_.Prompt().Error(std::string(kAppTitle) + " could not export the mailbox: " +
                              qttext::ToStored(QString::fromStdString(error)) + ".");
        return;
    }
    exportPath_ = path;
    dialog_ = new QProgressDialog(QStringLiteral("Exporting ") + qttext::FromStored(mailbox) + QStringLiteral("..."),
                                  QStringLiteral("Cancel"), 0, 1000, window_);
    dialog_->setWindowTitle(QStringLiteral("Export Mailbox"));
    dialog_->setObjectName(QStringLiteral("MailboxTransferDialog"));
    dialog_->setMinimumDuration(300);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    connect(dialog_, &QProgressDialog::canceled, this, [this] {
        if (export_) export_->Cancel();
    });
    elapsed_.start();
    timer_.start();
}

void TMailboxTransfer::StartNext() {
    while (!queue_.empty() && !import_) {
        const TQueued next = queue_.front();
        queue_.erase(queue_.begin());
        TFilterList filters;
        filters.Load(fileutil::FindNoCase(store_.DataFolder(), cfg::kFilterFile));
        filters_ = filters.Rows();
        import_ = std::make_unique<TMailboxImport>(store_, filters_, filterActions_, store_.Prompt(), *clock_,
                                                   store_.DataFolder(), attachFolder_);
        std::string error;
        if (!import_->Begin(next.path.toStdString(), {next.into, false}, error)) {
            import_.reset();
            store_.Prompt().Error(std::string(kAppTitle) + " could not import \"" + qttext::ToStored(next.path) +
                                  "\": " + qttext::ToStored(QString::fromStdString(error)) + ".");
            continue;
        }
        dialog_ = new QProgressDialog(QStringLiteral("Importing ") + next.path + QStringLiteral("..."),
                                      QStringLiteral("Cancel"), 0, 1000, window_);
        dialog_->setWindowTitle(QStringLiteral("Import Mailbox"));
        dialog_->setObjectName(QStringLiteral("MailboxTransferDialog"));
        dialog_->setMinimumDuration(300);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        connect(dialog_, &QProgressDialog::canceled, this, [this] {
            if (import_) import_->Cancel();
        });
        elapsed_.start();
        timer_.start();
    }
}

void TMailboxTransfer::ShowProgress(const TTransferProgress& progress) {
    if (!dialog_) return;
    const double done = progress.totalBytes ? double(progress.bytes) / double(progress.totalBytes) : 0.0;
    dialog_->setValue(static_cast<int>(std::min(done, 1.0) * 1000));
    QString label = QString::number(progress.messages) + QStringLiteral(" messages, ") + Bytes(progress.bytes) +
                    QStringLiteral(" of ") + Bytes(progress.totalBytes);
    const qint64 ms = elapsed_.elapsed();
    if (done > 0.01 && ms > 1000) {
        const qint64 left = static_cast<qint64>(double(ms) * (1.0 - done) / done / 1000.0);
        label += QStringLiteral(", about ") +
                 (left >= 60 ? QString::number(left / 60) + QStringLiteral(" min ") : QString()) +
                 QString::number(left % 60) + QStringLiteral(" s left");
    }
    dialog_->setLabelText(label);
}

void TMailboxTransfer::RunStep() {
    const auto budget = std::chrono::milliseconds(budget_);
    if (import_) {
        const bool more = import_->Step(budget);
        ShowProgress(import_->Progress());
        emit Stepped(static_cast<qint64>(import_->Progress().messages));
        if (more) return;
        const QString summary = QString::fromStdString(import_->Summary().Text());
        import_.reset();
        End(summary);
        return;
    }
    if (export_) {
        const bool more = export_->Step(budget);
        ShowProgress(export_->Progress());
        emit Stepped(static_cast<qint64>(export_->Progress().messages));
        if (more) return;
        const QString summary = QString::fromStdString(export_->Summary().Text(exportPath_.toStdString()));
        export_.reset();
        End(summary);
        return;
    }
    timer_.stop();
}

void TMailboxTransfer::End(const QString& summary) {
    timer_.stop();
    // Hidden now: the summary's box runs a loop of its own, which does not
    // delete what was left for deletion before it.
    if (dialog_) {
        dialog_->hide();
        dialog_->deleteLater();
    }
    dialog_ = nullptr;
    emit StatusText(summary.section(u'\n', 0, 0));
    store_.Prompt().Information(qttext::ToStored(summary));
    emit Finished(summary);
    StartNext();
}
