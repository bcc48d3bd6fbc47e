#pragma once

#include <QKeySequence>
#include <QWidget>
#include <functional>

class ITelephony;
class QLineEdit;
class QToolButton;

// A phone number field with a dial button at its right edge (24 pixels wide,
// as high as the control, 6 pixels from the field). The button, or its
// shortcut, asks BeforeDial for the called party's name and hands the
// field's number as a "tel:" link to the desktop's dialer; Dialed follows.
// Without a dialer program the button stays disabled and its tip says why;
// the field works as ever.
class TEditAndDial : public QWidget {
    Q_OBJECT

public:
    static constexpr int kButtonWidth = 24;
    static constexpr int kMinHeight = 24;

    explicit TEditAndDial(ITelephony* telephony, QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);
    QLineEdit* Edit() const { return edit_; }
    QToolButton* Button() const { return button_; }

    // ButtonHint; shown when the button can dial.
    void SetButtonHint(const QString& hint);
    void SetButtonShortCut(const QKeySequence& keys);
    // The user's switch; a desktop without a dialer keeps the button off.
    void SetButtonEnabled(bool enabled);
    void SetButtonVisible(bool visible);
    bool CanDial() const;

    // Gives the called party's name for a call (none when unset).
    void SetBeforeDial(std::function<QString()> calledParty) { beforeDial_ = std::move(calledParty); }

    // What the button does: the call request, then Dialed.
    void Dial();

signals:
    // After a call request: the link and the name handed over.
    void Dialed(const QString& link, const QString& calledParty);

private:
    void FollowTelephony();

    ITelephony* telephony_;
    QLineEdit* edit_;
    QToolButton* button_;
    QString hint_;
    bool enabled_ = true;
    std::function<QString()> beforeDial_;
};
