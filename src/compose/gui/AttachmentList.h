#pragma once

#include <QListWidget>
#include <string>
#include <vector>

class IUserPrompt;
class QAction;
class QMenu;

// The attachments of a message window: one large icon per file (the icon
// the desktop's theme gives its type), the file name as caption and the
// full path kept with the item. Hidden while empty. Its menu opens, views
// and shows the folder of the selected files; the composer adds "Add File"
// and "Remove".
class TAttachmentList : public QListWidget {
    Q_OBJECT

public:
    TAttachmentList(bool editable, QWidget* parent);
    // Asks before a received program is opened; without one, received
    // programs are not opened at all.
    void SetPrompt(IUserPrompt* prompt) { prompt_ = prompt; }

    void SetPaths(const std::vector<std::string>& paths);
    void Append(const std::string& path);
    std::vector<std::string> Paths() const;
    void RemoveSelected();
    void Clear();

    QMenu* Menu() const { return menu_; }
    QAction* addFile = nullptr;
    QAction* execute = nullptr;
    QAction* remove = nullptr;
    QAction* view = nullptr;
    QAction* exploreFolder = nullptr;

signals:
    // The list of files changed (added, removed).
    void Changed();
    // "Add File" was chosen.
    void AddRequested();
    // The status text for the item under the mouse or a file being opened.
    void Status(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void AddItem(const std::string& path);
    void Refresh();
    void ExecuteSelected();
    void ViewSelected();
    void ExploreSelected();

    QMenu* menu_;
    bool editable_;
    IUserPrompt* prompt_ = nullptr;
};
