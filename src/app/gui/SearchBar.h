#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QLineEdit;
class QTextEdit;
class QMainWindow;
class TMailCommands;
class TMailSearch;
class TMailStore;

// The search field on a tool bar beside the buttons: as the user types, the message list
// shows every stored message the query finds, from every mailbox (which a
// column names), newest first; Escape (or an emptied field) brings back the
// mailbox chosen in the tree. Ctrl+K goes to the field. It owns the search
// index of the run and drives its reading of bodies in short steps on the
// window's event loop, the status line telling how far it has come.
class TSearchBar : public QObject {
    Q_OBJECT
public:
    using StatusSink = std::function<void(const QString&)>;

    TSearchBar(TMailStore& store, TMailCommands& commands, QMainWindow& window, StatusSink status);
    ~TSearchBar() override;

    // Opens the index once the store is loaded.
    void Start();
    QLineEdit* Field() const { return field_; }
    QAction* FocusAction() const { return focus_; }
    // Shows the hits of the field's text now (typing waits a moment first).
    void Run();
    // Back to the mailbox of the tree.
    void Leave();
    // The words of the query on view, for marking them in a message shown.
    const std::vector<std::string>& Terms() const { return terms_; }
    // Marks the words of the query on view in a text box (nothing when the
    // list shows a mailbox).
    void Highlight(QTextEdit& box) const;
    TMailSearch& Search() { return *search_; }

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void StepIndex();
    void ShowProgress();

    TMailStore& store_;
    TMailCommands& commands_;
    StatusSink status_;
    std::unique_ptr<TMailSearch> search_;
    QLineEdit* field_;
    QAction* focus_;
    QTimer typing_;
    QTimer step_;
    qint64 lastProgress_ = 0;
    bool indexing_ = false;
    std::vector<std::string> terms_;
};
