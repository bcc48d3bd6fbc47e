#pragma once

#include "book/FilterList.h"
#include "common/gui/ListRowsModel.h"

// The "Message Filters" page's rows: "Filter Name", "In", "Out",
// "Move Message To", "Print Message To", "Send Message To".
class TFilterListModel : public TListRowsModel {
    Q_OBJECT

public:
    TFilterListModel(TFilterList& list, TListFileContext context, QObject* parent = nullptr);
};
