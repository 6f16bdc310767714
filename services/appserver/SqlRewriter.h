#pragma once
// `RewriteSql`: adapts the SQL text the module writes (for a server with another
// dialect) to the storage engines, and nothing more:
//  - "$$" before a table name, and a database name followed by ".." before a
//    table name, are dropped: every table lives in the session's own database.
//    A database name other than the session's raises ESqlRewriteError, so a
//    session never reaches another company's data.
//  - "select top N ..." loses "top N" and gains " LIMIT N" at the end of that
//    select (before its closing parenthesis when it is a sub-select).
// Texts in quotes and comments are never changed. The result is SQL text with
// the same meaning; it is still to be run read-only when it came from a client.
#include <string>
#include <string_view>

#include "platform/core/Exception.h"

VELMORA_DECLARE_EXCEPTION(ESqlRewriteError, Exception);

std::string RewriteSql(std::string_view sql, std::string_view databaseName);
