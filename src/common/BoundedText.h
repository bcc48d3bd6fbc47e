#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "common/FieldText.h"

// A text field of at most 255 bytes in its stored form (common/FieldText.h).
// Assigning a longer value keeps its first 255 characters, as the index files
// and list rows expect; a value with encoded words keeps as many whole
// characters as fit, still encoded.
class TBoundedText {
public:
    static constexpr std::size_t kLimit = 255;

    TBoundedText() = default;
    TBoundedText(std::string_view text) { assign(text); }  // NOLINT: implicit on purpose
    TBoundedText(const char* text) { assign(text ? std::string_view(text) : std::string_view()); }
    TBoundedText(const std::string& text) { assign(text); }

    TBoundedText& operator=(std::string_view text) {
        assign(text);
        return *this;
    }
    TBoundedText& operator=(const char* text) { return *this = std::string_view(text ? text : ""); }
    TBoundedText& operator=(const std::string& text) { return *this = std::string_view(text); }

    const std::string& str() const { return text_; }
    operator const std::string&() const { return text_; }  // NOLINT
    const char* c_str() const { return text_.c_str(); }
    bool empty() const { return text_.empty(); }
    std::size_t size() const { return text_.size(); }

    friend bool operator==(const TBoundedText& a, const TBoundedText& b) { return a.text_ == b.text_; }
    friend bool operator==(const TBoundedText& a, const std::string& b) { return a.text_ == b; }
    friend bool operator==(const TBoundedText& a, const char* b) { return a.text_ == b; }

private:
    void assign(std::string_view text) {
        if (text.size() <= kLimit)
            text_.assign(text);
        else
            text_ = fieldtext::Fit(text, kLimit);
    }

    std::string text_;
};
