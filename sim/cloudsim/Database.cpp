#include "Database.h"

#include <sqlite3.h>

#include <stdexcept>

namespace cloudsim {

Database::Database(const std::string& path) : db(nullptr) {
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                        nullptr) != SQLITE_OK) {
        std::string reason = db ? sqlite3_errmsg(db) : "out of memory";
        sqlite3_close(db);
        throw std::runtime_error("cannot open database " + path + ": " + reason);
    }
    sqlite3_busy_timeout(db, 5000);
    char* error = nullptr;
    if (sqlite3_exec(db, "PRAGMA foreign_keys = ON; PRAGMA journal_mode = WAL;", nullptr, nullptr, &error) !=
        SQLITE_OK) {
        std::string reason = error ? error : "?";
        sqlite3_free(error);
        sqlite3_close(db);
        throw std::runtime_error("cannot set up database " + path + ": " + reason);
    }
}

Database::~Database() { sqlite3_close(db); }

Transaction::Transaction(Database& database) : database(database), lock(database.mutex) {
    Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
    if (!done) sqlite3_exec(database.db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::Commit() {
    Exec("COMMIT");
    done = true;
    lock.unlock();  // the database is free for others (and for work that follows the change)
}

void Transaction::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(database.db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string reason = error ? error : "?";
        sqlite3_free(error);
        throw std::runtime_error("sql failed: " + reason);
    }
}

int64_t Transaction::LastInsertId() const { return sqlite3_last_insert_rowid(database.db); }

int Transaction::Changes() const { return sqlite3_changes(database.db); }

}  // namespace cloudsim
