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

// Unpacks every file of an archive into an existing directory, flat (each
// entry under its own file name, as the package's archiver extracted it).
// Refused, before any file is written: entries with an absolute path or a
// ".." part, links and devices, two entries of one name. A truncated or
// unreadable archive is an error. Gives the names written.
Result<std::vector<std::string>> UnpackArchive(const std::string& archive_path,
                                               const std::string& directory);

}  // namespace dravmor
