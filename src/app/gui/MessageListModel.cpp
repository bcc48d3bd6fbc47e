#include "app/gui/MessageListModel.h"

#include <QCollator>
#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <ctime>
#include <numeric>

#include "common/BusyFlag.h"
#include "common/DisplayDate.h"
#include "common/gui/QtText.h"
#include "store/MailStore.h"

namespace {
const char* const kCaptions[] = {"Subject", "Who", "Date", "S", "A", "Mailbox"};
constexpr int kColumns = 5;
constexpr int kDateColumn = 2;
constexpr int kAttachColumn = 4;
// Found records come from every mailbox: a sixth column names it.
constexpr int kMailboxColumn = 5;

// A paper clip drawn once, used where the desktop theme has none.
QIcon AttachmentIcon() {
    QIcon themed = QIcon::fromTheme(QStringLiteral("mail-attachment"));
    if (!themed.isNull()) return themed;
    QPixmap clip(16, 16);
    clip.fill(Qt::transparent);
    QPainter p(&clip);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 90), 1.6));
    p.drawRoundedRect(QRectF(5, 1.5, 6, 12.5), 3, 3);
    p.drawLine(QPointF(8, 4), QPointF(8, 11));
    return QIcon(clip);
}
}  // namespace

TMessageListModel::TMessageListModel(TMailStore& store, QObject* parent)
    : QAbstractTableModel(parent), store_(store), attachment_(AttachmentIcon()) {
    store_.Rows().AddObserver(this);
}

TMessageListModel::~TMessageListModel() { store_.Rows().RemoveObserver(this); }

int TMessageListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : store_.Rows().Count();
}

int TMessageListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : store_.ShowsFound() ? kColumns + 1 : kColumns;
}

const std::string& TMessageListModel::Cell(const TMessageRow& row, int column) const {
    return column == 0 ? row.cells.caption : row.cells.SubItem(static_cast<std::size_t>(column - 1));
}

QVariant TMessageListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= store_.Rows().Count()) return {};
    const TMessageRow& row = store_.Rows().At(index.row());
    if (index.column() == kMailboxColumn) {
        const THeaderItem* item = store_.Headers().At(row.handle);
        return role == Qt::DisplayRole && item ? qttext::FromStored(item->Mailbox.str()) : QVariant();
    }
    switch (role) {
        case Qt::DisplayRole:
            // The "A" cell holds two blanks for an attachment; the picture shows it.
            if (index.column() == kAttachColumn) return {};
            return qttext::FromStored(Cell(row, index.column()));
        case Qt::EditRole:
            return qttext::FromStored(Cell(row, index.column()));
        case Qt::FontRole:
            if (row.cells.SubItem(TMessageRows::kStatus) == "NR") {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::DecorationRole:
            if (index.column() == kAttachColumn && row.cells.SubItem(TMessageRows::kAttach) == "  ") return attachment_;
            return {};
        case kHandleRole:
            return row.handle;
        default:
            return {};
    }
}

QVariant TMessageListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return QString::fromLatin1(kCaptions[section]);
}

int TMessageListModel::HandleAt(int row) const {
    return row >= 0 && row < store_.Rows().Count() ? store_.Rows().At(row).handle : -1;
}

bool TMessageListModel::Editable(int row) const {
    const THeaderItem* item = store_.Headers().At(HandleAt(row));
    return item && (item->Has(mfQueued) || item->Has(mfSent));
}

Qt::ItemFlags TMessageListModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == 0 && Editable(index.row())) f |= Qt::ItemIsEditable;
    return f;
}

bool TMessageListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != 0 || !Editable(index.row())) return false;
    const int handle = HandleAt(index.row());
    const std::string subject = qttext::ToStored(value.toString());
    if (subject == store_.Headers().At(handle)->Subject.str()) return false;
    // Bounded to the record's 255 characters.
    store_.ChangeRecord(handle, [&subject](THeaderItem& item) { item.Subject = subject; });
    return true;
}

void TMessageListModel::RowChanged(int position) {
    emit dataChanged(index(position, 0), index(position, kColumns - 1));
}

QStringList TMessageListModel::mimeTypes() const { return {QString::fromLatin1(kRowsMime)}; }

QMimeData* TMessageListModel::mimeData(const QModelIndexList& indexes) const {
    QList<int> rows;
    for (const QModelIndex& i : indexes)
        if (!rows.contains(i.row())) rows << i.row();
    std::sort(rows.begin(), rows.end());
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    for (const int r : rows) out << qint32(HandleAt(r));
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kRowsMime), bytes);
    return mime;
}

QList<int> TMessageListModel::HandlesOf(const QMimeData* mime) {
    QList<int> handles;
    if (!mime || !mime->hasFormat(QString::fromLatin1(kRowsMime))) return handles;
    QDataStream in(mime->data(QString::fromLatin1(kRowsMime)));
    while (!in.atEnd()) {
        qint32 h = -1;
        in >> h;
        if (in.status() != QDataStream::Ok) break;
        handles << h;
    }
    return handles;
}

void TMessageListModel::sort(int column, Qt::SortOrder) {
    if (column < 0 || column >= kColumns) return;
    TBusyLock lock(store_.Flags().listFill, store_.Pump());
    if (!lock.Held()) return;
    const TMessageRows& rows = store_.Rows();
    const int n = rows.Count();
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    if (column == kDateColumn) {
        // Newest first, by the date the text names: "01/05/27" is later than
        // "12/08/26", and "02:15 PM" later than "10:00 AM". A text that is no
        // date goes last.
        const std::time_t now = std::time(nullptr);
        std::tm today{};
        localtime_r(&now, &today);
        std::vector<long long> keys;
        keys.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i)
            keys.push_back(displaydate::Chronological(Cell(rows.At(i), column), today.tm_year + 1900).value_or(-1));
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return keys[static_cast<std::size_t>(a)] > keys[static_cast<std::size_t>(b)];
        });
    } else {
        // Collation keys are made once per row: comparing them is cheap,
        // where a locale comparison of two texts would convert both every
        // time.
        QCollator collator;
        collator.setCaseSensitivity(Qt::CaseSensitive);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) keys.push_back(collator.sortKey(qttext::FromStored(Cell(rows.At(i), column))));
        const bool ascending = column <= 1;
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int c = keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]);
            return ascending ? c < 0 : c > 0;
        });
    }
    emit layoutAboutToBeChanged();
    store_.Rows().RemoveObserver(this);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> newPosition(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) newPosition[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = i;
    store_.Rows().Arrange(order);
    store_.Rows().AddObserver(this);
    QModelIndexList after;
    for (const QModelIndex& i : before) after << index(newPosition[static_cast<std::size_t>(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged();
}
