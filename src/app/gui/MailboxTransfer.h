#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "common/ListFile.h"
#include "mail/MailboxExport.h"
#include "mail/MailboxImport.h"

class IClock;
class IFilterActions;
class QProgressDialog;
class QWidget;
class TMailStore;

// Runs mailbox imports and exports from the window: in steps on the
// window's loop, so the window keeps answering, with a progress dialog
// (messages, bytes, time left) whose Cancel stops after the messages stored
// so far, and the summary in a box at the end. Imports asked for while one
// runs wait their turn.
class TMailboxTransfer : public QObject {
    Q_OBJECT

public:
    TMailboxTransfer(TMailStore& store, IFilterActions& filterActions, std::string attachFolder, QWidget* window);
    ~TMailboxTransfer() override;

    // Imports a file or folder; into empty: a new mailbox named after it.
    void Import(const QString& path, const std::string& into);
    // Exports a mailbox to an mbox file or a folder of ".eml" files.
    void Export(const std::string& mailbox, const QString& path, TMailboxExport::TFormat format);
    bool Busy() const { return import_ || export_; }

    // How long each step may keep the window's loop (tests shorten it).
    void SetStepBudget(int milliseconds) { budget_ = milliseconds; }
    QProgressDialog* Dialog() const;

signals:
    // A run ended; its summary was shown.
    void Finished(const QString& summary);
    void StatusText(const QString& text);
    // A step is done; messages stored (or written) so far.
    void Stepped(qint64 messages);

private:
    struct TQueued {
        QString path;
        std::string into;
    };
    void StartNext();
    void RunStep();
    void ShowProgress(const TTransferProgress& progress);
    void End(const QString& summary);

    TMailStore& store_;
    IFilterActions& filterActions_;
    std::string attachFolder_;
    QWidget* window_;
    std::unique_ptr<IClock> clock_;
    std::vector<TListRow> filters_;
    std::vector<TQueued> queue_;
    std::unique_ptr<TMailboxImport> import_;
    std::unique_ptr<TMailboxExport> export_;
    QString exportPath_;
    QPointer<QProgressDialog> dialog_;
    QTimer timer_;
    QElapsedTimer elapsed_;
    int budget_ = 60;
};
