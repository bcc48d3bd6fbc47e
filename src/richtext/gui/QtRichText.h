#pragma once

#include "richtext/RichDocument.h"

class QTextDocument;

// The bridge between the document model and Qt's QTextDocument, used by the
// rich text boxes: every property of the model survives the trip both ways.
// Indents become margins in pixels at 96 dpi (15 twips each); bullets
// become disc lists; a run's link becomes an anchor.
namespace qtrichtext {

// Replaces the content of qdoc with doc.
void Fill(QTextDocument& qdoc, const TRichDocument& doc);
// The model of qdoc. A document holding only an empty paragraph is the
// empty document, with that paragraph's formats as its defaults.
TRichDocument FromQt(const QTextDocument& qdoc);

}  // namespace qtrichtext
