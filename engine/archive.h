// Archives of the exchange package, through libarchive (no outside
// program). Packing writes the zip format, whatever the archive's name;
// unpacking reads every format libarchive knows (zip, RAR, 7z, tar...), so
// packages made by older installations open too.
#pragma once

#include <string>
#include <vector>

#include "engine/status.h"

namespace dravmor {

// Packs the named files of a directory (names relative to it) into a new
// archive at archive_path, replacing one that is there.
Status PackArchive(const std::string& archive_path, const std::string& directory,
                   const std::vector<std::string>& names);

// What one archive may hold: more entries, or more bytes unpacked (counted
// as they come out, whatever the entries' headers claim), refuse it.
struct ArchiveLimits {
  size_t max_entries = 10000;
  uint64_t max_unpacked_bytes = uint64_t{1} << 30;
};

// The flat names of the archive's files (as UnpackArchive would write
// them), read from the entries' headers alone. Refused like UnpackArchive,
// and past limits.max_entries.
Result<std::vector<std::string>> ListArchive(const std::string& archive_path,
                                             const ArchiveLimits& limits = {});

// Unpacks the files of an archive into an existing directory, flat (each
// entry under its own file name, as the package's archiver extracted it):
// every file, or only those named in `only` (flat names; a name the
// archive lacks is simply not written). Refused, before any file is
// written: entries with an absolute path or a ".." part, links and
// devices, two entries of one name, more entries or unpacked bytes than
// the limits allow. A truncated or unreadable archive is an error. Gives
// the names written.
Result<std::vector<std::string>> UnpackArchive(const std::string& archive_path,
                                               const std::string& directory,
                                               const std::vector<std::string>* only = nullptr,
                                               const ArchiveLimits& limits = {});

}  // namespace dravmor
