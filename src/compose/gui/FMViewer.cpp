#include "compose/gui/FMViewer.h"

#include <QFile>
#include <QLabel>
#include <QStatusBar>
#include <QTextEdit>
#include <QVBoxLayout>

#include "common/gui/QtText.h"
#include "richtext/RtfReader.h"
#include "richtext/gui/QtRichText.h"

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

void TFMViewer::LoadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    const std::string text(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (text.starts_with("{\\rtf"))
        qtrichtext::Fill(*viewBox_->document(), TRtfReader::Read(text));
    else
        viewBox_->setPlainText(qttext::FromStored(text));
}
