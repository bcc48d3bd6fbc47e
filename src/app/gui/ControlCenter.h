#pragma once

#include <QMainWindow>
#include <QTimer>

class QLabel;
class QProgressBar;
class QTabWidget;
class TIniFile;
class IUserPrompt;

// The main window, "Control Center": the pages, the status line and the
// window state that is kept in the configuration file.
class TControlCenter : public QMainWindow {
    Q_OBJECT

public:
    TControlCenter(TIniFile& config, IUserPrompt& prompt, QWidget* parent = nullptr);

    // Brings the window into its saved state and shows or hides it, as the
    // last steps of start-up do.
    void Initialise();

    void SetStatusText(const QString& text);
    QTabWidget* Pages() const { return pages_; }
    QProgressBar* Progress() const { return progress_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildPages();
    void BuildStatusLine();
    void RestoreGeometry();
    void ActOnCommandRequest();
    // Writes "Top", "Left", "Width" and "Height" while the window shows in
    // normal state.
    void SaveGeometry();
    int WindowStateValue() const;

    TIniFile& config_;
    IUserPrompt& prompt_;
    QTabWidget* pages_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    // Moves and resizes come in bursts while the user drags; the geometry is
    // written once the burst is over.
    QTimer geometryTimer_;
    bool closing_ = false;
};
