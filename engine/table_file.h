// Table files: one table's columns and rows, saved so that another
// installation reads back exactly the values written. Writer and reader
// stream: one row is held at a time, never the table.
//
// Layout (all integers little-endian):
//   magic      8 bytes  "DRVTBL1\n"
//   columns    u32      count, then per column:
//                u32 name length, name bytes (UTF-8), i32 field type
//                (the FieldType numbers of recordset.h)
//   rows       per row the byte 0x52 ('R'), then one cell per column
//   end        the byte 0x45 ('E'), then u64 row count
// A cell is a tag byte and its payload:
//   0 Null         1 Empty
//   2 Integer i16  3 Long i32   4 Byte u8    5 Boolean u8 (0/1)
//   6 Single f32   7 Double f64 (IEEE bits, so every value survives)
//   8 Currency i64 (the scaled integer)      9 Date f64 (serial date)
//   10 String      u32 length + bytes (any bytes, zeros included)
// Null and the empty text are different cells. A file that stops before
// its end record, or whose row count disagrees, is reported as damaged.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "engine/recordset.h"
#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

class TableFileWriter {
 public:
  // Creates (or replaces) the file and writes the column header.
  Status Open(const std::string& path, const std::vector<FieldInfo>& fields);
  // cells: one value per column, in column order.
  Status WriteRow(const Variant* cells, size_t count);
  // Writes the end record and closes; the file is complete only after this.
  Status Finish();
  uint64_t rows() const { return rows_; }

 private:
  Status Failed() const;
  std::ofstream out_;
  std::string path_;
  size_t columns_ = 0;
  uint64_t rows_ = 0;
};

// Saves a whole record set's columns and rows.
Status SaveTableFile(const std::string& path, const Recordset& rs);

class TableFileReader {
 public:
  // Opens the file and reads its column header.
  Status Open(const std::string& path);
  const std::vector<FieldInfo>& fields() const { return fields_; }
  // Reads the next row into cells; false at the (checked) end of the file.
  Result<bool> Next(std::vector<Variant>& cells);
  uint64_t rows() const { return rows_; }

 private:
  Status Damaged(const std::string& why) const;
  bool ReadBytes(void* data, size_t size);
  std::ifstream in_;
  std::string path_;
  std::vector<FieldInfo> fields_;
  uint64_t rows_ = 0;
  uint64_t size_ = 0;
  bool ended_ = false;
};

// Reads a file through to its end: the header, every cell and the end
// record. Fails with the reason when any part is damaged.
Result<uint64_t> CheckTableFile(const std::string& path, std::vector<FieldInfo>* fields);

}  // namespace dravmor
