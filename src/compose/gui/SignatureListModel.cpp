#include "compose/gui/SignatureListModel.h"

TSignatureListModel::TSignatureListModel(TSignatureList& list, TListFileContext context, QObject* parent)
    : TListRowsModel(list, std::move(context), {QStringLiteral("Signature Name")}, {kCaption}, parent) {}
