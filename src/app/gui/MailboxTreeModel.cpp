#include "app/gui/MailboxTreeModel.h"

#include <QFont>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>

#include "common/gui/QtText.h"
#include "store/MailStore.h"
#include "store/MailboxName.h"
#include "store/MailboxOperations.h"

namespace {
// Pictures drawn for the project, used where the desktop theme lacks one.
QPixmap Canvas() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon DrawTrash(bool full) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    if (full) {
        // Crumpled paper heaped above the rim.
        p.setPen(QPen(QColor(120, 110, 60), 1));
        p.setBrush(QColor(250, 240, 160));
        p.drawEllipse(QRectF(3, 0.5, 6, 5));
        p.setBrush(QColor(255, 255, 255));
        p.drawEllipse(QRectF(7, 1, 6, 4.5));
    }
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(full ? QColor(150, 150, 160) : QColor(190, 190, 195));
    p.drawRect(QRectF(3.5, 5.5, 9, 9));
    p.drawLine(QPointF(6, 7), QPointF(6, 13));
    p.drawLine(QPointF(10, 7), QPointF(10, 13));
    if (!full) p.drawRect(QRectF(2.5, 3.5, 11, 2));
    return QIcon(pixmap);
}

QIcon DrawFolder(bool open) {
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(235, 195, 80));
    p.drawRect(QRectF(1.5, 3.5, 5, 2));
    if (open) {
        p.drawRect(QRectF(1.5, 5.5, 12, 8));
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygonF({QPointF(3.5, 7.5), QPointF(15, 7.5), QPointF(13.5, 13.5), QPointF(1.5, 13.5)}));
    } else {
        p.drawRect(QRectF(1.5, 5.5, 13, 8));
    }
    return QIcon(pixmap);
}

QIcon Themed(const char* name, const QIcon& fallback) { return QIcon::fromTheme(QString::fromLatin1(name), fallback); }
}  // namespace

TMailboxTreeModel::TMailboxTreeModel(TMailStore& store, TMailboxOperations& operations, QObject* parent)
    : QAbstractItemModel(parent), store_(store), operations_(operations) {
    images_[0] = Themed("user-trash", DrawTrash(false));
    images_[1] = Themed("user-trash-full", DrawTrash(true));
    images_[2] = Themed("folder", DrawFolder(false));
    images_[3] = Themed("folder-open", DrawFolder(true));
    folder_.addPixmap(images_[2].pixmap(16), QIcon::Normal);
    folder_.addPixmap(images_[3].pixmap(16), QIcon::Selected);
    store_.Tree().AddObserver(this);
}

TMailboxTreeModel::~TMailboxTreeModel() { store_.Tree().RemoveObserver(this); }

QIcon TMailboxTreeModel::Image(int image) const { return image >= 0 && image < 4 ? images_[image] : QIcon(); }

int TMailboxTreeModel::NodeOf(const QModelIndex& index) const {
    if (!index.isValid()) return -1;
    const int node = static_cast<int>(index.internalId());
    return node < store_.Tree().Count() ? node : -1;
}

QModelIndex TMailboxTreeModel::IndexOfNode(int node) const {
    const TMailboxTree& tree = store_.Tree();
    if (node < 0 || node >= tree.Count()) return {};
    const std::vector<int> siblings = tree.Children(tree.Parent(node));
    const auto at = std::find(siblings.begin(), siblings.end(), node);
    return createIndex(static_cast<int>(at - siblings.begin()), 0, static_cast<quintptr>(node));
}

QModelIndex TMailboxTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const std::vector<int> children = store_.Tree().Children(parent.isValid() ? NodeOf(parent) : -1);
    if (row >= static_cast<int>(children.size())) return {};
    return createIndex(row, 0, static_cast<quintptr>(children[static_cast<std::size_t>(row)]));
}

QModelIndex TMailboxTreeModel::parent(const QModelIndex& child) const {
    const int node = NodeOf(child);
    return node < 0 ? QModelIndex() : IndexOfNode(store_.Tree().Parent(node));
}

int TMailboxTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(store_.Tree().Children(parent.isValid() ? NodeOf(parent) : -1).size());
}

int TMailboxTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TMailboxTreeModel::data(const QModelIndex& index, int role) const {
    const int node = NodeOf(index);
    if (node < 0) return {};
    const TMailboxTree::Node& n = store_.Tree().At(node);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return qttext::FromStored(n.name);
        case Qt::DecorationRole:
            if (n.image == 2 && n.selectedImage == 3) return folder_;
            return Image(n.image);
        case kSelectedIconRole:
            return Image(n.selectedImage);
        case Qt::FontRole:
            if (n.bold) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default:
            return {};
    }
}

Qt::ItemFlags TMailboxTreeModel::flags(const QModelIndex& index) const {
    const int node = NodeOf(index);
    if (node < 0) return Qt::ItemIsDropEnabled;
    const std::string& name = store_.Tree().At(node).name;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDropEnabled;
    if (!TMailboxName::IsSystem(name)) f |= Qt::ItemIsEditable;
    if (name != TMailboxName::kTrashCan && name != TMailboxName::kInBox && name != TMailboxName::kOutBox)
        f |= Qt::ItemIsDragEnabled;
    return f;
}

bool TMailboxTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    const int node = NodeOf(index);
    if (role != Qt::EditRole || node < 0) return false;
    const std::string old = store_.Tree().At(node).name;
    return operations_.RenameMailbox(old, qttext::ToStored(value.toString()));
}

QStringList TMailboxTreeModel::mimeTypes() const { return {QString::fromLatin1(kNodeMime)}; }

QMimeData* TMailboxTreeModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    auto* mime = new QMimeData;
    mime->setData(QString::fromLatin1(kNodeMime), QByteArray::number(NodeOf(indexes.first())));
    return mime;
}

int TMailboxTreeModel::NodeOf(const QMimeData* mime) {
    if (!mime || !mime->hasFormat(QString::fromLatin1(kNodeMime))) return -1;
    bool ok = false;
    const int node = mime->data(QString::fromLatin1(kNodeMime)).toInt(&ok);
    return ok ? node : -1;
}

void TMailboxTreeModel::TreeReset() {
    endResetModel();
    emit Rebuilt();
}

void TMailboxTreeModel::NodeChanged(int node) {
    const QModelIndex i = IndexOfNode(node);
    if (i.isValid()) emit dataChanged(i, i);
}
