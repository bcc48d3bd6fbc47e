#include "search/SqlStatement.h"

#include <sqlite3.h>

#include <utility>

TSqlStatement::TSqlStatement(sqlite3* db, std::string_view sql) {
    code_ = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr);
    if (code_ != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
    }
}

TSqlStatement::~TSqlStatement() { sqlite3_finalize(stmt_); }

TSqlStatement::TSqlStatement(TSqlStatement&& other) noexcept
    : stmt_(std::exchange(other.stmt_, nullptr)), code_(other.code_) {}

TSqlStatement& TSqlStatement::operator=(TSqlStatement&& other) noexcept {
    if (this != &other) {
        sqlite3_finalize(stmt_);
        stmt_ = std::exchange(other.stmt_, nullptr);
        code_ = other.code_;
    }
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, std::int64_t value) {
    if (stmt_) sqlite3_bind_int64(stmt_, index, value);
    return *this;
}

TSqlStatement& TSqlStatement::Bind(int index, std::string_view text) {
    if (stmt_) sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    return *this;
}

bool TSqlStatement::Step() {
    if (!stmt_) return false;
    code_ = sqlite3_step(stmt_);
    return code_ == SQLITE_ROW;
}

bool TSqlStatement::Run() {
    while (Step()) {
    }
    const bool ok = stmt_ && code_ == SQLITE_DONE;
    Reset();
    return ok;
}

void TSqlStatement::Reset() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

std::int64_t TSqlStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

std::string TSqlStatement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}
