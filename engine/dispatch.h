// Dispatch tables: every server class lists its methods (name, typed
// parameters, by-reference flags, defaults) and events here, in place of
// late binding. Invoke converts the caller's Variants to the parameter
// types, calls the method, and writes by-reference arguments back. A call
// that cannot be made (unknown method, missing or ill-typed argument) and a
// method whose error mode passes failures to the caller give a Status.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/server_object.h"
#include "engine/variant.h"

namespace dravmor {

struct ParamInfo {
  std::string name;
  VarType type;  // Empty stands for Variant: the value passes unconverted
  bool by_ref = false;
  std::optional<Variant> default_value;  // set: the parameter is optional
};

// The arguments of one call, already converted to the parameter types, so
// a method reads (and, by reference, writes) them as plain C++ values.
class CallArgs {
 public:
  explicit CallArgs(std::vector<Variant> values) : values_(std::move(values)) {}
  std::string& Str(size_t i) { return values_[i].get<std::string>(); }
  int16_t& Integer(size_t i) { return values_[i].get<int16_t>(); }
  int32_t& Long(size_t i) { return values_[i].get<int32_t>(); }
  uint8_t& Byte(size_t i) { return values_[i].get<uint8_t>(); }
  float& Single(size_t i) { return values_[i].get<float>(); }
  double& Double(size_t i) { return values_[i].get<double>(); }
  Currency& Cur(size_t i) { return values_[i].get<Currency>(); }
  Date& DateArg(size_t i) { return values_[i].get<Date>(); }
  bool& Bool(size_t i) { return values_[i].get<bool>(); }
  Variant& Var(size_t i) { return values_[i]; }
  std::shared_ptr<Object> Obj(size_t i) {
    return values_[i].type() == VarType::Object ? values_[i].object() : nullptr;
  }
  std::vector<Variant>& values() { return values_; }

 private:
  std::vector<Variant> values_;
};

// A control of the caller's form that a method reads: control name, index
// in a control array, property, whether the property is read per list item
// (as "Selected"(i)), and the column or purpose the value goes to.
struct FormControlInfo {
  std::string control;
  std::optional<int> index;
  std::string property;
  bool per_item = false;
  std::string feeds;
};

struct MethodInfo {
  std::string name;
  std::vector<ParamInfo> params;
  std::function<Variant(ServerObject&, CallArgs&)> invoke;  // Empty: no result
  std::string result;                    // "" none, else a type name or "Recordset"
  ErrorMode error_mode = ErrorMode::Handler;
  std::vector<FormControlInfo> form;     // the controls of the form it reads
};

struct EventInfo {
  std::string name;
  int dispatch_id;
  std::vector<ParamInfo> params;
};

struct ClassInfo {
  std::string name;
  std::function<std::unique_ptr<ServerObject>()> create;
  std::vector<MethodInfo> methods;
  std::vector<EventInfo> events;

  const MethodInfo* FindMethod(std::string_view method) const;
  const EventInfo* FindEvent(std::string_view event) const;

  // Table annotations; an unknown method name fails when the registry is
  // built (std::logic_error), as a mismatched Bind does.
  // The methods whose error mode is not handler.
  void SetErrorMode(ErrorMode mode, std::initializer_list<std::string_view> methods);
  // The form controls a method reads.
  void SetForm(std::string_view method, std::vector<FormControlInfo> controls);
};

std::string_view ErrorModeName(ErrorMode mode);  // "handler", "resume next", ...

// Calls a method through its table. args holds the caller's values in
// parameter order (fewer than the parameters when the rest are optional);
// on return, by-reference parameters hold what the method left in them.
Result<Variant> Invoke(ServerObject& object, const MethodInfo& method,
                       std::vector<Variant>& args);

// Server classes, by name (letter case ignored). The library's full list is
// AllClasses() (api/all_classes.h).
class ClassRegistry {
 public:
  void Add(ClassInfo info);
  const ClassInfo* Find(std::string_view name) const;
  const std::vector<ClassInfo>& All() const { return classes_; }

 private:
  std::vector<ClassInfo> classes_;
};

// Builders that keep the class tables short.
// A form control: Control("txtinfo", 0, "Text", "BianMa"),
// Control("cmbLeiBie", {}, "ItemData", "LB_ID", /*per_item=*/true).
inline FormControlInfo Control(std::string control, std::optional<int> index,
                               std::string property, std::string feeds,
                               bool per_item = false) {
  return {std::move(control), index, std::move(property), per_item, std::move(feeds)};
}
inline constexpr VarType kVariant = VarType::Empty;
inline ParamInfo In(std::string name, VarType type) { return {std::move(name), type, false, {}}; }
inline ParamInfo InOpt(std::string name, VarType type, Variant def) {
  return {std::move(name), type, false, std::move(def)};
}
inline ParamInfo Ref(std::string name, VarType type) { return {std::move(name), type, true, {}}; }
inline ParamInfo RefOpt(std::string name, VarType type, Variant def) {
  return {std::move(name), type, true, std::move(def)};
}

// Accesserror(subID, ErrNum, ErrMsg, lngErrLine), dispatch id 1 everywhere.
EventInfo AccessErrorEvent(const char* line_name = "lngErrLine");

}  // namespace dravmor
