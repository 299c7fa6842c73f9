#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

// SQLite's handles, each released once by its owner: a connection
// (sqlite3_close_v2, which waits for statements and blobs still open), a
// prepared statement (sqlite3_finalize) and an open blob (sqlite3_blob_close).
struct SqliteCloser {
    void operator()(sqlite3 *db) const { sqlite3_close_v2(db); }
};
using SqliteDb = std::unique_ptr<sqlite3, SqliteCloser>;

struct SqliteFinalizer {
    void operator()(sqlite3_stmt *statement) const {
        sqlite3_finalize(statement);
    }
};
using SqliteStatement = std::unique_ptr<sqlite3_stmt, SqliteFinalizer>;

struct SqliteBlobCloser {
    void operator()(sqlite3_blob *blob) const { sqlite3_blob_close(blob); }
};
using SqliteBlob = std::unique_ptr<sqlite3_blob, SqliteBlobCloser>;

// Opens a database file by its bytes (never as a URI). False with reason
// when SQLite cannot open it; the connection is then closed.
bool openSqlite(const std::string &path, int flags, SqliteDb &db,
                std::string &reason);

// Compiles one statement; nullptr when it does not compile (the connection's
// error says why).
SqliteStatement prepareSqlite(sqlite3 *db, std::string_view sql);

// Runs statements that return no rows; false when one fails.
bool executeSqlite(sqlite3 *db, const char *sql);

// Why the last call on the connection failed: SQLite's text, and the
// system's when a system call failed beneath it ("disk I/O error: No space
// left on device").
std::string sqliteErrorText(sqlite3 *db);

// A name as an SQL identifier: in double quotes, each double quote doubled.
std::string quoteSqlIdentifier(std::string_view name);

// A text as an SQL string literal: in single quotes, each one doubled.
std::string quoteSqlText(std::string_view text);

// A column's text (empty for NULL); its bytes as SQLite holds them.
std::string columnText(sqlite3_stmt *statement, int column);

// A column's bytes as a blob (empty for NULL), valid until the statement
// steps, is reset or is finalized.
std::span<const std::uint8_t> columnBlob(sqlite3_stmt *statement, int column);
