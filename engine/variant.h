// Variant: the value type that crosses the engine's interface, one of the
// automation value kinds (Integer, Long, Byte, Single, Double, Currency,
// Date, String, Boolean, Null, Empty, Object). Currency is a 64-bit integer
// scaled by 10,000; Date is the automation serial date (days since
// 1899-12-30, fraction = time of day). Conversions never throw: they return
// a Result whose failure carries the automation error number (13, 6).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "engine/status.h"

namespace dravmor {

enum class VarType {
  Empty, Null, Integer, Long, Byte, Single, Double, Currency, Date, String,
  Boolean, Object
};
std::string_view VarTypeName(VarType type);

struct Null {
  bool operator==(const Null&) const = default;
};

struct Currency {
  static constexpr int64_t kScale = 10000;
  int64_t scaled = 0;

  static Currency FromWhole(int64_t whole) { return Currency{whole * kScale}; }
  // Rounds to the nearest ten-thousandth; fails on overflow.
  static Result<Currency> FromDouble(double value);
  double ToDouble() const { return static_cast<double>(scaled) / kScale; }
  bool IsWhole() const { return scaled % kScale == 0; }
  // Plain decimal text as written into SQL: "42", "-3.5", "0.0001".
  std::string ToText() const;
  bool operator==(const Currency&) const = default;
  auto operator<=>(const Currency&) const = default;
};

struct Date {
  double serial = 0;  // days since 1899-12-30
  // Accepts the date texts Jet reads: "2026-12-06", "2026/12/6 14:30",
  // "12/6/2026" (month first), with an optional time.
  static Result<Date> Parse(std::string_view text);
  static Date FromCivil(int year, int month, int day, int hour = 0,
                        int minute = 0, int second = 0);
  // "YYYY-MM-DD HH:MM:SS", the form the engine stores.
  std::string ToText() const;
  bool operator==(const Date&) const = default;
};

// Anything a caller hands in or gets back by reference that is not a plain
// value: a Recordset, a form, a tree control or one of its nodes.
class Object {
 public:
  virtual ~Object() = default;
  virtual std::string_view TypeName() const = 0;
};

class Variant {
 public:
  Variant() = default;  // Empty
  Variant(Null) : v_(Null{}) {}
  Variant(int16_t x) : v_(x) {}
  Variant(int32_t x) : v_(x) {}
  Variant(uint8_t x) : v_(x) {}
  Variant(float x) : v_(x) {}
  Variant(double x) : v_(x) {}
  Variant(Currency x) : v_(x) {}
  Variant(Date x) : v_(x) {}
  Variant(std::string x) : v_(std::move(x)) {}
  Variant(std::string_view x) : v_(std::string(x)) {}
  Variant(const char* x) : v_(std::string(x)) {}
  Variant(bool x) : v_(x) {}
  Variant(std::shared_ptr<Object> x) : v_(std::move(x)) {}
  template <typename T, typename = std::enable_if_t<std::is_base_of_v<Object, T>>>
  Variant(std::shared_ptr<T> x) : v_(std::static_pointer_cast<Object>(std::move(x))) {}

  VarType type() const { return static_cast<VarType>(v_.index()); }
  bool IsEmpty() const { return type() == VarType::Empty; }
  bool IsNull() const { return type() == VarType::Null; }
  bool IsNumeric() const;

  // Direct access; the caller has checked type().
  int16_t integer() const { return std::get<int16_t>(v_); }
  int32_t long_value() const { return std::get<int32_t>(v_); }
  uint8_t byte() const { return std::get<uint8_t>(v_); }
  float single() const { return std::get<float>(v_); }
  double double_value() const { return std::get<double>(v_); }
  Currency currency() const { return std::get<Currency>(v_); }
  Date date() const { return std::get<Date>(v_); }
  const std::string& str() const { return std::get<std::string>(v_); }
  std::string& str() { return std::get<std::string>(v_); }
  bool boolean() const { return std::get<bool>(v_); }
  const std::shared_ptr<Object>& object() const {
    return std::get<std::shared_ptr<Object>>(v_);
  }
  // The stored value of kind T by reference (typed by-reference arguments
  // are bound this way); the caller has checked type().
  template <typename T>
  T& get() { return std::get<T>(v_); }
  template <typename T>
  std::shared_ptr<T> ObjectAs() const {
    if (type() != VarType::Object) return nullptr;
    return std::dynamic_pointer_cast<T>(object());
  }

  // Automation-style conversions (a text converts when it is a number).
  Result<double> ToDouble() const;
  Result<int64_t> ToInt64() const;  // rounds half to even, as CLng does
  Result<Currency> ToCurrency() const;
  Result<bool> ToBool() const;
  // Text as CStr gives it; Null and Empty give "".
  std::string ToText() const;
  // Converts to the given kind (used for typed parameters); fails with 13
  // (type mismatch) or 6 (overflow).
  Result<Variant> ConvertTo(VarType target) const;

  bool operator==(const Variant& other) const;

 private:
  std::variant<std::monostate, Null, int16_t, int32_t, uint8_t, float, double,
               Currency, Date, std::string, bool, std::shared_ptr<Object>>
      v_;
};

}  // namespace dravmor
