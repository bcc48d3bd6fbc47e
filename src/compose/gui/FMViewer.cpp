#include "compose/gui/FMViewer.h"

#include <QLabel>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>

TFMViewer::TFMViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose);
    viewBox_ = new QTextEdit(this);
    viewBox_->setObjectName(QStringLiteral("ViewBox"));
    viewBox_->setReadOnly(true);
    viewBox_->setTabChangesFocus(false);
    viewBox_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* status = new QStatusBar(this);
    status->addWidget(new QLabel(QStringLiteral("The Fenmarch File Viewer"), status));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(viewBox_);
    layout->addWidget(status);
    resize(427, 273);
}

void TFMViewer::SetFileName(const QString& name) { fileName_ = name; }

void TFMViewer::showEvent(QShowEvent* event) {
    setWindowTitle(QStringLiteral("The Fenmarch File Viewer - ") + fileName_);
    QWidget::showEvent(event);
}
