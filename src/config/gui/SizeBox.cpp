#include "config/gui/SizeBox.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

TSizeBox::TSizeBox(QSize outerSize, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("SizeBox"));
    setWindowTitle(QStringLiteral("Size Box"));
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* text = new QLabel(QStringLiteral("Just size this box and all of your Stickits will be this size."), this);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    layout->addWidget(text, 1);
    Panel = new QLabel(QStringLiteral("Click Here when finished"), this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setAlignment(Qt::AlignCenter);
    Panel->setFrameShape(QFrame::Panel);
    Panel->setFrameShadow(QFrame::Raised);
    Panel->setMinimumHeight(24);
    Panel->setCursor(Qt::PointingHandCursor);
    Panel->installEventFilter(this);
    layout->addWidget(Panel);
    setMinimumSize(120, 80);
    // The stored size is the outer one; the frame is known once shown, so
    // start from the client size the window manager usually leaves.
    resize(outerSize);
}

QSize TSizeBox::OuterSize() const { return frameGeometry().size(); }

bool TSizeBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Panel && event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
