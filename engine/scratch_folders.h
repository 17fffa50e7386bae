// Scratch folders: a folder of the temporary directory that one operation
// unpacks or writes into and removes when it is done, named by a fixed
// prefix and a made-up suffix ("dravmor-import-Ab12Cd"). A process killed
// before its clean-up leaves its folder behind; the next operation of the
// same kind removes such leftovers with RemoveStaleFolders.
#pragma once

#include <chrono>
#include <filesystem>
#include <string_view>

namespace dravmor {

// Removes the folders in dir named prefix + letters and digits that nothing
// has changed for max_age (no live operation leaves its folder untouched
// that long). Links and other files are never touched. Returns how many
// folders went; failures to remove are skipped silently.
int RemoveStaleFolders(const std::filesystem::path& dir, std::string_view prefix,
                       std::chrono::hours max_age = std::chrono::hours(24));

}  // namespace dravmor
