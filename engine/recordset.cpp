#include "engine/recordset.h"

#include "engine/text.h"

namespace dravmor {

void Recordset::Open(RowData data) {
  data_ = std::move(data);
  row_ = 0;
  open_ = true;
}

Status Recordset::CheckOpen() const {
  if (!open_)
    return Status::Error(ErrorCode::kNotOpen,
                         "Operation is not allowed when the object is closed.");
  return Status::Ok();
}

Status Recordset::CheckRow() const {
  Status s = CheckOpen();
  if (!s.ok()) return s;
  if (row_ >= data_.RowCount())
    return Status::Error(ErrorCode::kNoCurrentRow,
                         "Either BOF or EOF is True, or the current record has "
                         "been deleted.");
  return Status::Ok();
}

Result<std::string> Recordset::Name(size_t index) const {
  if (Status s = CheckOpen(); !s.ok()) return s;
  if (index >= data_.fields.size())
    return Status::Error(ErrorCode::kNoSuchField,
                         "Item cannot be found in the collection.");
  return data_.fields[index].name;
}

Result<int> Recordset::Type(size_t index) const {
  if (Status s = CheckOpen(); !s.ok()) return s;
  if (index >= data_.fields.size())
    return Status::Error(ErrorCode::kNoSuchField,
                         "Item cannot be found in the collection.");
  return data_.fields[index].type;
}

Result<int> Recordset::IndexOf(std::string_view name) const {
  if (Status s = CheckOpen(); !s.ok()) return s;
  for (size_t i = 0; i < data_.fields.size(); ++i)
    if (EqualsIgnoreCase(data_.fields[i].name, name)) return static_cast<int>(i);
  return Status::Error(ErrorCode::kNoSuchField,
                       "Item cannot be found in the collection: " + std::string(name));
}

Result<Variant> Recordset::Value(size_t index) const {
  if (Status s = CheckRow(); !s.ok()) return s;
  if (index >= data_.fields.size())
    return Status::Error(ErrorCode::kNoSuchField,
                         "Item cannot be found in the collection.");
  return data_.cells[row_ * data_.fields.size() + index];
}

Result<Variant> Recordset::Value(std::string_view name) const {
  auto index = IndexOf(name);
  if (!index.ok()) return index.status();
  return Value(static_cast<size_t>(*index));
}

Result<bool> Recordset::Eof() const {
  if (Status s = CheckOpen(); !s.ok()) return s;
  return row_ >= data_.RowCount();
}

Result<bool> Recordset::Bof() const {
  if (Status s = CheckOpen(); !s.ok()) return s;
  // Forward-only: before the first row only when there is no row at all.
  return data_.RowCount() == 0;
}

Status Recordset::MoveNext() {
  if (Status s = CheckRow(); !s.ok()) return s;
  ++row_;
  return Status::Ok();
}

}  // namespace dravmor
