#include "app/gui/MailPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QSplitter>
#include <QTextEdit>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/gui/FMListView.h"
#include "app/gui/MailboxTreeView.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"

namespace {
constexpr int kTreeMinimum = 20;
constexpr int kPanelMinimum = 50;
constexpr int kSplitterWidth = 3;
}  // namespace

TMailPage::TMailPage(TIniFile& config, QWidget* parent) : QWidget(parent), config_(config) {
    setObjectName(QStringLiteral("TabSheet3"));
    HorSplit = new QSplitter(Qt::Vertical, this);
    HorSplit->setObjectName(QStringLiteral("HorSplit"));
    HorSplit->setHandleWidth(kSplitterWidth);
    HorSplit->setChildrenCollapsible(false);

    WinSplit1 = new QSplitter(Qt::Horizontal, HorSplit);
    WinSplit1->setObjectName(QStringLiteral("WinSplit1"));
    WinSplit1->setHandleWidth(kSplitterWidth);
    WinSplit1->setChildrenCollapsible(false);
    previewPanel_ = WinSplit1;
    previewPanel_->setMinimumHeight(kPanelMinimum);

    CategoryLB = new TMailboxTreeView(WinSplit1);
    CategoryLB->setObjectName(QStringLiteral("CategoryLB"));
    CategoryLB->setHeaderHidden(true);
    CategoryLB->setMinimumWidth(kTreeMinimum);

    StickitLB = new TFMListView(WinSplit1);
    StickitLB->setObjectName(QStringLiteral("StickitLB"));
    StickitLB->setMinimumWidth(kTreeMinimum);
    StickitLB->SetColumns({"Subject", "Who", "Date", "S", "A"}, {150, 100, 100, 30, 30});
    WinSplit1->setStretchFactor(1, 1);

    STextBox = new TSRichEdit(HorSplit);
    STextBox->setObjectName(QStringLiteral("STextBox"));
    STextBox->setReadOnly(true);
    STextBox->setMinimumHeight(20);
    STextBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    HorSplit->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(HorSplit);

    catWidthTimer_.setSingleShot(true);
    catWidthTimer_.setInterval(300);
    connect(WinSplit1, &QSplitter::splitterMoved, this, [this] { catWidthTimer_.start(); });
    connect(&catWidthTimer_, &QTimer::timeout, this, &TMailPage::TreeDragged);
}

void TMailPage::RestoreLayout() {
    const int tree = std::max(kTreeMinimum, config_.Read(cfg::CatWidth));
    WinSplit1->setSizes({tree, std::max(1, WinSplit1->width() - tree)});
    SetPanelHeight(config_.Read(cfg::PreViewerWindow));
}

void TMailPage::SetPreviewVisible(bool visible) { STextBox->setVisible(visible); }

int TMailPage::PanelHeight() const { return previewPanel_->height(); }

void TMailPage::SetPanelHeight(int height) {
    height = std::max(kPanelMinimum, height);
    HorSplit->setSizes({height, std::max(1, HorSplit->height() - height)});
}

int TMailPage::TreeWidth() const { return CategoryLB->width(); }

void TMailPage::TreeDragged() { config_.Write(cfg::CatWidth, TreeWidth()); }
