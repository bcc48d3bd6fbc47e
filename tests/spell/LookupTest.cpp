#include <gtest/gtest.h>

#include "SpellFixture.h"
#include "spell/LetterCodes.h"
#include "spell/SpellEngine.h"

namespace {

class LookupTest : public ::testing::Test {
protected:
    TTempDir dir;
    SpellEngine engine;
};

}  // namespace

TEST(LetterCodesTest, TableCodesAndUpperCaseMapping) {
    EXPECT_EQ(TLetterCodes::Encode('A'), 0);
    EXPECT_EQ(TLetterCodes::Encode('z'), 25);
    EXPECT_EQ(TLetterCodes::Encode('\''), 26);
    EXPECT_EQ(TLetterCodes::Encode('-'), 27);
    EXPECT_EQ(TLetterCodes::Encode(0x8A), 28);
    EXPECT_EQ(TLetterCodes::Encode(0x9A), 28);
    EXPECT_EQ(TLetterCodes::Encode(0x9C), 29);
    EXPECT_EQ(TLetterCodes::Encode(0xFF), 30);
    EXPECT_EQ(TLetterCodes::Encode(0xC0), 31);
    EXPECT_EQ(TLetterCodes::Encode(0xE9), TLetterCodes::Encode(0xC9));
    EXPECT_EQ(TLetterCodes::Encode(0xD6), 53);
    EXPECT_EQ(TLetterCodes::Encode(0xF6), 53);
    EXPECT_EQ(TLetterCodes::Encode(0xD8), 54);
    EXPECT_EQ(TLetterCodes::Encode(0xDF), 61);
    EXPECT_EQ(TLetterCodes::Encode(0xF0), 62);
    EXPECT_EQ(TLetterCodes::Encode('`'), 63);
    EXPECT_EQ(TLetterCodes::Encode('1'), 0);
    EXPECT_FALSE(TLetterCodes::HasCode('1'));
    EXPECT_FALSE(TLetterCodes::HasCode(0xD7));
    for (int code = 0; code < 64; ++code) {
        EXPECT_EQ(TLetterCodes::Encode(TLetterCodes::Decode(static_cast<unsigned char>(code))), code);
        // The flag bits do not change the letter.
        EXPECT_EQ(TLetterCodes::Decode(static_cast<unsigned char>(code | 0xC0)),
                  TLetterCodes::Decode(static_cast<unsigned char>(code)));
    }
    EXPECT_EQ(TLetterCodes::Upper("abz\x9A\x9C\xFF\xE7\xF1\xF8\xFD\xFE\xF0\xF7\xE0\xF6"),
              "ABZ\x8A\x8C\x9F\xC7\xD1\xD8\xDD\xDE\xF0\xF7\xC0\xD6");
}

TEST_F(LookupTest, OneLetterAndEmptyWordsArePresentWithoutAnyDictionary) {
    EXPECT_TRUE(engine.Lookup(""));
    EXPECT_TRUE(engine.Lookup("q"));
    EXPECT_TRUE(engine.Lookup("\xE9"));
    EXPECT_FALSE(engine.Lookup("qq"));
}

TEST_F(LookupTest, FindsWordsAcrossCaseAndAccentsAndNotTheirPrefixes) {
    ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(dir, {"cat", "cats", "caf\xE9", "dog"})));
    EXPECT_TRUE(engine.Lookup("cat"));
    EXPECT_TRUE(engine.Lookup("CAT"));
    EXPECT_TRUE(engine.Lookup("cAt"));
    EXPECT_TRUE(engine.Lookup("cats"));
    EXPECT_TRUE(engine.Lookup("caf\xE9"));
    EXPECT_TRUE(engine.Lookup("CAF\xC9"));
    EXPECT_FALSE(engine.Lookup("cafe"));
    EXPECT_FALSE(engine.Lookup("ca"));
    EXPECT_FALSE(engine.Lookup("catsx"));
    EXPECT_FALSE(engine.Lookup("do"));
    EXPECT_TRUE(engine.Lookup("dog"));
}

TEST_F(LookupTest, ApostropheSEndingsAreStrippedOneAfterAnother) {
    ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(dir, {"dog"})));
    EXPECT_TRUE(engine.Lookup("dog's"));
    EXPECT_TRUE(engine.Lookup("DOG'S's"));
    EXPECT_FALSE(engine.Lookup("dogs"));
    EXPECT_FALSE(engine.Lookup("dog'"));
}

TEST_F(LookupTest, CharactersWithoutALetterCodeAreNotReadAsA) {
    ASSERT_TRUE(engine.OpenMainDictionary(WriteMainDictionary(dir, {"cat", "r2d2"})));
    // A digit would encode as the code of "A".
    EXPECT_FALSE(engine.Lookup("c1t"));
    EXPECT_FALSE(engine.Lookup("c\xD7t"));
    EXPECT_FALSE(engine.Lookup("r2d2"));
    for (int b = 0; b < 256; ++b) {
        const std::string w = std::string("ca") + static_cast<char>(b);
        engine.Lookup(w);  // every byte value: must simply answer
    }
}

TEST_F(LookupTest, OpeningFailsForMissingFilesUserFilesAndASecondMain) {
    EXPECT_FALSE(engine.OpenMainDictionary(dir.File("missing.dct")));
    const std::string user = dir.File("user.dct");
    ASSERT_GT(engine.CreateUserDictionary(user), 0);
    EXPECT_FALSE(engine.OpenMainDictionary(user));
    const std::string main = WriteMainDictionary(dir, {"cat"});
    EXPECT_TRUE(engine.OpenMainDictionary(main));
    EXPECT_FALSE(engine.OpenMainDictionary(main));
    EXPECT_EQ(engine.OpenUserDictionary(main), 0);
    EXPECT_EQ(engine.OpenUserDictionary(dir.File("missing.dct")), -1);
    engine.CloseAll();
    EXPECT_TRUE(engine.Sections().empty());
    EXPECT_FALSE(engine.Lookup("cat"));
    EXPECT_TRUE(engine.OpenMainDictionary(main));
}
