#pragma once
// The service's SQLite database: one connection shared by all request threads. Every access goes
// through a Transaction, which holds the connection's mutex for its whole life, so requests are
// serialised and each one sees and leaves a consistent state.
#include "Statement.h"

#include <mutex>
#include <optional>
#include <string>

namespace cloudsim {

class Database {
public:
    // Opens (creating when needed) the database file; throws std::runtime_error on failure.
    explicit Database(const std::string& path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

private:
    friend class Transaction;
    sqlite3* db;
    std::mutex mutex;  // guards db
};

class Transaction {
public:
    explicit Transaction(Database& database);
    ~Transaction();  // rolls back unless committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits and releases the database; the transaction must not be used afterwards.
    void Commit();

    // Prepares a statement and binds the arguments in order.
    template <typename... Args>
    Statement Query(const char* sql, const Args&... args) {
        Statement statement(database.db, sql);
        int index = 0;
        (statement.Bind(++index, args), ...);
        return statement;
    }
    // Runs a statement that returns no rows; returns the number of rows changed.
    template <typename... Args>
    int Run(const char* sql, const Args&... args) {
        Statement statement = Query(sql, args...);
        statement.Step();
        return Changes();
    }
    // The first column of the first row, if there is a row.
    template <typename... Args>
    std::optional<int64_t> Int(const char* sql, const Args&... args) {
        Statement statement = Query(sql, args...);
        if (!statement.Step() || statement.IsNull(0)) return std::nullopt;
        return statement.Int(0);
    }
    template <typename... Args>
    std::optional<std::string> Text(const char* sql, const Args&... args) {
        Statement statement = Query(sql, args...);
        if (!statement.Step() || statement.IsNull(0)) return std::nullopt;
        return statement.Text(0);
    }
    void Exec(const std::string& sql);
    int64_t LastInsertId() const;
    int Changes() const;

private:
    Database& database;
    std::unique_lock<std::mutex> lock;
    bool done = false;
};

}  // namespace cloudsim
