#pragma once

#include <QDialog>
#include <array>
#include <vector>

#include "book/QuickLists.h"
#include "common/ListFile.h"

class QComboBox;
class QListWidget;
class QPushButton;
class QTabWidget;

// The quick addressee book, "Fenmarch Quick Addressee Book": the composer's
// To, CC and BCC recipients on three pages, each filled from the address
// book's members and their addresses. "&Apply" and "&Done" hand the three
// lists back through Applied, joined as the composer's fields hold them.
class TQuick : public QDialog {
    Q_OBJECT

public:
    struct TPageWidgets {
        QComboBox* members = nullptr;       // "Address Book Members"; a typed address too
        QListWidget* available = nullptr;   // "Available Member Addressees"
        QListWidget* recipients = nullptr;  // "Recipient List"
        QPushButton* add = nullptr;
        QPushButton* remove = nullptr;
    };

    // book: the address book's rows, in list order.
    explicit TQuick(std::vector<TListRow> book, QWidget* parent = nullptr);

    // The composer's three fields.
    void Load(const QString& to, const QString& cc, const QString& bcc);
    void ShowPage(int page);

    const TPageWidgets& Page(int page) const { return pages_[static_cast<std::size_t>(page)]; }
    const TQuickLists& Lists() const { return lists_; }
    // "&Add >>" on a page: the text of the drop-down or the selected
    // address of the available list, whichever of the two was used last
    // (focused, typed into or picked in).
    void Add(int page);
    void Remove(int page);
    // A drop onto a page's recipient list: taken when it comes from that
    // page's drop-down or available list (false otherwise), and added by
    // the rule of "&Add >>".
    bool DropFrom(int page, const QObject* source);
    void Apply();

    QTabWidget* Pages = nullptr;
    QPushButton* Back = nullptr;
    QPushButton* Next = nullptr;
    QPushButton* ApplyButton = nullptr;
    QPushButton* Done = nullptr;

signals:
    void Applied(const QString& to, const QString& cc, const QString& bcc);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* BuildPage(int page);
    void ChooseMember(int page, const QString& name);
    // What a source widget of a page offers: the drop-down's text or the
    // available list's selected address.
    QString ValueOf(int page, const QObject* source) const;
    void AddValue(int page, const QString& value);
    void ShowRecipients(int page);
    void FollowPage();
    int PageOf(const QObject* widget) const;

    std::vector<TListRow> book_;
    TQuickLists lists_;
    std::array<TPageWidgets, TQuickLists::kPages> pages_;
    // Per page, the source "&Add >>" takes from: the drop-down or the list.
    std::array<const QObject*, TQuickLists::kPages> source_{};
};
