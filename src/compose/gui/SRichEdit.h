#pragma once

#include <QTextEdit>

// The rich text box of every message body: a text edit that reports double
// clicks and vertical scrolling, finds the web link under the mouse and
// moves by line and column. Lines are the paragraphs of the document.
class TSRichEdit : public QTextEdit {
    Q_OBJECT

public:
    explicit TSRichEdit(QWidget* parent = nullptr);

    int CurrentLine() const;
    int CurrentColumn() const;
    int TopLine() const;
    int LineCount() const;
    void GoToLine(int line);
    void GoToColumn(int column);
    void ScrollToLine(int line);

    // The link under the mouse, empty when none.
    const QString& LinkText() const { return link_; }

signals:
    void OnWebLink();
    void OnVScroll();
    // The mouse came onto a link or left it: the status text to show
    // ("Shortcut to ..." or empty).
    void LinkStatus(const QString& text);

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void DetectLink(const QPoint& at);

    QString link_;
};
