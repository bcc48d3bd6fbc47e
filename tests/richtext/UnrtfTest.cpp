// Debian's unrtf reads what we write and must find the same text. unrtf
// prints characters beyond ASCII as &#N; with the output description below.
// It has two quirks: it ends a line at a tab, and after a \uN it drops the rest of
// the word, not just the one fallback character, so every non-Windows-1252
// word here ends before a blank or a line end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "RtfTestUtil.h"
#include "richtext/RtfWriter.h"
#include "support/TempDir.h"

namespace {

std::string RunUnrtf(const TTempDir& dir, const std::string& rtfPath) {
    std::string conf = ReadFileOrEmpty("/usr/share/unrtf/text.conf");
    conf += "unisymbol_print\n\t&#%;\n";
    WriteFileOrDie(dir.File("uni.conf"), conf);
    const std::string cmd = "unrtf -P " + dir.Path() + ":/usr/share/unrtf -t uni '" + rtfPath + "' 2>/dev/null";
    std::string out;
    if (FILE* p = popen(cmd.c_str(), "r")) {
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// unrtf's text after its header, with &#N; decoded to UTF-8 and the
// trailing blanks of its lines removed.
std::string BodyText(const std::string& out) {
    const std::string marker = "-----------------\n";
    const std::size_t start = out.find(marker);
    if (start == std::string::npos) return "(no body in unrtf output: " + out + ")";
    std::string body;
    for (std::size_t i = start + marker.size(); i < out.size(); ++i) {
        if (out.compare(i, 2, "&#") == 0) {
            const std::size_t end = out.find(';', i);
            if (end != std::string::npos) {
                cp1252::AppendUtf8(body, static_cast<char32_t>(std::strtoul(out.c_str() + i + 2, nullptr, 10)));
                i = end;
                continue;
            }
        }
        body += out[i];
    }
    std::string trimmed;
    std::size_t pos = 0;
    while (pos < body.size()) {
        std::size_t end = body.find('\n', pos);
        if (end == std::string::npos) end = body.size();
        std::string line = body.substr(pos, end - pos);
        while (!line.empty() && line.back() == ' ') line.pop_back();
        trimmed += line + "\n";
        pos = end + 1;
    }
    while (trimmed.size() >= 2 && trimmed.ends_with("\n\n")) trimmed.pop_back();
    return trimmed;
}

// Our plain text as unrtf shows it, without blanks at line ends: a bulleted paragraph has the bullet of
// its marker on a line of its own in front, because unrtf ends the line at
// the tab after it.
std::string AsUnrtfShows(const TRichDocument& doc) {
    std::string out;
    for (const auto& p : doc.paragraphs) {
        if (p.format.bullet) out += "\xE2\x80\xA2\n";
        // unrtf shows a HYPERLINK field as its quoted address, not its result.
        for (std::size_t i = 0; i < p.runs.size(); ++i) {
            const std::string& link = p.runs[i].format.link;
            if (!link.empty()) {
                if (i == 0 || p.runs[i - 1].format.link != link) out += '"' + link + '"';
                continue;
            }
            for (const char32_t c : p.runs[i].text) {
                if (c == TRichDocument::kLineBreak)
                    out += '\n';
                else
                    cp1252::AppendUtf8(out, c);
            }
        }
        while (!out.empty() && out.back() == ' ') out.pop_back();  // as BodyText trims them
        out += '\n';
    }
    return out;
}

}  // namespace

TEST(Unrtf, ReadsTheTextWeWrite) {
    ASSERT_EQ(std::system("command -v unrtf >/dev/null 2>&1"), 0) << "unrtf is missing: run scripts/install-deps.sh";
    TCharFormat plain;
    plain.fontName = "Arial";
    TCharFormat bold = plain;
    bold.bold = true;
    bold.color = 0x0000FF;
    TRichDocument doc;
    auto& p = doc.AddParagraph(U"Dear Ren\u00E9e, ", plain);
    p.runs.push_back({U"important", bold});
    p.runs.push_back({U": the caf\u00E9 costs \u20AC5 \u2013 {really} \\o/", plain});
    doc.AddParagraph(U"", plain);
    doc.AddParagraph(U"Greek \u03B1\u03B2\u03B3 and Russian \u041F\u0440\u0438\u0432\u0435\u0442 and \u65E5\u672C",
                     plain, {TAlignment::Center, false, 0, 0});
    doc.AddParagraph(U"item one", plain, {TAlignment::Left, true, 200, 0});
    doc.AddParagraph(U"last \u201Cquoted\u201D line", plain);

    TTempDir dir;
    const std::string path = dir.File("ours.rtf");
    WriteFileOrDie(path, TRtfWriter::Write(doc));
    const std::string text = BodyText(RunUnrtf(dir, path));
    EXPECT_EQ(text, AsUnrtfShows(doc));
}

TEST(Unrtf, ReadsOurRewriteOfOtherProgramsSamples) {
    ASSERT_EQ(std::system("command -v unrtf >/dev/null 2>&1"), 0) << "unrtf is missing: run scripts/install-deps.sh";
    for (const char* name : {"wordpad.rtf", "word.rtf", "exchange.rtf", "textedit.rtf", "japanese.rtf"}) {
        const TRichDocument doc = TRtfReader::Read(ReadFileOrEmpty(std::string(SKFP_TEST_DATA) + "/rtf/" + name));
        TTempDir dir;
        const std::string path = dir.File("ours.rtf");
        WriteFileOrDie(path, TRtfWriter::Write(doc));
        EXPECT_EQ(BodyText(RunUnrtf(dir, path)), AsUnrtfShows(doc)) << name;
    }
}
