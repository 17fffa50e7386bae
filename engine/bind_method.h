// Bind: a dispatch-table entry made from a member function. The C++
// parameter types decide how each converted argument is handed over
// (by value, or by reference for ByRef parameters); the ParamInfo list
// gives the interface names, types and defaults. Bind checks that the two
// agree, so a table that does not match its class fails when the registry
// is built, not at a caller's call.
#pragma once

#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/dispatch.h"

namespace dravmor {

namespace bind_detail {

template <typename T>
struct Arg;
template <> struct Arg<std::string> {
  static constexpr VarType kType = VarType::String;
  static std::string& Get(CallArgs& a, size_t i) { return a.Str(i); }
};
template <> struct Arg<int16_t> {
  static constexpr VarType kType = VarType::Integer;
  static int16_t& Get(CallArgs& a, size_t i) { return a.Integer(i); }
};
template <> struct Arg<int32_t> {
  static constexpr VarType kType = VarType::Long;
  static int32_t& Get(CallArgs& a, size_t i) { return a.Long(i); }
};
template <> struct Arg<uint8_t> {
  static constexpr VarType kType = VarType::Byte;
  static uint8_t& Get(CallArgs& a, size_t i) { return a.Byte(i); }
};
template <> struct Arg<float> {
  static constexpr VarType kType = VarType::Single;
  static float& Get(CallArgs& a, size_t i) { return a.Single(i); }
};
template <> struct Arg<double> {
  static constexpr VarType kType = VarType::Double;
  static double& Get(CallArgs& a, size_t i) { return a.Double(i); }
};
template <> struct Arg<Currency> {
  static constexpr VarType kType = VarType::Currency;
  static Currency& Get(CallArgs& a, size_t i) { return a.Cur(i); }
};
template <> struct Arg<Date> {
  static constexpr VarType kType = VarType::Date;
  static Date& Get(CallArgs& a, size_t i) { return a.DateArg(i); }
};
template <> struct Arg<bool> {
  static constexpr VarType kType = VarType::Boolean;
  static bool& Get(CallArgs& a, size_t i) { return a.Bool(i); }
};
template <> struct Arg<Variant> {
  static constexpr VarType kType = kVariant;
  static Variant& Get(CallArgs& a, size_t i) { return a.Var(i); }
};
template <> struct Arg<std::shared_ptr<Object>> {
  static constexpr VarType kType = VarType::Object;
  static std::shared_ptr<Object> Get(CallArgs& a, size_t i) { return a.Obj(i); }
};

template <typename P>
constexpr bool kByRef = std::is_lvalue_reference_v<P> &&
                        !std::is_const_v<std::remove_reference_t<P>>;

// The interface name of a method's result type ("" for none).
template <typename R>
std::string ResultName() {
  if constexpr (std::is_void_v<R>) return "";
  else if constexpr (std::is_same_v<R, RecordsetPtr>) return "Recordset";
  else if constexpr (std::is_same_v<R, Variant>) return "Variant";
  else return std::string(VarTypeName(Arg<R>::kType));
}

template <typename R>
Variant ToResult(R&& value) {
  if constexpr (std::is_same_v<std::decay_t<R>, RecordsetPtr>)
    return Variant(std::static_pointer_cast<Object>(value));
  else
    return Variant(std::forward<R>(value));
}

template <typename Class, typename R, typename... P, size_t... I>
Variant Call(Class& self, R (Class::*fn)(P...), CallArgs& a, std::index_sequence<I...>) {
  if constexpr (std::is_void_v<R>) {
    (self.*fn)(Arg<std::remove_cvref_t<P>>::Get(a, I)...);
    return Variant();
  } else {
    return ToResult((self.*fn)(Arg<std::remove_cvref_t<P>>::Get(a, I)...));
  }
}

}  // namespace bind_detail

template <typename Class, typename R, typename... P>
MethodInfo Bind(std::string name, R (Class::*fn)(P...), std::vector<ParamInfo> params) {
  constexpr VarType kTypes[] = {bind_detail::Arg<std::remove_cvref_t<P>>::kType..., VarType::Empty};
  constexpr bool kRefs[] = {bind_detail::kByRef<P>..., false};
  if (params.size() != sizeof...(P))
    throw std::logic_error(name + ": the table lists " + std::to_string(params.size()) +
                           " parameters, the method takes " + std::to_string(sizeof...(P)));
  for (size_t i = 0; i < params.size(); ++i)
    if (params[i].type != kTypes[i] || params[i].by_ref != kRefs[i])
      throw std::logic_error(name + ": parameter " + params[i].name +
                             " does not match the method's type");
  MethodInfo method;
  method.name = std::move(name);
  method.params = std::move(params);
  method.invoke = [fn](ServerObject& o, CallArgs& a) {
    return bind_detail::Call(static_cast<Class&>(o), fn, a, std::index_sequence_for<P...>{});
  };
  method.result = bind_detail::ResultName<std::remove_cvref_t<R>>();
  return method;
}

}  // namespace dravmor
