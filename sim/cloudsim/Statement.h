#pragma once
// One prepared SQLite statement; values are bound by position (1-based) and rows read by column.
#include <cstdint>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace cloudsim {

class Statement {
public:
    Statement(sqlite3* db, const char* sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& operator=(Statement&&) = delete;

    Statement& Bind(int index, int64_t value);
    Statement& Bind(int index, int value) { return Bind(index, static_cast<int64_t>(value)); }
    Statement& Bind(int index, long long value) { return Bind(index, static_cast<int64_t>(value)); }
    Statement& Bind(int index, const std::string& value);
    Statement& Bind(int index, const char* value) { return Bind(index, std::string(value)); }
    Statement& BindNull(int index);

    // Advances to the next row: true when there is one, false when the statement is done.
    bool Step();
    int64_t Int(int column) const;
    std::string Text(int column) const;
    bool IsNull(int column) const;

private:
    sqlite3* db;
    sqlite3_stmt* stmt;
};

}  // namespace cloudsim
