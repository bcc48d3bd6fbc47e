#pragma once

#include <functional>

#include "compose/gui/MessagePad.h"

class QAction;
class QComboBox;
class QLineEdit;
class QToolButton;

// The composer: an outgoing message (queued or sent) with its recipients,
// subject, formatted body, attachments, signature, type and account. The
// record follows the fields while the user types; the body is saved every
// three minutes after a change and on close. Send hands the message to the
// program's send, hidden while it runs: closed when the server took it,
// shown again with "This message was not sent." when not.
class TNewPad : public TMessagePad {
    Q_OBJECT

public:
    TNewPad(IPadHost& host, int handle);

    void Send();
    void InsertTimeStamp(QWidget* target = nullptr);
    void InsertDateStamp(QWidget* target = nullptr);
    // Fills the signature list again, e.g. after the signatures changed;
    // the signature chosen stays when it still exists.
    void FillSignatures();
    // The signature named from is now called to: chosen, it stays chosen.
    void SignatureRenamed(const QString& from, const QString& to) override;
    // Fills the account list again from the accounts that send; the chosen
    // account stays when it still exists, else the first is chosen.
    void FillServers();
    void AddAttachment(const std::string& path);
    // The quick addressee book on its To, CC or BCC page (TQuickLists'
    // pages), modally; what it applies fills the three fields.
    void OpenQuick(int page);
    void RecordChanged(int handle) override;
    void SignaturesChanged() override { FillSignatures(); }
    void AccountsChanged() override { FillServers(); }

    static std::string NoAccountError();
    static constexpr const char* kNotSent = "This message was not sent.";

    QLineEdit* subject;
    QLineEdit* toText;
    QLineEdit* ccList;
    QLineEdit* bccList;
    QComboBox* fontList;
    QComboBox* sizeList;
    QComboBox* colorBox;
    QComboBox* signature;
    QComboBox* msgType;
    QComboBox* servers;
    QAction* send;
    QAction* destroy;
    QAction* timeStamp;
    QAction* dateStamp;
    QAction* bullets;
    QAction* spelling;
    QAction* print;
    QAction* find;
    QAction* alignLeft;
    QAction* alignCenter;
    QAction* alignRight;
    QAction* moreFonts;
    QAction* bold;
    QAction* italic;
    QAction* underline;
    QAction* strikeThru;
    QAction* cut;
    QAction* copy;
    QAction* paste;
    QAction* remove;
    QAction* undo;
    QAction* addAttach;
    QAction* clearAttach;

protected:
    void BeforeSave() override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Changes fields of the message's record; the index is written with the
    // next save of the body.
    void EditRecord(const std::function<void(THeaderItem&)>& edit);
    void BuildHeader();
    void BuildButtons();
    void BuildOptions();
    void BuildMenu();
    void Fill();
    void FillServers(const std::vector<std::string>& accounts, const QString& wanted);
    void CopyFields();
    void RecipientDefaults();
    void AttachmentsChanged();
    void ChooseAttachment();
    void FilesDropped();
    // A drag over one of the four fields: members onto a recipient field,
    // a message row onto Subject; false for any other drag (the field's
    // own text drop).
    bool FieldDrop(QLineEdit* field, QEvent* event);
    void SelectionFeedback();
    void ShowSelectionFont();
    void MergeFormat(const class QTextCharFormat& format, const char* undoText);
    void SetUndoText(const char* text);

    bool creating_ = true;
    bool fontKeyDown_ = false;
};
