#include "engine/variant.h"

#include <cmath>
#include <charconv>
#include <limits>

#include "engine/dialect/dates.h"
#include "engine/numeric.h"

namespace dravmor {

namespace {

Status Mismatch() { return Status::Error(ErrorCode::kTypeMismatch, "Type mismatch"); }
Status Overflow() { return Status::Error(ErrorCode::kOverflow, "Overflow"); }

}  // namespace

std::string_view VarTypeName(VarType type) {
  static constexpr std::string_view kNames[] = {
      "Empty", "Null",     "Integer", "Long",   "Byte",    "Single",
      "Double", "Currency", "Date",    "String", "Boolean", "Object"};
  return kNames[static_cast<int>(type)];
}

Result<Currency> Currency::FromDouble(double value) {
  double scaled = std::nearbyint(value * kScale);
  if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2e18) return Overflow();
  return Currency{static_cast<int64_t>(scaled)};
}

std::string Currency::ToText() const {
  uint64_t magnitude = scaled < 0 ? 0 - static_cast<uint64_t>(scaled)
                                  : static_cast<uint64_t>(scaled);
  char buf[32];
  char* end = buf;
  if (scaled < 0) *end++ = '-';
  end = std::to_chars(end, buf + sizeof buf, magnitude / kScale).ptr;
  std::string text(buf, end);
  if (uint64_t fraction = magnitude % kScale; fraction != 0) {
    std::string digits = "0000";
    for (int i = 3; i >= 0; --i, fraction /= 10) digits[static_cast<size_t>(i)] = static_cast<char>('0' + fraction % 10);
    while (digits.back() == '0') digits.pop_back();
    text += "." + digits;
  }
  return text;
}

Date Date::FromCivil(int year, int month, int day, int hour, int minute,
                     int second) {
  return Date{dialect::ToSerial({year, month, day, hour, minute, second})};
}

Result<Date> Date::Parse(std::string_view text) {
  auto civil = dialect::ParseDateText(text);
  if (!civil) return Mismatch();
  return Date{dialect::ToSerial(*civil)};
}

std::string Date::ToText() const {
  auto civil = dialect::FromSerial(serial);
  return civil ? dialect::CanonicalDate(*civil) : std::string();
}

bool Variant::IsNumeric() const {
  switch (type()) {
    case VarType::Integer: case VarType::Long: case VarType::Byte:
    case VarType::Single: case VarType::Double: case VarType::Currency:
    case VarType::Boolean:
      return true;
    default:
      return false;
  }
}

Result<double> Variant::ToDouble() const {
  switch (type()) {
    case VarType::Empty: return 0.0;
    case VarType::Integer: return static_cast<double>(integer());
    case VarType::Long: return static_cast<double>(long_value());
    case VarType::Byte: return static_cast<double>(byte());
    case VarType::Single: return static_cast<double>(single());
    case VarType::Double: return double_value();
    case VarType::Currency: return currency().ToDouble();
    case VarType::Date: return date().serial;
    case VarType::Boolean: return boolean() ? -1.0 : 0.0;
    case VarType::String: {
      auto parsed = ParseNumber(str());
      if (!parsed) return Mismatch();
      return *parsed;
    }
    default: return Mismatch();
  }
}

Result<int64_t> Variant::ToInt64() const {
  if (type() == VarType::Currency) {
    Currency c = currency();
    // Round half to even on the scaled value.
    int64_t whole = c.scaled / Currency::kScale;
    int64_t rest = c.scaled % Currency::kScale;
    int64_t twice = rest * 2;
    if (twice > Currency::kScale || (twice == Currency::kScale && (whole & 1))) ++whole;
    if (twice < -Currency::kScale || (twice == -Currency::kScale && (whole & 1))) --whole;
    return whole;
  }
  auto d = ToDouble();
  if (!d.ok()) return d.status();
  double r = std::nearbyint(*d);  // default rounding mode: half to even
  if (!std::isfinite(r) || std::fabs(r) >= 9.2e18) return Overflow();
  return static_cast<int64_t>(r);
}

Result<Currency> Variant::ToCurrency() const {
  switch (type()) {
    case VarType::Currency: return currency();
    case VarType::Integer: return Currency::FromWhole(integer());
    case VarType::Long: return Currency::FromWhole(long_value());
    case VarType::Byte: return Currency::FromWhole(byte());
    case VarType::Boolean: return Currency::FromWhole(boolean() ? -1 : 0);
    case VarType::Single: {
      // The digits the Single shows (1234.56), not those of the double it
      // widens to (1234.5600586...), which would round to 1234.5601.
      auto shown = ParseNumber(ShortestDecimal(single()));
      if (!shown) return Mismatch();
      return Currency::FromDouble(*shown);
    }
    default: {
      auto d = ToDouble();
      if (!d.ok()) return d.status();
      return Currency::FromDouble(*d);
    }
  }
}

Result<bool> Variant::ToBool() const {
  if (type() == VarType::Boolean) return boolean();
  if (type() == VarType::String) {
    if (str() == "True" || str() == "true") return true;
    if (str() == "False" || str() == "false") return false;
  }
  auto d = ToDouble();
  if (!d.ok()) return d.status();
  return *d != 0;
}

std::string Variant::ToText() const {
  switch (type()) {
    case VarType::Empty: case VarType::Null: return "";
    case VarType::Integer: return std::to_string(integer());
    case VarType::Long: return std::to_string(long_value());
    case VarType::Byte: return std::to_string(byte());
    case VarType::Single: return ShortestDecimal(single());
    case VarType::Double: return ShortestDecimal(double_value());
    case VarType::Currency: return currency().ToText();
    case VarType::Date: return date().ToText();
    case VarType::String: return str();
    case VarType::Boolean: return boolean() ? "True" : "False";
    case VarType::Object: return "[" + std::string(object() ? object()->TypeName() : "Nothing") + "]";
  }
  return "";
}

Result<Variant> Variant::ConvertTo(VarType target) const {
  if (target == type()) return *this;
  auto whole = [&](int64_t lo, int64_t hi) -> Result<int64_t> {
    auto v = ToInt64();
    if (!v.ok()) return v.status();
    if (*v < lo || *v > hi) return Overflow();
    return *v;
  };
  switch (target) {
    case VarType::Empty: return Variant();
    case VarType::Null: return Variant(Null{});
    case VarType::Integer: {
      auto v = whole(-32768, 32767);
      if (!v.ok()) return v.status();
      return Variant(static_cast<int16_t>(*v));
    }
    case VarType::Long: {
      auto v = whole(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
      if (!v.ok()) return v.status();
      return Variant(static_cast<int32_t>(*v));
    }
    case VarType::Byte: {
      auto v = whole(0, 255);
      if (!v.ok()) return v.status();
      return Variant(static_cast<uint8_t>(*v));
    }
    case VarType::Single: {
      auto d = ToDouble();
      if (!d.ok()) return d.status();
      if (std::fabs(*d) > std::numeric_limits<float>::max()) return Overflow();
      return Variant(static_cast<float>(*d));
    }
    case VarType::Double: {
      auto d = ToDouble();
      if (!d.ok()) return d.status();
      return Variant(*d);
    }
    case VarType::Currency: {
      auto c = ToCurrency();
      if (!c.ok()) return c.status();
      return Variant(*c);
    }
    case VarType::Date: {
      if (type() == VarType::String) {
        auto parsed = Date::Parse(str());
        if (!parsed.ok()) return parsed.status();
        return Variant(*parsed);
      }
      auto d = ToDouble();
      if (!d.ok()) return d.status();
      return Variant(Date{*d});
    }
    case VarType::String:
      if (type() == VarType::Object) return Mismatch();
      return Variant(ToText());
    case VarType::Boolean: {
      auto b = ToBool();
      if (!b.ok()) return b.status();
      return Variant(*b);
    }
    case VarType::Object:
      if (type() == VarType::Empty || type() == VarType::Null)
        return Variant(std::shared_ptr<Object>());
      return Status::Error(ErrorCode::kObjectRequired, "Object required");
  }
  return Mismatch();
}

bool Variant::operator==(const Variant& other) const { return v_ == other.v_; }

}  // namespace dravmor
