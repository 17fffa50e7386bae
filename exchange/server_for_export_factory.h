// ServerForExportFactory: writes one factory's catalogue, limited to the
// series the user picks, as an exchange package: a table file per table,
// the list file "<factory>.Exp" naming them, all packed into zgl.rar (zip
// format) and copied to the place the user chose. Events: Accesserror, Ok
// (progress of the export).
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForExportFactory : public ServerObject {
 public:
  ServerForExportFactory();

  // strPath: the archive copy's full path; an existing folder takes the
  // archive under its own name, zgl.rar.
  void SetPath(const std::string& strPath);
  void ExportFactory(const std::shared_ptr<Object>& frm);
  // The folder beside which the export folder "Export" is kept (the
  // application's folder); the system's temporary folder until set.
  void SetAppPath(const std::string& strPT) { app_path_ = strPT; }

  const std::string& export_directory() const { return export_directory_; }
  const std::string& factory_name() const { return factory_name_; }

  static ClassInfo Describe();

 private:
  std::string ExportFacInfo(Currency factory_id);
  std::string ExportLeiBieInfo(const std::string& S, Currency factory_id);
  std::string ExportXiLieInfo(const std::string& S);
  std::string ExportXingCaiInfo(const std::string& S);
  std::string ExportBangDingInfo(const std::string& S);
  std::string ExportZUHEXCFormulaInfo(const std::string& S);
  std::string ExportZUHEBLFormulaInfo(const std::string& S);
  // Opens the query, saves it as the key's data file; the key, or empty
  // when the exporter failed.
  std::string SaveKey(std::string_view exporter, const std::string& key_template, int digit,
                      const std::string& sql, bool kill_first);
  void KillIfExists(const std::string& path);
  void Progress(const std::string& status, int16_t percent);

  std::string export_directory_;
  std::string factory_name_;
  std::string destination_;
  std::string app_path_;
};

// A factory name as a file name: kept as it reads, only what a file system
// cannot hold in a name (path separators, control and reserved characters,
// names "." and "..") replaced by "_".
std::string SafeFileName(const std::string& name);

}  // namespace dravmor
