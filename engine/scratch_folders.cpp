#include "engine/scratch_folders.h"

#include <algorithm>
#include <cctype>

namespace dravmor {

namespace fs = std::filesystem;

namespace {

bool IsScratchName(const std::string& name, std::string_view prefix) {
  if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) return false;
  return std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                     [](unsigned char c) { return std::isalnum(c) != 0; });
}

// The latest change to the folder or to anything directly in it.
fs::file_time_type LastChange(const fs::path& folder) {
  std::error_code ec;
  fs::file_time_type latest = fs::last_write_time(folder, ec);
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    auto when = entry.symlink_status(ec).type() == fs::file_type::symlink
                    ? latest
                    : fs::last_write_time(entry.path(), ec);
    if (!ec) latest = std::max(latest, when);
  }
  return latest;
}

}  // namespace

int RemoveStaleFolders(const fs::path& dir, std::string_view prefix, std::chrono::hours max_age) {
  int removed = 0;
  std::error_code ec;
  const auto now = fs::file_time_type::clock::now();
  for (const auto& entry : fs::directory_iterator(dir, ec)) {
    if (!IsScratchName(entry.path().filename().string(), prefix)) continue;
    if (entry.symlink_status(ec).type() != fs::file_type::directory) continue;
    if (now - LastChange(entry.path()) < max_age) continue;
    if (fs::remove_all(entry.path(), ec) != static_cast<std::uintmax_t>(-1) && !ec) ++removed;
  }
  return removed;
}

}  // namespace dravmor
