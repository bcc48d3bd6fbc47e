#include "app/gui/AddressPage.h"

#include <QFile>

#include "app/gui/FMListView.h"
#include "book/MemberForm.h"
#include "book/SenderMember.h"
#include "book/gui/AddressBook.h"
#include "book/gui/AddressListModel.h"
#include "phone/gui/EditAndDial.h"

TAddressPage::TAddressPage(TFMListView* list, TAddressListModel& model, std::function<QStringList()> signatures,
                           TFileChooser chooser, QObject* parent)
    : TRowsPage(list, model, parent), book_(model), signatures_(std::move(signatures)), chooser_(std::move(chooser)) {
    // Members are dragged onto a composer's recipient fields.
    list->setDragEnabled(true);
    list->setDragDropMode(QAbstractItemView::DragOnly);
}

bool TAddressPage::OpenDialog(int row) {
    TAddressBook dialog(signatures_(), DialogParent(), telephony_);
    dialog.Load(TMemberForm::FromRow(Model().Row(row)));
    // The called party is the member being edited.
    dialog.PN1->SetBeforeDial([this, row] { return Model().Name(row); });
    connect(&dialog, &TAddressBook::Applied, this, [this, row](const TMemberForm& form) {
        TListRow changed = Model().Row(row);
        form.ApplyTo(changed);
        Model().SetSubItems(row, changed.subItems);
        emit MemberApplied();
    });
    return dialog.exec() == QDialog::Accepted;
}

void TAddressPage::AddSender(const std::string& from) {
    EditNewRow(book_.Add(sendermember::Row(from, book_.List().Names())));
}

void TAddressPage::ImportNicknames() {
    const QString path = chooser_(DialogParent(), filechooser::ImportTitle(), QString(),
                                  QStringLiteral("Eudora NickNames (nndbase.txt);;All Files (*)"));
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    const QByteArray bytes = file.readAll();
    book_.Import(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}
