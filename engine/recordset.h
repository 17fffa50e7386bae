// Recordset: the rows of one SELECT as the engine hands them out. It is
// client-side and forward-only: the backend delivers every row when the set
// is opened; the caller then walks it with EOF/BOF/MoveNext and reads fields
// by name (letter case ignored) or by 0-based position. A Recordset may be
// created unopened (a query whose SELECT failed hands out such a one); every
// read on it fails with 3704. The engine never writes through a Recordset.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/status.h"
#include "engine/variant.h"

namespace dravmor {

// ADO field type numbers, as callers of such an engine read `Field.Type`.
namespace FieldType {
constexpr int kSmallInt = 2, kInteger = 3, kSingle = 4, kDouble = 5,
              kCurrency = 6, kDate = 7, kBoolean = 11, kUnsignedTinyInt = 17,
              kBigInt = 20, kVarWChar = 202, kLongVarWChar = 203;
}

struct FieldInfo {
  std::string name;
  int type = FieldType::kVarWChar;
};

// What a backend delivers for one SELECT: the columns and every row's cells,
// row after row.
struct RowData {
  std::vector<FieldInfo> fields;
  std::vector<Variant> cells;  // rows * fields.size()
  size_t RowCount() const { return fields.empty() ? 0 : cells.size() / fields.size(); }
};

class Recordset : public Object {
 public:
  Recordset() = default;
  explicit Recordset(RowData data) { Open(std::move(data)); }
  std::string_view TypeName() const override { return "Recordset"; }

  void Open(RowData data);
  bool IsOpen() const { return open_; }
  // The SQL text it was opened on (as the caller built it), for messages.
  const std::string& Source() const { return source_; }
  void SetSource(std::string text) { source_ = std::move(text); }

  // Fields.
  size_t Count() const { return data_.fields.size(); }
  Result<std::string> Name(size_t index) const;
  Result<int> Type(size_t index) const;
  Result<int> IndexOf(std::string_view name) const;  // 3265 when missing
  Result<Variant> Value(size_t index) const;
  Result<Variant> Value(std::string_view name) const;

  // Cursor.
  Result<bool> Eof() const;
  Result<bool> Bof() const;
  Status MoveNext();
  // Both flags set: the set has no row at all.
  bool IsEmpty() const { return open_ && data_.RowCount() == 0; }
  size_t RowCount() const { return data_.RowCount(); }
  size_t Position() const { return row_; }
  const RowData& Data() const { return data_; }

 private:
  Status CheckOpen() const;
  Status CheckRow() const;

  bool open_ = false;
  RowData data_;
  size_t row_ = 0;
  std::string source_;
};

using RecordsetPtr = std::shared_ptr<Recordset>;

}  // namespace dravmor
