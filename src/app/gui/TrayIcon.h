#pragma once

#include <QIcon>
#include <QObject>
#include <QString>

class QMenu;
class QSystemTrayIcon;

// The program's icon in the system tray: a picture, a tip of at most 62
// characters and a menu on a right click. A click (or a double click) asks
// for the main window. Where the desktop has no tray the icon cannot be
// shown; Available() then says so, and the window must stay reachable
// without it.
class TTrayIcon : public QObject {
    Q_OBJECT

public:
    explicit TTrayIcon(QObject* parent = nullptr);
    ~TTrayIcon() override;

    static constexpr int kMaxTip = 62;

    bool Available() const { return available_; }
    // Lets a desktop whose tray shows up (or goes) late, and the tests, say
    // whether there is a tray.
    void SetAvailable(bool available) { available_ = available; }

    // In the tray or not. Without a tray nothing shows, but the state is kept.
    void SetActive(bool active);
    bool Active() const { return active_; }
    void SetIcon(const QIcon& icon);
    // Cut to its first 62 characters.
    void SetToolTip(const QString& tip);
    QString ToolTip() const { return tip_; }
    void SetPopupMenu(QMenu* menu);
    QSystemTrayIcon* Native() const { return icon_; }

signals:
    void Clicked();
    void DoubleClicked();

private:
    QSystemTrayIcon* icon_;
    bool available_;
    bool active_ = false;
    QString tip_;
};
