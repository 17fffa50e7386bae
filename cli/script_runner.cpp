#include "cli/script_runner.h"

#include <ostream>

#include "api/json_values.h"
#include "api/object_session.h"

namespace dravmor::cli {

namespace {

using api::Line;
using api::ToJson;

// Prints what the engine raises while a step runs, one line each.
class PrintingListener : public api::StepListener {
 public:
  explicit PrintingListener(std::ostream& out) : out_(out) {}
  void OnEvent(const std::string& object, std::string_view event,
               const std::vector<Variant>& args) override {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Variant& a : args) list.push_back(ToJson(a));
    out_ << Line({{"object", object}, {"event", event}, {"args", list}}) << std::endl;
  }
  void OnPrompt(const std::string& object, const PromptRequest& request,
                const std::string& answer) override {
    nlohmann::ordered_json prompt = {{"title", request.title}, {"text", request.text}};
    prompt["answer"] = answer.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(answer);
    out_ << Line({{"object", object}, {"prompt", prompt}}) << std::endl;
  }

 private:
  std::ostream& out_;
};

Status StepError(size_t index, const Status& why) {
  return Status::Error(why.number(), "step " + std::to_string(index + 1) + ": " + why.text());
}

}  // namespace

ScriptResult RunScript(const nlohmann::ordered_json& script, const std::string& connection,
                       std::ostream& out) {
  ScriptResult result;
  if (!script.is_array()) {
    result.status = Status::Error(ErrorCode::kBadArgument, "a script is a JSON array of steps");
    return result;
  }
  api::ObjectSession session(connection);
  PrintingListener listener(out);
  for (size_t i = 0; i < script.size(); ++i) {
    auto ran = session.Run(script[i], listener);
    if (!ran.ok()) {
      result.status = StepError(i, ran.status());
      return result;
    }
    const api::StepOutcome& step = *ran;
    if (step.kind != api::StepOutcome::Kind::Call) continue;
    result.access_errors += step.access_errors;
    if (!step.failure.ok()) {
      ++result.call_errors;
      out << Line({{"object", step.object},
                   {"call", step.method->name},
                   {"error", {{"number", step.failure.number()}, {"text", step.failure.text()}}}})
          << std::endl;
      continue;
    }
    nlohmann::ordered_json byref = nlohmann::ordered_json::array();
    for (const auto& [name, value] : step.byref) byref.push_back(ToJson(value));
    nlohmann::ordered_json line = {{"object", step.object}, {"return", ToJson(step.returned)}};
    if (!byref.empty()) line["byref"] = byref;
    out << Line(line) << std::endl;
    for (const auto& tree : step.trees)
      out << Line({{"object", step.object}, {"tree", tree->ToJson()}}) << std::endl;
    if (step.connect_failed) {
      result.status = StepError(
          i, Status::Error(ErrorCode::kConnection,
                           "Connect failed: " + (step.first_access_error.ok()
                                                     ? std::string("the database is not open")
                                                     : step.first_access_error.text())));
      return result;
    }
  }
  return result;
}

}  // namespace dravmor::cli
