#include "api/json_values.h"

#include <charconv>
#include <cmath>

#include "engine/memory_form.h"
#include "engine/numeric.h"

namespace dravmor::api {

namespace {

// The exact digits as a JSON number where a double carries them through a
// reader unchanged (up to 15 significant digits), else as text.
nlohmann::ordered_json CurrencyJson(Currency c) {
  if (c.IsWhole()) return c.scaled / Currency::kScale;
  const std::string text = c.ToText();
  const double value = c.ToDouble();
  if (ShortestDecimal(value) == text) return value;
  return text;
}

}  // namespace

nlohmann::ordered_json RecordsetToJson(const Recordset& rs, JsonStyle style) {
  nlohmann::ordered_json fields = nlohmann::ordered_json::array();
  nlohmann::ordered_json rows = nlohmann::ordered_json::array();
  if (!rs.IsOpen()) return {{"fields", fields}, {"rows", rows}, {"open", false}};
  const RowData& data = rs.Data();
  for (const FieldInfo& f : data.fields) {
    if (style == JsonStyle::Typed)
      fields.push_back({{"name", f.name}, {"type", f.type}});
    else
      fields.push_back(f.name);
  }
  size_t width = data.fields.size();
  for (size_t r = 0; r < data.RowCount(); ++r) {
    nlohmann::ordered_json row = nlohmann::ordered_json::array();
    for (size_t c = 0; c < width; ++c) row.push_back(ToJson(data.cells[r * width + c], style));
    rows.push_back(std::move(row));
  }
  return {{"fields", fields}, {"rows", rows}};
}

nlohmann::ordered_json ToJson(const Variant& value, JsonStyle style) {
  switch (value.type()) {
    case VarType::Empty:
    case VarType::Null: return nullptr;
    case VarType::Integer: return value.integer();
    case VarType::Long: return value.long_value();
    case VarType::Byte: return value.byte();
    // The digits a Single shows (0.85, not the double it widens to).
    case VarType::Single: {
      const std::string digits = ShortestDecimal(value.single());
      double shown = value.single();
      std::from_chars(digits.data(), digits.data() + digits.size(), shown);
      return shown;
    }
    case VarType::Double: return value.double_value();
    case VarType::Currency: return CurrencyJson(value.currency());
    case VarType::Date: return value.date().ToText();
    case VarType::String: return value.str();
    case VarType::Boolean: return value.boolean();
    case VarType::Object: {
      if (auto rs = value.ObjectAs<Recordset>()) return RecordsetToJson(*rs, style);
      if (auto tree = value.ObjectAs<MemoryTree>()) return tree->ToJson();
      if (!value.object()) return nullptr;
      return "[" + std::string(value.object()->TypeName()) + "]";
    }
  }
  return nullptr;
}

Result<Variant> FromJson(const nlohmann::ordered_json& value) {
  if (value.is_null()) return Variant(Null{});
  if (value.is_boolean()) return Variant(value.get<bool>());
  if (value.is_number_integer()) {
    long long n = value.get<long long>();
    if (n >= INT32_MIN && n <= INT32_MAX) return Variant(static_cast<int32_t>(n));
    return Variant(static_cast<double>(n));
  }
  if (value.is_number()) return Variant(value.get<double>());
  if (value.is_string()) return Variant(value.get<std::string>());
  return Status::Error(ErrorCode::kTypeMismatch,
                       std::string("Type mismatch: a JSON ") +
                           (value.is_array() ? "array" : "object") + " is no argument value");
}

Result<nlohmann::ordered_json> ParseJson(std::string_view text) {
  try {
    return nlohmann::ordered_json::parse(text);
  } catch (const nlohmann::ordered_json::exception& e) {
    // "[json.exception.parse_error.101] parse error at line 3, column 3: ..."
    std::string what = e.what();
    if (size_t bracket = what.find("] "); what.starts_with("[json.") && bracket != std::string::npos)
      what.erase(0, bracket + 2);
    return Status::Error(ErrorCode::kTypeMismatch, "not valid JSON: " + what);
  }
}

std::string Line(const nlohmann::ordered_json& value) {
  return value.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

}  // namespace dravmor::api
