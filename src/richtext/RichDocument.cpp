#include "richtext/RichDocument.h"

std::u32string TRichDocument::Paragraph::Text() const {
    std::u32string all;
    for (const auto& r : runs) all += r.text;
    return all;
}

TRichDocument::Paragraph& TRichDocument::AddParagraph(std::u32string text, const TCharFormat& chr,
                                                      const TParaFormat& para) {
    Paragraph p;
    p.format = para;
    p.markFormat = chr;
    if (!text.empty()) p.runs.push_back({std::move(text), chr});
    paragraphs.push_back(std::move(p));
    return paragraphs.back();
}

void TRichDocument::Normalize() {
    for (auto& p : paragraphs) {
        std::vector<Run> merged;
        merged.reserve(p.runs.size());
        for (auto& r : p.runs) {
            if (r.text.empty()) continue;
            if (!merged.empty() && merged.back().format == r.format)
                merged.back().text += r.text;
            else
                merged.push_back(std::move(r));
        }
        p.runs = std::move(merged);
    }
}
