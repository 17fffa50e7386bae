#include "api/object_session.h"

#include "api/all_classes.h"
#include "api/json_values.h"
#include "engine/shared_connection.h"

namespace dravmor::api {

// Hands every object's events to the listener of the step running, naming
// the object by the name the session gave it.
class ObjectSession::Sink : public EventSink {
 public:
  explicit Sink(const std::map<std::string, Entry>& objects) : objects_(objects) {}
  void OnEvent(const ServerObject& sender, std::string_view event,
               std::vector<Variant>& args) override {
    // A failure names its operation, "<Class>.<operation>"; an Accesserror
    // whose first argument is anything else is a notice (the purchase
    // order's completion notice carries a bare id).
    if (event == "Accesserror" && !args.empty() &&
        args[0].ToText().starts_with(sender.ClassName() + ".")) {
      if (access_errors++ == 0 && args.size() >= 3) {
        auto number = args[1].ToInt64();
        first_access_error = Status::Error(number.ok() ? static_cast<long>(*number) : 0,
                                           args[2].ToText());
      }
    }
    if (listener) listener->OnEvent(NameOf(sender), event, args);
  }
  std::string NameOf(const ServerObject& sender) const {
    for (const auto& [name, entry] : objects_)
      if (entry.object.get() == &sender) return name;
    return sender.ClassName();
  }

  StepListener* listener = nullptr;
  int access_errors = 0;
  Status first_access_error;

 private:
  const std::map<std::string, Entry>& objects_;
};

namespace {

// Answers the engine's questions from the step's "answers" list in order,
// then from the listener; a question left without an answer, or an answer
// left over, is the step's failure.
class StepPrompter : public Prompter {
 public:
  StepPrompter(std::string object, std::vector<std::string> answers, StepListener& listener)
      : object_(std::move(object)), answers_(std::move(answers)), listener_(listener) {}

  PromptAnswer Ask(const PromptRequest& request) override {
    if (request.style != PromptStyle::YesNo) {
      listener_.OnPrompt(object_, request, "ok");
      return PromptAnswer::Ok;
    }
    std::optional<bool> yes;
    if (next_ < answers_.size()) {
      yes = answers_[next_++] == "yes";
    } else {
      yes = listener_.Ask(object_, request);
      if (!yes) ++unanswered_;
    }
    listener_.OnPrompt(object_, request, !yes ? "" : *yes ? "yes" : "no");
    return yes.value_or(false) ? PromptAnswer::Yes : PromptAnswer::No;
  }

  // Ok when every question had its answer and every answer was used.
  Status Problem() const {
    if (unanswered_)
      return Status::Error(ErrorCode::kBadArgument,
                           std::to_string(unanswered_) + " question(s) had no answer");
    if (next_ < answers_.size())
      return Status::Error(ErrorCode::kBadArgument, std::to_string(answers_.size() - next_) +
                                                        " answer(s) were not asked for");
    return Status::Ok();
  }

 private:
  std::string object_;
  std::vector<std::string> answers_;
  size_t next_ = 0;
  int unanswered_ = 0;
  StepListener& listener_;
};

Status BadStep(const std::string& why) { return Status::Error(ErrorCode::kBadArgument, why); }

Result<std::vector<std::string>> StepAnswers(const nlohmann::ordered_json& step) {
  std::vector<std::string> answers;
  if (!step.contains("answers")) return answers;
  const auto& list = step["answers"];
  if (!list.is_array()) return BadStep("answers must be an array");
  for (const auto& a : list) {
    if (a != "yes" && a != "no") return BadStep("an answer is \"yes\" or \"no\"");
    answers.push_back(a.get<std::string>());
  }
  return answers;
}

Result<std::shared_ptr<MemoryForm>> BuildForm(const nlohmann::ordered_json& form) {
  if (!form.is_object()) return BadStep("form must be an object of \"control.Property\" keys");
  auto memory = std::make_shared<MemoryForm>();
  for (auto& [key, value] : form.items()) {
    auto v = FromJson(value);
    if (!v.ok()) return BadStep("form value " + key + ": " + v.status().text());
    memory->Set(key, *v);
  }
  return memory;
}

std::string StringField(const nlohmann::ordered_json& step, const char* key) {
  auto it = step.find(key);
  return it != step.end() && it->is_string() ? it->get<std::string>() : "";
}

}  // namespace

ObjectSession::ObjectSession(std::string connection)
    : connection_(std::move(connection)), sink_(std::make_unique<Sink>(objects_)) {}

ObjectSession::~ObjectSession() = default;

Result<StepOutcome> ObjectSession::Run(const nlohmann::ordered_json& step,
                                       StepListener& listener) {
  if (!step.is_object()) return BadStep("a step is a JSON object");
  if (step.contains("new")) return New(step);
  if (step.contains("release")) return Release(step);
  if (step.contains("call")) return Call(step, listener);
  return BadStep("expected \"new\", \"call\" or \"release\"");
}

Result<StepOutcome> ObjectSession::New(const nlohmann::ordered_json& step) {
  std::string name = StringField(step, "new");
  std::string class_name = StringField(step, "class");
  if (name.empty()) return BadStep("\"new\" names the object: a non-empty text");
  const ClassInfo* info = AllClasses().Find(class_name);
  if (!info) return BadStep("no class named '" + class_name + "'");
  Entry entry{info, info->create()};
  entry.object->SetEventSink(sink_.get());
  objects_[name] = std::move(entry);
  StepOutcome outcome;
  outcome.kind = StepOutcome::Kind::New;
  outcome.object = name;
  return outcome;
}

Result<StepOutcome> ObjectSession::Release(const nlohmann::ordered_json& step) {
  std::string name = StringField(step, "release");
  if (objects_.erase(name) == 0) return BadStep("no object named '" + name + "'");
  StepOutcome outcome;
  outcome.kind = StepOutcome::Kind::Release;
  outcome.object = name;
  return outcome;
}

Result<StepOutcome> ObjectSession::Call(const nlohmann::ordered_json& step,
                                        StepListener& listener) {
  const std::string call = StringField(step, "call");
  const size_t dot = call.find('.');
  if (dot == std::string::npos) return BadStep("\"call\" is \"object.Method\"");
  const std::string name = call.substr(0, dot), method_name = call.substr(dot + 1);
  auto found = objects_.find(name);
  if (found == objects_.end()) return BadStep("no object named '" + name + "'");
  Entry& target = found->second;
  const MethodInfo* method = target.info->FindMethod(method_name);
  if (!method) return BadStep(target.info->name + " has no method '" + method_name + "'");

  nlohmann::ordered_json json_args = step.contains("args") ? step["args"] : nlohmann::ordered_json::array();
  if (!json_args.is_array() || json_args.size() > method->params.size())
    return BadStep("args must be an array of at most " +
                   std::to_string(method->params.size()) + " values");
  std::shared_ptr<MemoryForm> form;
  if (step.contains("form")) {
    auto built = BuildForm(step["form"]);
    if (!built.ok()) return built.status();
    form = *built;
  }
  auto answers = StepAnswers(step);
  if (!answers.ok()) return answers.status();

  StepOutcome outcome;
  outcome.kind = StepOutcome::Kind::Call;
  outcome.object = name;
  outcome.method = method;
  std::vector<Variant> args;
  for (size_t i = 0; i < json_args.size(); ++i) {
    const auto& a = json_args[i];
    if (a == "$form") {
      if (!form) form = std::make_shared<MemoryForm>();
      args.push_back(Variant(form));
    } else if (a == "$connection") {
      args.push_back(Variant(connection_));
    } else if (a == "$tree") {
      outcome.trees.push_back(std::make_shared<MemoryTree>());
      args.push_back(Variant(outcome.trees.back()));
    } else {
      auto value = FromJson(a);
      if (!value.ok())
        return BadStep("argument " + std::to_string(i + 1) + " (" + method->params[i].name +
                       "): " + value.status().text());
      args.push_back(*value);
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
      if (method->params[p].type == VarType::Object && (args[p].IsEmpty() || args[p].IsNull())) {
        args[p] = Variant(form);
        break;
      }
  const bool connect = method->name == "Connect";
  if (connect && !args.empty()) args[0] = Variant(connection_);

  StepPrompter prompter(name, std::move(*answers), listener);
  sink_->listener = &listener;
  sink_->access_errors = 0;
  sink_->first_access_error = Status::Ok();
  Result<Variant> returned = Variant();
  {
    ScopedPrompter scope(&prompter);
    returned = Invoke(*target.object, *method, args);
  }
  sink_->listener = nullptr;
  outcome.access_errors = sink_->access_errors;
  outcome.first_access_error = sink_->first_access_error;
  if (returned.ok()) {
    if (Status problem = prompter.Problem(); !problem.ok()) returned = problem;
  }
  if (!returned.ok()) {
    outcome.failure = returned.status();
    return outcome;
  }
  outcome.returned = *returned;
  for (size_t p = 0; p < args.size(); ++p)
    if (method->params[p].by_ref) outcome.byref.emplace_back(method->params[p].name, args[p]);
  outcome.connect_failed = connect && (outcome.access_errors > 0 ||
                                       !SharedConnection::ForThisThread()->IsOpen());
  return outcome;
}

}  // namespace dravmor::api
