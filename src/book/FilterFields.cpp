#include "book/FilterFields.h"

#include "common/TextUtil.h"

namespace filterfield {

bool IsTrue(std::string_view value) { return value == "1" || text::EqualsNoCase(value, "yes"); }

}  // namespace filterfield
