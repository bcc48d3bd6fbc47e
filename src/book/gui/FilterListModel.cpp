#include "book/gui/FilterListModel.h"

#include "book/FilterFields.h"

TFilterListModel::TFilterListModel(TFilterList& list, TListFileContext context, QObject* parent)
    : TListRowsModel(
          list, std::move(context),
          {QStringLiteral("Filter Name"), QStringLiteral("In"), QStringLiteral("Out"),
           QStringLiteral("Move Message To"), QStringLiteral("Print Message To"), QStringLiteral("Send Message To")},
          {kCaption, filterfield::In, filterfield::Out, filterfield::MoveTo, filterfield::PrintTo, filterfield::SendTo},
          parent) {}
