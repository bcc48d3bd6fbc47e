#pragma once

// The format of a paragraph. Indents are in twips (1/20 point), as RTF
// writes them; negative first-line indents hang (bullets use them).
enum class TAlignment { Left, Center, Right, Justify };

struct TParaFormat {
    TAlignment alignment = TAlignment::Left;
    bool bullet = false;
    int leftIndent = 0;
    int firstIndent = 0;

    friend bool operator==(const TParaFormat&, const TParaFormat&) = default;
};
