#pragma once

#include "common/gui/ListRowsModel.h"
#include "compose/SignatureList.h"

// The "Signature Files" page's rows: "Signature Name".
class TSignatureListModel : public TListRowsModel {
    Q_OBJECT

public:
    TSignatureListModel(TSignatureList& list, TListFileContext context, QObject* parent = nullptr);
};
