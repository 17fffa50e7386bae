// ServerForImport's price lists: a supplier's comma-separated list of
// profiles (ImportXc) or accessories (ImportPJ) of one factory.
#include <deque>
#include <filesystem>
#include <fstream>
#include <unordered_map>

#include "engine/id_allocator.h"
#include "engine/numeric.h"
#include "engine/prompt.h"
#include "engine/text.h"
#include "exchange/server_for_import.h"

namespace dravmor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "操作提示";
constexpr size_t kBatchLines = 500;
constexpr size_t kLinesNamed = 10;

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    size_t at = line.find(separator, start);
    parts.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}


}  // namespace

// What a text import keeps while it runs: the rows of the current series
// (profiles) or factory (accessories), so that a line's look-up costs no
// query, and the tallies of the closing message.
struct ServerForImport::PriceList {
  // Mode 0: a line whose name and code are there already is kept as it is.
  std::unordered_map<std::string, Currency> by_name_code;
  // Mode 1: the rows of a code, lowest id first, each replaced once per
  // file (two lines of one code are two rows, never one).
  std::unordered_map<std::string, std::deque<Currency>> by_code;
  std::optional<int64_t> next_id;
  uint64_t written = 0, kept = 0, malformed = 0;
  std::vector<std::string> refused;  // "line: reason"

  // What a batch changed, to be undone when the batch is rolled back.
  struct Undo {
    std::vector<std::string> added;
    std::vector<std::pair<std::string, Currency>> popped;
    std::optional<int64_t> next_id;
    uint64_t written = 0, kept = 0;
  } undo;

  // Text comparison in the database ignores letter case.
  static std::string Key(const std::string& name, const std::string& code) {
    return ToLowerAscii(name) + '\x1f' + ToLowerAscii(code);
  }

  // Where a line goes: kept as it is (mode 0, its name and code there
  // already), onto the row it replaces (mode 1, the next row of its code),
  // or into a new row (neither).
  struct Place {
    bool kept = false;
    std::optional<Currency> replaced;
  };
  Place Take(bool replace, const std::string& code, const std::string& name) {
    if (!replace) {
      const std::string key = Key(name, code);
      if (by_name_code.count(key)) {
        ++kept;
        ++undo.kept;
        return {true, std::nullopt};
      }
      by_name_code.emplace(key, Currency{});
      undo.added.push_back(key);
      return {};
    }
    auto rows = by_code.find(ToLowerAscii(code));
    if (rows == by_code.end() || rows->second.empty()) return {};
    const Currency id = rows->second.front();
    rows->second.pop_front();
    undo.popped.emplace_back(rows->first, id);
    return {false, id};
  }
};

bool ServerForImport::FindOrAddFactory(const std::string& full, const std::string& short_name,
                                       const std::string& code, int kind) {
  bool ok = false;
  Run(ErrorMode::ResumeNext, "FindOrAddFactory", [&] {
    RecordsetPtr rs = Open("SELECT * FROM 厂家 WHERE QuanCheng='" + SqlQuote(full) +
                           "' AND JianCheng='" + SqlQuote(short_name) + "' AND BianMa='" +
                           SqlQuote(code) + (kind == 0 ? "' AND cjLB=0" : "' AND cjLB=1"));
    if (!rs->IsOpen()) return;
    if (!rs->IsEmpty()) {
      auto id = Field(rs, "CJ_ID").ToCurrency();
      if (id.ok()) factory_id_ = *id;
      ok = id.ok();
      return;
    }
    Currency id = GetNewID("厂家", "Cj_ID");
    if (id.scaled == 0) return;
    factory_id_ = id;
    if (kind == 0)
      ok = ExecAndWait("INSERT INTO 厂家 VALUES(" + SqlNumber(id) + ",'" + SqlQuote(full) + "','" +
                SqlQuote(short_name) + "',0,1,'" + SqlQuote(code) + "',1,0,'" + SqlQuote(owner_) +
                "','" + SqlQuote(owner_) + "')");
    else
      ok = ExecAndWait("INSERT INTO 厂家 VALUES(" + SqlNumber(id) + ",'" + SqlQuote(full) + "','" +
                SqlQuote(short_name) + "',1,0,'" + SqlQuote(code) + "',0,0,'" + SqlQuote(owner_) +
                "','" + SqlQuote(owner_) + "')");
  });
  return ok;
}

bool ServerForImport::FindOrAddSeries(const std::string& name, int type) {
  bool ok = false;
  Run(ErrorMode::ResumeNext, "FindOrAddSeries", [&] {
    RecordsetPtr rs = Open("SELECT * FROM 系列 WHERE MingCheng='" + SqlQuote(name) +
                           "' AND Xllb=" + SqlNumber(type) + " AND Cj_ID=" + SqlNumber(factory_id_));
    if (!rs->IsOpen()) return;
    if (!rs->IsEmpty()) {
      auto id = Field(rs, "Xl_ID").ToCurrency();
      if (id.ok()) series_id_ = *id;
      ok = id.ok();
      return;
    }
    Currency id = GetNewID("系列", "Xl_ID");
    if (id.scaled == 0) return;
    series_id_ = id;
    ok = ExecAndWait("INSERT INTO 系列 VALUES(" + SqlNumber(id) + "," + SqlNumber(factory_id_) + ",'" +
              SqlQuote(name) + "'," + SqlNumber(type) + ",0,0,0,'" + SqlQuote(owner_) + "','" +
              SqlQuote(owner_) + "')");
  });
  return ok;
}

// A new row's id: the next id, taken once per list and counted on.
static std::optional<int64_t> TakeId(std::optional<int64_t>& next, Currency first) {
  if (!next) {
    if (first.scaled == 0) return std::nullopt;
    next = first.scaled / Currency::kScale;
  }
  return (*next)++;
}

std::string ServerForImport::ImportOneProfile(PriceList& list, const std::string& code,
                                              const std::string& name, float price) {
  category_id_ = 33;
  const PriceList::Place place = list.Take(replace_, code, name);
  if (place.kept) return "";
  // A replaced row keeps its id, and with it its stock, formulas and bindings.
  if (place.replaced)
    return "UPDATE 型材 SET MingChengXC='" + SqlQuote(name) + "',JiaGe=" + ShortestDecimal(price) +
           " WHERE Xc_ID=" + SqlNumber(*place.replaced);
  const auto id = TakeId(list.next_id, list.next_id ? Currency{} : GetNewID("型材", "Xc_ID"));
  if (!id) return "-";
  return "INSERT INTO 型材 VALUES(" + std::to_string(*id) + "," + SqlNumber(series_id_) + ",'" +
         SqlQuote(name) + "','" + SqlQuote(code) + "',6000,1,0,'" + "型材" + "'," +
         ShortestDecimal(price) + "," + SqlNumber(category_id_) + "," + SqlNumber(factory_id_) +
         ",1,0,'" + "型材" + "',1,0,1.4,100,50,1)";
}

std::string ServerForImport::ImportOnePJ(PriceList& list, const std::string& code,
                                         const std::string& name, const std::string& unit,
                                         double price) {
  category_id_ = 1926;
  const PriceList::Place place = list.Take(replace_, code, name);
  if (place.kept) return "";
  if (place.replaced)
    return "UPDATE 配件 SET MingCheng='" + SqlQuote(name) + "',DanWei='" + SqlQuote(unit) +
           "',DanJia=" + ShortestDecimal(price) + " WHERE Pj_ID=" + SqlNumber(*place.replaced);
  const auto id = TakeId(list.next_id, list.next_id ? Currency{} : GetNewID("配件", "Pj_ID"));
  if (!id) return "-";
  return "INSERT INTO 配件 VALUES(" + std::to_string(*id) + "," + SqlNumber(factory_id_) + ",'" +
         SqlQuote(code) + "','" + SqlQuote(name) + "','" + "" + "','" + SqlQuote(unit) + "'," +
         ShortestDecimal(price) + ",1," + SqlNumber(category_id_) + ",0)";
}

void ServerForImport::ImportXc(const std::string& strFileName) { ImportText(strFileName, true); }
void ServerForImport::ImportPJ(const std::string& strFileName) { ImportText(strFileName, false); }

void ServerForImport::ImportText(const std::string& file, bool profiles) {
  outcome_ = {};
  Run(ErrorMode::ResumeNext, profiles ? "ImportXc" : "ImportPJ", [&] {
    std::ifstream in(fs::u8path(file), std::ios::binary);
    if (!in) {
      Message("找不到文件：" + file + "，请检查 ！");
      return;
    }
    // The file's encoding is decided once, for all its lines.
    const auto text = TextFileToUtf8(std::string((std::istreambuf_iterator<char>(in)), {}));
    if (!text) {
      Message("文件的编码无法识别（既不是 UTF-8 也不是 GB18030）：" + file);
      return;
    }
    std::vector<std::string> lines = Split(*text, '\n');
    for (std::string& line : lines)
      if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!lines.empty() && lines.back().empty()) lines.pop_back();  // the last line's end

    if (lines.empty() || (lines[0] != "0" && lines[0] != "1")) {
      ShowInformation(kTitle, "数据的第一行不符合格式：0 或者 1 ！导入终止 ！");
      return;
    }
    replace_ = lines[0] != "0";
    std::vector<std::string> f;
    if (lines.size() < 2 || (f = Split(lines[1], ',')).size() != 3) {
      ShowInformation(kTitle, "数据的第二行不符合格式：全称,简称,编码 ！导入终止 ！");
      return;
    }
    std::vector<std::string> series;
    std::optional<double> type;
    if (profiles && (lines.size() < 3 || (series = Split(lines[2], ',')).size() != 2 ||
                     !(type = ParseNumber(series[1])) || *type < 0 || *type > 4 ||
                     *type != static_cast<int>(*type))) {
      ShowInformation(kTitle, "数据的第三行不符合格式：名称,类别号(从0到4) ！导入终止 ！");
      return;
    }
    const size_t first = profiles ? 3 : 2;

    // One transaction: a factory or series that cannot be written leaves
    // nothing of the list behind.
    PriceList list;
    bool finished = false;
    Transaction transaction(connection());
    if (!Check(transaction.status())) return;
    if (!FindOrAddFactory(f[0], f[1], f[2], profiles ? 0 : 1) ||
        (profiles && !FindOrAddSeries(series[0], static_cast<int>(*type)))) {
      Message("厂家或系列无法写入数据库，价格表没有导入 ！");
      return;
    }
    LoadExisting(list, profiles);
    const std::string status = profiles ? "正在导入型材数据" : "正在导入配件数据";
    int16_t shown = -1;
    for (size_t at = first; at < lines.size(); at += kBatchLines) {
      const std::vector<std::string> batch(
          lines.begin() + static_cast<long>(at),
          lines.begin() + static_cast<long>(std::min(lines.size(), at + kBatchLines)));
      if (!Check(ImportLines(list, profiles, batch))) return;
      const auto percent = static_cast<int16_t>((at + batch.size()) * 99 / lines.size());
      if (percent != shown) Progress(status, shown = percent);
    }
    // The ids counted on from the first one are handed out too.
    if (list.next_id && *list.next_id > 1 &&
        !Check(MarkIdsHandedOut(connection(), profiles ? "型材" : "配件",
                                profiles ? "Xc_ID" : "Pj_ID", *list.next_id - 1)))
      return;
    if (!Check(transaction.Commit())) return;
    finished = true;

    const uint64_t refused = list.refused.size();
    outcome_ = {list.written, list.malformed + refused, finished};
    // Lines already there count as imported, as they always have; the
    // lines left out are named below.
    Progress("成功导入" + std::to_string(list.written + list.kept) +
                 (profiles ? "条型材数据 ！" : "条配件数据 ！"),
             0);
    if (list.malformed > 0)
      Message("跳过" + std::to_string(list.malformed) + "行：字段个数不是" +
              std::to_string(profiles ? 3 : 4) + "个，或者价格不是数字 ！");
    if (refused > 0) {
      std::string text = std::to_string(refused) + "行未能写入数据库 ！";
      for (size_t i = 0; i < refused && i < kLinesNamed; ++i) text += (i ? "；" : "") + list.refused[i];
      Message(text);
    }
  });
}

void ServerForImport::LoadExisting(PriceList& list, bool profiles) {
  RecordsetPtr rs = profiles ? Open("SELECT XC_id,MingChengxc,DaiMa FROM 型材  WHERE Xl_ID=" +
                                    SqlNumber(series_id_) + " ORDER BY XC_id")
                             : Open("SELECT Pj_id,MingCheng,DaiMa FROM 配件  WHERE CJ_ID=" +
                                    SqlNumber(factory_id_) + " ORDER BY Pj_id");
  if (!rs->IsOpen()) return;
  const RowData& data = rs->Data();
  for (size_t r = 0; r < data.RowCount(); ++r) {
    auto id = data.cells[r * 3].ToCurrency();
    if (!id.ok()) continue;
    const std::string name = data.cells[r * 3 + 1].ToText(), code = data.cells[r * 3 + 2].ToText();
    list.by_name_code.emplace(PriceList::Key(name, code), *id);
    list.by_code[ToLowerAscii(code)].push_back(*id);
  }
}

Status ServerForImport::ImportLines(PriceList& list, bool profiles,
                                    const std::vector<std::string>& lines) {
  const size_t fields = profiles ? 3 : 4;
  // The statement of each line (empty: nothing to write; "-": no id).
  auto statements = [&](size_t from, size_t to, std::vector<std::pair<size_t, std::string>>& out) {
    for (size_t i = from; i < to; ++i) {
      const std::vector<std::string> f = Split(lines[i], ',');
      std::optional<double> price;
      if (f.size() != fields || !(price = ParseNumber(f[fields - 1]))) continue;
      out.emplace_back(i, profiles ? ImportOneProfile(list, f[0], f[1], static_cast<float>(*price))
                                   : ImportOnePJ(list, f[0], f[1], f[2], *price));
    }
  };
  auto undo = [&] {
    for (const std::string& key : list.undo.added) list.by_name_code.erase(key);
    for (auto it = list.undo.popped.rbegin(); it != list.undo.popped.rend(); ++it)
      list.by_code[it->first].push_front(it->second);
    list.next_id = list.undo.next_id;
    list.kept -= list.undo.kept;
  };
  // Runs the statements of lines [from, to) within a savepoint; new rows
  // go in one INSERT. False (and nothing of them kept) when refused.
  auto attempt = [&](size_t from, size_t to, std::string& why) -> Result<bool> {
    list.undo = {};
    list.undo.next_id = list.next_id;
    std::vector<std::pair<size_t, std::string>> sql;
    statements(from, to, sql);
    std::string inserts;
    std::vector<std::string> run;
    uint64_t rows = 0;
    for (const auto& [line, statement] : sql) {
      if (statement.empty()) continue;
      if (statement == "-") {
        why = "无法取得新的编号";
        undo();
        return false;
      }
      ++rows;
      if (statement.rfind("INSERT", 0) == 0) {
        const size_t open = statement.find("VALUES(");
        inserts += inserts.empty() ? statement : "," + statement.substr(open + 6);
      } else {
        run.push_back(statement);
      }
    }
    if (!inserts.empty()) run.push_back(inserts);
    // Nested in the list's transaction: a refused batch is undone alone.
    Transaction batch(connection());
    if (!batch.status().ok()) return batch.status();
    for (const std::string& statement : run) {
      Status s = connection().Execute(statement, source());
      if (s.ok()) continue;
      why = s.text();
      undo();
      if (Status back = batch.Rollback(); !back.ok()) return back;
      return false;
    }
    if (Status s = batch.Commit(); !s.ok()) return s;
    list.written += rows;
    return true;
  };

  for (const std::string& line : lines) {
    const std::vector<std::string> f = Split(line, ',');
    if (f.size() != fields || !ParseNumber(f[fields - 1])) ++list.malformed;
  }
  std::string why;
  auto whole = attempt(0, lines.size(), why);
  if (!whole.ok() || *whole) return whole.status();
  for (size_t i = 0; i < lines.size(); ++i) {
    why.clear();
    auto one = attempt(i, i + 1, why);
    if (!one.ok()) return one.status();
    const std::vector<std::string> f = Split(lines[i], ',');
    if (!*one && f.size() == fields && ParseNumber(f[fields - 1]))
      list.refused.push_back(lines[i] + "：" + why);
  }
  return Status::Ok();
}

}  // namespace dravmor
