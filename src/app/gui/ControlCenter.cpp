#include "app/gui/ControlCenter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QWindowStateChangeEvent>

#include "app/CommandRequest.h"
#include "common/AppTitle.h"
#include "common/gui/QtText.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

namespace {
constexpr int kStateNormal = 0;
constexpr int kStateMinimized = 1;
constexpr int kStateMaximized = 2;
}  // namespace

TControlCenter::TControlCenter(TIniFile& config, IUserPrompt& prompt, QWidget* parent)
    : QMainWindow(parent), config_(config), prompt_(prompt) {
    setObjectName(QStringLiteral("ControlCenter"));
    setWindowTitle(QString::fromLatin1(kAppTitle));
    resize(738, 405);
    BuildPages();
    BuildStatusLine();
    geometryTimer_.setSingleShot(true);
    geometryTimer_.setInterval(250);
    connect(&geometryTimer_, &QTimer::timeout, this, &TControlCenter::SaveGeometry);
}

void TControlCenter::BuildPages() {
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("Pages"));
    const struct {
        const char* name;
        const char* caption;
    } kPages[] = {{"TabSheet3", "Mail Messages"},
                  {"TabSheet2", "Address Book"},
                  {"TabSheet1", "Signature Files"},
                  {"Filters", "Message Filters"},
                  {"TabSheet4", "Internet Servers"}};
    for (const auto& p : kPages) {
        auto* page = new QWidget(pages_);
        page->setObjectName(QString::fromLatin1(p.name));
        pages_->addTab(page, QString::fromLatin1(p.caption));
    }
    setCentralWidget(pages_);
}

void TControlCenter::BuildStatusLine() {
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 100);
    progress_->setFixedWidth(193);
    progress_->setVisible(false);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->addWidget(progress_);
    statusBar()->addWidget(status_, 1);
}

void TControlCenter::SetStatusText(const QString& text) {
    status_->setText(text);
    status_->repaint();
}

void TControlCenter::Initialise() {
    SetStatusText(QStringLiteral("Loading Settings..."));
    const int state = config_.Read(cfg::WindowState);
    const bool visible = config_.Read(cfg::Visible);
    RestoreGeometry();

    if (state == kStateMinimized)
        setWindowState(Qt::WindowMinimized);
    else if (state == kStateMaximized)
        setWindowState(Qt::WindowMaximized);
    if (visible) show();

    ActOnCommandRequest();
    QApplication::processEvents();
}

void TControlCenter::RestoreGeometry() {
    move(config_.Read(cfg::Left), config_.Read(cfg::Top));
    const int w = config_.Read(cfg::Width);
    const int h = config_.Read(cfg::Height);
    if (w > 0 && h > 0) resize(w, h);
}

void TControlCenter::ActOnCommandRequest() {
    const TCommandRequest request = TCommandRequest::Parse(config_.Read(cfg::Command));
    switch (request.kind) {
    case TCommandRequest::Kind::None:
        return;
    case TCommandRequest::Kind::CheckMail:
        SetStatusText(QStringLiteral("Loaded Control Center. Checking Mail..."));
        break;
    case TCommandRequest::Kind::WriteTo:
        SetStatusText(QStringLiteral("Writing a new message to ") + qttext::FromStored(request.address));
        break;
    }
    QApplication::processEvents();
    config_.Write(cfg::Command, "");
}

int TControlCenter::WindowStateValue() const {
    if (isMinimized()) return kStateMinimized;
    if (isMaximized()) return kStateMaximized;
    return kStateNormal;
}

void TControlCenter::SaveGeometry() {
    if (!isVisible() || isMinimized() || isMaximized() || isFullScreen()) return;
    config_.Write(cfg::Top, y());
    config_.Write(cfg::Left, x());
    config_.Write(cfg::Width, width());
    config_.Write(cfg::Height, height());
}

void TControlCenter::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    if (!closing_) geometryTimer_.start();
}

void TControlCenter::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    if (closing_) return;
    geometryTimer_.start();
    SetStatusText(QString());
}

void TControlCenter::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && !closing_) config_.Write(cfg::WindowState, WindowStateValue());
}

void TControlCenter::closeEvent(QCloseEvent* event) {
    // A pending geometry write belongs to the state being left.
    if (geometryTimer_.isActive()) {
        geometryTimer_.stop();
        SaveGeometry();
    }
    closing_ = true;
    setWindowTitle(QStringLiteral("Shutting down..."));
    config_.Write(cfg::Visible, isVisible());
    // A window minimized at close starts normal next time.
    config_.Write(cfg::WindowState, isMaximized() ? kStateMaximized : kStateNormal);
    event->accept();
    QApplication::quit();
}
