#include "book/gui/FiltersForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "book/FilterFields.h"
#include "common/AppTitle.h"
#include "common/ListName.h"
#include "common/TextUtil.h"
#include "common/gui/QtText.h"

namespace ff = filterfield;

namespace {

QComboBox* OperatorBox(const char* name, int initial, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->addItems({QStringLiteral("And"), QStringLiteral("Or"), QStringLiteral("Xor"), QStringLiteral("& Not")});
    box->setCurrentIndex(initial);
    return box;
}

QLineEdit* Edit(const char* name, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QCheckBox* Check(const char* name, const char* caption, QWidget* parent) {
    auto* box = new QCheckBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

void SelectText(QComboBox* box, const std::string& stored) {
    box->setCurrentIndex(box->findText(qttext::FromStored(stored), Qt::MatchExactly));
}

std::string YesNo(const QCheckBox* box) { return box->isChecked() ? "Yes" : "No"; }

}  // namespace

TFiltersForm::TFiltersForm(const QStringList& mailboxes, const QStringList& printers, const QStringList& members,
                           QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TFiltersForm"));
    setWindowTitle(QStringLiteral("Skiffpost Filter Properties"));
    auto* layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setUsesScrollButtons(false);  // every page caption shows whole
    Pages->addTab(BuildMainPage(), QStringLiteral("Main Settings (Step 1)"));
    Pages->addTab(BuildLogicPage(), QStringLiteral("Filter Logic (Step 2)"));
    Pages->addTab(BuildActionsPage(), QStringLiteral("Actions (Step 3)"));
    layout->addWidget(Pages);
    MailBoxes->addItems(mailboxes);
    MPrinters->addItems(printers);
    SendTo->addItems(members);
    for (auto* box : {MailBoxes, MPrinters, SendTo}) box->setCurrentIndex(-1);

    auto* buttons = new QDialogButtonBox(this);
    auto* close = buttons->addButton(QStringLiteral("&Close"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    auto* apply = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::ApplyRole);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, [this] {
        emit Applied(SubItems());
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, [this] { emit Applied(SubItems()); });
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

QStringList TFiltersForm::SystemPrinters() { return QPrinterInfo::availablePrinterNames(); }

QWidget* TFiltersForm::BuildMainPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* group = new QGroupBox(QStringLiteral("Miscellaneous"), page);
    auto* gl = new QVBoxLayout(group);
    InFilter = Check("InFilter", "This filter is for incoming messages.", group);
    InFilter->setToolTip(QStringLiteral("Check this option to apply this filter to all incoming messages."));
    OutFilter = Check("OutFilter", "This filter is for outgoing messages.", group);
    OutFilter->setToolTip(QStringLiteral("Check this option to apply this filter to all outgoing messages."));
    gl->addWidget(InFilter);
    gl->addWidget(OutFilter);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget* TFiltersForm::BuildLogicPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* logic = new QGroupBox(QStringLiteral("Filter Logic"), page);
    auto* grid = new QGridLayout(logic);
    grid->addWidget(new QLabel(QStringLiteral("If the header of the message contains"), logic), 0, 0, 1, 3);
    SearchString1 = Edit("SearchString1", logic);
    Op1 = OperatorBox("Op1", ff::opOr, logic);
    SearchString2 = Edit("SearchString2", logic);
    grid->addWidget(SearchString1, 1, 0);
    grid->addWidget(Op1, 1, 1);
    grid->addWidget(SearchString2, 1, 2);
    Op2 = OperatorBox("Op2", ff::opAnd, logic);
    grid->addWidget(Op2, 2, 0, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("if the subject contains"), logic), 2, 1, 1, 2);
    SearchString3 = Edit("SearchString3", logic);
    Op3 = OperatorBox("Op3", ff::opOr, logic);
    SearchString4 = Edit("SearchString4", logic);
    grid->addWidget(SearchString3, 3, 0);
    grid->addWidget(Op3, 3, 1);
    grid->addWidget(SearchString4, 3, 2);
    layout->addWidget(logic);

    auto* options = new QGroupBox(QStringLiteral("Search engine optimization"), page);
    auto* ol = new QVBoxLayout(options);
    SCase = Check("SCase", "Case sensitive.", options);
    SReverse = Check("SReverse", "Use reverse logic.", options);
    ol->addWidget(SCase);
    ol->addWidget(SReverse);
    layout->addWidget(options);
    layout->addStretch(1);
    return page;
}

QWidget* TFiltersForm::BuildActionsPage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    auto* operations = new QGroupBox(QStringLiteral("Filter Operations"), page);
    auto* grid = new QGridLayout(operations);
    const auto addChoice = [&](int row, const char* label, const char* name, const char* hint) {
        auto* box = new QComboBox(operations);
        box->setObjectName(QString::fromLatin1(name));
        box->setMinimumContentsLength(20);
        auto* caption = new QLabel(QString::fromLatin1(label), operations);
        caption->setBuddy(box);
        auto* clear = new QPushButton(QStringLiteral("Clear"), operations);
        clear->setObjectName(QString::fromLatin1(name) + QStringLiteral("Clear"));
        clear->setToolTip(QString::fromLatin1(hint));
        connect(clear, &QPushButton::clicked, box, [box] { box->setCurrentIndex(-1); });
        grid->addWidget(caption, row, 0);
        grid->addWidget(box, row, 1);
        grid->addWidget(clear, row, 2);
        return box;
    };
    MailBoxes = addChoice(0, "Move Message To:", "MailBoxes", "Clear Move Message To Box.");
    MPrinters = addChoice(1, "Print Message To:", "MPrinters", "Clear Clear Message To Box.");
    SendTo = addChoice(2, "Send Message To:", "SendTo", "Clear Send Message To Box.");
    grid->setColumnStretch(1, 1);
    layout->addWidget(operations);

    auto* notifications = new QGroupBox(QStringLiteral("Filter Notifications"), page);
    auto* ng = new QGridLayout(notifications);
    NPlaySound = Check("NPlaySound", "Play a sound.", notifications);
    NSndFile = Edit("NSndFile", notifications);
    NSndFile->setReadOnly(true);
    auto* soundBrowse = new QPushButton(QStringLiteral("&Browse"), notifications);
    soundBrowse->setObjectName(QStringLiteral("SoundBrowse"));
    soundBrowse->setToolTip(QStringLiteral("Click here to choose a sound file."));
    connect(soundBrowse, &QPushButton::clicked, this, &TFiltersForm::ChooseSound);
    NRunProgram = Check("NRunProgram", "Run a program.", notifications);
    NExeFile = Edit("NExeFile", notifications);
    NExeFile->setReadOnly(true);
    auto* programBrowse = new QPushButton(QStringLiteral("&Browse"), notifications);
    programBrowse->setObjectName(QStringLiteral("ProgramBrowse"));
    programBrowse->setToolTip(QStringLiteral("Click here to choose an application."));
    connect(programBrowse, &QPushButton::clicked, this, &TFiltersForm::ChooseProgram);
    NDialPager = Check("NDialPager", "Dial a pager.", notifications);
    NPagerNumber = Edit("NPagerNumber", notifications);
    ng->addWidget(NPlaySound, 0, 0);
    ng->addWidget(NSndFile, 0, 1);
    ng->addWidget(soundBrowse, 0, 2);
    ng->addWidget(NRunProgram, 1, 0);
    ng->addWidget(NExeFile, 1, 1);
    ng->addWidget(programBrowse, 1, 2);
    ng->addWidget(NDialPager, 2, 0);
    ng->addWidget(NPagerNumber, 2, 1);
    ng->setColumnStretch(1, 1);
    layout->addWidget(notifications);
    layout->addStretch(1);
    return page;
}

void TFiltersForm::ChooseSound() {
    const QString chosen = chooser_(this, QString::fromLatin1(kAppTitle) + QStringLiteral(" choose a sound file."),
                                    QFileInfo(NSndFile->text()).absolutePath(), QStringLiteral("Sounds (*.wav)"));
    if (!chosen.isEmpty()) NSndFile->setText(chosen);
}

void TFiltersForm::ChooseProgram() {
    // Programs here rarely carry those extensions, so every file is offered too.
    const QString chosen = chooser_(this, QString::fromLatin1(kAppTitle) + QStringLiteral(" choose a program."),
                                    QFileInfo(NExeFile->text()).absolutePath(),
                                    QStringLiteral("Programs (*.exe *.com *.bat);;All Files (*)"));
    if (!chosen.isEmpty()) NExeFile->setText(chosen);
}

void TFiltersForm::Load(const std::vector<std::string>& subItems) {
    const auto at = [&](std::size_t i) -> std::string { return i < subItems.size() ? subItems[i] : std::string(); };
    const auto op = [&](std::size_t i, int def) {
        const auto value = text::ParseInt(at(i));
        return value && *value >= 0 && *value <= 3 ? *value : def;
    };
    InFilter->setChecked(ff::IsTrue(at(ff::In)));
    OutFilter->setChecked(ff::IsTrue(at(ff::Out)));
    SelectText(MailBoxes, at(ff::MoveTo));
    SelectText(MPrinters, at(ff::PrintTo));
    SelectText(SendTo, at(ff::SendTo));
    NPlaySound->setChecked(ff::IsTrue(at(ff::PlaySound)));
    NRunProgram->setChecked(ff::IsTrue(at(ff::RunProgram)));
    NDialPager->setChecked(ff::IsTrue(at(ff::DialPager)));
    NSndFile->setText(qttext::FromStored(at(ff::SoundFile)));
    NExeFile->setText(qttext::FromStored(at(ff::ProgramFile)));
    NPagerNumber->setText(qttext::FromStored(at(ff::PagerNumber)));
    SearchString1->setText(qttext::FromStored(at(ff::Term1)));
    Op1->setCurrentIndex(op(ff::Op1, ff::opOr));
    SearchString2->setText(qttext::FromStored(at(ff::Term2)));
    Op2->setCurrentIndex(op(ff::Op2, ff::opAnd));
    SearchString3->setText(qttext::FromStored(at(ff::Term3)));
    Op3->setCurrentIndex(op(ff::Op3, ff::opOr));
    SearchString4->setText(qttext::FromStored(at(ff::Term4)));
    SCase->setChecked(ff::IsTrue(at(ff::CaseSensitive)));
    SReverse->setChecked(ff::IsTrue(at(ff::Reverse)));
    Pages->setCurrentIndex(0);
}

std::vector<std::string> TFiltersForm::SubItems() const {
    std::vector<std::string> s(ff::Count);
    const auto stored = [](const QString& text) { return qttext::ToStored(text); };
    s[ff::In] = YesNo(InFilter);
    s[ff::Out] = YesNo(OutFilter);
    s[ff::MoveTo] = stored(MailBoxes->currentText());
    s[ff::PrintTo] = stored(MPrinters->currentText());
    s[ff::SendTo] = stored(SendTo->currentText());
    s[ff::PlaySound] = YesNo(NPlaySound);
    s[ff::RunProgram] = YesNo(NRunProgram);
    s[ff::DialPager] = YesNo(NDialPager);
    s[ff::SoundFile] = stored(NSndFile->text());
    s[ff::ProgramFile] = stored(NExeFile->text());
    s[ff::PagerNumber] = stored(NPagerNumber->text());
    s[ff::Term1] = stored(SearchString1->text());
    s[ff::Op1] = std::to_string(Op1->currentIndex());
    s[ff::Term2] = stored(SearchString2->text());
    s[ff::Op2] = std::to_string(Op2->currentIndex());
    s[ff::Term3] = stored(SearchString3->text());
    s[ff::Op3] = std::to_string(Op3->currentIndex());
    s[ff::Term4] = stored(SearchString4->text());
    s[ff::CaseSensitive] = SCase->isChecked() ? "1" : "0";
    s[ff::Reverse] = SReverse->isChecked() ? "1" : "0";
    for (auto& field : s) field = listname::CleanField(field);
    return s;
}
