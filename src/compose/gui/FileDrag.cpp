#include "compose/gui/FileDrag.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {
bool HasLocalFiles(const QMimeData* mime) {
    if (!mime || !mime->hasUrls()) return false;
    for (const QUrl& u : mime->urls())
        if (!u.isLocalFile()) return false;
    return true;
}
}  // namespace

TFileDrag::TFileDrag(QWidget* owner) : QObject(owner), owner_(owner) {}

TFileDrag::~TFileDrag() {
    if (owner_) owner_->removeEventFilter(this);
}

void TFileDrag::SetEnableDrop(bool enable) {
    if (!owner_ || enable == enabled_) return;
    enabled_ = enable;
    owner_->setAcceptDrops(enable);
    if (enable)
        owner_->installEventFilter(this);
    else
        owner_->removeEventFilter(this);
}

bool TFileDrag::Take(const QMimeData* mime) {
    if (!HasLocalFiles(mime)) return false;
    std::vector<std::string> paths;
    for (const QUrl& u : mime->urls()) paths.push_back(u.toLocalFile().toStdString());
    files_ = TDroppedFiles::FromPaths(paths);
    emit OnDrop();
    return true;
}

bool TFileDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != owner_ || !enabled_) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* e = static_cast<QDropEvent*>(event);
            if (HasLocalFiles(e->mimeData())) {
                e->acceptProposedAction();
                return true;
            }
            return false;
        }
        case QEvent::Drop: {
            auto* e = static_cast<QDropEvent*>(event);
            if (!Take(e->mimeData())) return false;
            e->acceptProposedAction();
            return true;
        }
        default:
            return QObject::eventFilter(watched, event);
    }
}
