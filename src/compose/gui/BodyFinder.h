#pragma once

#include <QObject>
#include <QPointer>

class IUserPrompt;
class QTextEdit;
class TBodyFindDialog;

// Find in the body of a message window. Open puts the body's selection into
// the find dialog and shows it; each "Find Next" searches on from the end of
// the selection to the end of the body. Past the last hit the caret's
// paragraph shows its first hit (when it has one), the user is told
// "Finished searching this message." and the dialog closes.
class TBodyFinder : public QObject {
    Q_OBJECT

public:
    static constexpr const char* kFinished = "Finished searching this message.";

    TBodyFinder(QTextEdit& body, IUserPrompt& prompt, QWidget* window);

    void Open();
    // True when a hit was selected; false at the end of the body.
    bool FindNext();
    // The dialog, once opened (null before).
    TBodyFindDialog* Dialog() const;

private:
    QTextEdit& body_;
    IUserPrompt& prompt_;
    QWidget* window_;
    QPointer<TBodyFindDialog> dialog_;
};
