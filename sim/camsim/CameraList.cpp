#include "CameraList.h"

#include <sqlite3.h>

namespace CameraList {

bool FromDatabase(const std::string& path, std::vector<SimCamera::Account>& out, std::string& error)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        error = "cannot open " + path + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* statement = nullptr;
    const char* sql =
        "SELECT c.deviceId, c.imPassword, c.alias, c.online, "
        "EXISTS(SELECT 1 FROM binding b WHERE b.deviceId = c.deviceId) FROM camera c ORDER BY c.deviceId";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK) {
        error = "cannot read the cameras of " + path + ": " + sqlite3_errmsg(db);
        sqlite3_close(db);
        return false;
    }
    auto text = [&](int column) {
        const unsigned char* value = sqlite3_column_text(statement, column);
        return value != nullptr ? std::string(reinterpret_cast<const char*>(value)) : std::string();
    };
    int rc;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
        out.push_back(SimCamera::Account{text(0), text(1), text(2), sqlite3_column_int(statement, 3) != 0,
                                         sqlite3_column_int(statement, 4) != 0});
    if (rc != SQLITE_DONE)
        error = "cannot read the cameras of " + path + ": " + sqlite3_errmsg(db);
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rc == SQLITE_DONE;
}

bool FromText(const std::string& text, SimCamera::Account& out)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    out = SimCamera::Account{text.substr(0, colon), text.substr(colon + 1), text.substr(0, colon), true, true};
    return true;
}

}  // namespace CameraList
