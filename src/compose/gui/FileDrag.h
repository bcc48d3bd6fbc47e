#pragma once

#include <QObject>

class QMimeData;

#include "compose/DroppedFiles.h"

// Lets a window take files dropped from the desktop (text/uri-list of local
// files). After a drop the lists hold that drop's files and OnDrop is raised.
class TFileDrag : public QObject {
    Q_OBJECT

public:
    explicit TFileDrag(QWidget* owner);
    ~TFileDrag() override;

    void SetEnableDrop(bool enable);
    bool EnableDrop() const { return enabled_; }
    const TDroppedFiles& Files() const { return files_; }
    // Takes the files of a drop; false (and nothing changed) when it holds
    // anything but local files.
    bool Take(const QMimeData* mime);

signals:
    void OnDrop();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* owner_;
    bool enabled_ = false;
    TDroppedFiles files_;
};
