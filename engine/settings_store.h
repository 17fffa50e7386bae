// The per-user settings store: values under (application, section, key),
// kept outside the database in a small JSON file of the user's own. A
// damaged or unwritable file is reported as a Status, never a crash, and a
// write never leaves it half-written (a new file is written, then renamed
// over the old one). Tests and callers can point the store elsewhere or
// replace it.
#pragma once

#include <memory>
#include <string>

#include "engine/status.h"

namespace dravmor {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored value, or fallback when there is none.
  virtual Result<std::string> Get(const std::string& application, const std::string& section,
                                  const std::string& key, const std::string& fallback) = 0;
  virtual Status Put(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) = 0;
};

class FileSettingsStore : public SettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}
  Result<std::string> Get(const std::string& application, const std::string& section,
                          const std::string& key, const std::string& fallback) override;
  Status Put(const std::string& application, const std::string& section,
             const std::string& key, const std::string& value) override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// $XDG_CONFIG_HOME/dravmor/settings.json, or ~/.config/dravmor/settings.json.
std::string DefaultSettingsPath();

// The store the engine uses; the default file store unless replaced.
std::shared_ptr<SettingsStore> Settings();
void UseSettings(std::shared_ptr<SettingsStore> store);

}  // namespace dravmor
