#pragma once

#include <string>
#include <string_view>
#include <vector>

// Converted text written as the RTF that follows the user's format file:
// one line per paragraph, each but the first opened with "\par ", the last
// line "\par }". Converters hand it text in a style, and ask for line
// breaks, gaps between blocks, indents, list markers and cell separators;
// it decides what reaches the page: no empty line at the start or the end,
// never two empty lines in a row, a blank only between two words of a line
// (outside preformatted text), a marker or separator only before text.
// The RTF is ASCII: characters beyond it are \'hh when Windows-1252 has
// them and \uN? otherwise.
class TRtfFragment {
public:
    struct TStyle {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        int halfPoints = 0;  // 0: the size of the format file
        std::string link;    // a followable address, or empty

        friend bool operator==(const TStyle&, const TStyle&) = default;
    };

    // Appends one character as ASCII RTF (no escaping of "\", "{", "}").
    static void AppendChar(std::string& out, char32_t cp);

    // Text in a style. Collapsed: blanks, tabs and line ends are one blank
    // between words; otherwise they stand as they are, and a line end
    // breaks the line.
    void Text(std::u32string_view text, const TStyle& style, bool collapse);
    // The next text begins a new line; with gap, one empty line comes
    // between (where something came before).
    void Break(bool gap);
    // A line break (<br>): a second one before any text makes the empty line.
    void LineBreak();
    // Left indent in twips of the lines begun from now on.
    void Indent(int twips) { indent_ = twips; }
    // A list marker ("•", "3.") put before the next text, once.
    void Marker(std::u32string marker) { marker_ = std::move(marker); }
    // A tab before the next text when it stays on the current line.
    void CellSeparator() { separator_ = true; }

    // The lines, closed with "\par }".
    std::vector<std::string> Finish();

private:
    void BeginText(const TStyle& style);
    // keep: a line end of preformatted text, kept even when the line is empty.
    void EndLine(bool keep = false);
    void Write(char32_t c, const TStyle& style);
    void CloseRun();

    std::vector<std::string> lines_;
    std::vector<bool> visible_;  // per line: shows something besides blanks
    std::string line_;
    bool lineOpen_ = false;     // a line holds text, or was begun by a break
    bool lineVisible_ = false;  // the line shows something besides blanks
    int emptyRun_ = 0;          // empty lines written last
    bool pendingBreak_ = false;
    bool pendingGap_ = false;
    bool pendingBlank_ = false;
    bool separator_ = false;
    std::u32string marker_;
    int indent_ = 0;
    int lineIndent_ = 0;     // indent of the current line
    int writtenIndent_ = 0;  // indent the last paragraph was written with
    bool runOpen_ = false;
    TStyle run_;  // style of the open run
};
