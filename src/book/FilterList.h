#pragma once

#include "book/FilterFields.h"
#include "common/NamedRowList.h"

// The rows of the "Message Filters" page: the filter name and twenty
// sub-items each, kept in name order (which is also the order the filters
// are applied in) and stored in "Internet.flt".
class TFilterList : public TNamedRowList {
public:
    static constexpr const char* kNewName = "New Filter";

    TFilterList() : TNamedRowList({kNewName, "filter", "message filters", filterfield::Count, true}) {}
};
