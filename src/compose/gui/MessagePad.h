#pragma once

#include <QTimer>
#include <QWidget>

#include "compose/gui/MessageWindow.h"

class IPadHost;
class QLabel;
class QStatusBar;
class QVBoxLayout;
class TAttachmentList;
class TBodyFinder;
class THeaderItem;
class TSRichEdit;

// What the reader and the composer share: one stored message in a
// top-level window of its own, its body in a rich text box, its attachment
// list, the four-panel status line, the three-minute save timer and the
// save on close, and destroying the message. The window keeps only the
// record's handle: a save goes to the mailbox the record is in at that
// moment, so a record moved while its window is open is saved where it went.
class TMessagePad : public QWidget, public IMessageWindow {
    Q_OBJECT

public:
    static constexpr int kSaveInterval = 180000;

    TMessagePad(IPadHost& host, int handle, bool editable);
    ~TMessagePad() override;

    QWidget* Widget() override { return this; }
    void RecordDestroyed(int handle) override;

    int Handle() const { return handle_; }
    TSRichEdit* Body() const { return body_; }
    TAttachmentList* Attachments() const { return attachments_; }
    QTimer& SaveTimer() { return saveTimer_; }
    // "Find" in the body, with the window's find dialog.
    TBodyFinder* Finder() const { return finder_; }
    QString Panel(int index) const;

    // Writes the body as rich text with the record; false when it could not
    // be saved (the store said why).
    bool Save();
    // Asks, then destroys the message for good and closes the window.
    void Destroy();

    static std::string DestroyQuestion() { return "Are you sure you want to destroy this message?"; }
    static std::string DestroyError();

protected:
    const THeaderItem* Record() const;
    // Prints the body under the heading of the message's subject.
    void PrintBody();
    IPadHost& Host() const { return host_; }
    // Called before the body is written: the composer copies its fields.
    virtual void BeforeSave() {}
    // The header area, tool bar and option rows go above the body.
    QVBoxLayout* Top() const { return top_; }
    // Loads the body and the attachments from the record; panel 1 shows the
    // body's size.
    void LoadRecord();
    void SetPanel(int index, const QString& text);
    void UpdateCaretPanels();

    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    IPadHost& host_;
    int handle_;
    bool destroyed_ = false;
    QVBoxLayout* top_;
    TSRichEdit* body_;
    TAttachmentList* attachments_;
    TBodyFinder* finder_;
    QStatusBar* statusBar_;
    QLabel* panels_[4];
    QTimer saveTimer_;
    int topLine_ = 0;
};
