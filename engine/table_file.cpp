#include "engine/table_file.h"

#include <bit>
#include <cstring>

namespace dravmor {

namespace {

constexpr char kMagic[8] = {'D', 'R', 'V', 'T', 'B', 'L', '1', '\n'};
constexpr uint8_t kRowMark = 'R', kEndMark = 'E';
// A column name or text longer than this is taken as damage, not data.
constexpr uint32_t kMaxText = 1u << 30;
constexpr uint32_t kMaxColumns = 4096;

enum Tag : uint8_t {
  kNull = 0, kEmpty, kInteger, kLong, kByte, kBoolean, kSingle, kDouble,
  kCurrency, kDate, kString
};

template <typename T>
void PutLe(std::string& buf, T value) {
  using U = std::make_unsigned_t<T>;
  U u = static_cast<U>(value);
  for (size_t i = 0; i < sizeof(T); ++i) buf.push_back(static_cast<char>((u >> (8 * i)) & 0xff));
}

template <typename T>
T GetLe(const unsigned char* p) {
  using U = std::make_unsigned_t<T>;
  U u = 0;
  for (size_t i = 0; i < sizeof(T); ++i) u |= static_cast<U>(static_cast<U>(p[i]) << (8 * i));
  return static_cast<T>(u);
}

void PutText(std::string& buf, const std::string& text) {
  PutLe<uint32_t>(buf, static_cast<uint32_t>(text.size()));
  buf += text;
}

void PutCell(std::string& buf, const Variant& v) {
  switch (v.type()) {
    case VarType::Null: buf.push_back(kNull); break;
    case VarType::Empty: buf.push_back(kEmpty); break;
    case VarType::Integer: buf.push_back(kInteger); PutLe<int16_t>(buf, v.integer()); break;
    case VarType::Long: buf.push_back(kLong); PutLe<int32_t>(buf, v.long_value()); break;
    case VarType::Byte: buf.push_back(kByte); PutLe<uint8_t>(buf, v.byte()); break;
    case VarType::Boolean: buf.push_back(kBoolean); PutLe<uint8_t>(buf, v.boolean() ? 1 : 0); break;
    case VarType::Single:
      buf.push_back(kSingle);
      PutLe<uint32_t>(buf, std::bit_cast<uint32_t>(v.single()));
      break;
    case VarType::Double:
      buf.push_back(kDouble);
      PutLe<uint64_t>(buf, std::bit_cast<uint64_t>(v.double_value()));
      break;
    case VarType::Currency: buf.push_back(kCurrency); PutLe<int64_t>(buf, v.currency().scaled); break;
    case VarType::Date:
      buf.push_back(kDate);
      PutLe<uint64_t>(buf, std::bit_cast<uint64_t>(v.date().serial));
      break;
    case VarType::String: buf.push_back(kString); PutText(buf, v.str()); break;
    case VarType::Object: buf.push_back(kNull); break;  // no value to keep
  }
}

}  // namespace

Status TableFileWriter::Failed() const {
  return Status::Error(ErrorCode::kFileIo, "Cannot write the file " + path_);
}

Status TableFileWriter::Open(const std::string& path, const std::vector<FieldInfo>& fields) {
  path_ = path;
  columns_ = fields.size();
  rows_ = 0;
  out_.open(path, std::ios::binary | std::ios::trunc);
  if (!out_) return Status::Error(ErrorCode::kPathNotFound, "Cannot create the file " + path);
  std::string buf(kMagic, sizeof kMagic);
  PutLe<uint32_t>(buf, static_cast<uint32_t>(fields.size()));
  for (const FieldInfo& f : fields) {
    PutText(buf, f.name);
    PutLe<int32_t>(buf, f.type);
  }
  out_.write(buf.data(), static_cast<std::streamsize>(buf.size()));
  return out_ ? Status::Ok() : Failed();
}

Status TableFileWriter::WriteRow(const Variant* cells, size_t count) {
  if (count != columns_)
    return Status::Error(ErrorCode::kBadArgument, "A row of " + std::to_string(count) +
                                                      " values for " + std::to_string(columns_) +
                                                      " columns");
  std::string buf;
  buf.push_back(static_cast<char>(kRowMark));
  for (size_t i = 0; i < count; ++i) PutCell(buf, cells[i]);
  out_.write(buf.data(), static_cast<std::streamsize>(buf.size()));
  ++rows_;
  return out_ ? Status::Ok() : Failed();
}

Status TableFileWriter::Finish() {
  std::string buf;
  buf.push_back(static_cast<char>(kEndMark));
  PutLe<uint64_t>(buf, rows_);
  out_.write(buf.data(), static_cast<std::streamsize>(buf.size()));
  out_.close();
  return out_ ? Status::Ok() : Failed();
}

Status SaveTableFile(const std::string& path, const Recordset& rs) {
  if (!rs.IsOpen()) return Status::Error(ErrorCode::kNotOpen, "The record set is not open");
  const RowData& data = rs.Data();
  TableFileWriter writer;
  if (Status s = writer.Open(path, data.fields); !s.ok()) return s;
  const size_t n = data.fields.size();
  for (size_t r = 0; r < data.RowCount(); ++r)
    if (Status s = writer.WriteRow(&data.cells[r * n], n); !s.ok()) return s;
  return writer.Finish();
}

Status TableFileReader::Damaged(const std::string& why) const {
  return Status::Error(ErrorCode::kFileIo, "The data file " + path_ + " is damaged: " + why);
}

bool TableFileReader::ReadBytes(void* data, size_t size) {
  in_.read(static_cast<char*>(data), static_cast<std::streamsize>(size));
  return static_cast<size_t>(in_.gcount()) == size;
}

Status TableFileReader::Open(const std::string& path) {
  path_ = path;
  fields_.clear();
  rows_ = 0;
  ended_ = false;
  in_.open(path, std::ios::binary);
  if (!in_) return Status::Error(ErrorCode::kFileNotFound, "File not found: " + path);
  in_.seekg(0, std::ios::end);
  size_ = static_cast<uint64_t>(in_.tellg());
  in_.seekg(0, std::ios::beg);
  char magic[sizeof kMagic];
  if (!ReadBytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0)
    return Damaged("not a table file");
  unsigned char b4[4];
  if (!ReadBytes(b4, 4)) return Damaged("the column list is cut short");
  uint32_t count = GetLe<uint32_t>(b4);
  if (count > kMaxColumns) return Damaged("too many columns");
  for (uint32_t i = 0; i < count; ++i) {
    if (!ReadBytes(b4, 4)) return Damaged("the column list is cut short");
    uint32_t len = GetLe<uint32_t>(b4);
    if (len > 4096) return Damaged("a column name is too long");
    FieldInfo f;
    f.name.resize(len);
    if (!ReadBytes(f.name.data(), len) || !ReadBytes(b4, 4))
      return Damaged("the column list is cut short");
    f.type = GetLe<int32_t>(b4);
    fields_.push_back(std::move(f));
  }
  return Status::Ok();
}

Result<bool> TableFileReader::Next(std::vector<Variant>& cells) {
  if (ended_) return false;
  unsigned char mark = 0;
  if (!ReadBytes(&mark, 1)) return Damaged("it ends before its last row");
  if (mark == kEndMark) {
    unsigned char b8[8];
    if (!ReadBytes(b8, 8)) return Damaged("the end record is cut short");
    if (GetLe<uint64_t>(b8) != rows_) return Damaged("rows are missing");
    ended_ = true;
    return false;
  }
  if (mark != kRowMark) return Damaged("row " + std::to_string(rows_ + 1) + " is unreadable");
  cells.resize(fields_.size());
  unsigned char b[8];
  for (size_t i = 0; i < fields_.size(); ++i) {
    unsigned char tag = 0;
    if (!ReadBytes(&tag, 1)) return Damaged("row " + std::to_string(rows_ + 1) + " is cut short");
    size_t need = 0;
    switch (tag) {
      case kNull: case kEmpty: break;
      case kInteger: need = 2; break;
      case kByte: case kBoolean: need = 1; break;
      case kLong: case kSingle: case kString: need = 4; break;
      case kDouble: case kCurrency: case kDate: need = 8; break;
      default: return Damaged("row " + std::to_string(rows_ + 1) + " has an unknown value kind");
    }
    if (need && !ReadBytes(b, need))
      return Damaged("row " + std::to_string(rows_ + 1) + " is cut short");
    switch (tag) {
      case kNull: cells[i] = Variant(Null{}); break;
      case kEmpty: cells[i] = Variant(); break;
      case kInteger: cells[i] = Variant(GetLe<int16_t>(b)); break;
      case kLong: cells[i] = Variant(GetLe<int32_t>(b)); break;
      case kByte: cells[i] = Variant(b[0]); break;
      case kBoolean: cells[i] = Variant(b[0] != 0); break;
      case kSingle: cells[i] = Variant(std::bit_cast<float>(GetLe<uint32_t>(b))); break;
      case kDouble: cells[i] = Variant(std::bit_cast<double>(GetLe<uint64_t>(b))); break;
      case kCurrency: cells[i] = Variant(Currency{GetLe<int64_t>(b)}); break;
      case kDate: cells[i] = Variant(Date{std::bit_cast<double>(GetLe<uint64_t>(b))}); break;
      case kString: {
        uint32_t len = GetLe<uint32_t>(b);
        // A length beyond the file's end is damage; do not allocate for it.
        const auto at = static_cast<uint64_t>(in_.tellg());
        if (len > kMaxText || len > size_ - at) return Damaged("a text is too long");
        std::string text(len, '\0');
        if (!ReadBytes(text.data(), len))
          return Damaged("row " + std::to_string(rows_ + 1) + " is cut short");
        cells[i] = Variant(std::move(text));
        break;
      }
    }
  }
  ++rows_;
  return true;
}

Result<uint64_t> CheckTableFile(const std::string& path, std::vector<FieldInfo>* fields) {
  TableFileReader reader;
  if (Status s = reader.Open(path); !s.ok()) return s;
  if (fields) *fields = reader.fields();
  std::vector<Variant> cells;
  for (;;) {
    auto more = reader.Next(cells);
    if (!more.ok()) return more.status();
    if (!*more) return reader.rows();
  }
}

}  // namespace dravmor
