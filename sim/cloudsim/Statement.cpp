#include "Statement.h"

#include <sqlite3.h>

#include <stdexcept>

namespace cloudsim {

namespace {
[[noreturn]] void Fail(sqlite3* db, const char* what) {
    throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}
}  // namespace

Statement::Statement(sqlite3* db, const char* sql) : db(db), stmt(nullptr) {
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) != SQLITE_OK) Fail(db, sql);
}

Statement::~Statement() { sqlite3_finalize(stmt); }

Statement::Statement(Statement&& other) noexcept : db(other.db), stmt(other.stmt) { other.stmt = nullptr; }

Statement& Statement::Bind(int index, int64_t value) {
    if (sqlite3_bind_int64(stmt, index, value) != SQLITE_OK) Fail(db, "bind");
    return *this;
}

Statement& Statement::Bind(int index, const std::string& value) {
    if (sqlite3_bind_text(stmt, index, value.data(), static_cast<int>(value.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(db, "bind");
    return *this;
}

Statement& Statement::BindNull(int index) {
    if (sqlite3_bind_null(stmt, index) != SQLITE_OK) Fail(db, "bind");
    return *this;
}

bool Statement::Step() {
    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db, "step");
}

int64_t Statement::Int(int column) const { return sqlite3_column_int64(stmt, column); }

std::string Statement::Text(int column) const {
    auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, sqlite3_column_bytes(stmt, column)) : std::string();
}

bool Statement::IsNull(int column) const { return sqlite3_column_type(stmt, column) == SQLITE_NULL; }

}  // namespace cloudsim
