#pragma once

#include <QTimer>
#include <QWidget>

class QSplitter;
class TSRichEdit;
class TMailboxTreeView;
class TFMListView;
class TIniFile;

// The "Mail Messages" page: the mailbox tree and the message list side by
// side above the preview pane.
class TMailPage : public QWidget {
    Q_OBJECT

public:
    TMailPage(TIniFile& config, QWidget* parent);

    TMailboxTreeView* CategoryLB;
    QSplitter* WinSplit1;  // between tree and list; its first pane is the tree
    TFMListView* StickitLB;
    QSplitter* HorSplit;  // between the panel and the preview
    TSRichEdit* STextBox;

    // Tree width and panel height from the configuration.
    void RestoreLayout();
    // Shows or hides the preview pane; the panel takes the whole page when hidden.
    void SetPreviewVisible(bool visible);
    int PanelHeight() const;
    void SetPanelHeight(int height);
    int TreeWidth() const;

private:
    void TreeDragged();

    TIniFile& config_;
    QWidget* previewPanel_;
    // A drag of the splitter moves it many times; the width is written once
    // the drag has ended.
    QTimer catWidthTimer_;
};
