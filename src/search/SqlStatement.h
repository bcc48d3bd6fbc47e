#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

// One prepared SQLite statement: bind, step, read columns, reset. Owns its
// statement; an error is kept in the database's error state (TSqlDb).
class TSqlStatement {
public:
    TSqlStatement() = default;
    TSqlStatement(sqlite3* db, std::string_view sql);
    ~TSqlStatement();
    TSqlStatement(TSqlStatement&& other) noexcept;
    TSqlStatement& operator=(TSqlStatement&& other) noexcept;
    TSqlStatement(const TSqlStatement&) = delete;
    TSqlStatement& operator=(const TSqlStatement&) = delete;

    bool Valid() const { return stmt_ != nullptr; }
    // The result code of the last prepare or step.
    int Code() const { return code_; }

    TSqlStatement& Bind(int index, std::int64_t value);
    TSqlStatement& Bind(int index, std::string_view text);
    // True while a row is there to read.
    bool Step();
    // Steps to the end; true when it ended well.
    bool Run();
    void Reset();

    std::int64_t Int(int column) const;
    std::string Text(int column) const;

private:
    sqlite3_stmt* stmt_ = nullptr;
    int code_ = 0;
};
