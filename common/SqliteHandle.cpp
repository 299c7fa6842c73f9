#include "SqliteHandle.h"

#include "SystemError.h"

#include <climits>

bool openSqlite(const std::string &path, int flags, SqliteDb &db,
                std::string &reason) {
    sqlite3 *handle = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &handle,
                                       flags & ~SQLITE_OPEN_URI, nullptr);
    db.reset(handle);
    if (result == SQLITE_OK) {
        sqlite3_extended_result_codes(handle, 1);
        return true;
    }
    reason = handle != nullptr ? sqliteErrorText(handle)
                               : std::string(sqlite3_errstr(result));
    db.reset();
    return false;
}

SqliteStatement prepareSqlite(sqlite3 *db, std::string_view sql) {
    if (sql.size() > INT_MAX)
        return nullptr;
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &statement,
                       nullptr);
    return SqliteStatement(statement);
}

bool executeSqlite(sqlite3 *db, const char *sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::string sqliteErrorText(sqlite3 *db) {
    std::string text = sqlite3_errmsg(db);
    const int system = sqlite3_system_errno(db);
    const int code = sqlite3_extended_errcode(db) & 0xFF;
    if (system != 0 && (code == SQLITE_IOERR || code == SQLITE_FULL ||
                        code == SQLITE_CANTOPEN || code == SQLITE_READONLY))
        text += ": " + systemErrorText(system);
    return text;
}

namespace {
std::string quoted(std::string_view text, char quote) {
    std::string result(1, quote);
    for (const char c : text) {
        result += c;
        if (c == quote)
            result += quote;
    }
    return result + quote;
}
} // namespace

std::string quoteSqlIdentifier(std::string_view name) {
    return quoted(name, '"');
}

std::string quoteSqlText(std::string_view text) { return quoted(text, '\''); }

std::string columnText(sqlite3_stmt *statement, int column) {
    const auto *text = sqlite3_column_text(statement, column);
    if (text == nullptr)
        return {};
    return std::string(
        reinterpret_cast<const char *>(text),
        static_cast<std::size_t>(sqlite3_column_bytes(statement, column)));
}

std::span<const std::uint8_t> columnBlob(sqlite3_stmt *statement, int column) {
    const auto *data = static_cast<const std::uint8_t *>(
        sqlite3_column_blob(statement, column));
    if (data == nullptr)
        return {};
    return {data,
            static_cast<std::size_t>(sqlite3_column_bytes(statement, column))};
}
