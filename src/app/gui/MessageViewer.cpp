#include "app/gui/MessageViewer.h"

#include <QTextEdit>

#include "app/RecordBody.h"
#include "common/gui/QtText.h"
#include "richtext/gui/QtRichText.h"
#include "store/MailStore.h"

TMessageViewer::TMessageViewer(TMailStore& store, int handle, QWidget* parent)
    : TFMViewer(parent), store_(store), handle_(handle) {
    setObjectName(QStringLiteral("MessageViewer"));
    Fill();
}

void TMessageViewer::ShowBody(TMailStore& store, int handle, QTextEdit& box) {
    box.clear();
    if (const auto doc = TRecordBody(store).Document(handle)) qtrichtext::Fill(*box.document(), *doc);
}

void TMessageViewer::Fill() {
    const THeaderItem* item = store_.Headers().At(handle_);
    if (!item) return;
    SetFileName(qttext::FromStored(item->Subject.str()));
    ShowBody(store_, handle_, *ViewBox());
}

void TMessageViewer::RecordChanged(int handle) {
    if (handle == handle_) Fill();
}
