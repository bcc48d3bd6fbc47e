#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

// The program's help: the help file beside the program, a Markdown text,
// shown in a window of its own. Links to other places open in the desktop's
// browser. One window serves every request and is raised when asked again.
class THelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit THelpWindow(QWidget* parent = nullptr);

    // Reads the help file; false when it cannot be read (the window keeps
    // what it showed).
    bool Load(const QString& path);
    // Scrolls to the heading with this text (the top when there is none)
    // and shows the window in front.
    void ShowSection(const QString& heading = {});

    QTextBrowser* Browser() const { return browser_; }

private:
    QTextBrowser* browser_;
};
