#pragma once

#include <string>
#include <string_view>

// The content type of a file by its extension, from a mime.types table
// (first line naming the extension wins); "application/octet-stream" when
// none does.
class TMimeTypes {
public:
    explicit TMimeTypes(std::string tablePath = "/etc/mime.types") : path_(std::move(tablePath)) {}
    std::string TypeOf(std::string_view fileName) const;

private:
    std::string path_;
};
