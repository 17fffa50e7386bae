#include "exchange/server_for_import.h"

#include <filesystem>
#include <fstream>
#include <unordered_map>

#include <stdlib.h>

#include "engine/archive.h"
#include "engine/numeric.h"
#include "engine/prompt.h"
#include "engine/routines.h"
#include "engine/scratch_folders.h"
#include "engine/table_file.h"
#include "engine/text.h"

namespace dravmor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "操作提示";

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

// A line of a text file without its line end (LF or CR LF), in UTF-8
// also when an older installation wrote it in the Chinese code page.
bool ReadLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  line = LegacyTextToUtf8(line);
  return true;
}

bool IsText(int type) { return type == FieldType::kVarWChar || type == FieldType::kLongVarWChar; }

// A value as it is written into the INSERT or the key test: texts quoted,
// dates between "#", numbers in their exact shortest form.
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

// The tables that hold another table's key, and the column that holds it.
struct Reference {
  const char* table;
  const char* column;
  const char* condition;  // appended to the WHERE clause
};

std::vector<Reference> ReferencesTo(const std::string& table) {
  if (EqualsIgnoreCase(table, "厂家"))
    return {{"系列", "CJ_ID", ""}, {"型材", "CJ_ID", ""}, {"配件", "CJ_ID", ""}, {"玻璃", "CJ_ID", ""}};
  if (table == "系列")
    // A tree node keeps its parent in xllb and its root in PinJieFangShi;
    // a top-level series keeps its window type in xllb and 0 there.
    return {{"系列", "xllb", " AND PinJieFangShi<>0"}, {"系列", "PinJieFangShi", ""},
            {"型材", "XL_ID", ""}, {"型材组合公式", "XL_ID", ""}, {"配件组合公式", "XL_ID", ""},
            {"玻璃组合公式", "XL_ID", ""}, {"型材单元公式", "xl_id", ""},
            {"配件单元公式", "xl_id", ""}, {"玻璃单元公式", "xl_id", ""}, {"ShuZhi", "XL_ID", ""},
            {"DetailBlock", "XL_ID", ""}, {"WinFilter", "XL_ID", ""}, {"WZSBGT", "XL_ID", ""},
            {"ShanJiaGong", "XL_ID", ""}, {"BiaoYeDetail", "XL_ID", ""}};
  if (table == "型材")
    return {{"绑定", "Zhu_ID", ""}, {"绑定", "Fu_ID", ""}, {"型材组合公式", "xc_id", ""},
            {"TongYong", "xc_ID", ""}, {"LingLiao", "xc_ID", ""}, {"SingleXcyh", "xc_ID", ""},
            {"xcyhNameID", "xc_ID", ""}, {"FormulaV", "xcID", ""}};
  if (table == "类别")
    return {{"型材", "LB_ID", ""}, {"配件", "LB_ID", ""}, {"型材单元公式", "lb_id", ""},
            {"配件单元公式", "lb_id", ""}, {"玻璃单元公式", "lb_id", ""}, {"UnitXingCai", "LB_ID", ""},
            {"UnitPeiJian", "LB_ID", ""}, {"UnitBoLi", "LB_ID", ""}, {"UnitShanJiaGong", "LB_ID", ""}};
  return {};
}

// A new empty folder of its own for one package.
Result<fs::path> NewPackageFolder() {
  RemoveStaleFolders(fs::temp_directory_path(), "dravmor-import-");
  std::string pattern = (fs::temp_directory_path() / "dravmor-import-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    return Status::Error(ErrorCode::kPathNotFound, "Cannot make a folder for the package");
  return fs::path(pattern);
}

}  // namespace

// What a text import keeps while it runs: the rows of the current series or
// factory by name and code, so that each line's look-up costs no query.
struct ServerForImport::PriceList {
  std::unordered_map<std::string, Currency> existing;
  std::optional<Currency> next_id;
  static std::string Key(const std::string& name, const std::string& code) {
    // Text comparison in the database ignores letter case.
    return ToLowerAscii(name) + '\x1f' + ToLowerAscii(code);
  }
};

ServerForImport::ServerForImport() : ServerObject("ServerForImport") {}

void ServerForImport::Progress(const std::string& status, int16_t percent) {
  std::vector<Variant> args{Variant(status), Variant(percent)};
  Raise("Ok", args);
}

void ServerForImport::Message(const std::string& text) {
  std::vector<Variant> args{Variant(text)};
  Raise("Msg", args);
}

Currency ServerForImport::GetNewID(const std::string& table, const std::string& column) {
  Currency id;
  Run(ErrorMode::SilentHandler, "GetNewID", [&] {
    auto next = NextId(connection(), table, column);
    if (Check(next.ok() ? Status::Ok() : next.status())) id = *next;
  });
  return id;
}

void ServerForImport::FindOrAddFactory(const std::string& full, const std::string& short_name,
                                       const std::string& code, int kind) {
  Run(ErrorMode::ResumeNext, "FindOrAddFactory", [&] {
    RecordsetPtr rs = Open("SELECT * FROM 厂家 WHERE QuanCheng='" + SqlQuote(full) +
                           "' AND JianCheng='" + SqlQuote(short_name) + "' AND BianMa='" +
                           SqlQuote(code) + (kind == 0 ? "' AND cjLB=0" : "' AND cjLB=1"));
    if (rs->IsOpen() && !rs->IsEmpty()) {
      factory_id_ = Field(rs, "CJ_ID").ToCurrency().ok() ? *Field(rs, "CJ_ID").ToCurrency() : Currency{};
      return;
    }
    Currency id = GetNewID("厂家", "Cj_ID");
    factory_id_ = id;
    if (kind == 0)
      Exec("INSERT INTO 厂家 VALUES(" + SqlNumber(id) + ",'" + SqlQuote(full) + "','" +
           SqlQuote(short_name) + "',0,1,'" + SqlQuote(code) + "',1,0,'" + SqlQuote(owner_) +
           "','" + SqlQuote(owner_) + "')");
    else
      Exec("INSERT INTO 厂家 VALUES(" + SqlNumber(id) + ",'" + SqlQuote(full) + "','" +
           SqlQuote(short_name) + "',1,0,'" + SqlQuote(code) + "',0,0,'" + SqlQuote(owner_) +
           "','" + SqlQuote(owner_) + "')");
  });
}

void ServerForImport::FindOrAddSeries(const std::string& name, int type) {
  Run(ErrorMode::ResumeNext, "FindOrAddSeries", [&] {
    RecordsetPtr rs = Open("SELECT * FROM 系列 WHERE MingCheng='" + SqlQuote(name) +
                           "' AND Xllb=" + SqlNumber(type) + " AND Cj_ID=" + SqlNumber(factory_id_));
    if (rs->IsOpen() && !rs->IsEmpty()) {
      auto id = Field(rs, "Xl_ID").ToCurrency();
      series_id_ = id.ok() ? *id : Currency{};
      return;
    }
    Currency id = GetNewID("系列", "Xl_ID");
    series_id_ = id;
    Exec("INSERT INTO 系列 VALUES(" + SqlNumber(id) + "," + SqlNumber(factory_id_) + ",'" +
         SqlQuote(name) + "'," + SqlNumber(type) + ",0,0,0,'" + SqlQuote(owner_) + "','" +
         SqlQuote(owner_) + "')");
  });
}

bool ServerForImport::ImportOneProfile(PriceList& list, const std::string& code,
                                       const std::string& name, float price) {
  bool ok = true;
  Run(ErrorMode::ResumeNext, "ImportOneProfile", [&] {
    category_id_ = 33;
    const std::string key = PriceList::Key(name, code);
    auto found = list.existing.find(key);
    if (found != list.existing.end()) {
      if (!replace_) return;
      ok = Exec("DELETE FROM 型材 WHERE xc_ID= " + SqlNumber(found->second));
      list.existing.erase(found);
    }
    if (!list.next_id) list.next_id = GetNewID("型材", "Xc_ID");
    const Currency id = *list.next_id;
    if (Exec("INSERT INTO 型材 VALUES(" + SqlNumber(id) + "," + SqlNumber(series_id_) + ",'" +
             SqlQuote(name) + "','" + SqlQuote(code) + "',6000,1,0,'" + "型材" + "'," +
             ShortestDecimal(price) + "," + SqlNumber(category_id_) + "," + SqlNumber(factory_id_) +
             ",1,0,'" + "型材" + "',1,0,1.4,100,50,1)")) {
      list.existing.emplace(key, id);
      list.next_id = Currency{id.scaled + Currency::kScale};
    } else {
      ok = false;
      list.next_id.reset();  // taken by someone else: ask again
    }
  });
  return ok;
}

bool ServerForImport::ImportOnePJ(PriceList& list, const std::string& code,
                                  const std::string& name, const std::string& unit, double price) {
  bool ok = true;
  Run(ErrorMode::ResumeNext, "ImportOnePJ", [&] {
    category_id_ = 1926;
    const std::string key = PriceList::Key(name, code);
    auto found = list.existing.find(key);
    if (found != list.existing.end()) {
      if (!replace_) return;
      ok = Exec("DELETE FROM 配件 WHERE Pj_ID= " + SqlNumber(found->second));
      list.existing.erase(found);
    }
    if (!list.next_id) list.next_id = GetNewID("配件", "Pj_ID");
    const Currency id = *list.next_id;
    if (Exec("INSERT INTO 配件 VALUES(" + SqlNumber(id) + "," + SqlNumber(factory_id_) + ",'" +
             SqlQuote(code) + "','" + SqlQuote(name) + "','" + "" + "','" + SqlQuote(unit) + "'," +
             ShortestDecimal(price) + ",1," + SqlNumber(category_id_) + ",0)")) {
      list.existing.emplace(key, id);
      list.next_id = Currency{id.scaled + Currency::kScale};
    } else {
      ok = false;
      list.next_id.reset();
    }
  });
  return ok;
}

void ServerForImport::ImportXc(const std::string& strFileName) { ImportText(strFileName, true); }
void ServerForImport::ImportPJ(const std::string& strFileName) { ImportText(strFileName, false); }

void ServerForImport::ImportText(const std::string& file, bool profiles) {
  Run(ErrorMode::ResumeNext, profiles ? "ImportXc" : "ImportPJ", [&] {
    std::ifstream in(fs::u8path(file), std::ios::binary);
    if (!in) {
      Message("找不到文件：" + file + "，请检查 ！");
      return;
    }
    in.seekg(0, std::ios::end);
    const auto size = static_cast<double>(in.tellg());
    in.seekg(0, std::ios::beg);
    std::string line;
    uint64_t lines = 0;
    ReadLine(in, line);
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);  // a byte-order mark
    if (line != "0" && line != "1") {
      ShowInformation(kTitle, "数据的第一行不符合格式：0 或者 1 ！导入终止 ！");
      return;
    }
    ++lines;
    replace_ = line != "0";
    std::vector<std::string> f;
    if (!ReadLine(in, line) || (f = Split(line, ',')).size() != 3) {
      ShowInformation(kTitle, "数据的第二行不符合格式：全称,简称,编码 ！导入终止 ！");
      return;
    }
    ++lines;
    const std::string full = f[0], short_name = f[1], code = f[2];
    std::vector<std::string> series;
    std::optional<double> type;
    if (profiles) {
      if (!ReadLine(in, line) || (series = Split(line, ',')).size() != 2 ||
          !(type = ParseNumber(series[1])) || *type < 0 || *type > 4 || *type != static_cast<int>(*type)) {
        ShowInformation(kTitle, "数据的第三行不符合格式：名称,类别号(从0到4) ！导入终止 ！");
        return;
      }
      ++lines;
    }
    FindOrAddFactory(full, short_name, code, profiles ? 0 : 1);
    if (profiles) FindOrAddSeries(series[0], static_cast<int>(*type));

    PriceList list;
    LoadExisting(list, profiles);
    const size_t fields = profiles ? 3 : 4;
    uint64_t skipped = 0, failed = 0;
    int16_t shown = -1;
    const std::string status = profiles ? "正在导入型材数据" : "正在导入配件数据";
    std::vector<std::string> batch;
    while (ReadLine(in, line)) {
      ++lines;
      batch.push_back(line);
      if (batch.size() < 2000) continue;
      skipped += ImportLines(list, profiles, batch, failed);
      batch.clear();
      const auto at = in.tellg();
      const auto percent = static_cast<int16_t>(at < 0 || size <= 0 ? 100 : 100.0 * static_cast<double>(at) / size);
      if (percent != shown) Progress(status, shown = percent);
    }
    skipped += ImportLines(list, profiles, batch, failed);
    // Lines the database refused are not counted as imported either.
    const uint64_t n = lines - (profiles ? 3 : 2) - skipped - failed;
    Progress("成功导入" + std::to_string(n) + (profiles ? "条型材数据 ！" : "条配件数据 ！"), 0);
    if (skipped > 0)
      Message("跳过" + std::to_string(skipped) + "行：字段个数不是" + std::to_string(fields) +
              "个，或者价格不是数字 ！");
    if (failed > 0) Message(std::to_string(failed) + "行未能写入数据库 ！");
  });
}

void ServerForImport::LoadExisting(PriceList& list, bool profiles) {
  list.existing.clear();
  list.next_id.reset();
  RecordsetPtr rs = profiles ? Open("SELECT XC_id,MingChengxc,DaiMa FROM 型材  WHERE Xl_ID=" +
                                    SqlNumber(series_id_))
                             : Open("SELECT Pj_id,MingCheng,DaiMa FROM 配件  WHERE CJ_ID=" +
                                    SqlNumber(factory_id_));
  if (!rs->IsOpen()) return;
  const RowData& data = rs->Data();
  for (size_t r = 0; r < data.RowCount(); ++r) {
    auto id = data.cells[r * 3].ToCurrency();
    if (id.ok())
      list.existing.emplace(
          PriceList::Key(data.cells[r * 3 + 1].ToText(), data.cells[r * 3 + 2].ToText()), *id);
  }
}

uint64_t ServerForImport::ImportLines(PriceList& list, bool profiles,
                                      const std::vector<std::string>& lines, uint64_t& failed) {
  const size_t fields = profiles ? 3 : 4;
  auto write = [&](bool stop_on_failure) {
    uint64_t skipped = 0;
    for (const std::string& line : lines) {
      const std::vector<std::string> f = Split(line, ',');
      std::optional<double> price;
      if (f.size() != fields || !(price = ParseNumber(f[fields - 1]))) {
        ++skipped;
        continue;
      }
      const bool ok = profiles ? ImportOneProfile(list, f[0], f[1], static_cast<float>(*price))
                               : ImportOnePJ(list, f[0], f[1], f[2], *price);
      if (!ok && stop_on_failure) return std::optional<uint64_t>();
      if (!ok) ++failed;
    }
    return std::optional<uint64_t>(skipped);
  };
  if (connection().Begin().ok()) {
    auto skipped = write(true);
    if (skipped && connection().Commit().ok()) return *skipped;
    if (connection().InTransaction()) connection().Rollback();
    LoadExisting(list, profiles);  // as it was before the batch
  }
  return *write(false);
}

void ServerForImport::SetPath(const std::string& strPathA) {
  // The package goes into a folder of its own, which is removed afterwards;
  // nothing is written to the database until every file has been checked.
  auto folder = NewPackageFolder();
  if (!folder.ok()) throw CallError(folder.status());
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(path, ec);
    }
  } cleanup{*folder};

  auto files = UnpackArchive(strPathA, folder->string());
  list_path_.clear();
  if (files.ok()) {
    for (const std::string& name : *files)
      if (name.size() >= 3 && EqualsIgnoreCase(name.substr(name.size() - 3), "EXP")) {
        list_path_ = (*folder / fs::u8path(name)).string();
        break;
      }
  }
  if (list_path_.empty()) {
    if (!files.ok()) Message(files.status().text());
    ShowInformation(kTitle, "这个文件不是有效的厂家数据文件或者已经遭到破坏 ！");
    return;
  }
  Import();
}

const std::vector<FieldInfo>& ServerForImport::ColumnsOf(const std::string& table) {
  auto found = columns_.find(table);
  if (found != columns_.end()) return found->second;
  std::vector<FieldInfo> fields;
  auto rows = connection().Query("SELECT * FROM " + table + " WHERE 1=0", source());
  if (rows.ok()) fields = rows->fields;
  return columns_[table] = std::move(fields);
}

bool ServerForImport::CheckPackage(std::vector<std::string>& keys, std::string& why) {
  std::ifstream list(fs::u8path(list_path_), std::ios::binary);
  std::string line;
  bool first = true;
  while (ReadLine(list, line)) {
    if (first && line.rfind("\xEF\xBB\xBF", 0) == 0) line.erase(0, 3);
    first = false;
    if (line.empty()) continue;
    const std::vector<std::string> parts = Split(line, '@');
    if (parts.size() < 3 || parts[0].empty() || parts[1].empty() ||
        line.find_first_of("/\\") != std::string::npos || line.find("..") != std::string::npos) {
      why = "列表文件中有无法识别的行：" + line;
      return false;
    }
    const std::vector<FieldInfo>& target = ColumnsOf(parts[0]);
    if (target.empty()) {
      why = "数据库中没有数据表：" + parts[0];
      return false;
    }
    const std::string file = package_directory_ + "/" + line + ".dat";
    std::vector<FieldInfo> fields;
    auto rows = CheckTableFile(file, &fields);
    if (!rows.ok()) {
      why = rows.status().number() == ErrorCode::kFileNotFound ? "找不到数据文件：" + line + ".dat"
                                                                : rows.status().text();
      return false;
    }
    bool has_key = false;
    for (const FieldInfo& f : fields) has_key |= EqualsIgnoreCase(f.name, parts[1]);
    if (!has_key || fields.size() != target.size()) {
      why = "数据文件 " + line + ".dat 的列与数据表 " + parts[0] + " 不符";
      return false;
    }
    keys.push_back(line);
  }
  return true;
}

void ServerForImport::Import() {
  Run(ErrorMode::Handler, "Import", [&] {
    package_directory_ = fs::u8path(list_path_).parent_path().string();
    std::error_code ec;
    if (!fs::is_regular_file(fs::u8path(list_path_), ec)) {
      Message("找不到文件：" + list_path_ + "，请检查 ！");
      return;
    }
    imported_ = skipped_ = 0;
    skip_reasons_.clear();
    columns_.clear();
    std::vector<std::string> keys;
    std::string why;
    if (!CheckPackage(keys, why)) {
      Message("数据包未导入：" + why);
      ShowInformation(kTitle, "这个文件不是有效的厂家数据文件或者已经遭到破坏 ！");
      return;
    }
    // What the key moves update is looked up now: a failing look-up inside
    // a move's transaction would spoil it on a server database.
    for (const char* table : {"厂家", "系列", "型材", "类别"})
      for (const Reference& ref : ReferencesTo(table)) ColumnsOf(ref.table);
    for (size_t i = 0; i < keys.size(); ++i) ImportToDB(keys[i], i, keys.size());
    Progress("成功导入" + std::to_string(imported_) + "条数据 ！", 100);
    if (skipped_ > 0) {
      std::string text = "跳过" + std::to_string(skipped_) + "条数据：";
      bool first = true;
      for (const auto& [reason, count] : skip_reasons_) {
        text += (first ? "" : "；") + reason + "（" + std::to_string(count) + "条）";
        first = false;
      }
      Message(text);
    }
  });
}

std::string ServerForImport::BuildValues(const std::vector<Variant>& row,
                                         const std::vector<int>& types) {
  std::string values;
  for (size_t i = 0; i < row.size(); ++i) {
    if (i) values += ",";
    values += SqlValue(row[i], types[i]);
  }
  return values + ")";
}

void ServerForImport::ImportToDB(const std::string& key, size_t index, size_t count) {
  Run(ErrorMode::ResumeNext, "ImportToDB", [&] {
    const std::vector<std::string> parts = Split(key, '@');
    const std::string& table = parts[0];
    const std::string& key_column = parts[1];
    Progress("正在导入" + table, static_cast<int16_t>(index * 100 / count));
    TableFileReader reader;
    if (!Check(reader.Open(package_directory_ + "/" + key + ".dat"))) return;
    size_t key_index = 0;
    std::vector<int> types;
    for (size_t i = 0; i < reader.fields().size(); ++i) {
      if (EqualsIgnoreCase(reader.fields()[i].name, key_column)) key_index = i;
      types.push_back(reader.fields()[i].type);
    }
    std::string previous;
    std::vector<std::vector<Variant>> batch;
    std::vector<Variant> row;
    auto flush = [&] {
      if (!ImportRows(table, key_column, key_index, types, batch, true))
        ImportRows(table, key_column, key_index, types, batch, false);
      batch.clear();
    };
    for (;;) {
      auto more = reader.Next(row);
      if (!more.ok() || !*more) break;
      const std::string key_text = SqlValue(row[key_index], types[key_index]);
      if (key_text == previous) {
        ++skipped_;
        ++skip_reasons_["与上一行的键相同"];
        continue;
      }
      previous = key_text;
      batch.push_back(row);
      if (batch.size() >= 1000) flush();
    }
    flush();
  });
}

bool ServerForImport::ImportRows(const std::string& table, const std::string& key_column,
                                 size_t key_index, const std::vector<int>& types,
                                 const std::vector<std::vector<Variant>>& rows,
                                 bool in_transaction) {
  if (rows.empty()) return true;
  if (in_transaction && !connection().Begin().ok()) return false;
  trying_batch_ = in_transaction;
  batch_failed_ = false;
  const bool category = table == "类别";
  uint64_t imported = 0, skipped = 0;
  std::map<std::string, uint64_t> reasons;
  for (const std::vector<Variant>& r : rows) {
    category_found_ = false;
    UpdateID(table, key_column, SqlValue(r[key_index], types[key_index]), category, r[0]);
    if (batch_failed_) break;
    if (category && category_found_) {
      ++imported;
      continue;
    }
    Status s = connection().Execute("INSERT INTO " + table + " VALUES(" + BuildValues(r, types),
                                    source());
    if (s.ok()) {
      ++imported;
    } else if (in_transaction) {
      batch_failed_ = true;
      break;
    } else {
      ++skipped;
      ++reasons[table + "：" + s.text()];
    }
  }
  trying_batch_ = false;
  if (in_transaction) {
    if (batch_failed_ || !connection().Commit().ok()) {
      if (connection().InTransaction()) connection().Rollback();
      return false;
    }
  }
  imported_ += imported;
  skipped_ += skipped;
  for (const auto& [reason, count] : reasons) skip_reasons_[reason] += count;
  return true;
}

void ServerForImport::MoveKey(const std::string& table, const std::string& column,
                              const std::string& from, const std::string& to) {
  Exec("Update " + table + " SET " + column + "=" + to + " " + "WHERE " + column + "=" + from);
  for (const Reference& ref : ReferencesTo(table)) {
    bool has = false;
    for (const FieldInfo& f : ColumnsOf(ref.table)) has |= EqualsIgnoreCase(f.name, ref.column);
    if (has)
      Exec("UPDATE " + std::string(ref.table) + " SET " + ref.column + "=" + to + " WHERE " +
           ref.column + "=" + from + ref.condition);
  }
}

void ServerForImport::UpdateID(const std::string& table, const std::string& key_column,
                               const std::string& key_text, bool category, const Variant& lb_id) {
  const ErrorMode mode = trying_batch_ ? ErrorMode::SilentHandler : ErrorMode::Handler;
  // A row and every reference to it move in one transaction, so that a
  // failure leaves no row cut off from what belongs to it.
  auto atomically = [&](const std::function<void()>& move) {
    bool moved = false;
    RunAtomically(mode, "UpdateID", [&] {
      move();
      moved = true;
    });
    if (!moved) batch_failed_ = true;
  };
  bool done = false;
  Run(mode, "UpdateID", [&] {
    RecordsetPtr rs = Open("SELECT * FROM " + table + " WHERE " + key_column + " =" + key_text);
    auto next_key = [&](const std::string& column) {
      RecordsetPtr max = Open("SELECT MAX(" + column + ") FROM " + table);
      auto top = Field(max, size_t{0}).ToCurrency();
      return SqlNumber(top.ok() ? Currency{top->scaled + Currency::kScale} : Currency::FromWhole(1));
    };
    done = true;
    if (!category) {
      if (rs->IsEmpty()) return;
      atomically([&] { MoveKey(table, key_column, key_text, next_key(key_column)); });
      return;
    }
    // Categories are recognised by name; the imported rows refer to the
    // package's LB_ID, so the category of that name must end up under it.
    done = false;
    const std::string imported = SqlValue(lb_id, FieldType::kInteger);
    const bool id_taken = CountsAny("SELECT COUNT(*) FROM " + table + " WHERE LB_ID=" + imported);
    done = true;
    if (rs->IsEmpty()) {
      // A category of another name holds the id: it moves away, so that the
      // imported one can be inserted under its own id.
      if (id_taken) atomically([&] { MoveKey(table, "LB_ID", imported, next_key("LB_ID")); });
      return;
    }
    category_found_ = true;
    const std::string found = SqlValue(Field(rs, "LB_ID"), FieldType::kInteger);
    if (found == imported) return;
    atomically([&] {
      if (id_taken) MoveKey(table, "LB_ID", imported, next_key("LB_ID"));
      MoveKey(table, "LB_ID", found, imported);
    });
  });
  if (!done) batch_failed_ = true;
}

}  // namespace dravmor
