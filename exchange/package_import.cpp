// Planning: which package rows match workshop rows, and the key each row
// is written under.
#include "exchange/package_import.h"

#include <algorithm>
#include <deque>
#include <map>

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"
#include "exchange/package_import_state.h"

namespace dravmor {

namespace {

// The columns that make a row the same row: what the classes' own
// duplicate tests compare (a factory's code within its kind and type; a
// category's name within its kind, type and material family; a series'
// name, type or parent and joining mode within its factory), and for the
// rows below a series its code or position. References are compared in
// workshop keys, so a row matches only below a parent that matched.
const std::map<std::string_view, std::vector<std::string_view>>& MatchColumns() {
  static const std::map<std::string_view, std::vector<std::string_view>> rules = {
      {"厂家", {"cjLB", "cjType", "BianMa"}},
      {"类别", {"MingCheng", "ZhongLei", "TypeLB", "LvSu"}},
      {"系列", {"CJ_ID", "MingCheng", "xllb", "PinJieFangShi"}},
      {"型材", {"XL_ID", "DaiMa"}},
      {"绑定", {"Zhu_ID", "Fu_ID"}},
      {"型材组合公式", {"tk_id", "XL_ID", "xc_id", "ShunXu"}},
      {"玻璃组合公式", {"tk_id", "XL_ID", "ShunXu"}},
  };
  return rules;
}

// Where the workshop rows a package row may match are found: below the
// parents that matched (none: the whole table).
struct Candidates {
  std::string_view column;
  std::string_view parent;
};
const std::map<std::string_view, Candidates>& CandidateRows() {
  static const std::map<std::string_view, Candidates> rules = {
      {"系列", {"CJ_ID", "厂家"}},  {"型材", {"XL_ID", "系列"}},
      {"绑定", {"Zhu_ID", "型材"}}, {"型材组合公式", {"XL_ID", "系列"}},
      {"玻璃组合公式", {"XL_ID", "系列"}},
  };
  return rules;
}

// References a row can do without: a category or factory the package does
// not carry stays as written (older packages); a copy's source outside the
// package is forgotten.
PackageReference::Outside OutsideRule(std::string_view table, std::string_view column) {
  if (table == "型材" && (EqualsIgnoreCase(column, "LB_ID") || EqualsIgnoreCase(column, "CJ_ID")))
    return PackageReference::kKeep;
  if (table == "型材" && EqualsIgnoreCase(column, "YuanID")) return PackageReference::kZero;
  return PackageReference::kRequired;
}

std::optional<int64_t> IdOf(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return std::nullopt;
  auto c = v.ToCurrency();
  if (!c.ok() || c->scaled % Currency::kScale != 0) return std::nullopt;
  return c->scaled / Currency::kScale;
}

// A value as a match compares it: texts without ASCII letter case (as the
// database compares them), numbers by value, Null and 0 and "" alike.
std::string Normal(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return "";
  if (v.type() == VarType::String) return ToLowerAscii(v.str());
  auto d = v.ToDouble();
  if (!d.ok()) return ToLowerAscii(v.ToText());
  return *d == 0 ? "" : ShortestDecimal(*d);
}

std::string IdsList(const std::vector<int64_t>& ids, size_t from, size_t to) {
  std::string list;
  for (size_t i = from; i < to; ++i) list += (i == from ? "" : ",") + std::to_string(ids[i]);
  return list;
}

}  // namespace

int PackageImport::Table::WorkshopColumn(std::string_view name) const {
  for (size_t i = 0; i < workshop_columns.size(); ++i)
    if (EqualsIgnoreCase(workshop_columns[i], name)) return static_cast<int>(i);
  return -1;
}

PackageImport::PackageImport(SharedConnection& connection, DatabaseColumns& columns,
                             const Package& package)
    : connection_(connection), columns_(columns), package_(package) {
  for (const PackageTable& source : package.tables) {
    auto t = std::make_unique<Table>();
    t->source = &source;
    t->owner = FindKeyOwner(source.table);
    t->keeps_package_ids = source.table == "类别";
    tables_.push_back(std::move(t));
  }
  // The package columns that hold keys of package tables.
  for (auto& t : tables_)
    for (size_t c = 0; c < t->source->columns.size(); ++c)
      for (const auto& [owner, ref] : KeysHeldBy(t->Name(), t->source->columns[c]))
        if (package.Find(owner->table))
          t->references.push_back({c, owner, ref, OutsideRule(t->Name(), t->source->columns[c])});
}

PackageImport::~PackageImport() = default;

PackageImport::Table* PackageImport::Find(std::string_view table) {
  for (auto& t : tables_)
    if (EqualsIgnoreCase(t->Name(), table)) return t.get();
  return nullptr;
}

void PackageImport::Skip(Table& t, size_t row, const std::string& why) {
  const std::optional<int64_t>& id = t.package_id[row];
  if (id) t.refused.insert(*id);
  skipped_.push_back({t.Name(), t.source->id_column + "=" + t.source->rows[row][t.source->id_index].ToText(),
                      why});
}

bool PackageImport::Translate(const Table& t, const std::vector<Variant>& row, bool final,
                              std::vector<Variant>& out, bool& parents_matched,
                              std::string& why) const {
  out = row;
  parents_matched = true;
  auto number = [&](std::string_view column) -> std::optional<double> {
    const int c = t.source->Column(column);
    if (c < 0 || row[c].IsNull()) return std::nullopt;
    auto d = row[c].ToDouble();
    return d.ok() ? std::optional<double>(*d) : std::nullopt;
  };
  for (const PackageReference& r : t.references) {
    if (!OnlyWhenHolds(*r.reference, number)) continue;
    const std::optional<int64_t> id = IdOf(row[r.column]);
    if (!id || *id == 0) continue;
    const Table* parent = nullptr;
    for (const auto& p : tables_)
      if (p->Name() == r.owner->table) parent = p.get();
    const std::string named = std::string(r.owner->table) + " " + std::to_string(*id);
    if (parent->refused.count(*id)) {
      if (r.outside == PackageReference::kZero) {
        out[r.column] = Variant(int32_t{0});
        continue;
      }
      why = "它所属的" + named + "未能导入";
      return false;
    }
    if (!parent->row_of.count(*id)) {
      if (r.outside == PackageReference::kKeep) continue;
      if (r.outside == PackageReference::kZero) {
        out[r.column] = Variant(int32_t{0});
        continue;
      }
      why = "它所指的" + named + "不在数据包中";
      return false;
    }
    const auto match = parent->matched.find(*id);
    if (r.outside == PackageReference::kRequired && match == parent->matched.end())
      parents_matched = false;
    if (!final && parent == &t) {
      // The table being planned: only its matches are known yet.
      if (match != parent->matched.end()) out[r.column] = Variant(Currency::FromWhole(match->second));
      continue;
    }
    const auto target = parent->target.find(*id);
    if (target == parent->target.end()) {
      why = "它所属的" + named + "未能导入";
      return false;
    }
    out[r.column] = Variant(Currency::FromWhole(target->second));
  }
  return true;
}

Status PackageImport::LoadWorkshop(Table& t) {
  const std::string& table = t.Name();
  const std::string& id = t.source->id_column;
  {
    auto keys = connection_.Query("SELECT " + id + " FROM " + table, dialect::Source::Jet);
    if (!keys.ok()) return keys.status();
    for (const Variant& v : keys->cells)
      if (auto k = IdOf(v)) t.workshop_keys.insert(*k);
  }
  std::vector<std::string> queries;
  auto rule = CandidateRows().find(table);
  if (rule == CandidateRows().end()) {
    queries.push_back("SELECT * FROM " + table);
  } else {
    Table* parent = Find(rule->second.parent);
    if (!parent) return Status::Ok();
    std::vector<int64_t> ids;
    for (const auto& [package_id, workshop_id] : parent->matched) ids.push_back(workshop_id);
    std::sort(ids.begin(), ids.end());
    for (size_t at = 0; at < ids.size(); at += 500)
      queries.push_back("SELECT * FROM " + table + " WHERE " + std::string(rule->second.column) +
                        " IN (" + IdsList(ids, at, std::min(ids.size(), at + 500)) + ")");
  }
  for (const std::string& sql : queries) {
    auto rows = connection_.Query(sql, dialect::Source::Jet);
    if (!rows.ok()) return rows.status();
    if (t.workshop_columns.empty())
      for (const FieldInfo& f : rows->fields) {
        t.workshop_columns.push_back(f.name);
        t.workshop_types.push_back(f.type);
      }
    const size_t n = rows->fields.size();
    for (size_t r = 0; r < rows->RowCount(); ++r)
      t.workshop_rows.emplace_back(rows->cells.begin() + static_cast<long>(r * n),
                                   rows->cells.begin() + static_cast<long>((r + 1) * n));
  }
  return Status::Ok();
}

Status PackageImport::PlanTable(Table& t) {
  const PackageTable& src = *t.source;
  // Keys: whole numbers, each once.
  t.package_id.resize(src.rows.size());
  int64_t largest = 0;
  std::vector<size_t> pending;
  for (size_t r = 0; r < src.rows.size(); ++r) {
    const std::optional<int64_t> id = IdOf(src.rows[r][src.id_index]);
    if (!id || *id <= 0) {
      Skip(t, r, "键不是正整数");
      continue;
    }
    if (t.row_of.count(*id)) {
      skipped_.push_back({t.Name(), src.id_column + "=" + std::to_string(*id), "数据包中已有同一键的行"});
      continue;
    }
    t.package_id[r] = id;
    t.row_of[*id] = r;
    largest = std::max(largest, *id);
    pending.push_back(r);
  }
  // Parents first within the table (the series tree): a row waits for the
  // package row it hangs from.
  std::unordered_set<int64_t> placed;
  while (!pending.empty()) {
    std::vector<size_t> waiting;
    for (size_t r : pending) {
      bool ready = true;
      for (const PackageReference& ref : t.references) {
        // Only a parent the row cannot live without is waited for (a
        // profile copied from another is no child of it).
        if (ref.owner != t.owner || ref.outside != PackageReference::kRequired) continue;
        auto number = [&](std::string_view column) -> std::optional<double> {
          const int c = src.Column(column);
          if (c < 0 || src.rows[r][c].IsNull()) return std::nullopt;
          auto d = src.rows[r][c].ToDouble();
          return d.ok() ? std::optional<double>(*d) : std::nullopt;
        };
        if (!OnlyWhenHolds(*ref.reference, number)) continue;
        const std::optional<int64_t> parent = IdOf(src.rows[r][ref.column]);
        if (parent && *parent != *t.package_id[r] && t.row_of.count(*parent) &&
            !placed.count(*parent))
          ready = false;
      }
      if (ready) {
        t.order.push_back(r);
        placed.insert(*t.package_id[r]);
      } else {
        waiting.push_back(r);
      }
    }
    if (waiting.size() == pending.size()) {
      for (size_t r : waiting) Skip(t, r, "它的上级形成了一个环");
      break;
    }
    pending = std::move(waiting);
  }

  if (Status s = LoadWorkshop(t); !s.ok()) return s;

  // Pass 1: matches, in parent-first order, each workshop row taken once.
  const std::vector<std::string_view>& match = MatchColumns().at(t.owner->table);
  auto key_of = [&](auto&& value_of) {
    std::string key;
    for (std::string_view c : match) key += value_of(c) + '\x1f';
    if (t.Name() == "厂家" && value_of("BianMa").empty()) key += value_of("Quancheng");
    return key;
  };
  std::map<std::string, std::deque<size_t>> queues;
  {
    const int id = t.WorkshopColumn(src.id_column);
    std::vector<size_t> by_id(t.workshop_rows.size());
    for (size_t i = 0; i < by_id.size(); ++i) by_id[i] = i;
    auto wid = [&](size_t i) { return IdOf(t.workshop_rows[i][id]).value_or(0); };
    std::sort(by_id.begin(), by_id.end(), [&](size_t a, size_t b) { return wid(a) < wid(b); });
    for (size_t i : by_id) {
      if (!IdOf(t.workshop_rows[i][id])) continue;
      queues[key_of([&](std::string_view c) {
        const int k = t.WorkshopColumn(c);
        return k < 0 ? std::string() : Normal(t.workshop_rows[i][k]);
      })].push_back(i);
    }
  }
  const int workshop_id = t.WorkshopColumn(src.id_column);
  std::unordered_map<int64_t, int64_t> matched_package_of;  // workshop id -> package id
  std::vector<size_t> kept;
  for (size_t r : t.order) {
    std::vector<Variant> out;
    bool parents_matched = false;
    std::string why;
    if (!Translate(t, src.rows[r], false, out, parents_matched, why)) {
      Skip(t, r, why);
      continue;
    }
    kept.push_back(r);
    if (!parents_matched) continue;
    auto queue = queues.find(key_of([&](std::string_view c) {
      const int k = src.Column(c);
      return k < 0 ? std::string() : Normal(out[k]);
    }));
    if (queue == queues.end() || queue->second.empty()) continue;
    const size_t w = queue->second.front();
    queue->second.pop_front();
    const int64_t wid = *IdOf(t.workshop_rows[w][workshop_id]);
    t.matched[*t.package_id[r]] = wid;
    t.replaces[*t.package_id[r]] = w;
    matched_package_of[wid] = *t.package_id[r];
  }
  t.order = std::move(kept);

  // Pass 2: keys. Fresh keys lie above both the table's and the package's.
  auto next = NextId(connection_, t.Name(), src.id_column);
  if (!next.ok()) return next.status();
  int64_t fresh = std::max(next->scaled / Currency::kScale, largest + 1);
  auto move_away = [&](int64_t workshop) {
    if (t.moved.count(workshop)) return;
    t.moves.emplace_back(workshop, fresh);
    t.moved[workshop] = fresh++;
  };
  for (size_t r : t.order) {
    const int64_t p = *t.package_id[r];
    const auto m = t.matched.find(p);
    if (t.keeps_package_ids) {
      t.target[p] = p;
      if (m != t.matched.end() && m->second != p) {
        move_away(m->second);
        t.then_moves.emplace_back(t.moved[m->second], p);
        t.moved[m->second] = p;
      }
      const auto holder = matched_package_of.find(p);
      if (t.workshop_keys.count(p) && (holder == matched_package_of.end() || holder->second != p))
        move_away(p);
    } else if (m != t.matched.end()) {
      t.target[p] = m->second;
    } else if (!t.workshop_keys.count(p)) {
      t.target[p] = p;
    } else if (matched_package_of.count(p)) {
      t.target[p] = fresh++;  // the holder stays: it is a match
    } else {
      move_away(p);
      t.target[p] = p;
    }
  }
  return Status::Ok();
}

Status PackageImport::Plan() {
  columns_.LoadAll();
  for (auto& t : tables_)
    if (Status s = PlanTable(*t); !s.ok()) return s;
  return Status::Ok();
}

}  // namespace dravmor
