#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/BoundedText.h"
#include "common/FieldText.h"
#include "common/Windows1252.h"

namespace {

// Subjects and names of real mail in many scripts, with the punctuation and
// blanks they come with.
const std::vector<std::string> kWorld = {
    "Привет — café ✓ 日本",
    "Re: Отчёт за март (финальная версия)",
    "Γιώργος Παπαδόπουλος",
    "Zażółć gęślą jaźń",
    "Příliš žluťoučký kůň",
    "Çalışma toplantısı ğüşiöç",
    "Tiếng Việt có dấu",
    "שלום עולם",
    "مرحبا بالعالم",
    "สวัสดีครับ",
    "会議の議事録について",
    "项目进度报告",
    "회의 일정 안내",
    "Party 🎉🎂 tonight!",
    "a  Привет  мир  b",
    "  leading and trailing Ω  ",
    "Fwd: =?UTF-8?B?0J8=?= is how it came",
    "=?utf-8?q?not_mine?=",
    "x=?UTF-8?Q?a?=y",
};

}  // namespace

TEST(FieldText, WesternTextIsStoredAsOlderVersionsStoredIt) {
    // Every byte an older version could have written reads as its character
    // and is written back unchanged.
    std::string everyByte;
    for (int b = 0x20; b < 0x100; ++b) everyByte += static_cast<char>(b);
    for (const std::string& stored :
         {std::string("Caf\xe9 cr\xe8me \x93quoted\x94 \x80 100"), everyByte, std::string("Re: Hello"),
          std::string("Price =? 5"), std::string("=?iso-8859-1?q?Caf=E9?="), std::string("a ?= b =?")}) {
        const std::string utf8 = fieldtext::Decode(stored);
        EXPECT_EQ(utf8, cp1252::ToUtf8(stored));
        EXPECT_EQ(fieldtext::Encode(utf8, fieldtext::kNoLimit), stored);
        EXPECT_EQ(fieldtext::Encode(utf8), stored.substr(0, 255));
    }
    // A long Western text is cut at 255 bytes, as it always was.
    const std::string longWestern(300, '\xe9');
    EXPECT_EQ(fieldtext::Encode(cp1252::ToUtf8(longWestern)), longWestern.substr(0, 255));
    EXPECT_EQ(TBoundedText(longWestern).str(), longWestern.substr(0, 255));
}

TEST(FieldText, EveryScriptRoundTripsInEncodedWordsOlderReadersCanShow) {
    for (const auto& text : kWorld) {
        const std::string stored = fieldtext::Encode(text);
        EXPECT_EQ(fieldtext::Decode(stored), text) << stored;
        EXPECT_LE(stored.size(), 255u);
        // Only what Windows-1252 holds appears raw; no line breaks or field separators.
        EXPECT_EQ(cp1252::FromUtf8(cp1252::ToUtf8(stored)), stored);
        EXPECT_EQ(stored.find_first_of("\x01\x02\r\n"), std::string::npos);
        // Encoded words are at most 75 characters.
        for (auto at = stored.find("=?UTF-8?"); at != std::string::npos; at = stored.find("=?UTF-8?", at + 1))
            EXPECT_LE(stored.find("?=", at + 10) + 2 - at, 75u) << stored;
    }
    // Only the words that need it are encoded, each in the shorter form.
    EXPECT_EQ(fieldtext::Encode("Re: Привет мир and more"), "Re: =?UTF-8?B?0J/RgNC40LLQtdGCINC80LjRgA==?= and more");
    EXPECT_EQ(fieldtext::Encode("Dvořák-Symphony-From-The-New-World ráno"),
              "=?UTF-8?Q?Dvo=C5=99=C3=A1k-Symphony-From-The-New-World?= r\xe1no");
    EXPECT_EQ(fieldtext::Encode("caf\xc3\xa9 \xe2\x9c\x93"), "caf\xe9 =?UTF-8?B?4pyT?=");
    // Blanks between two encoded words are dropped by a reader, so the blanks
    // inside a run go into its words.
    EXPECT_EQ(fieldtext::Decode("=?UTF-8?Q?a?= =?UTF-8?Q?b?=  c"), "ab  c");
    // Broken words of ours stay text.
    EXPECT_EQ(fieldtext::Decode("=?UTF-8?B?@@@@?="), "=?UTF-8?B?@@@@?=");
    EXPECT_EQ(fieldtext::Decode("=?UTF-8?Q?=FF?="), "=?UTF-8?Q?=FF?=");
    // Malformed UTF-8 comes in as Windows-1252 characters.
    EXPECT_EQ(fieldtext::Decode(fieldtext::Encode("J\xfcrgen \xe6\x97\xa5")), "J\xc3\xbcrgen \xe6\x97\xa5");
}

TEST(FieldText, TheLimitCutsAtWholeCharactersAndKeepsWordsWhole) {
    for (const std::string_view unit : {"Жё", "日本", "🎉", "é✓", "a Ω "}) {
        std::string text;
        while (text.size() < 1200) text += unit;
        for (const std::size_t limit : {std::size_t{255}, std::size_t{100}, std::size_t{20}}) {
            const std::string stored = fieldtext::Encode(text, limit);
            EXPECT_LE(stored.size(), limit);
            const std::string back = fieldtext::Decode(stored);
            EXPECT_EQ(text.compare(0, back.size(), back), 0) << stored;
            EXPECT_TRUE(cp1252::IsValidUtf8(back));
            if (limit == 255) {
                EXPECT_GT(back.size(), 60u) << unit;
            }
        }
        // A field fed a longer stored form keeps as much as fits, still encoded.
        const TBoundedText field(fieldtext::Encode(text, fieldtext::kNoLimit));
        EXPECT_EQ(field.str(), fieldtext::Encode(text));
    }
}

TEST(FieldText, CaseFoldingAcrossScripts) {
    EXPECT_TRUE(fieldtext::ContainsNoCase("Re: ПРИВЕТ мир", "привет"));
    EXPECT_TRUE(fieldtext::ContainsNoCase("Привет", "пРИВЕТ"));
    EXPECT_TRUE(fieldtext::ContainsNoCase("ΟΔΥΣΣΕΥΣ", "οδυσσευς"));
    EXPECT_TRUE(fieldtext::ContainsNoCase("École d'été", "ÉTÉ"));
    EXPECT_TRUE(fieldtext::ContainsNoCase("anything", ""));
    EXPECT_FALSE(fieldtext::ContainsNoCase("Привет", "пока"));
    EXPECT_EQ(fieldtext::CompareNoCase("ÉCOLE", "école"), 0);
    EXPECT_EQ(fieldtext::CompareNoCase("Straße", "STRASSE") != 0, true);  // no expansion: stays distinct
    EXPECT_LT(fieldtext::CompareNoCase("apple", "Banana"), 0);
    EXPECT_LT(fieldtext::CompareNoCase("Ábc", "Б"), 0);
    EXPECT_LT(fieldtext::CompareNoCase("ab", "abc"), 0);
    EXPECT_EQ(fieldtext::Fold("ΣΊΣΥΦΟΣ Mixed"), "σίσυφοσ mixed");
}
