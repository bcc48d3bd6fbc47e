#pragma once

#include "richtext/RichDocument.h"

// The body of an answer: every line of the answered message behind " >",
// each line keeping its own formatting.
namespace quotedbody {

TRichDocument Quote(TRichDocument doc);

}  // namespace quotedbody
