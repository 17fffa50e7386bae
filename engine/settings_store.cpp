#include "engine/settings_store.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include <nlohmann/json.hpp>

namespace dravmor {

namespace {

namespace fs = std::filesystem;

Result<nlohmann::json> Load(const std::string& path) {
  std::error_code ec;
  if (!fs::exists(path, ec)) return nlohmann::json::object();
  std::ifstream in(path, std::ios::binary);
  if (!in) return Status::Error(ErrorCode::kFileIo, "Cannot read settings file " + path);
  std::stringstream text;
  text << in.rdbuf();
  nlohmann::json data = nlohmann::json::parse(text.str(), nullptr, false);
  if (data.is_discarded() || !data.is_object())
    return Status::Error(ErrorCode::kFileIo, "Settings file is damaged: " + path);
  return data;
}

std::mutex store_mutex;
std::shared_ptr<SettingsStore> current_store;

}  // namespace

Result<std::string> FileSettingsStore::Get(const std::string& application,
                                           const std::string& section, const std::string& key,
                                           const std::string& fallback) {
  auto data = Load(path_);
  if (!data.ok()) return data.status();
  const nlohmann::json& d = *data;
  auto app = d.find(application);
  if (app == d.end() || !app->is_object()) return fallback;
  auto sec = app->find(section);
  if (sec == app->end() || !sec->is_object()) return fallback;
  auto value = sec->find(key);
  if (value == sec->end() || !value->is_string()) return fallback;
  return value->get<std::string>();
}

Status FileSettingsStore::Put(const std::string& application, const std::string& section,
                              const std::string& key, const std::string& value) {
  auto data = Load(path_);
  if (!data.ok()) return data.status();  // never overwrite what we cannot read
  nlohmann::json& d = *data;
  if (!d[application].is_object()) d[application] = nlohmann::json::object();
  if (!d[application][section].is_object()) d[application][section] = nlohmann::json::object();
  d[application][section][key] = value;
  std::error_code ec;
  fs::path target(path_);
  if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
  std::string temp = path_ + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out << d.dump(2) << "\n";
    out.flush();
    if (!out) {
      fs::remove(temp, ec);
      return Status::Error(ErrorCode::kFileIo, "Cannot write settings file " + path_);
    }
  }
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return Status::Error(ErrorCode::kFileIo, "Cannot replace settings file " + path_);
  }
  return Status::Ok();
}

std::string DefaultSettingsPath() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  fs::path base;
  if (xdg && *xdg) {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = fs::path(home && *home ? home : ".") / ".config";
  }
  return (base / "dravmor" / "settings.json").string();
}

std::shared_ptr<SettingsStore> Settings() {
  std::lock_guard<std::mutex> lock(store_mutex);
  if (!current_store) current_store = std::make_shared<FileSettingsStore>(DefaultSettingsPath());
  return current_store;
}

void UseSettings(std::shared_ptr<SettingsStore> store) {
  std::lock_guard<std::mutex> lock(store_mutex);
  current_store = std::move(store);
}

}  // namespace dravmor
