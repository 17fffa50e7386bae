#include "cli/class_listing.h"

#include "api/all_classes.h"
#include "api/json_values.h"

namespace dravmor::cli {

namespace {

using Json = nlohmann::ordered_json;

std::string TypeName(VarType type) {
  return type == kVariant ? "Variant" : std::string(VarTypeName(type));
}

std::string Signature(const std::vector<ParamInfo>& params) {
  std::string text = "(";
  for (size_t i = 0; i < params.size(); ++i) {
    const ParamInfo& p = params[i];
    if (i) text += ", ";
    if (p.default_value) text += "Optional ";
    text += p.by_ref ? "ByRef " : "";
    text += p.name + " As " + TypeName(p.type);
    if (p.default_value && !p.default_value->IsEmpty())
      text += " = " + (p.default_value->type() == VarType::String
                           ? "\"" + p.default_value->ToText() + "\""
                           : p.default_value->ToText());
  }
  return text + ")";
}

Json ParamsJson(const std::vector<ParamInfo>& params) {
  Json list = Json::array();
  for (const ParamInfo& p : params) {
    Json param = {{"name", p.name}, {"type", TypeName(p.type)}, {"byref", p.by_ref},
                  {"optional", p.default_value.has_value()}};
    if (p.default_value) param["default"] = api::ToJson(*p.default_value);
    list.push_back(std::move(param));
  }
  return list;
}

Json FormJson(const std::vector<FormControlInfo>& controls) {
  Json list = Json::array();
  for (const FormControlInfo& c : controls)
    list.push_back({{"control", c.control},
                    {"index", c.index ? Json(*c.index) : Json()},
                    {"property", c.property},
                    {"per_item", c.per_item},
                    {"feeds", c.feeds}});
  return list;
}

}  // namespace

std::string ClassesText() {
  std::string text;
  for (const ClassInfo& c : AllClasses().All()) {
    text += c.name + "\n";
    for (const MethodInfo& m : c.methods) {
      text += "  " + m.name + Signature(m.params);
      if (!m.result.empty()) text += " As " + m.result;
      text += "  [" + std::string(ErrorModeName(m.error_mode)) + "]\n";
      for (const FormControlInfo& f : m.form)
        text += "    form " + f.control + (f.index ? "(" + std::to_string(*f.index) + ")" : "") +
                "." + f.property + (f.per_item ? "(i)" : "") + " -> " + f.feeds + "\n";
    }
    for (const EventInfo& e : c.events)
      text += "  event " + e.name + Signature(e.params) + " [" + std::to_string(e.dispatch_id) + "]\n";
  }
  return text;
}

Json ClassesJson() {
  Json classes = Json::array();
  for (const ClassInfo& c : AllClasses().All()) {
    Json methods = Json::array(), events = Json::array();
    for (const MethodInfo& m : c.methods)
      methods.push_back({{"name", m.name},
                         {"params", ParamsJson(m.params)},
                         {"result", m.result.empty() ? Json() : Json(m.result)},
                         {"error_mode", ErrorModeName(m.error_mode)},
                         {"form", FormJson(m.form)}});
    for (const EventInfo& e : c.events)
      events.push_back({{"name", e.name}, {"id", e.dispatch_id}, {"params", ParamsJson(e.params)}});
    classes.push_back({{"name", c.name}, {"methods", methods}, {"events", events}});
  }
  return {{"version", "2.0.0"}, {"classes", classes}};
}

}  // namespace dravmor::cli
