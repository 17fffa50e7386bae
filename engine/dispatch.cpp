#include "engine/dispatch.h"

#include <stdexcept>

#include "engine/text.h"

namespace dravmor {

const MethodInfo* ClassInfo::FindMethod(std::string_view method) const {
  for (const auto& m : methods)
    if (EqualsIgnoreCase(m.name, method)) return &m;
  return nullptr;
}

const EventInfo* ClassInfo::FindEvent(std::string_view event) const {
  for (const auto& e : events)
    if (EqualsIgnoreCase(e.name, event)) return &e;
  return nullptr;
}

namespace {

MethodInfo& Named(std::vector<MethodInfo>& methods, const std::string& class_name,
                  std::string_view method) {
  for (auto& m : methods)
    if (m.name == method) return m;
  throw std::logic_error(class_name + " has no method " + std::string(method) +
                         " to annotate");
}

}  // namespace

void ClassInfo::SetErrorMode(ErrorMode mode, std::initializer_list<std::string_view> names) {
  for (std::string_view method : names) Named(methods, name, method).error_mode = mode;
}

void ClassInfo::SetForm(std::string_view method, std::vector<FormControlInfo> controls) {
  Named(methods, name, method).form = std::move(controls);
}

std::string_view ErrorModeName(ErrorMode mode) {
  switch (mode) {
    case ErrorMode::Handler: return "handler";
    case ErrorMode::ResumeNext: return "resume next";
    case ErrorMode::None: return "none";
    case ErrorMode::SilentHandler: return "silent handler";
  }
  return "handler";
}

Result<Variant> Invoke(ServerObject& object, const MethodInfo& method,
                       std::vector<Variant>& args) {
  if (args.size() > method.params.size())
    return Status::Error(450, "Wrong number of arguments or invalid property "
                              "assignment: " + method.name);
  std::vector<Variant> converted;
  converted.reserve(method.params.size());
  for (size_t i = 0; i < method.params.size(); ++i) {
    const ParamInfo& p = method.params[i];
    bool given = i < args.size() && !args[i].IsEmpty();
    if (!given) {
      if (!p.default_value)
        return Status::Error(449, "Argument not optional: " + p.name);
      auto value = p.type == kVariant ? Result<Variant>(*p.default_value)
                                      : p.default_value->ConvertTo(p.type);
      if (!value.ok()) return value.status();
      converted.push_back(*value);
      continue;
    }
    if (p.type == kVariant) {
      converted.push_back(args[i]);
      continue;
    }
    auto value = args[i].ConvertTo(p.type);
    if (!value.ok())
      return Status::Error(value.status().number(),
                           value.status().text() + " (argument " + p.name + ")");
    converted.push_back(*value);
  }
  CallArgs call(std::move(converted));
  Variant result;
  try {
    result = method.invoke(object, call);
  } catch (const CallError& error) {
    return error.status();
  }
  for (size_t i = 0; i < args.size(); ++i)
    if (method.params[i].by_ref) args[i] = call.values()[i];
  return result;
}

EventInfo AccessErrorEvent(const char* line_name) {
  return {"Accesserror",
          1,
          {In("subID", VarType::String), In("ErrNum", VarType::Long),
           In("ErrMsg", VarType::String), In(line_name, VarType::Long)}};
}

void ClassRegistry::Add(ClassInfo info) { classes_.push_back(std::move(info)); }

const ClassInfo* ClassRegistry::Find(std::string_view name) const {
  for (const auto& c : classes_)
    if (EqualsIgnoreCase(c.name, name)) return &c;
  return nullptr;
}

}  // namespace dravmor
