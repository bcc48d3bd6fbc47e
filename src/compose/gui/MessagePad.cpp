#include "compose/gui/MessagePad.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QVBoxLayout>

#include "common/AppTitle.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/AttachmentValue.h"
#include "compose/gui/AttachmentList.h"
#include "compose/gui/BodyFinder.h"
#include "compose/gui/PadHost.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "mail/MessageCreator.h"
#include "mail/MessageDestroyer.h"
#include "mail/RecordBody.h"
#include "richtext/RtfWriter.h"
#include "richtext/gui/QtRichText.h"
#include "store/MailStore.h"

namespace {
// The status panels' widths: the composer's, and the reader's narrower
// caret and size panels.
constexpr int kComposerPanels[] = {75, 75, 125, 50};
constexpr int kReaderPanels[] = {55, 55, 125, 50};

// A colour of the configuration (red in the low byte) as Qt has it.
QColor ConfigColor(long long value) {
    const auto v = static_cast<unsigned long>(value);
    return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF), static_cast<int>((v >> 16) & 0xFF));
}
}  // namespace

TMessagePad::TMessagePad(IPadHost& host, int handle, bool editable)
    : QWidget(nullptr, Qt::Window), host_(host), handle_(handle) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    top_ = new QVBoxLayout;
    top_->setContentsMargins(0, 0, 0, 0);
    top_->setSpacing(0);
    layout->addLayout(top_);

    body_ = new TSRichEdit(this);
    body_->setObjectName(QStringLiteral("STextBox"));
    body_->setTabChangesFocus(false);
    body_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    body_->setReadOnly(!editable);
    layout->addWidget(body_, 1);

    finder_ = new TBodyFinder(*body_, host_.Store().Prompt(), this);

    attachments_ = new TAttachmentList(editable, this);
    attachments_->SetPrompt(&host_.Store().Prompt());
    layout->addWidget(attachments_);

    statusBar_ = new QStatusBar(this);
    statusBar_->setObjectName(QStringLiteral("ToolBar3"));
    statusBar_->setSizeGripEnabled(true);
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(statusBar_);
        panels_[i]->setTextFormat(Qt::PlainText);
        panels_[i]->setMinimumWidth(editable ? kComposerPanels[i] : kReaderPanels[i]);
        if (i < 3) {
            panels_[i]->setFrameShape(QFrame::Panel);
            panels_[i]->setFrameShadow(QFrame::Sunken);
        }
        statusBar_->addWidget(panels_[i], i == 3 ? 1 : 0);
    }
    layout->addWidget(statusBar_);

    TIniFile& config = host_.Store().Config();
    QPalette palette = body_->palette();
    palette.setColor(QPalette::Base, ConfigColor(config.Read(cfg::PadColor)));
    body_->setPalette(palette);
    resize(static_cast<int>(config.Read(cfg::PadWidth)), static_cast<int>(config.Read(cfg::PadHeight)));

    saveTimer_.setInterval(kSaveInterval);
    connect(&saveTimer_, &QTimer::timeout, this, [this] { Save(); });
    connect(body_, &QTextEdit::cursorPositionChanged, this, &TMessagePad::UpdateCaretPanels);
    connect(body_, &TSRichEdit::OnVScroll, this, [this] { topLine_ = body_->TopLine(); });
    connect(body_, &TSRichEdit::LinkStatus, this, [this](const QString& text) { SetPanel(3, text); });
    connect(attachments_, &TAttachmentList::Status, this, [this](const QString& text) { SetPanel(3, text); });
}

TMessagePad::~TMessagePad() = default;

void TMessagePad::PrintBody() {
    const THeaderItem* item = Record();
    host_.Print(item ? qttext::FromStored(item->Subject.str()) : QString(), *body_->document());
}

const THeaderItem* TMessagePad::Record() const { return host_.Store().Headers().At(handle_); }

QString TMessagePad::Panel(int index) const { return panels_[index]->text(); }

void TMessagePad::SetPanel(int index, const QString& text) { panels_[index]->setText(text); }

void TMessagePad::UpdateCaretPanels() {
    topLine_ = body_->TopLine();
    SetPanel(0, QString::number(body_->CurrentLine() + 1) + QLatin1Char(':') + QString::number(body_->CurrentColumn()));
    SetPanel(2, QStringLiteral("Current Position=") + QString::number(body_->textCursor().position()));
}

void TMessagePad::LoadRecord() {
    const THeaderItem* item = Record();
    if (!item) return;
    TRecordBody bodies(host_.Store());
    const auto stored = bodies.Stored(handle_);
    body_->document()->clear();
    if (stored) qtrichtext::Fill(*body_->document(), TRecordBody::DocumentOf(*stored));
    body_->document()->setModified(false);
    body_->document()->clearUndoRedoStacks();
    const double kb = stored ? static_cast<double>(stored->size()) / 1024.0 : 0.0;
    SetPanel(1, QLocale(QLocale::English).toString(kb, 'f', 1) + QStringLiteral(" kb"));
    attachments_->SetPaths(attachmentvalue::Paths(item->Attachments));
    body_->moveCursor(QTextCursor::Start);
    UpdateCaretPanels();
}

bool TMessagePad::Save() {
    saveTimer_.stop();
    if (!Record() || destroyed_) return false;
    BeforeSave();
    const std::string body = TMessageCreator::BodyText(TRtfWriter::Lines(qtrichtext::FromQt(*body_->document())));
    return host_.Store().RewriteBody(handle_, body);
}

std::string TMessagePad::DestroyError() {
    return std::string(kAppTitle) + " could not delete this message." + "\r\n" +
           "Reason: Control Center is currently writing other messages." + "\r\n" +
           "Fix: Wait a few seconds and try again.";
}

void TMessagePad::Destroy() {
    TMailStore& store = host_.Store();
    if (!store.Prompt().YesNo(DestroyQuestion())) return;
    // The registry closes this window when the record goes.
    if (store.Flags().AnyHeld() || TMessageDestroyer(store).Destroy({handle_}) == 0)
        store.Prompt().Error(DestroyError());
}

void TMessagePad::RecordDestroyed(int handle) {
    if (handle == handle_) destroyed_ = true;
}

void TMessagePad::closeEvent(QCloseEvent* event) {
    QApplication::sendPostedEvents();
    if (saveTimer_.isActive()) Save();
    event->accept();
}

void TMessagePad::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    body_->ScrollToLine(topLine_);
    if (isVisible()) saveTimer_.start();
}

void TMessagePad::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        host_.ShowMainWindow();
        return;
    }
    QWidget::keyPressEvent(event);
}
