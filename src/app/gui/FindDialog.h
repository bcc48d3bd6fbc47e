#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The modeless find dialog of the main window: a search text and a
// "Find Next" button. While a search runs the button is disabled and
// "Cancel" stops the search; otherwise "Cancel" closes the dialog.
class TFindDialog : public QDialog {
    Q_OBJECT

public:
    explicit TFindDialog(QWidget* parent);

    QString Text() const;
    void SetText(const QString& text);
    void SetSearching(bool searching);
    QPushButton* FindButton() const { return find_; }
    QPushButton* CancelButton() const { return cancel_; }

signals:
    void FindNext(const QString& text);
    void StopRequested();

private:
    QLineEdit* text_;
    QPushButton* find_;
    QPushButton* cancel_;
    bool searching_ = false;
};
