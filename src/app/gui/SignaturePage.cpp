#include "app/gui/SignaturePage.h"

#include <QFile>
#include <QHeaderView>

#include "app/gui/FMListView.h"
#include "common/ListName.h"
#include "compose/SignatureList.h"
#include "compose/gui/SignatureListModel.h"
#include "compose/gui/Signitures.h"
#include "richtext/PlainText.h"
#include "richtext/RtfReader.h"

TSignaturePage::TSignaturePage(TFMListView* list, TSignatureList& signatures, TSignatureListModel& model,
                               TFileChooser chooser, QObject* parent)
    : TRowsPage(list, model, parent), signatures_(signatures), chooser_(std::move(chooser)) {
    list->header()->setSectionsClickable(true);
    connect(list->header(), &QHeaderView::sectionClicked, &model, [&model] { model.SortByName(); });
}

bool TSignaturePage::OpenDialog(int row) {
    TSignitures dialog(DialogParent());
    dialog.Load(startLines_ ? *startLines_ : signatures_.Lines(row));
    startLines_.reset();
    connect(&dialog, &TSignitures::Applied, this, [this, row](const std::vector<std::string>& lines) {
        Model().SetSubItems(row, {listfile::JoinLines(listname::CleanLines(lines))});
    });
    return dialog.exec() == QDialog::Accepted;
}

void TSignaturePage::ImportSignature() {
    const QString path =
        chooser_(DialogParent(), filechooser::ImportTitle(), QString(), filechooser::TextFilters().join(u";;"));
    if (path.isEmpty()) return;
    std::vector<std::string> lines;
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray bytes = file.readAll();
        if (bytes.startsWith("{\\rtf")) {
            // A signature is lines of text: a rich-text file gives its text.
            lines = plaintext::StoredLines(
                TRtfReader::Read(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
        } else {
            for (QByteArray line : bytes.split('\n')) {
                if (line.endsWith('\r')) line.chop(1);
                lines.emplace_back(line.constData(), static_cast<std::size_t>(line.size()));
            }
        }
        while (!lines.empty() && lines.back().empty()) lines.pop_back();
    }
    startLines_ = std::move(lines);
    NewRow();
}
