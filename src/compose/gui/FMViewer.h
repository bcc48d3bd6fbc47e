#pragma once

#include <QWidget>

class QTextEdit;

// A top-level window that shows one file read-only.
class TFMViewer : public QWidget {
    Q_OBJECT

public:
    explicit TFMViewer(QWidget* parent = nullptr);

    void SetFileName(const QString& name);
    // Shows a file: rich text as such, anything else as Windows-1252 text.
    void LoadFile(const QString& path);
    QTextEdit* ViewBox() const { return viewBox_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTextEdit* viewBox_;
    QString fileName_;
};
