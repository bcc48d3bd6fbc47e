#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "common/gui/FileChooser.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTabWidget;

// The filter dialog, "Skiffpost Filter Properties": the twenty sub-items of
// one filter on three pages. "&Apply" and "&Close" hand them over through
// Applied; the caller writes them into the row.
class TFiltersForm : public QDialog {
    Q_OBJECT

public:
    // The lists its drop-downs offer: mailboxes in tree order, the system's
    // printers, address-book members.
    TFiltersForm(const QStringList& mailboxes, const QStringList& printers, const QStringList& members,
                 QWidget* parent = nullptr);

    // The printers the system knows, for the "Print Message To:" list.
    static QStringList SystemPrinters();
    void SetFileChooser(TFileChooser chooser) { chooser_ = std::move(chooser); }

    void Load(const std::vector<std::string>& subItems);
    std::vector<std::string> SubItems() const;

    QTabWidget* Pages = nullptr;
    QCheckBox* InFilter = nullptr;
    QCheckBox* OutFilter = nullptr;
    QLineEdit* SearchString1 = nullptr;
    QComboBox* Op1 = nullptr;
    QLineEdit* SearchString2 = nullptr;
    QComboBox* Op2 = nullptr;
    QLineEdit* SearchString3 = nullptr;
    QComboBox* Op3 = nullptr;
    QLineEdit* SearchString4 = nullptr;
    QCheckBox* SCase = nullptr;
    QCheckBox* SReverse = nullptr;
    QComboBox* MailBoxes = nullptr;
    QComboBox* MPrinters = nullptr;
    QComboBox* SendTo = nullptr;
    QCheckBox* NPlaySound = nullptr;
    QLineEdit* NSndFile = nullptr;
    QCheckBox* NRunProgram = nullptr;
    QLineEdit* NExeFile = nullptr;
    QCheckBox* NDialPager = nullptr;
    QLineEdit* NPagerNumber = nullptr;

signals:
    void Applied(const std::vector<std::string>& subItems);

private:
    QWidget* BuildMainPage();
    QWidget* BuildLogicPage();
    QWidget* BuildActionsPage();
    void ChooseSound();
    void ChooseProgram();

    TFileChooser chooser_ = filechooser::Desktop();
};
