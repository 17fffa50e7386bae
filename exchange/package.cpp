#include "exchange/package.h"

#include <filesystem>
#include <fstream>
#include <set>

#include "engine/table_file.h"
#include "engine/text.h"

namespace dravmor {

namespace fs = std::filesystem;

const std::vector<PackageKey>& PackageKeys() {
  static const std::vector<PackageKey> keys = {
      {"厂家", "CJ_ID", "Cj_ID"},
      {"类别", "MingCheng", "LB_ID"},
      {"系列", "XL_ID", "XL_ID"},
      {"型材", "XC_ID", "Xc_ID"},
      {"绑定", "Bang_ID", "Bang_ID"},
      {"型材组合公式", "xczhgs_ID", "xczhgs_id"},
      {"玻璃组合公式", "blzhgs_ID", "blzhgs_id"},
  };
  return keys;
}

int PackageTable::Column(std::string_view name) const {
  for (size_t i = 0; i < columns.size(); ++i)
    if (EqualsIgnoreCase(columns[i], name)) return static_cast<int>(i);
  return -1;
}

const PackageTable* Package::Find(std::string_view table) const {
  for (const PackageTable& t : tables)
    if (EqualsIgnoreCase(t.table, table)) return &t;
  return nullptr;
}

namespace {

Status Refused(const std::string& why) { return Status::Error(ErrorCode::kBadArgument, why); }

std::vector<std::string> Split(const std::string& line, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = line.find(separator, start);
    parts.push_back(line.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

// The list file's keys, each one the export writes, no table twice.
Result<std::vector<std::pair<const PackageKey*, std::string>>> ReadKeys(const fs::path& list) {
  std::ifstream in(list, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), {});
  auto text = TextFileToUtf8(bytes);
  if (!text) return Refused("列表文件的编码无法识别");
  std::vector<std::pair<const PackageKey*, std::string>> keys;
  std::set<std::string_view> tables;
  for (std::string line : Split(*text, '\n')) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    const std::vector<std::string> parts = Split(line, '@');
    const PackageKey* known = nullptr;
    if (parts.size() == 3 && parts[2].size() == 1 && parts[2][0] >= '0' && parts[2][0] <= '9')
      for (const PackageKey& key : PackageKeys())
        if (parts[0] == key.table && EqualsIgnoreCase(parts[1], key.list_column)) known = &key;
    if (!known) return Refused("列表文件中有不能导入的行：" + line);
    if (!tables.insert(known->table).second) return Refused("列表文件中数据表出现了两次：" + parts[0]);
    keys.emplace_back(known, line);
  }
  return keys;
}

// A data file read whole, its columns matched by name with the database's.
Result<PackageTable> ReadTable(const PackageKey& key, const std::string& line,
                               const fs::path& file, DatabaseColumns& target) {
  TableFileReader reader;
  if (Status s = reader.Open(file.string()); !s.ok())
    return s.number() == ErrorCode::kFileNotFound ? Refused("找不到数据文件：" + line + ".dat") : s;
  PackageTable table;
  table.table = std::string(key.table);
  table.id_column = std::string(key.id_column);
  const std::vector<std::string>& columns = target.Columns(key.table);
  if (columns.empty()) return Refused("数据库中没有数据表：" + table.table);
  for (const std::string& c : columns)
    if (EqualsIgnoreCase(c, key.id_column)) table.id_column = c;
  for (const FieldInfo& field : reader.fields()) {
    std::string found;
    for (const std::string& c : columns)
      if (EqualsIgnoreCase(c, field.name)) found = c;
    if (found.empty())
      return Refused("数据文件 " + line + ".dat 的列 " + field.name + " 不是数据表 " + table.table +
                     " 的列");
    if (table.Column(found) >= 0)
      return Refused("数据文件 " + line + ".dat 的列 " + field.name + " 出现了两次");
    table.columns.push_back(found);
    table.types.push_back(field.type);
  }
  const int id = table.Column(key.id_column);
  if (id < 0 || table.Column(key.list_column) < 0)
    return Refused("数据文件 " + line + ".dat 缺少键列 " + std::string(key.id_column));
  table.id_index = static_cast<size_t>(id);
  std::vector<Variant> row;
  for (;;) {
    auto more = reader.Next(row);
    if (!more.ok()) return more.status();
    if (!*more) break;
    table.rows.push_back(row);
  }
  return table;
}

}  // namespace

Result<Package> ReadPackage(const std::string& archive_path, const std::string& folder,
                            DatabaseColumns& target) {
  auto names = ListArchive(archive_path, kPackageLimits);
  if (!names.ok()) return names.status();
  std::string list_name;
  for (const std::string& name : *names)
    if (name.size() >= 3 && EqualsIgnoreCase(name.substr(name.size() - 3), "EXP")) {
      list_name = name;
      break;
    }
  if (list_name.empty()) return Status::Error(ErrorCode::kFileNotFound, "数据包中没有列表文件");
  const std::vector<std::string> list_only{list_name};
  auto unpacked =
      UnpackArchive(archive_path, folder, &list_only, {kPackageLimits.max_entries, kListFileLimit});
  if (!unpacked.ok()) return unpacked.status();
  auto keys = ReadKeys(fs::path(folder) / fs::u8path(list_name));
  if (!keys.ok()) return keys.status();

  std::vector<std::string> data_files;
  for (const auto& [key, line] : *keys) data_files.push_back(line + ".dat");
  auto data = UnpackArchive(archive_path, folder, &data_files, kPackageLimits);
  if (!data.ok()) return data.status();

  Package package;
  for (const PackageKey& key : PackageKeys())
    for (const auto& [known, line] : *keys) {
      if (known != &key) continue;
      auto table = ReadTable(key, line, fs::path(folder) / fs::u8path(line + ".dat"), target);
      if (!table.ok()) return table.status();
      package.tables.push_back(std::move(*table));
    }
  return package;
}

}  // namespace dravmor
