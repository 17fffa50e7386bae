#include "exchange/server_for_import.h"

#include <filesystem>

#include <stdlib.h>

#include "engine/prompt.h"
#include "engine/references.h"
#include "engine/routines.h"
#include "exchange/package.h"
#include "exchange/package_import.h"

namespace dravmor {

namespace fs = std::filesystem;

namespace {

constexpr const char* kTitle = "操作提示";
// Refused rows named one by one in the closing message, at most.
constexpr size_t kRowsNamed = 20;

// A new empty folder of its own for one package.
Result<fs::path> NewPackageFolder() {
  std::string pattern = (fs::temp_directory_path() / "dravmor-import-XXXXXX").string();
  if (!mkdtemp(pattern.data()))
    return Status::Error(ErrorCode::kPathNotFound, "Cannot make a folder for the package");
  return fs::path(pattern);
}

}  // namespace

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

void ServerForImport::SetPath(const std::string& strPathA) {
  outcome_ = {};
  // The package goes into a folder of its own, which is removed afterwards.
  auto folder = NewPackageFolder();
  if (!folder.ok()) throw CallError(folder.status());
  struct Cleanup {
    fs::path path;
    ~Cleanup() {
      std::error_code ec;
      fs::remove_all(path, ec);
    }
  } cleanup{*folder};
  Import(strPathA, folder->string());
}

void ServerForImport::Import(const std::string& archive, const std::string& folder) {
  Run(ErrorMode::Handler, "Import", [&] {
    DatabaseColumns columns(connection());
    auto package = ReadPackage(archive, folder, columns);
    if (!package.ok()) {
      // Nothing was written: the package is refused whole.
      Message("数据包未导入：" + package.status().text());
      ShowInformation(kTitle, "这个文件不是有效的厂家数据文件或者已经遭到破坏 ！");
      return;
    }
    Progress("正在检查数据包", 0);
    PackageImport import(connection(), columns, *package);
    bool written = false;
    RunAtomically(ErrorMode::Handler, "Import", [&] {
      // Planned inside the transaction, so that what it read still holds
      // when the rows are written.
      if (!Check(import.Plan())) return;
      int16_t shown = -1;
      Check(import.Write([&](const std::string& table, uint64_t done, uint64_t total) {
        // Below 100 until the work is committed.
        const auto percent = static_cast<int16_t>(total ? done * 99 / total : 99);
        if (percent == shown) return;
        shown = percent;
        Progress("正在导入" + table + " " + std::to_string(done) + "/" + std::to_string(total),
                 percent);
      }));
      written = true;
    });
    if (!written) return;  // rolled back and reported
    outcome_ = {import.written(), import.skipped().size(), true};
    Progress("成功导入" + std::to_string(import.written()) + "条数据 ！", 100);
    if (import.skipped().empty()) return;
    std::string text = "跳过" + std::to_string(import.skipped().size()) + "条数据：";
    for (size_t i = 0; i < import.skipped().size() && i < kRowsNamed; ++i) {
      const SkippedRow& row = import.skipped()[i];
      text += (i ? "；" : "") + row.table + " " + row.key + "：" + row.why;
    }
    if (import.skipped().size() > kRowsNamed) text += "；……";
    Message(text);
  });
}

}  // namespace dravmor
