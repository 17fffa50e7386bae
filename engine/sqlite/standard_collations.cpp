#include "engine/sqlite/standard_collations.h"

#include <sqlite3.h>

#include <string>

#include "engine/dialect/types.h"

namespace dravmor {

namespace {

Status Exec(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) == SQLITE_OK) return Status::Ok();
  Status s = Status::Error(sqlite3_extended_errcode(db), message ? message : sqlite3_errmsg(db));
  sqlite3_free(message);
  return s;
}

Result<long long> Number(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    return Status::Error(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
  long long value = 0;
  int rc = sqlite3_step(stmt);
  if (rc == SQLITE_ROW) value = sqlite3_column_int64(stmt, 0);
  sqlite3_finalize(stmt);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE)
    return Status::Error(sqlite3_extended_errcode(db), sqlite3_errmsg(db));
  return value;
}

std::string Collate(std::string_view name) { return "COLLATE " + std::string(name); }

}  // namespace

Status UseStandardCollations(sqlite3* db, int* changed) {
  using namespace dialect;
  const std::string old_text = Collate(kOldTextCollation), old_date = Collate(kOldDateCollation);
  // instr() is exact and sees letter case: the engine wrote these words.
  const std::string which = "type='table' AND (instr(sql, '" + old_text + "') > 0 OR instr(sql, '" +
                            old_date + "') > 0)";
  auto count = Number(db, "SELECT COUNT(*) FROM sqlite_master WHERE " + which);
  if (!count.ok()) return count.status();
  if (changed) *changed = static_cast<int>(*count);
  if (*count == 0) return Status::Ok();

  if (Status s = Exec(db, "SAVEPOINT dravmor_collations"); !s.ok()) return s;
  auto undo = [&](Status failure) {
    Exec(db, "PRAGMA writable_schema=OFF");
    Exec(db, "ROLLBACK TO dravmor_collations");
    Exec(db, "RELEASE dravmor_collations");
    return failure;
  };
  auto version = Number(db, "PRAGMA schema_version");
  if (!version.ok()) return undo(version.status());
  // The collations are the same functions under the new names on the
  // engine's connection, so an index on such a column keeps its order.
  for (const std::string& step :
       {std::string("PRAGMA writable_schema=ON"),
        "UPDATE sqlite_master SET sql = replace(replace(sql, '" + old_text + "', '" +
            Collate(kTextCollation) + "'), '" + old_date + "', '" + Collate(kDateCollation) +
            "') WHERE " + which,
        "PRAGMA schema_version=" + std::to_string(*version + 1),
        std::string("PRAGMA writable_schema=OFF")})
    if (Status s = Exec(db, step); !s.ok()) return undo(s);
  if (Status s = Exec(db, "RELEASE dravmor_collations"); !s.ok()) return undo(s);
  // Read the edited definitions back: a fault here would show at once.
  auto check = Number(db, "SELECT COUNT(*) FROM sqlite_master WHERE " + which);
  if (!check.ok()) return check.status();
  return Status::Ok();
}

}  // namespace dravmor
