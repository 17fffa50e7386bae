// Writing: the workshop's rows moved aside, then the package's rows in
// batches, each batch within a savepoint.
#include <map>

#include "engine/numeric.h"
#include "engine/text.h"
#include "exchange/package_import.h"
#include "exchange/package_import_state.h"
#include "exchange/savepoint.h"

namespace dravmor {

namespace {

// Rows per INSERT: few statements, and a statement of a size every backend
// takes in its stride.
constexpr size_t kBatchRows = 200;

// The workshop's own state of a row that a package replaces: its stock,
// its lock, its favourite mark, its owners, and what a profile was copied
// from.
bool WorkshopOwn(std::string_view table, std::string_view column) {
  static const std::map<std::string_view, std::vector<std::string_view>> own = {
      {"厂家", {"Changyong", "CJSuoDing", "OwnerList", "UserList"}},
      {"系列", {"XLSuoDing", "OwnerList", "UserList"}},
      {"型材", {"num", "YuanID"}},
  };
  auto it = own.find(table);
  if (it == own.end()) return false;
  for (std::string_view c : it->second)
    if (EqualsIgnoreCase(c, column)) return true;
  return false;
}

bool IsText(int type) { return type == FieldType::kVarWChar || type == FieldType::kLongVarWChar; }

// A value as it is written into the INSERT: texts quoted, dates between
// "#", numbers in their exact shortest form (quoted for a text column).
std::string SqlValue(const Variant& v, int type) {
  switch (v.type()) {
    case VarType::Null:
    case VarType::Empty:
    case VarType::Object: return "Null";
    case VarType::String: return "'" + SqlQuote(v.str()) + "'";
    case VarType::Date: return "#" + v.date().ToText() + "#";
    case VarType::Boolean: return v.boolean() ? "-1" : "0";
    case VarType::Single:
      return IsText(type) ? "'" + ShortestDecimal(v.single()) + "'" : ShortestDecimal(v.single());
    case VarType::Double:
      return IsText(type) ? "'" + ShortestDecimal(v.double_value()) + "'"
                          : ShortestDecimal(v.double_value());
    default: return IsText(type) ? "'" + SqlQuote(v.ToText()) + "'" : v.ToText();
  }
}

std::optional<int64_t> WholeNumber(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return std::nullopt;
  auto c = v.ToCurrency();
  if (!c.ok() || c->scaled % Currency::kScale != 0) return std::nullopt;
  return c->scaled / Currency::kScale;
}


}  // namespace

Status PackageImport::Write(
    const std::function<void(const std::string&, uint64_t, uint64_t)>& progress) {
  for (auto& t : tables_) {
    if (Status s = MoveKeys(connection_, columns_, t->Name(), t->moves); !s.ok()) return s;
    if (Status s = MoveKeys(connection_, columns_, t->Name(), t->then_moves); !s.ok()) return s;
  }
  uint64_t total = 0, done = 0;
  for (auto& t : tables_) total += t->order.size();
  for (auto& t : tables_)
    if (Status s = WriteTable(*t, done, total, progress); !s.ok()) return s;
  return Status::Ok();
}

Status PackageImport::WriteTable(
    Table& t, uint64_t& done, uint64_t total,
    const std::function<void(const std::string&, uint64_t, uint64_t)>& progress) {
  std::vector<size_t> batch;
  auto flush = [&]() -> Status {
    if (batch.empty()) return Status::Ok();
    Status s = WriteBatch(t, batch, false);
    done += batch.size();
    batch.clear();
    if (progress) progress(t.Name(), done, total);
    return s;
  };
  for (size_t r : t.order) {
    std::vector<Variant> out;
    bool matched = false;
    std::string why;
    if (!Translate(t, t.source->rows[r], true, out, matched, why)) {
      Skip(t, r, why);
      ++done;
      continue;
    }
    batch.push_back(r);
    if (batch.size() >= kBatchRows)
      if (Status s = flush(); !s.ok()) return s;
  }
  return flush();
}

Status PackageImport::WriteBatch(Table& t, const std::vector<size_t>& rows, bool one_by_one) {
  const PackageTable& src = *t.source;
  // The statements that write rows: the replaced rows deleted and written
  // whole (the workshop's own columns kept), the new rows written with
  // the package's columns.
  auto statements = [&](const std::vector<size_t>& which, std::vector<std::string>& out,
                        std::string& why) {
    std::string deleted, replaced, fresh;
    for (size_t r : which) {
      std::vector<Variant> values;
      bool matched = false;
      if (!Translate(t, src.rows[r], true, values, matched, why)) return false;
      const int64_t p = *t.package_id[r];
      const int64_t target = t.target.at(p);
      const auto replace = t.replaces.find(p);
      std::string list;
      if (replace == t.replaces.end()) {
        for (size_t c = 0; c < values.size(); ++c)
          list += (c ? "," : "") +
                  (c == src.id_index ? std::to_string(target) : SqlValue(values[c], src.types[c]));
        fresh += (fresh.empty() ? "" : ",") + ("(" + list + ")");
        continue;
      }
      const std::vector<Variant>& own = t.workshop_rows[replace->second];
      auto own_number = [&](std::string_view column) -> std::optional<double> {
        const int c = t.WorkshopColumn(column);
        if (c < 0 || own[c].IsNull()) return std::nullopt;
        auto d = own[c].ToDouble();
        return d.ok() ? std::optional<double>(*d) : std::nullopt;
      };
      for (size_t c = 0; c < t.workshop_columns.size(); ++c) {
        const std::string& name = t.workshop_columns[c];
        const int from_package = src.Column(name);
        std::string value;
        if (EqualsIgnoreCase(name, src.id_column)) {
          value = std::to_string(target);
        } else if (from_package >= 0 && !WorkshopOwn(t.Name(), name)) {
          value = SqlValue(values[from_package], src.types[from_package]);
        } else {
          // The workshop's value; a key it holds may have moved meanwhile.
          Variant v = own[c];
          for (const auto& [owner, ref] : KeysHeldBy(t.Name(), name)) {
            Table* held = Find(owner->table);
            const std::optional<int64_t> id = WholeNumber(v);
            if (!held || !id || !OnlyWhenHolds(*ref, own_number)) continue;
            if (auto m = held->moved.find(*id); m != held->moved.end())
              v = Variant(Currency::FromWhole(m->second));
          }
          value = SqlValue(v, t.workshop_types[c]);
        }
        list += (c ? "," : "") + value;
      }
      replaced += (replaced.empty() ? "" : ",") + ("(" + list + ")");
      deleted += (deleted.empty() ? "" : ",") + std::to_string(target);
    }
    auto names = [](const std::vector<std::string>& columns) {
      std::string text;
      for (size_t c = 0; c < columns.size(); ++c) text += (c ? "," : "") + columns[c];
      return text;
    };
    if (!deleted.empty()) {
      out.push_back("DELETE FROM " + t.Name() + " WHERE " + src.id_column + " IN (" + deleted + ")");
      out.push_back("INSERT INTO " + t.Name() + " (" + names(t.workshop_columns) + ") VALUES " +
                    replaced);
    }
    if (!fresh.empty())
      out.push_back("INSERT INTO " + t.Name() + " (" + names(src.columns) + ") VALUES " + fresh);
    return true;
  };
  auto attempt = [&](const std::vector<size_t>& which, std::string& why) -> Result<bool> {
    std::vector<std::string> sql;
    if (!statements(which, sql, why)) return false;
    Savepoint savepoint(connection_, "import_rows");
    if (Status s = savepoint.Begin(); !s.ok()) return s;
    for (const std::string& statement : sql) {
      Status s = connection_.Execute(statement, dialect::Source::Jet);
      if (s.ok()) continue;
      why = s.text();
      if (Status back = savepoint.Undo(); !back.ok()) return back;
      return false;
    }
    if (Status s = savepoint.Release(); !s.ok()) return s;
    return true;
  };

  std::string why;
  if (!one_by_one) {
    auto ok = attempt(rows, why);
    if (!ok.ok()) return ok.status();
    if (*ok) {
      written_ += rows.size();
      return Status::Ok();
    }
  }
  // One by one: a row whose parent was refused just now goes nowhere.
  for (size_t r : rows) {
    why.clear();
    auto ok = attempt({r}, why);
    if (!ok.ok()) return ok.status();
    if (*ok)
      ++written_;
    else
      Skip(t, r, why);
  }
  return Status::Ok();
}

}  // namespace dravmor
