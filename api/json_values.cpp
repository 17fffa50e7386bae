#include "cli/json_values.h"

#include "engine/numeric.h"

#include <cmath>

#include "engine/memory_form.h"

namespace dravmor::cli {

nlohmann::ordered_json RecordsetToJson(const Recordset& rs) {
  nlohmann::ordered_json fields = nlohmann::ordered_json::array();
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  if (!rs.IsOpen()) return {{"fields", fields}, {"rows", rows}, {"open", false}};
  const RowData& data = rs.Data();
  for (const FieldInfo& f : data.fields) fields.push_back(f.name);
  size_t width = data.fields.size();
  for (size_t r = 0; r < data.RowCount(); ++r) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (size_t c = 0; c < width; ++c) row.push_back(ToJson(data.cells[r * width + c]));
    rows.push_back(std::move(row));
  }
  return {{"fields", fields}, {"rows", rows}};
}

nlohmann::ordered_json ToJson(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null: return nullptr;
    case VarType::Integer: return value.integer();
    case VarType::Long: return value.long_value();
    case VarType::Byte: return value.byte();
    // The digits a Single shows (0.85, not the double it widens to).
    case VarType::Single: return std::stod(ShortestDecimal(value.single()));
    case VarType::Double: return value.double_value();
    case VarType::Currency: {
      Currency c = value.currency();
      if (c.IsWhole()) return c.scaled / Currency::kScale;
      return nlohmann::ordered_json::parse(c.ToText());
    }
    case VarType::Date: return value.date().ToText();
    case VarType::String: return value.str();
    case VarType::Boolean: return value.boolean();
    case VarType::Object: {
      if (auto rs = value.ObjectAs<Recordset>()) return RecordsetToJson(*rs);
      if (auto tree = value.ObjectAs<MemoryTree>()) return tree->ToJson();
      if (!value.object()) return nullptr;
      return "[" + std::string(value.object()->TypeName()) + "]";
    }
  }
  return nullptr;
}

Variant FromJson(const nlohmann::ordered_json& value) {
  if (value.is_null()) return Variant(Null{});
  if (value.is_boolean()) return Variant(value.get<bool>());
  if (value.is_number_integer()) {
    long long n = value.get<long long>();
    if (n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int32_t>(n));
    return Variant(static_cast<double>(n));
  }
  if (value.is_number()) return Variant(value.get<double>());
  if (value.is_string()) return Variant(value.get<std::string>());
  return Variant(value.dump());
}

std::string Line(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace dravmor::cli
