#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <string>

#include "mail/MessageFinder.h"

class QTextEdit;
class TFindDialog;
class TMailCommands;
class TMailPage;
class TMailStore;

// Find Message: the find dialog and the search over every stored message.
// Each press of "Find Next" searches from the search position (the record
// after the last hit; the first record when the dialog is opened) and shows
// the next hit by selecting its mailbox and row and putting the preview's
// caret on the line, with the found text selected. The search runs in short
// steps on the window's event loop, so the window stays responsive and
// "Stop" ends it at once. At the end of the records the dialog closes.
class TMessageSearch : public QObject {
    Q_OBJECT

public:
    using StatusSink = std::function<void(const QString&)>;

    TMessageSearch(TMailStore& store, TMailCommands& commands, TMailPage& page, QWidget* window, StatusSink status);
    ~TMessageSearch() override;

    // Shows the window in normal state, puts the search position on the
    // first record and shows the dialog.
    void Open();
    void FindNext(const QString& text);
    void Stop();

    bool Searching() const { return timer_.isActive(); }
    // How long the search waits between two tries to show a hit's mailbox
    // while the store is busy; after kSelectionTries failed tries within
    // one search it gives up with a box.
    void SetSelectionPause(std::chrono::milliseconds pause) { selectionPause_ = pause; }
    static constexpr int kSelectionTries = 1000;
    static std::string SelectionTimeoutError();
    int Position() const { return position_; }
    TFindDialog* Dialog() const;

    // The start of line (counted from 0) of a text box's plain text, the
    // last line when there are fewer.
    static int PositionOfLine(const QTextEdit& box, int line);

signals:
    // A press has ended: at a hit, at the end of the records, or stopped.
    void SearchEnded();

private:
    // What became of a hit: shown, not showable (the search goes on), or its
    // mailbox could not be selected yet (tried again shortly).
    enum class TShown { Shown, SearchOn, TryAgain };

    void Step();
    TShown ShowHit();
    void End();

    TMailStore& store_;
    TMailCommands& commands_;
    TMailPage& page_;
    QWidget* window_;
    StatusSink status_;
    TMessageFinder finder_;
    QTimer timer_;
    QPointer<TFindDialog> dialog_;
    QString text_;
    int position_ = 0;
    // A hit waits for its mailbox to be shown; the failed tries of this search.
    bool waiting_ = false;
    int selectionTries_ = 0;
    std::chrono::milliseconds selectionPause_{10};
};
