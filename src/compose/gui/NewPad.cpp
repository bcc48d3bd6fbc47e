#include "compose/gui/NewPad.h"

#include <QAction>
#include <QActionGroup>
#include <QBoxLayout>
#include <QComboBox>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFontInfo>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextList>
#include <QToolBar>
#include <QToolButton>
#include <cctype>
#include <ctime>

#include "book/QuickLists.h"
#include "book/gui/Quick.h"
#include "common/AppTitle.h"
#include "common/FieldText.h"
#include "common/UserPrompt.h"
#include "common/gui/QtText.h"
#include "compose/AttachmentValue.h"
#include "compose/Stamps.h"
#include "compose/gui/AttachmentList.h"
#include "compose/gui/BodyFinder.h"
#include "compose/gui/FileDrag.h"
#include "compose/gui/PadHost.h"
#include "compose/gui/SRichEdit.h"
#include "config/ConfigKeys.h"
#include "config/IniFile.h"
#include "incoming/MailHeader.h"
#include "store/MailStore.h"
#include "transport/RecipientList.h"

namespace {

struct TNamedColor {
    const char* name;
    QColor color;
};

// The colour names of the list, sorted; each stands for its colour.
const TNamedColor kColors[] = {
    {"clAqua", QColor(0, 255, 255)},     {"clBlack", QColor(0, 0, 0)},      {"clBlue", QColor(0, 0, 255)},
    {"clFuchsia", QColor(255, 0, 255)},  {"clGray", QColor(128, 128, 128)}, {"clGreen", QColor(0, 128, 0)},
    {"clLime", QColor(0, 255, 0)},       {"clMaroon", QColor(128, 0, 0)},   {"clNavy", QColor(0, 0, 128)},
    {"clOlive", QColor(128, 128, 0)},    {"clPurple", QColor(128, 0, 128)}, {"clRed", QColor(255, 0, 0)},
    {"clSilver", QColor(192, 192, 192)}, {"clTeal", QColor(0, 128, 128)},   {"clWhite", QColor(255, 255, 255)},
    {"clWindowText", QColor(0, 0, 0)},   {"clYellow", QColor(255, 255, 0)},
};

const char* const kSizes[] = {"7", "8", "10", "11", "12", "14", "16", "18", "20", "22", "24", "28"};

// A swatch: the item's rectangle, and inside it, 2 pixels in, its colour.
QIcon Swatch(const QColor& color) {
    QPixmap pixmap(40, 14);
    pixmap.fill(Qt::white);
    QPainter painter(&pixmap);
    painter.fillRect(pixmap.rect().adjusted(2, 2, -2, -2), color);
    return QIcon(pixmap);
}

std::vector<std::string> SplitNames(const QString& text) { return TRecipientList::Split(qttext::ToStored(text)); }

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void SelectText(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index >= 0) box->setCurrentIndex(index);
}

}  // namespace

TNewPad::TNewPad(IPadHost& host, int handle) : TMessagePad(host, handle, true) {
    setObjectName(QStringLiteral("NewPad"));
    BuildHeader();
    BuildButtons();
    BuildOptions();
    BuildMenu();

    auto* drag = new TFileDrag(this);
    drag->setObjectName(QStringLiteral("FileDrag"));
    drag->SetEnableDrop(true);
    connect(drag, &TFileDrag::OnDrop, this, &TNewPad::FilesDropped);

    connect(Body(), &QTextEdit::textChanged, this, [this] {
        if (!creating_) SaveTimer().start();
    });
    connect(Body(), &QTextEdit::cursorPositionChanged, this, &TNewPad::SelectionFeedback);
    connect(Body(), &QTextEdit::selectionChanged, this, &TNewPad::SelectionFeedback);
    connect(Attachments(), &TAttachmentList::Changed, this, &TNewPad::AttachmentsChanged);
    connect(Attachments(), &TAttachmentList::AddRequested, this, &TNewPad::ChooseAttachment);
    Body()->installEventFilter(this);
    subject->installEventFilter(this);
    // Members dragged from the address book land in the recipient fields, a
    // message row's subject in Subject.
    for (QLineEdit* field : {toText, ccList, bccList}) field->installEventFilter(this);
    Fill();
}

void TNewPad::BuildHeader() {
    auto* header = new QGridLayout;
    header->setContentsMargins(4, 4, 4, 4);
    subject = new QLineEdit(this);
    subject->setObjectName(QStringLiteral("Subject"));
    header->addWidget(new QLabel(QStringLiteral("Subject"), this), 0, 0);
    header->addWidget(subject, 0, 1);
    const auto field = [&](int row, const char* button, const char* caption, const char* hint, const char* name,
                           int page) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(button));
        b->setText(QString::fromLatin1(caption));
        b->setToolTip(QString::fromLatin1(hint));
        b->setMinimumWidth(48);
        connect(b, &QToolButton::clicked, this, [this, page] { OpenQuick(page); });
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        header->addWidget(b, row, 0);
        header->addWidget(edit, row, 1);
        return edit;
    };
    toText = field(1, "BTo", "TO", "To", "ToText", TQuickLists::To);
    ccList = field(2, "BCC", "CC", "Carbon Copy", "CCList", TQuickLists::CC);
    bccList = field(3, "BBCC", "BCC", "Blind Carbon Copy", "BCCList", TQuickLists::BCC);
    setTabOrder(subject, toText);
    setTabOrder(toText, ccList);
    setTabOrder(ccList, bccList);
    Top()->addLayout(header);

    connect(subject, &QLineEdit::textChanged, this, [this] { CopyFields(); });
    connect(toText, &QLineEdit::textChanged, this, [this] { RecipientDefaults(); });
    const auto listChanged = [this] {
        if (creating_) return;
        const std::string cc = qttext::ToStored(ccList->text()), bcc = qttext::ToStored(bccList->text());
        EditRecord([&](THeaderItem& item) {
            item.CCList = cc;
            item.BCCList = bcc;
        });
        send->setEnabled(!toText->text().isEmpty() || !ccList->text().isEmpty() || !bccList->text().isEmpty());
    };
    connect(ccList, &QLineEdit::textChanged, this, listChanged);
    connect(bccList, &QLineEdit::textChanged, this, listChanged);
}

void TNewPad::BuildButtons() {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ButtonFrame"));
    bar->setIconSize(QSize(16, 16));
    const auto button = [&](const char* name, const char* hint, const char* icon, QStyle::StandardPixmap fallback) {
        QIcon i = QIcon::fromTheme(QString::fromLatin1(icon));
        if (i.isNull()) i = style()->standardIcon(fallback);
        QAction* a = bar->addAction(i, QString::fromLatin1(hint));
        a->setObjectName(QString::fromLatin1(name));
        a->setToolTip(QString::fromLatin1(hint));
        return a;
    };
    send = bar->addAction(QStringLiteral("Send"));
    send->setObjectName(QStringLiteral("BSendMail"));
    send->setToolTip(QStringLiteral("Send this message"));
    QFont boldFont = send->font();
    boldFont.setBold(true);
    send->setFont(boldFont);
    if (auto* w = qobject_cast<QToolButton*>(bar->widgetForAction(send))) w->setToolButtonStyle(Qt::ToolButtonTextOnly);
    destroy = button("BDeleteMessage", "Destroy this message", "edit-delete", QStyle::SP_TrashIcon);
    timeStamp = button("TimeStamp", "Time stamp", "appointment-new", QStyle::SP_FileDialogDetailedView);
    dateStamp = button("DateStamp", "Date stamp", "x-office-calendar", QStyle::SP_FileDialogInfoView);
    bullets = button("Bullets", "Bullets", "format-list-unordered", QStyle::SP_FileDialogListView);
    bullets->setCheckable(true);
    spelling = button("ExplorerButton2", "Spelling...", "tools-check-spelling", QStyle::SP_DialogApplyButton);
    print = button("BPrint", "Print message", "document-print", QStyle::SP_DialogSaveButton);
    find = button("BFind", "Find", "edit-find", QStyle::SP_FileDialogContentsView);
    bar->addSeparator();
    alignLeft = button("AlignLeft", "Align Left", "format-justify-left", QStyle::SP_ArrowLeft);
    alignCenter = button("AlignCenter", "Align Center", "format-justify-center", QStyle::SP_ArrowUp);
    alignRight = button("AlignRight", "Align Right", "format-justify-right", QStyle::SP_ArrowRight);
    auto* aligns = new QActionGroup(this);
    for (QAction* a : {alignLeft, alignCenter, alignRight}) {
        a->setCheckable(true);
        aligns->addAction(a);
    }
    bar->addSeparator();
    moreFonts = button("BMoreFonts", "More Fonts...", "preferences-desktop-font", QStyle::SP_FileDialogNewFolder);
    bold = button("FontBold", "Bold", "format-text-bold", QStyle::SP_DialogYesButton);
    italic = button("FontItallic", "Italic", "format-text-italic", QStyle::SP_DialogNoButton);
    underline = button("FontUnderLIne", "Underline", "format-text-underline", QStyle::SP_DialogResetButton);
    strikeThru = button("FontStrikeThru", "Strike Thru", "format-text-strikethrough", QStyle::SP_DialogDiscardButton);
    for (QAction* a : {bold, italic, underline, strikeThru}) a->setCheckable(true);
    // Without an icon theme the style toggles show their letter, formatted.
    const auto letter = [](QAction* a, const char* text, auto style) {
        if (QIcon::hasThemeIcon(QStringLiteral("format-text-bold"))) return;
        a->setIcon(QIcon());
        a->setText(QString::fromLatin1(text));
        QFont f = a->font();
        style(f);
        a->setFont(f);
    };
    letter(bold, "B", [](QFont& f) { f.setBold(true); });
    letter(italic, "I", [](QFont& f) { f.setItalic(true); });
    letter(underline, "U", [](QFont& f) { f.setUnderline(true); });
    letter(strikeThru, "S", [](QFont& f) { f.setStrikeOut(true); });
    bar->addSeparator();
    cut = button("BCut", "Cut", "edit-cut", QStyle::SP_DialogCloseButton);
    copy = button("BCopy", "Copy", "edit-copy", QStyle::SP_FileIcon);
    paste = button("BPaste", "Paste", "edit-paste", QStyle::SP_DialogOpenButton);
    remove = button("BDelete", "Delete", "edit-clear", QStyle::SP_LineEditClearButton);
    undo = button("BUndo", "Undo", "edit-undo", QStyle::SP_ArrowBack);
    bar->addSeparator();
    addAttach = button("AddAttach", "Add attachments", "mail-attachment", QStyle::SP_FileLinkIcon);
    clearAttach = button("ClearAttach", "Clear attachments", "edit-clear-all", QStyle::SP_DialogDiscardButton);
    spelling->setEnabled(Host().CanCheckSpelling());
    print->setEnabled(Host().CanPrint());
    send->setEnabled(false);
    clearAttach->setEnabled(false);
    Top()->addWidget(bar);

    connect(send, &QAction::triggered, this, &TNewPad::Send);
    connect(spelling, &QAction::triggered, this, [this] { Host().CheckSpelling(*Body()); });
    connect(print, &QAction::triggered, this, [this] { PrintBody(); });
    connect(destroy, &QAction::triggered, this, &TMessagePad::Destroy);
    connect(timeStamp, &QAction::triggered, this, [this] { InsertTimeStamp(); });
    connect(dateStamp, &QAction::triggered, this, [this] { InsertDateStamp(); });
    connect(find, &QAction::triggered, Finder(), &TBodyFinder::Open);
    const auto toggle = [this](QAction* a, const char* undoText, auto apply) {
        connect(a, &QAction::triggered, this, [this, undoText, apply](bool on) {
            QTextCharFormat f;
            apply(f, on);
            MergeFormat(f, undoText);
        });
    };
    toggle(bold, "Undo bold.", [](QTextCharFormat& f, bool on) { f.setFontWeight(on ? QFont::Bold : QFont::Normal); });
    toggle(italic, "Undo italic.", [](QTextCharFormat& f, bool on) { f.setFontItalic(on); });
    toggle(underline, "Undo underline.", [](QTextCharFormat& f, bool on) { f.setFontUnderline(on); });
    toggle(strikeThru, "Undo strike-thru.", [](QTextCharFormat& f, bool on) { f.setFontStrikeOut(on); });
    const auto align = [this](QAction* a, Qt::Alignment how) {
        connect(a, &QAction::triggered, this, [this, how] {
            SetUndoText("Undo paragraph alignment.");
            Body()->setAlignment(how);
        });
    };
    align(alignLeft, Qt::AlignLeft);
    align(alignCenter, Qt::AlignHCenter);
    align(alignRight, Qt::AlignRight);
    connect(bullets, &QAction::triggered, this, [this] {
        SetUndoText("Undo bullet.");
        QTextCursor c = Body()->textCursor();
        if (QTextList* list = c.currentList()) {
            list->remove(c.block());
            QTextBlockFormat plain = c.blockFormat();
            plain.setIndent(0);
            plain.setLeftMargin(0);
            c.setBlockFormat(plain);
        } else {
            QTextListFormat format;
            format.setStyle(QTextListFormat::ListDisc);
            // The indent is in points; the box measures pixels at 96 dpi.
            const auto indent = Host().Store().Config().Read(cfg::BulletIndent);
            format.setIndent(0);
            c.createList(format);
            QTextBlockFormat block = c.blockFormat();
            block.setLeftMargin(static_cast<double>(indent) * 96.0 / 72.0);
            c.setBlockFormat(block);
        }
        SelectionFeedback();
    });
    connect(moreFonts, &QAction::triggered, this, [this] {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, Body()->currentFont(), this);
        if (!ok) return;
        QTextCharFormat f;
        f.setFont(font);
        Body()->mergeCurrentCharFormat(f);
    });
    connect(cut, &QAction::triggered, this, [this] { SetUndoText("Undo cut."), Body()->cut(); });
    connect(copy, &QAction::triggered, this, [this] { SetUndoText("Undo copy."), Body()->copy(); });
    connect(paste, &QAction::triggered, this, [this] { SetUndoText("Undo paste."), Body()->paste(); });
    connect(remove, &QAction::triggered, this,
            [this] { SetUndoText("Undo delete."), Body()->textCursor().removeSelectedText(); });
    connect(undo, &QAction::triggered, this, [this] {
        Body()->undo();
        undo->setToolTip(QStringLiteral("Nothing to undo."));
    });
    connect(addAttach, &QAction::triggered, this, &TNewPad::ChooseAttachment);
    connect(clearAttach, &QAction::triggered, this, [this] { Attachments()->Clear(); });
}

void TNewPad::BuildOptions() {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 2, 4, 2);
    const auto combo = [&](const char* name, const char* hint) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setToolTip(QString::fromLatin1(hint));
        row->addWidget(box);
        return box;
    };
    fontList = combo("FontList", "Font Names");
    fontList->setFocusPolicy(Qt::ClickFocus);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    fontList->addItems(families);
    fontList->setMaximumWidth(160);
    sizeList = combo("SizeList", "Font Sizes");
    sizeList->setEditable(true);
    for (const char* size : kSizes) sizeList->addItem(QString::fromLatin1(size));
    sizeList->setMaximumWidth(60);
    colorBox = combo("ColorBox", "Font Color");
    colorBox->setIconSize(QSize(40, 14));
    for (const auto& c : kColors) {
        colorBox->addItem(Swatch(c.color), QString());
        colorBox->setItemData(colorBox->count() - 1, c.color, Qt::UserRole);
        colorBox->setItemData(colorBox->count() - 1, QString::fromLatin1(c.name), Qt::ToolTipRole);
    }
    signature = combo("Signiture", "Signature Files...");
    msgType = combo("MsgType", "Message type");
    msgType->addItems({QStringLiteral("Text"), QStringLiteral("RTF")});
    servers = combo("Servers", "Servers");
    row->addStretch(1);
    Top()->addLayout(row);

    connect(fontList, &QComboBox::activated, this, [this] {
        QTextCharFormat f;
        f.setFontFamilies({fontList->currentText()});
        // A font picked with the mouse sends the user back to the text; one
        // reached with the keys keeps the list, so the next key walks on.
        if (fontKeyDown_) {
            SetUndoText("Undo font name.");
            Body()->mergeCurrentCharFormat(f);
        } else {
            MergeFormat(f, "Undo font name.");
        }
    });
    connect(sizeList, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        bool number = false;
        const int size = text.toInt(&number);
        if (!number || size <= 0 || creating_) return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        // The size is applied as it is typed; the focus stays in the list
        // so that "12" is not "1" here and "2" in the body.
        SetUndoText("Undo font size.");
        Body()->mergeCurrentCharFormat(f);
    });
    connect(sizeList, &QComboBox::activated, this, [this] { Body()->setFocus(); });
    fontList->installEventFilter(this);
    connect(colorBox, &QComboBox::activated, this, [this](int index) {
        QTextCharFormat f;
        f.setForeground(colorBox->itemData(index, Qt::UserRole).value<QColor>());
        Body()->mergeCurrentCharFormat(f);
    });
    connect(signature, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (creating_) return;
        EditRecord([stored = qttext::ToStored(text)](THeaderItem& item) { item.Signature = stored; });
        SaveTimer().start();
    });
    connect(msgType, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (creating_) return;
        EditRecord([stored = qttext::ToStored(text)](THeaderItem& item) { item.MsgType = stored; });
    });
    connect(servers, &QComboBox::currentTextChanged, this, [this](const QString& text) {
        if (creating_) return;
        EditRecord([stored = qttext::ToStored(text)](THeaderItem& item) { item.Server = stored; });
    });
}

void TNewPad::BuildMenu() {
    TSRichEdit* box = Body();
    auto* menu = new QMenu(this);
    const auto item = [&](QMenu* in, const char* caption, const char* keys, QAction* runs) {
        QAction* a = in->addAction(QString::fromLatin1(caption));
        if (keys) a->setShortcut(QKeySequence(QString::fromLatin1(keys)));
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(a);
        if (runs) connect(a, &QAction::triggered, runs, &QAction::trigger);
        return a;
    };
    QAction* undoItem = item(menu, "Undo", "Ctrl+Z", undo);
    undoItem->setEnabled(false);
    connect(undo, &QAction::triggered, undoItem, [undoItem] { undoItem->setEnabled(false); });
    menu->addSeparator();
    item(menu, "Cu&t", "Ctrl+X", cut);
    item(menu, "&Copy", "Ctrl+C", copy);
    item(menu, "&Paste", "Ctrl+V", paste);
    menu->addSeparator();
    QAction* all = item(menu, "Se&lect All", "Ctrl+A", nullptr);
    connect(all, &QAction::triggered, this, [this, undoItem] {
        Body()->selectAll();
        undo->setEnabled(true);
        undoItem->setEnabled(true);
    });
    item(menu, "&Delete", nullptr, remove);
    menu->addSeparator();
    QMenu* fonts = menu->addMenu(QStringLiteral("Fonts"));
    item(fonts, "Bold", "Ctrl+B", bold);
    item(fonts, "Italic", "Ctrl+I", italic);
    item(fonts, "Underline", "Ctrl+U", underline);
    // Ctrl+S only names the command; the button toggles strike-out.
    item(fonts, "Strike  Thru", "Ctrl+S", nullptr);
    fonts->addSeparator();
    item(fonts, "More Fonts...", "Ctrl+M", moreFonts);
    menu->addSeparator();
    item(menu, "Find", "Ctrl+F", find);
    item(menu, "Print", "Ctrl+P", print);
    item(menu, "Send", "Alt+S", send);
    // Each command leaves an undo step: the menu's item follows the button.
    connect(box->document(), &QTextDocument::undoAvailable, undoItem, &QAction::setEnabled);
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this,
            [menu, box](const QPoint& at) { menu->popup(box->viewport()->mapToGlobal(at)); });
}

void TNewPad::Fill() {
    const THeaderItem* item = Record();
    if (!item) return;
    setWindowTitle(qttext::FromStored(item->Subject.str()));
    toText->setText(qttext::FromStored(item->Address.str().empty() ? item->Who.str() : item->Address.str()));
    FillSignatures();
    LoadRecord();
    SelectText(msgType, qttext::FromStored(item->MsgType.str()));
    SelectText(signature, qttext::FromStored(item->Signature.str()));
    ccList->setText(qttext::FromStored(item->CCList));
    bccList->setText(qttext::FromStored(item->BCCList));
    subject->setText(qttext::FromStored(item->Subject.str()));
    send->setEnabled(!toText->text().isEmpty() || !ccList->text().isEmpty() || !bccList->text().isEmpty());
    FillServers(Host().SmtpAccounts(), qttext::FromStored(item->Server.str()));
    if (signature->currentIndex() < 0) signature->setCurrentIndex(0);
    AttachmentsChanged();
}

void TNewPad::FillSignatures() {
    const QString current = signature->currentText();
    const bool wasCreating = creating_;
    creating_ = true;
    signature->clear();
    signature->addItem(QStringLiteral("No Signature"));
    for (const auto& row : Host().Signatures()) signature->addItem(qttext::FromStored(row.caption));
    if (!current.isEmpty()) SelectText(signature, current);
    creating_ = wasCreating;
    // A signature removed or renamed away leaves "No Signature" chosen: the
    // record names what the window shows, so the send adds nothing unseen.
    if (!Record() || creating_ || current.isEmpty() || signature->currentText() == current) return;
    EditRecord([stored = qttext::ToStored(signature->currentText())](THeaderItem& item) { item.Signature = stored; });
    SaveTimer().start();
}

void TNewPad::SignatureRenamed(const QString& from, const QString& to) {
    const int chosen = signature->currentIndex();
    if (chosen <= 0 || signature->itemText(chosen) != from) return;
    const bool wasCreating = creating_;
    creating_ = true;
    signature->setItemText(chosen, to);
    creating_ = wasCreating;
    if (!Record() || creating_) return;
    EditRecord([stored = qttext::ToStored(to)](THeaderItem& item) { item.Signature = stored; });
    SaveTimer().start();
}

void TNewPad::FillServers() { FillServers(Host().SmtpAccounts(), servers->currentText()); }

void TNewPad::FillServers(const std::vector<std::string>& accounts, const QString& wanted) {
    const bool wasCreating = creating_;
    creating_ = true;
    servers->clear();
    for (const auto& name : accounts) servers->addItem(qttext::FromStored(name));
    servers->setCurrentIndex(servers->findText(wanted));
    if (servers->currentIndex() < 0 && servers->count() > 0) servers->setCurrentIndex(0);
    creating_ = wasCreating;
    // An account gone (or renamed) leaves the record on the one shown.
    if (!creating_ && servers->currentIndex() >= 0)
        EditRecord([stored = qttext::ToStored(servers->currentText())](THeaderItem& item) { item.Server = stored; });
}

void TNewPad::showEvent(QShowEvent* event) {
    TMessagePad::showEvent(event);
    if (!creating_) return;
    creating_ = false;
    if (toText->text().isEmpty())
        toText->setFocus();
    else
        Body()->setFocus();
    SelectionFeedback();
}

void TNewPad::RecordChanged(int handle) {
    // A subject edited in the message list shows here, so the next save
    // keeps it rather than writing the old one back.
    const THeaderItem* item = Record();
    if (handle != Handle() || !item) return;
    const QString stored = qttext::FromStored(item->Subject.str());
    if (qttext::ToStored(subject->text()) != item->Subject.str()) subject->setText(stored);
}

void TNewPad::CopyFields() {
    if (creating_) return;
    if (!Record()) return;
    setWindowTitle(subject->text());
    // A subject longer than its field keeps the whole characters that fit.
    const std::string text = fieldtext::Fit(qttext::ToStored(subject->text()), fieldtext::kFieldLimit);
    const std::string bcc = qttext::ToStored(bccList->text()), cc = qttext::ToStored(ccList->text());
    const std::string to = qttext::ToStored(toText->text());
    // The row follows at once; the index is written with the next save of
    // the body (the timer, closing, sending).
    EditRecord([&](THeaderItem& item) {
        item.Subject = text;
        item.BCCList = bcc;
        item.CCList = cc;
        item.Who = mailheader::NamePart(to);
        item.Address = to;
    });
}

void TNewPad::RecipientDefaults() {
    const auto names = SplitNames(toText->text());
    const auto book = Host().AddressBook();
    bool matched = false;
    for (const auto& name : names) {
        for (const auto& member : book) {
            if (Lower(member.caption) != Lower(name)) continue;
            // The member's fields: signature name and "1" for rich text.
            signature->setCurrentIndex(signature->findText(qttext::FromStored(member.SubItem(7))));
            msgType->setCurrentText(member.SubItem(8) == "1" ? QStringLiteral("RTF") : QStringLiteral("Text"));
            matched = true;
            break;
        }
        if (matched) break;
    }
    send->setEnabled(!toText->text().isEmpty() || !ccList->text().isEmpty() || !bccList->text().isEmpty());
    CopyFields();
}

void TNewPad::OpenQuick(int page) {
    TQuick quick(Host().AddressBook(), this);
    quick.Load(toText->text(), ccList->text(), bccList->text());
    quick.ShowPage(page);
    connect(&quick, &TQuick::Applied, this, [this](const QString& to, const QString& cc, const QString& bcc) {
        toText->setText(to);
        ccList->setText(cc);
        bccList->setText(bcc);
    });
    quick.exec();
    if (page == TQuickLists::To) RecipientDefaults();
}

void TNewPad::AttachmentsChanged() {
    clearAttach->setEnabled(Attachments()->count() > 0);
    if (!Record()) return;
    const std::string value = attachmentvalue::Value(Attachments()->Paths());
    const bool attached = Attachments()->count() > 0;
    EditRecord([&](THeaderItem& item) {
        item.Attachments = value;
        item.Flags = static_cast<std::uint8_t>(attached ? item.Flags | mfAttach : item.Flags & ~mfAttach);
    });
    if (!creating_) SaveTimer().start();
}

void TNewPad::AddAttachment(const std::string& path) { Attachments()->Append(path); }

void TNewPad::ChooseAttachment() {
    const QString file = QFileDialog::getOpenFileName(
        this, QString::fromLatin1(kAppTitle) + QStringLiteral(" selecting an attachment file."), QString(),
        QStringLiteral("All Files (*.*);;Programs (*.exe, *.com, *.bat, *.pif) (*.exe *.com *.bat *.pif);;"
                       "Sounds (*.wav) (*.wav)"),
        nullptr, QFileDialog::ReadOnly);
    if (!file.isEmpty()) AddAttachment(qttext::ToStored(file));
}

void TNewPad::FilesDropped() {
    const auto* drag = findChild<TFileDrag*>(QStringLiteral("FileDrag"));
    if (!drag) return;
    for (const auto& path : drag->Files().NameWithPath) {
        const QString file = QString::fromStdString(path);  // a dropped file's name, UTF-8
        if (QFileInfo(file).isDir()) {
            Host().Store().Prompt().Error(std::string(kAppTitle) + " can not yet attach folders.");
            return;
        }
        AddAttachment(qttext::ToStored(file));
    }
}

void TNewPad::SetUndoText(const char* text) {
    undo->setToolTip(QString::fromLatin1(text));
    undo->setEnabled(true);
}

void TNewPad::MergeFormat(const QTextCharFormat& format, const char* undoText) {
    if (undoText) SetUndoText(undoText);
    Body()->mergeCurrentCharFormat(format);
    Body()->setFocus();
}

void TNewPad::SelectionFeedback() {
    UpdateCaretPanels();
    const QTextCharFormat f = Body()->currentCharFormat();
    const QSignalBlocker b1(sizeList), b2(fontList), b3(colorBox);
    const double size = f.fontPointSize() > 0 ? f.fontPointSize() : Body()->font().pointSizeF();
    sizeList->setCurrentText(QString::number(qRound(size)));
    ShowSelectionFont();
    const QColor color = f.foreground().color();
    for (int i = 0; i < colorBox->count(); ++i)
        if (colorBox->itemData(i, Qt::UserRole).value<QColor>() == color) {
            if (colorBox->currentIndex() != i) colorBox->setCurrentIndex(i);
            break;
        }
    bold->setChecked(f.fontWeight() >= QFont::Bold);
    italic->setChecked(f.fontItalic());
    underline->setChecked(f.fontUnderline());
    strikeThru->setChecked(f.fontStrikeOut());
    bullets->setChecked(Body()->textCursor().currentList() != nullptr);
    const Qt::Alignment a = Body()->alignment();
    (a & Qt::AlignHCenter ? alignCenter : (a & Qt::AlignRight ? alignRight : alignLeft))->setChecked(true);
}

void TNewPad::ShowSelectionFont() {
    const QSignalBlocker blocker(fontList);
    const QTextCharFormat f = Body()->currentCharFormat();
    const QStringList families = f.fontFamilies().toStringList();
    QString family = families.isEmpty() ? Body()->font().family() : families.first();
    // A family the system lacks shows as the one it is drawn with.
    if (fontList->findText(family) < 0) family = QFontInfo(f.font()).family();
    // A family the list lacks (a substitute the box fell back to) keeps the
    // current choice rather than blanking the list.
    if (const int index = fontList->findText(family); index >= 0 && index != fontList->currentIndex())
        fontList->setCurrentIndex(index);
}

void TNewPad::InsertTimeStamp(QWidget* target) {
    const std::time_t now = std::time(nullptr);
    const QString text = QString::fromStdString(stamps::Time(*std::localtime(&now)));
    SetUndoText("Undo time stamp.");
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->insert(text);
    else
        Body()->insertPlainText(text);
}

void TNewPad::InsertDateStamp(QWidget* target) {
    const std::time_t now = std::time(nullptr);
    const QString text = QString::fromStdString(stamps::Date(*std::localtime(&now)));
    SetUndoText("Undo date stamp.");
    if (auto* edit = qobject_cast<QLineEdit*>(target))
        edit->insert(text);
    else
        Body()->insertPlainText(text);
}

bool TNewPad::FieldDrop(QLineEdit* field, QEvent* event) {
    auto* drag = static_cast<QDropEvent*>(event);
    const bool recipients = field != subject;
    const std::vector<std::string> members =
        recipients ? Host().DraggedMembers(drag->mimeData()) : std::vector<std::string>();
    const int message = recipients ? -1 : Host().DraggedMessage(drag->mimeData());
    if (members.empty() && message < 0) return false;  // an ordinary text drop
    if (event->type() != QEvent::Drop) {
        drag->acceptProposedAction();
        return true;
    }
    drag->setDropAction(Qt::CopyAction);
    drag->accept();
    if (recipients) {
        QString text = field->text();
        for (const auto& member : members) {
            if (!text.trimmed().isEmpty()) text += QStringLiteral(", ");
            text += qttext::FromStored(member);
        }
        field->setText(text);
        // To runs them as its text changes; a copy field runs them here.
        if (field != toText) RecipientDefaults();
    } else if (const THeaderItem* item = Host().Store().Headers().At(message)) {
        subject->setText(qttext::FromStored(item->Subject.str()));
    }
    return true;
}

bool TNewPad::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove || event->type() == QEvent::Drop)
        for (QLineEdit* field : {subject, toText, ccList, bccList})
            if (watched == field) return FieldDrop(field, event);
    if (watched == fontList && event->type() == QEvent::KeyPress) fontKeyDown_ = true;
    // Once a key is let go the list shows the selection's font again: a key
    // that chose nothing leaves no stray name in it.
    if (watched == fontList && event->type() == QEvent::KeyRelease) {
        fontKeyDown_ = false;
        ShowSelectionFont();
    }
    if (event->type() == QEvent::KeyPress && (watched == Body() || watched == subject)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ControlModifier) {
            auto* target = static_cast<QWidget*>(watched);
            if (key->key() == Qt::Key_T) {
                InsertTimeStamp(target);
                return true;
            }
            if (key->key() == Qt::Key_D) {
                InsertDateStamp(target);
                return true;
            }
        }
        if (key->key() == Qt::Key_Escape) {
            Host().ShowMainWindow();
            return true;
        }
    }
    return TMessagePad::eventFilter(watched, event);
}

void TNewPad::EditRecord(const std::function<void(THeaderItem&)>& edit) {
    Host().Store().ChangeRecord(Handle(), edit, TPersist::WithNextSave);
}

void TNewPad::BeforeSave() {
    const std::string chosen = qttext::ToStored(signature->currentText()),
                      type = qttext::ToStored(msgType->currentText());
    EditRecord([&](THeaderItem& item) {
        item.Signature = chosen;
        item.MsgType = type;
    });
}

std::string TNewPad::NoAccountError() {
    return std::string(kAppTitle) + " can not send this message." + "\n\r" + "Reason: No SMTP account configured." +
           "\n\r" + "Fix: Create an Internet Server in the Control Center.";
}

void TNewPad::Send() {
    // With no account at all the user makes one first; it may be the one
    // this message goes through. The list read here is the one the send
    // uses, so the account chosen is the account sent through.
    TAccountList accounts = Host().AccountsForSending();
    const auto smtpAccounts = accounts.SmtpAliases();
    TMailStore& store = Host().Store();
    if (smtpAccounts.empty()) {
        store.Prompt().Error(NoAccountError());
        return;
    }
    // The list may have changed since the window opened (an account just
    // made, renamed or removed): the choice is one of the accounts now.
    FillServers(smtpAccounts, servers->currentText());
    hide();
    EditRecord([stored = qttext::ToStored(servers->currentText())](THeaderItem& item) { item.Server = stored; });
    // The body on show is what goes: it is saved first whatever the timer.
    Save();
    if (Host().Send(Handle(), Attachments()->Paths(), accounts)) {
        close();
        return;
    }
    show();
    store.Prompt().Information(kNotSent);
}
