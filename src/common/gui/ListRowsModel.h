#pragma once

#include <QAbstractTableModel>
#include <string>
#include <vector>

#include "common/ListFile.h"

class IEventPump;
class IUserPrompt;
class TBusyFlag;
class TNamedRowList;

// Where a list page writes its rows and whom it tells when that fails.
struct TListFileContext {
    std::string path;
    TBusyFlag& listFill;
    IEventPump& pump;
    IUserPrompt& prompt;
};

// A list page's rows as a Qt table: each column shows the caption or one
// sub-item. The caption is edited in place (a rename under the list's rules).
// Every change that the list keeps is written to its file at once; changes a
// dialog may still take back (a new row, an applied edit) are written by the
// caller when the dialog is done.
class TListRowsModel : public QAbstractTableModel {
    Q_OBJECT

public:
    static constexpr int kCaption = -1;

    // columns: per column, kCaption or the sub-item it shows.
    TListRowsModel(TNamedRowList& list, TListFileContext context, QStringList headers, std::vector<int> columns,
                   QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

    const TNamedRowList& List() const { return list_; }
    const TListRow& Row(int row) const;
    QString Name(int row) const;
    // The row of a name (case ignored), or -1.
    int RowOf(const QString& name) const;

    // A new row under the list's new name; its row. Not written yet.
    int AddNew();
    // A row as it is (an import); its row. Not written yet.
    int Add(TListRow row);
    void SetSubItems(int row, std::vector<std::string> subItems);
    // Puts back a row kept before a dialog (undoing "&Apply").
    void Restore(int row, TListRow copy);
    // Removes a row and writes the file.
    bool Remove(int row);
    // Removes a row a cancelled dialog made; nothing is written.
    void Discard(int row);
    // The rename rule (boxes on refusal), then the file; the row's new row or -1.
    int Rename(int row, const QString& name);
    // Name order (a header click), then the file.
    bool SortByName();
    // Writes the file; a failure is reported.
    bool Save();
    // Writes the file and tells the windows that follow the list (a dialog
    // closed with "&Close").
    bool Commit();
    // Re-reads the rows after the list was changed outside the model.
    void Reset();
    // Fills the list from its file (start-up).
    void Load();

signals:
    // The rows changed in a way other windows follow (names, rows added or
    // removed, a row's contents written).
    void Changed();
    // A rename moved a row (sorted lists keep name order).
    void RowRenamed(int row);
    // A row's name changed from one to the other (before Changed).
    void Renamed(const QString& from, const QString& to);

private:
    TNamedRowList& list_;
    TListFileContext context_;
    QStringList headers_;
    std::vector<int> columns_;
};
