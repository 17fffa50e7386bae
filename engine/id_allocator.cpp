#include "engine/id_allocator.h"

#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

constexpr dialect::Source kJet = dialect::Source::Jet;

// One mark per table and column, whatever letter case a caller spells them in.
std::string MarkKey(const std::string& table, const std::string& column) {
  return ToLowerAscii(table) + "." + ToLowerAscii(column);
}

// The whole part of a stored id (a fraction written by another program
// rounds down, so the next id is still above it).
Result<int64_t> WholeId(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return int64_t{0};
  auto number = value.ToCurrency();
  if (!number.ok()) return number.status();
  int64_t whole = number->scaled / Currency::kScale;
  if (number->scaled < 0 && number->scaled % Currency::kScale != 0) --whole;
  return whole;
}

// The first value of a one-row query, Null when it has no row.
Result<Variant> FirstValue(SharedConnection& connection, const std::string& sql) {
  auto rows = connection.Query(sql, kJet, true);
  if (!rows.ok()) return rows.status();
  if (rows->RowCount() == 0 || rows->cells.empty()) return Variant(Null{});
  return rows->cells[0];
}

Status EnsureMarksTable(SharedConnection& connection) {
  if (connection.IdMarksKnown()) return Status::Ok();
  auto exists = TableExists(connection, kIdHighWaterTable);
  if (!exists.ok()) return exists.status();
  // Remembered only when found: one made now goes if the transaction
  // making it is rolled back.
  if (*exists) {
    connection.SetIdMarksKnown();
    return Status::Ok();
  }
  Status made = connection.Execute(IdHighWaterTableSql(), kJet, true);
  if (made.ok()) return made;
  // Another workstation made it since this connection read its catalogue
  // (a failed CREATE makes the connection read it again).
  exists = TableExists(connection, kIdHighWaterTable);
  if (exists.ok() && *exists) {
    connection.SetIdMarksKnown();
    return Status::Ok();
  }
  return made;
}

// The mark of table.column: Null when none was ever written.
Result<Variant> ReadMark(SharedConnection& connection, const std::string& key) {
  return FirstValue(connection, "SELECT LastID FROM IdHighWater WHERE IdKey=" + key);
}

// Not waited for: its failure fails the transaction, so that no id it
// handed out is ever committed unmarked.
Status WriteMark(SharedConnection& connection, const std::string& key, const Variant& mark,
                 int64_t last) {
  const std::string value = std::to_string(last);
  return connection.ExecuteDeferred(
      mark.IsNull() ? "INSERT INTO IdHighWater (IdKey, LastID) VALUES (" + key + "," + value + ")"
                    : "UPDATE IdHighWater SET LastID=" + value + " WHERE IdKey=" + key,
      kJet);
}

std::string QuotedKey(const std::string& table, const std::string& column) {
  return "'" + SqlQuote(MarkKey(table, column)) + "'";
}

}  // namespace

std::string IdHighWaterTableSql() {
  return "CREATE TABLE IdHighWater (IdKey Text(255) PRIMARY KEY, LastID Currency)";
}

Result<Currency> AllocateIds(SharedConnection& connection, const std::string& table,
                             const std::string& column, int64_t count) {
  if (count < 1)
    return Status::Error(ErrorCode::kBadArgument, "An id block needs at least one id");
  // In the caller's transaction its write lock is held already; alone, the
  // allocation takes it for its own few statements.
  std::optional<Transaction> own;
  if (!connection.InTransaction()) {
    own.emplace(connection);
    if (!own->status().ok()) return own->status();
  }
  if (Status s = EnsureMarksTable(connection); !s.ok()) return s;
  // The largest stored id and the mark in one read.
  const std::string key = QuotedKey(table, column);
  auto both = connection.Query("SELECT MAX(" + column + "), (SELECT LastID FROM IdHighWater " +
                                   "WHERE IdKey=" + key + ") FROM " + table,
                               kJet, true);
  if (!both.ok()) return both.status();
  if (both->cells.size() != 2)
    return Status::Error(ErrorCode::kSyntax, "The id marks of " + table + " cannot be read");
  const Variant& mark = both->cells[1];
  auto largest_stored = WholeId(both->cells[0]);
  if (!largest_stored.ok()) return largest_stored.status();
  auto largest_given = WholeId(mark);
  if (!largest_given.ok()) return largest_given.status();

  const int64_t first = std::max(*largest_stored, *largest_given) + 1;
  if (Status written = WriteMark(connection, key, mark, first + count - 1); !written.ok())
    return written;
  if (own)
    if (Status s = own->Commit(); !s.ok()) return s;
  return Currency::FromWhole(first);
}

Result<int64_t> AllocateCopyBase(SharedConnection& connection, const std::string& table,
                                 const std::string& column, int64_t count) {
  auto first = AllocateIds(connection, table, column, std::max<int64_t>(count, 0) + 1);
  if (!first.ok()) return first.status();
  return first->scaled / Currency::kScale;
}

Status MarkIdsHandedOut(SharedConnection& connection, const std::string& table,
                        const std::string& column, int64_t last) {
  std::optional<Transaction> own;
  if (!connection.InTransaction()) {
    own.emplace(connection);
    if (!own->status().ok()) return own->status();
  }
  if (Status s = EnsureMarksTable(connection); !s.ok()) return s;
  const std::string key = QuotedKey(table, column);
  auto mark = ReadMark(connection, key);
  if (!mark.ok()) return mark.status();
  auto largest_given = WholeId(*mark);
  if (!largest_given.ok()) return largest_given.status();
  if (*largest_given < last)
    if (Status written = WriteMark(connection, key, *mark, last); !written.ok()) return written;
  return own ? own->Commit() : Status::Ok();
}

}  // namespace dravmor
