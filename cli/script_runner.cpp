#include "cli/script_runner.h"

#include <map>
#include <memory>
#include <ostream>

#include "cli/json_values.h"
#include "engine/dispatch.h"
#include "engine/memory_form.h"
#include "engine/prompt.h"

namespace dravmor::cli {

namespace {

// Prints every event of one script object as a JSON line.
class PrintingSink : public EventSink {
 public:
  PrintingSink(std::string object, std::ostream& out)
      : object_(std::move(object)), out_(out) {}
  void OnEvent(std::string_view, std::string_view event,
               std::vector<Variant>& args) override {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const Variant& a : args) list.push_back(ToJson(a));
    out_ << Line({{"object", object_}, {"event", event}, {"args", list}}) << "\n";
  }

 private:
  std::string object_;
  std::ostream& out_;
};

// Answers the engine's questions from a step's "answers" list, in order, and
// prints each prompt. A question the step did not answer is the step's
// error: a script never gets a silent default. Messages need no answer.
class ScriptedPrompter : public Prompter {
 public:
  ScriptedPrompter(std::string object, std::vector<std::string> answers, std::ostream& out)
      : object_(std::move(object)), answers_(std::move(answers)), out_(out) {}

  PromptAnswer Ask(const PromptRequest& request) override {
    PromptAnswer answer = PromptAnswer::Ok;
    std::string answer_text = "ok";
    if (request.style == PromptStyle::YesNo) {
      if (next_ < answers_.size()) {
        answer_text = answers_[next_++];
        answer = answer_text == "yes" ? PromptAnswer::Yes : PromptAnswer::No;
      } else {
        ++unanswered_;
        answer = PromptAnswer::No;
        answer_text = "";
      }
    }
    nlohmann::ordered_json prompt = {{"title", request.title}, {"text", request.text}};
    prompt["answer"] = answer_text.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(answer_text);
    out_ << Line({{"object", object_}, {"prompt", prompt}}) << "\n";
    return answer;
  }

  // Empty when every question had its answer and every answer was used.
  std::string Problem() const {
    if (unanswered_)
      return std::to_string(unanswered_) + " question(s) had no scripted answer";
    if (next_ < answers_.size())
      return std::to_string(answers_.size() - next_) + " scripted answer(s) were not asked for";
    return "";
  }

 private:
  std::string object_;
  std::vector<std::string> answers_;
  size_t next_ = 0;
  int unanswered_ = 0;
  std::ostream& out_;
};

Result<std::vector<std::string>> StepAnswers(const nlohmann::ordered_json& step) {
  std::vector<std::string> answers;
  if (!step.contains("answers")) return answers;
  const auto& list = step["answers"];
  if (!list.is_array()) return Status::Error(ErrorCode::kBadArgument, "answers must be an array");
  for (const auto& a : list) {
    if (a != "yes" && a != "no")
      return Status::Error(ErrorCode::kBadArgument, "an answer is \"yes\" or \"no\"");
    answers.push_back(a.get<std::string>());
  }
  return answers;
}

struct ScriptObject {
  const ClassInfo* info;
  std::unique_ptr<ServerObject> object;
  std::unique_ptr<PrintingSink> sink;
};

Status BadStep(size_t index, const std::string& why) {
  return Status::Error(ErrorCode::kBadArgument,
                       "step " + std::to_string(index + 1) + ": " + why);
}

std::shared_ptr<MemoryForm> BuildForm(const nlohmann::ordered_json& form) {
  auto memory = std::make_shared<MemoryForm>();
  for (auto& [key, value] : form.items()) memory->Set(key, FromJson(value));
  return memory;
}

}  // namespace

ScriptResult RunScript(const nlohmann::ordered_json& script, const std::string& connection,
                       std::ostream& out) {
  ScriptResult result;
  if (!script.is_array()) {
    result.status = Status::Error(ErrorCode::kBadArgument, "a script is a JSON array of steps");
    return result;
  }
  std::map<std::string, ScriptObject> objects;
  for (size_t i = 0; i < script.size(); ++i) {
    const nlohmann::ordered_json& step = script[i];
    if (!step.is_object()) {
      result.status = BadStep(i, "not an object");
      return result;
    }
    if (step.contains("new")) {
      std::string name = step.value("new", "");
      std::string class_name = step.value("class", "");
      const ClassInfo* info = ClassRegistry::Instance().Find(class_name);
      if (!info) {
        result.status = BadStep(i, "no class named '" + class_name + "'");
        return result;
      }
      ScriptObject entry{info, info->create(), std::make_unique<PrintingSink>(name, out)};
      entry.object->SetEventSink(entry.sink.get());
      objects[name] = std::move(entry);
      continue;
    }
    std::string call = step.value("call", "");
    size_t dot = call.find('.');
    if (dot == std::string::npos) {
      result.status = BadStep(i, "expected \"new\" or \"call\":\"object.Method\"");
      return result;
    }
    std::string name = call.substr(0, dot), method_name = call.substr(dot + 1);
    auto found = objects.find(name);
    if (found == objects.end()) {
      result.status = BadStep(i, "no object named '" + name + "'");
      return result;
    }
    ScriptObject& target = found->second;
    const MethodInfo* method = target.info->FindMethod(method_name);
    if (!method) {
      result.status = BadStep(i, target.info->name + " has no method '" + method_name + "'");
      return result;
    }
    nlohmann::ordered_json json_args = step.value("args", nlohmann::ordered_json::array());
    if (!json_args.is_array() || json_args.size() > method->params.size()) {
      result.status = BadStep(i, "args must be an array of at most " +
                                     std::to_string(method->params.size()) + " values");
      return result;
    }
    std::shared_ptr<MemoryForm> form;
    if (step.contains("form")) form = BuildForm(step["form"]);
    std::vector<std::shared_ptr<MemoryTree>> trees;
    std::vector<Variant> args;
    for (const auto& a : json_args) {
      if (a == "$form") {
        if (!form) form = std::make_shared<MemoryForm>();
        args.push_back(Variant(form));
      } else if (a == "$connection") {
        // The driver's database, for methods that open one of their own.
        args.push_back(Variant(connection));
      } else if (a == "$tree") {
        trees.push_back(std::make_shared<MemoryTree>());
        args.push_back(Variant(trees.back()));
      } else {
        args.push_back(FromJson(a));
      }
    }
    // Pad to the last by-reference parameter so that all of them come back,
    // and hand the form to the first Object parameter left open.
    size_t wanted = args.size();
    for (size_t p = 0; p < method->params.size(); ++p)
      if (method->params[p].by_ref || (form && method->params[p].type == VarType::Object))
        wanted = std::max(wanted, p + 1);
    while (args.size() < wanted) args.emplace_back();
    if (form)
      for (size_t p = 0; p < method->params.size(); ++p)
        if (method->params[p].type == VarType::Object &&
            (args[p].IsEmpty() || args[p].IsNull())) {
          args[p] = Variant(form);
          break;
        }
    if (method->name == "Connect" && !args.empty()) args[0] = Variant(connection);

    auto answers = StepAnswers(step);
    if (!answers.ok()) {
      result.status = BadStep(i, answers.status().text());
      return result;
    }
    ScriptedPrompter prompter(name, std::move(*answers), out);
    Result<Variant> returned = Variant();
    {
      ScopedPrompter scope(&prompter);
      returned = Invoke(*target.object, *method, args);
    }
    if (returned.ok() && !prompter.Problem().empty())
      returned = Status::Error(ErrorCode::kBadArgument, prompter.Problem());
    if (!returned.ok()) {
      ++result.call_errors;
      out << Line({{"object", name},
                   {"call", method->name},
                   {"error", {{"number", returned.status().number()},
                              {"text", returned.status().text()}}}})
          << "\n";
      continue;
    }
    nlohmann::ordered_json byref = nlohmann::ordered_json::array();
    for (size_t p = 0; p < args.size(); ++p)
      if (method->params[p].by_ref) byref.push_back(ToJson(args[p]));
    nlohmann::ordered_json line = {{"object", name}, {"return", ToJson(*returned)}};
    if (!byref.empty()) line["byref"] = byref;
    out << Line(line) << "\n";
    for (const auto& tree : trees)
      out << Line({{"object", name}, {"tree", tree->ToJson()}}) << "\n";
  }
  return result;
}

}  // namespace dravmor::cli
