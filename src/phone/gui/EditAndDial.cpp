#include "phone/gui/EditAndDial.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QToolButton>

#include "common/gui/QtText.h"
#include "phone/TelLink.h"
#include "phone/Telephony.h"

namespace {

// A handset, for desktops whose icon theme has no "call-start".
QIcon DrawHandset() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath handset;
    handset.moveTo(2, 5);
    handset.cubicTo(2, 2, 5, 1, 6, 3);
    handset.lineTo(7, 6);
    handset.lineTo(5, 7);
    handset.cubicTo(6, 9, 7, 10, 9, 11);
    handset.lineTo(10, 9);
    handset.lineTo(13, 10);
    handset.cubicTo(15, 11, 14, 14, 11, 14);
    handset.cubicTo(6, 14, 2, 10, 2, 5);
    p.fillPath(handset, QColor(0, 128, 0));
    return QIcon(pixmap);
}

}  // namespace

TEditAndDial::TEditAndDial(ITelephony* telephony, QWidget* parent) : QWidget(parent), telephony_(telephony) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(30 - kButtonWidth);
    edit_ = new QLineEdit(this);
    edit_->setObjectName(QStringLiteral("Edit"));
    edit_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    button_ = new QToolButton(this);
    button_->setObjectName(QStringLiteral("DialButton"));
    button_->setFixedWidth(kButtonWidth);
    button_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
    button_->setIcon(QIcon::fromTheme(QStringLiteral("call-start"), DrawHandset()));
    button_->setText(QStringLiteral("Dial"));
    layout->addWidget(edit_, 1);
    layout->addWidget(button_);
    setMinimumHeight(kMinHeight);
    setFocusProxy(edit_);
    connect(button_, &QToolButton::clicked, this, &TEditAndDial::Dial);
    FollowTelephony();
}

QString TEditAndDial::text() const { return edit_->text(); }
void TEditAndDial::setText(const QString& text) { edit_->setText(text); }

void TEditAndDial::SetButtonHint(const QString& hint) {
    hint_ = hint;
    FollowTelephony();
}

void TEditAndDial::SetButtonShortCut(const QKeySequence& keys) { button_->setShortcut(keys); }

void TEditAndDial::SetButtonEnabled(bool enabled) {
    enabled_ = enabled;
    FollowTelephony();
}

void TEditAndDial::SetButtonVisible(bool visible) { button_->setVisible(visible); }

bool TEditAndDial::CanDial() const { return telephony_ && telephony_->CanCall(); }

void TEditAndDial::FollowTelephony() {
    const bool can = CanDial();
    button_->setEnabled(enabled_ && can);
    button_->setToolTip(can ? hint_ : QString::fromLatin1(ITelephony::kNoDialerTip));
}

void TEditAndDial::Dial() {
    // The same rule as the button for callers that dial directly.
    if (!button_->isEnabled() || !telephony_) return;
    const QString calledParty = beforeDial_ ? beforeDial_() : QString();
    const std::string link = tellink::FromNumber(qttext::ToStored(edit_->text()));
    telephony_->RequestMakeCall(link, qttext::ToStored(calledParty));
    emit Dialed(QString::fromLatin1(link), calledParty);
}
