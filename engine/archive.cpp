#include "engine/archive.h"

#include "engine/text.h"

#include <archive.h>
#include <archive_entry.h>
#include <locale.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <set>

namespace dravmor {

namespace fs = std::filesystem;

namespace {

struct ReadCloser {
  void operator()(archive* a) const { archive_read_free(a); }
};
struct WriteCloser {
  void operator()(archive* a) const { archive_write_free(a); }
};
using ReadArchive = std::unique_ptr<archive, ReadCloser>;
using WriteArchive = std::unique_ptr<archive, WriteCloser>;

Status ArchiveError(archive* a, const std::string& what) {
  const char* text = archive_error_string(a);
  return Status::Error(ErrorCode::kFileIo, what + (text ? std::string(": ") + text : ""));
}

ReadArchive OpenForReading(const std::string& path) {
  ReadArchive a(archive_read_new());
  char magic[4] = {};
  std::ifstream(fs::u8path(path), std::ios::binary).read(magic, sizeof magic);
  if (magic[0] == 'P' && magic[1] == 'K') {
    // A zip is read through its central directory, so that one cut short
    // after its last entry is still found damaged.
    archive_read_support_format_zip_seekable(a.get());
  } else {
    archive_read_support_filter_all(a.get());
    archive_read_support_format_all(a.get());
  }
  return a;
}

// Packages of older installations name their entries in the Chinese
// Windows code page; the names are read in UTF-8 either way.
std::string EntryName(archive_entry* entry) {
  const char* utf8 = archive_entry_pathname_utf8(entry);
  if (utf8) return LegacyTextToUtf8(utf8);
  const char* raw = archive_entry_pathname(entry);
  return raw ? LegacyTextToUtf8(raw) : "";
}

// The file name an entry is unpacked under, or an empty text with the
// reason when it must be refused.
std::string SafeName(const std::string& name, std::string& why) {
  if (name.empty()) return why = "an entry without a name", "";
  if (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':'))
    return why = "an entry with an absolute path: " + name, "";
  std::string part, last;
  for (size_t i = 0; i <= name.size(); ++i) {
    if (i == name.size() || name[i] == '/' || name[i] == '\\') {
      if (part == "..") return why = "an entry that leaves the folder: " + name, "";
      if (!part.empty() && part != ".") last = part;
      part.clear();
    } else {
      part += name[i];
    }
  }
  if (last.empty()) return why = "an entry without a file name: " + name, "";
  return last;
}

// Names in packages are UTF-8. libarchive converts them through the
// thread's character set, so the calls run under a UTF-8 one on this thread
// alone (the process's locale is the caller's).
class Utf8Names {
 public:
  Utf8Names() {
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"})
      if ((utf8_ = newlocale(LC_CTYPE_MASK, name, nullptr))) break;
    if (utf8_) previous_ = uselocale(utf8_);
  }
  ~Utf8Names() {
    if (!utf8_) return;
    uselocale(previous_);
    freelocale(utf8_);
  }
  Utf8Names(const Utf8Names&) = delete;
  Utf8Names& operator=(const Utf8Names&) = delete;

 private:
  locale_t utf8_ = nullptr;
  locale_t previous_ = nullptr;
};

}  // namespace

Status PackArchive(const std::string& archive_path, const std::string& directory,
                   const std::vector<std::string>& names) {
  Utf8Names utf8;
  WriteArchive a(archive_write_new());
  // Names are marked as UTF-8, so that every unpacker reads them alike.
  if (archive_write_set_format_zip(a.get()) != ARCHIVE_OK ||
      archive_write_set_options(a.get(), "hdrcharset=UTF-8") != ARCHIVE_OK)
    return ArchiveError(a.get(), "Cannot make a zip archive");
  if (archive_write_open_filename(a.get(), archive_path.c_str()) != ARCHIVE_OK)
    return ArchiveError(a.get(), "Cannot create the archive " + archive_path);
  std::vector<char> buffer(1 << 16);
  for (const std::string& name : names) {
    const fs::path file = fs::path(directory) / fs::u8path(name);
    std::ifstream in(file, std::ios::binary);
    std::error_code ec;
    const auto size = fs::file_size(file, ec);
    if (!in || ec)
      return Status::Error(ErrorCode::kFileNotFound, "File not found: " + file.string());
    std::unique_ptr<archive_entry, void (*)(archive_entry*)> entry(archive_entry_new(),
                                                                   archive_entry_free);
    archive_entry_set_pathname_utf8(entry.get(), name.c_str());
    archive_entry_set_filetype(entry.get(), AE_IFREG);
    archive_entry_set_perm(entry.get(), 0644);
    archive_entry_set_size(entry.get(), static_cast<la_int64_t>(size));
    archive_entry_set_mtime(entry.get(), time(nullptr), 0);
    if (archive_write_header(a.get(), entry.get()) != ARCHIVE_OK)
      return ArchiveError(a.get(), "Cannot add " + name + " to the archive");
    while (in) {
      in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
      const auto got = in.gcount();
      if (got > 0 && archive_write_data(a.get(), buffer.data(), static_cast<size_t>(got)) < 0)
        return ArchiveError(a.get(), "Cannot add " + name + " to the archive");
    }
  }
  if (archive_write_close(a.get()) != ARCHIVE_OK)
    return ArchiveError(a.get(), "Cannot finish the archive " + archive_path);
  return Status::Ok();
}

namespace {

bool Wanted(const std::string& name, const std::vector<std::string>* only) {
  if (!only) return true;
  for (const std::string& w : *only)
    if (w == name) return true;
  return false;
}

// One pass over the archive: every entry's name and kind checked, and the
// data of the wanted entries read through (so that a truncated or corrupt
// entry is found) and handed to sink when it is given.
using EntrySink = std::function<Status(const std::string& name, const void* block, size_t size,
                                       la_int64_t offset, bool first)>;
Result<std::vector<std::string>> PassOver(const std::string& archive_path,
                                          const std::vector<std::string>* only,
                                          const ArchiveLimits& limits, bool read_data,
                                          const EntrySink& sink) {
  if (!fs::is_regular_file(fs::u8path(archive_path)))
    return Status::Error(ErrorCode::kFileNotFound, "File not found: " + archive_path);
  const std::string unreadable = "The archive " + archive_path + " is damaged or unreadable";
  ReadArchive a = OpenForReading(archive_path);
  if (archive_read_open_filename(a.get(), archive_path.c_str(), 1 << 16) != ARCHIVE_OK)
    return ArchiveError(a.get(), unreadable);
  std::set<std::string> seen;
  std::vector<std::string> names;
  uint64_t unpacked = 0;
  archive_entry* entry = nullptr;
  for (;;) {
    int r = archive_read_next_header(a.get(), &entry);
    if (r == ARCHIVE_EOF) break;
    // A warning on a header is a name the process's locale cannot show;
    // names are taken as UTF-8 all the same.
    if (r != ARCHIVE_OK && r != ARCHIVE_WARN) return ArchiveError(a.get(), unreadable);
    const auto type = archive_entry_filetype(entry);
    if (type == AE_IFDIR) continue;
    if (seen.size() >= limits.max_entries)
      return Status::Error(ErrorCode::kBadArgument, "Refused an archive of more than " +
                                                        std::to_string(limits.max_entries) +
                                                        " entries");
    std::string why;
    std::string name = SafeName(EntryName(entry), why);
    if (name.empty()) return Status::Error(ErrorCode::kBadArgument, "Refused " + why);
    if (type != AE_IFREG || archive_entry_hardlink(entry))
      return Status::Error(ErrorCode::kBadArgument,
                           "Refused an entry that is no plain file: " + EntryName(entry));
    if (!seen.insert(name).second)
      return Status::Error(ErrorCode::kBadArgument, "Refused two entries named " + name);
    names.push_back(name);
    if (!read_data || !Wanted(name, only)) continue;
    const void* block;
    size_t size;
    la_int64_t offset;
    bool first = true;
    for (;;) {
      r = archive_read_data_block(a.get(), &block, &size, &offset);
      if (r == ARCHIVE_EOF) break;
      if (r != ARCHIVE_OK) return ArchiveError(a.get(), unreadable);
      unpacked += size;
      if (unpacked > limits.max_unpacked_bytes)
        return Status::Error(ErrorCode::kBadArgument,
                             "Refused an archive that unpacks to more than " +
                                 std::to_string(limits.max_unpacked_bytes) + " bytes");
      if (sink) {
        if (Status s = sink(name, block, size, offset, first); !s.ok()) return s;
      }
      first = false;
    }
    if (sink && first) {
      if (Status s = sink(name, nullptr, 0, 0, true); !s.ok()) return s;  // an empty file
    }
  }
  return names;
}

}  // namespace

Result<std::vector<std::string>> ListArchive(const std::string& archive_path,
                                             const ArchiveLimits& limits) {
  Utf8Names utf8;
  return PassOver(archive_path, nullptr, limits, false, nullptr);
}

Result<std::vector<std::string>> UnpackArchive(const std::string& archive_path,
                                               const std::string& directory,
                                               const std::vector<std::string>* only,
                                               const ArchiveLimits& limits) {
  Utf8Names utf8;
  // First pass: a hostile, oversized or truncated archive writes no file.
  auto checked = PassOver(archive_path, only, limits, true, nullptr);
  if (!checked.ok()) return checked.status();
  // Second pass: write the files.
  std::vector<std::string> written;
  std::ofstream out;
  fs::path target;
  auto write = [&](const std::string& name, const void* block, size_t size, la_int64_t offset,
                   bool first) -> Status {
    if (first) {
      if (out.is_open()) {
        out.close();
        if (!out) return Status::Error(ErrorCode::kFileIo, "Cannot write " + target.string());
      }
      target = fs::path(directory) / fs::u8path(name);
      out.open(target, std::ios::binary | std::ios::trunc);
      if (!out) return Status::Error(ErrorCode::kPathNotFound, "Cannot create " + target.string());
      written.push_back(name);
    }
    out.seekp(offset);
    out.write(static_cast<const char*>(block), static_cast<std::streamsize>(size));
    return Status::Ok();
  };
  auto pass = PassOver(archive_path, only, limits, true, write);
  if (!pass.ok()) return pass.status();
  if (out.is_open()) {
    out.close();
    if (!out) return Status::Error(ErrorCode::kFileIo, "Cannot write " + target.string());
  }
  return written;
}

}  // namespace dravmor
