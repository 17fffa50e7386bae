#include "exchange/server_for_export_factory.h"

#include <filesystem>
#include <fstream>

#include "engine/archive.h"
#include "engine/routines.h"
#include "engine/table_file.h"

namespace dravmor {

namespace fs = std::filesystem;

ServerForExportFactory::ServerForExportFactory() : ServerObject("ServerForExportFactory") {}

std::string SafeFileName(const std::string& name) {
  std::string safe;
  for (unsigned char c : name) {
    const bool bad = c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':' || c == '*' ||
                     c == '?' || c == '"' || c == '<' || c == '>' || c == '|';
    safe += bad ? '_' : static_cast<char>(c);
  }
  // Trailing blanks and dots do not survive on every file system.
  for (size_t i = safe.size(); i > 0 && (safe[i - 1] == ' ' || safe[i - 1] == '.'); --i)
    safe[i - 1] = '_';
  if (safe.empty()) safe = "_";
  return safe;
}

void ServerForExportFactory::SetPath(const std::string& strPath) {
  const fs::path base = app_path_.empty() ? fs::temp_directory_path() / "dravmor" : fs::u8path(app_path_);
  export_directory_ = (base / "Export").string();
  destination_ = strPath;
}

void ServerForExportFactory::Progress(const std::string& status, int16_t percent) {
  std::vector<Variant> args{Variant(status), Variant(percent)};
  Raise("Ok", args);
}

void ServerForExportFactory::KillIfExists(const std::string& path) {
  std::error_code ec;
  if (fs::exists(fs::u8path(path), ec) && !fs::remove(fs::u8path(path), ec))
    Check(Status::Error(ErrorCode::kFileIo, "Cannot delete " + path + ": " + ec.message()));
}

std::string ServerForExportFactory::SaveKey(std::string_view exporter,
                                            const std::string& key_template, int digit,
                                            const std::string& sql, bool kill_first) {
  std::string key;
  Run(ErrorMode::Handler, exporter, [&] {
    RecordsetPtr rs = Open(sql);
    const std::string k = key_template + std::to_string(digit);
    const std::string file = export_directory_ + "/" + k + ".dat";
    if (kill_first) KillIfExists(file);
    if (!Check(SaveTableFile(file, *rs))) return;
    key = k;
  });
  return key;
}

std::string ServerForExportFactory::ExportFacInfo(Currency factory_id) {
  std::string key;
  factory_name_.clear();
  Run(ErrorMode::Handler, "ExportFacInfo", [&] {
    RecordsetPtr rs = Open("SELECT * FROM 厂家 WHERE CJ_ID=" + SqlNumber(factory_id));
    factory_name_ = rs->IsEmpty() ? "" : Field(rs, size_t{1}).ToText();
    if (!Check(SaveTableFile(export_directory_ + "/厂家@CJ_ID@0.dat", *rs))) return;
    key = "厂家@CJ_ID@0";
  });
  return key;
}

std::string ServerForExportFactory::ExportLeiBieInfo(const std::string& S, Currency factory_id) {
  // Also every category a profile of the package uses: a profile whose
  // category stayed behind would point at nothing, or at another category
  // holding that id, in the database that imports it.
  return SaveKey("ExportLeiBieInfo", "类别@MingCheng@", 1,
                 "SELECT * FROM 类别 " + std::string("WHERE (TypeLB IN (SELECT cjType FROM 厂家 WHERE cj_id=") +
                     SqlNumber(factory_id) + ")" +
                     " AND  Zhonglei IN (SELECT Xllb FROM 系列 WHERE xl_ID IN" + S + "))" +
                     " OR LB_ID IN (SELECT LB_ID FROM 型材 WHERE xl_ID IN " + S + ")",
                 false);
}

std::string ServerForExportFactory::ExportXiLieInfo(const std::string& S) {
  return SaveKey("ExportXiLieInfo", "系列@XL_ID@", 0, "SELECT * FROM 系列 WHERE xl_ID IN " + S, false);
}

std::string ServerForExportFactory::ExportXingCaiInfo(const std::string& S) {
  return SaveKey("ExportXingCaiInfo", "型材@XC_ID@", 0, "SELECT * FROM 型材 WHERE xl_ID IN " + S, false);
}

std::string ServerForExportFactory::ExportBangDingInfo(const std::string& S) {
  return SaveKey("ExportBangDingInfo", "绑定@Bang_ID@", 0,
                 "SELECT * FROM 绑定 " + std::string("WHERE Zhu_id IN (SELECT Xc_ID FROM 型材 WHERE xl_id IN ") +
                     S + ")",
                 false);
}

std::string ServerForExportFactory::ExportZUHEXCFormulaInfo(const std::string& S) {
  return SaveKey("ExportZUHEXCFormulaInfo", "型材组合公式@xczhgs_ID@", 0,
                 "SELECT * FROM 型材组合公式 " + std::string("WHERE xl_ID IN ") + S, true);
}

std::string ServerForExportFactory::ExportZUHEBLFormulaInfo(const std::string& S) {
  return SaveKey("ExportZUHEBLFormulaInfo", "玻璃组合公式@blzhgs_ID@", 0,
                 "SELECT * FROM 玻璃组合公式 " + std::string("WHERE xl_ID IN ") + S, true);
}

void ServerForExportFactory::ExportFactory(const std::shared_ptr<Object>& frm) {
  Run(ErrorMode::Handler, "ExportFactory", [&] {
    auto index = FormValue(frm, "lstfac", std::nullopt, "ListIndex").ToInt64();
    if (!Check(index.ok() ? Status::Ok() : index.status())) return;
    if (*index == -1) return;
    if (export_directory_.empty()) SetPath(destination_);
    std::error_code ec;
    fs::create_directories(fs::u8path(export_directory_), ec);
    if (!Check(EmptyDirectory(export_directory_))) return;
    auto id = FormValue(frm, "lstfac", std::nullopt, "ItemData", static_cast<int>(*index)).ToCurrency();
    if (!Check(id.ok() ? Status::Ok() : id.status())) return;
    Progress("正在导出厂家数据", 0);
    std::vector<std::string> keys{ExportFacInfo(*id)};
    if (factory_name_.empty())
      Check(Status::Error(ErrorCode::kBadArgument, "No factory with the id " + SqlNumber(*id)));

    // The list file is named after the factory, made safe as a file name;
    // it must land in the export folder and nowhere else.
    const fs::path folder = fs::u8path(export_directory_);
    const std::string list_name = SafeFileName(factory_name_) + ".Exp";
    const fs::path list_path = folder / fs::u8path(list_name);
    if (list_path.parent_path() != folder)
      Check(Status::Error(ErrorCode::kBadArgument, "Unsafe file name: " + list_name));
    KillIfExists(list_path.string());

    std::string S = "(";
    auto count = FormValue(frm, "lstxilie", std::nullopt, "ListCount").ToInt64();
    if (!Check(count.ok() ? Status::Ok() : count.status())) return;
    bool any = false;
    for (int i = 0; i < *count; ++i) {
      auto selected = FormValue(frm, "lstxilie", std::nullopt, "Selected", i).ToBool();
      if (!selected.ok() || !*selected) continue;
      auto series = FormValue(frm, "lstxilie", std::nullopt, "ItemData", i).ToCurrency();
      if (!Check(series.ok() ? Status::Ok() : series.status())) return;
      S += (any ? "," : "") + SqlNumber(*series);
      any = true;
    }
    S += ")";
    if (any) {
      struct Step {
        const char* what;
        std::function<std::string()> run;
      };
      const Step steps[] = {
          {"类别", [&] { return ExportLeiBieInfo(S, *id); }},
          {"系列", [&] { return ExportXiLieInfo(S); }},
          {"型材", [&] { return ExportXingCaiInfo(S); }},
          {"绑定", [&] { return ExportBangDingInfo(S); }},
          {"型材组合公式", [&] { return ExportZUHEXCFormulaInfo(S); }},
          {"玻璃组合公式", [&] { return ExportZUHEBLFormulaInfo(S); }},
      };
      int done = 1;
      for (const Step& step : steps) {
        Progress(std::string("正在导出") + step.what, static_cast<int16_t>(done * 100 / 8));
        keys.push_back(step.run());
        ++done;
      }
    }
    {
      std::ofstream list(list_path, std::ios::binary | std::ios::trunc);
      for (const std::string& key : keys)
        if (!key.empty()) list << key << "\r\n";
      list.close();
      if (!list) Check(Status::Error(ErrorCode::kFileIo, "Cannot write " + list_path.string()));
    }

    Progress("正在压缩", 90);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder, ec))
      if (entry.is_regular_file() && entry.path().filename() != "zgl.rar")
        names.push_back(entry.path().filename().string());
    const std::string archive = (folder / "zgl.rar").string();
    if (!Check(PackArchive(archive, export_directory_, names))) return;

    fs::path target = fs::u8path(destination_);
    if (fs::is_directory(target, ec)) target /= "zgl.rar";
    if (target != fs::path(archive)) {
      fs::copy_file(archive, target, fs::copy_options::overwrite_existing, ec);
      if (ec)
        Check(Status::Error(ErrorCode::kPathNotFound,
                            "Cannot copy the archive to " + target.string() + ": " + ec.message()));
    }
    Progress("导出完成", 100);
  });
}

}  // namespace dravmor
