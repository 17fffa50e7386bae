// The raw side of the listing benchmarks: a translated SELECT run straight
// on SQLite, every cell read once as a plain client would, with no engine
// in between.
#pragma once

#include <sqlite3.h>

#include <string>

#include <benchmark/benchmark.h>

namespace dravmor::bench {

// Runs sql once, reading each cell; the number of rows, or -1 with the
// message in *error when the statement does not prepare.
inline long ReadAllRows(sqlite3* db, const std::string& sql, std::string* error) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) {
    *error = sqlite3_errmsg(db);
    return -1;
  }
  const int width = sqlite3_column_count(stmt);
  long rows = 0;
  size_t cells = 0;
  std::string text;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < width; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER: cells += static_cast<size_t>(sqlite3_column_int64(stmt, c) & 1); break;
        case SQLITE_FLOAT: cells += sqlite3_column_double(stmt, c) > 0; break;
        case SQLITE_TEXT:
          text.assign(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c)),
                      static_cast<size_t>(sqlite3_column_bytes(stmt, c)));
          cells += text.size();
          break;
        default: ++cells;
      }
    }
  }
  sqlite3_finalize(stmt);
  benchmark::DoNotOptimize(cells);
  return rows;
}

}  // namespace dravmor::bench
