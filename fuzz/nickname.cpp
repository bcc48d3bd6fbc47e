// Arbitrary bytes as another program's nickname file: the import never
// crashes, every member it makes has nine sub-items, a name unique among the
// book's and the file's, and nothing a list file cannot keep, so the book
// written afterwards reads back as the same rows.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "book/NicknameImport.h"
#include "common/ListName.h"
#include "common/TextUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> existing{"Ann", "New Member"};
    const auto rows = nickname::Parse(std::string_view(reinterpret_cast<const char*>(data), size), existing);
    std::vector<std::string> names = existing;
    for (const auto& row : rows) {
        if (row.subItems.size() != 9 || !listname::IsStorable(row.caption)) std::abort();
        for (const auto& n : names)
            if (text::EqualsNoCase(n, row.caption)) std::abort();
        names.push_back(row.caption);
        for (const auto& field : row.subItems)
            if (field.find_first_of("\x01\r\n") != std::string::npos) std::abort();
    }
    if (listfile::Parse(listfile::Format(rows)) != rows) std::abort();
    return 0;
}
