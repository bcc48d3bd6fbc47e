#include "support/ListFileCheck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

std::vector<TReadBackRow> ReadListFileStrictly(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in) << path << " is missing";
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<TReadBackRow> rows;
    std::vector<std::string> fields;
    std::string field;
    bool lineHasField = false;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\x01') {
            fields.push_back(field);
            field.clear();
            lineHasField = true;
        } else if (c == '\r') {
            EXPECT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "CR without LF at byte " << i;
            EXPECT_TRUE(field.empty()) << "text after the last 0x01 of a line: " << field;
            EXPECT_TRUE(lineHasField) << "an empty line at byte " << i;
            if (!fields.empty()) rows.push_back({fields.front(), {fields.begin() + 1, fields.end()}});
            fields.clear();
            field.clear();
            lineHasField = false;
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "LF without CR at byte " << i;
            field += c;
        }
    }
    EXPECT_TRUE(fields.empty() && field.empty()) << "the last line has no CR LF";
    return rows;
}

void ExpectListFile(const std::string& path, const std::vector<TReadBackRow>& rows) {
    const auto read = ReadListFileStrictly(path);
    ASSERT_EQ(read.size(), rows.size()) << path;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(read[i].caption, rows[i].caption) << "row " << i;
        EXPECT_EQ(read[i].subItems, rows[i].subItems) << "row " << i << " (" << rows[i].caption << ")";
    }
}
