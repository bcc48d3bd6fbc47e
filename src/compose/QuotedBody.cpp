#include "compose/QuotedBody.h"

namespace quotedbody {

TRichDocument Quote(TRichDocument doc) {
    static const std::u32string kMark = U" >";
    for (auto& para : doc.paragraphs) {
        if (para.runs.empty()) {
            para.runs.push_back({kMark, para.markFormat});
            continue;
        }
        para.runs.front().text.insert(0, kMark);
        // A line break inside a paragraph starts a line of its own.
        for (auto& run : para.runs) {
            for (std::size_t at = run.text.find(TRichDocument::kLineBreak); at != std::u32string::npos;
                 at = run.text.find(TRichDocument::kLineBreak, at + 1 + kMark.size()))
                run.text.insert(at + 1, kMark);
        }
    }
    return doc;
}

}  // namespace quotedbody
