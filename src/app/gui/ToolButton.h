#pragma once

#include <QToolButton>

// A button of the main tool bar: it shows its action (caption, picture,
// enabled state), and its own hint, which the user can switch off. An
// action always offers a tool tip (its caption when it has none), so the
// hint is put back whenever the action changes.
class TToolButton : public QToolButton {
    Q_OBJECT

public:
    explicit TToolButton(QWidget* parent) : QToolButton(parent) {}

    void SetHint(const QString& hint);
    QString Hint() const { return hint_; }
    void SetHintVisible(bool visible);
    // Shows action; its caption and picture are the button's.
    void Show(QAction* action);

protected:
    void actionEvent(QActionEvent* event) override;

private:
    void ApplyHint();

    QString hint_;
    bool hintVisible_ = true;
};
