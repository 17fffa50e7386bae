// ObjectSession: named server objects that live together on one database,
// driven by steps as `dravmor run` scripts and `dravmor serve` requests
// write them:
//   {"new":"f","class":"ServerForFactory"}
//   {"call":"f.AddFactory","args":["$form",0],"form":{"txtfactoryinfo[0].Text":"A1"},
//    "answers":["yes"]}
//   {"release":"f"}
// In a call, "$form" stands for the step's form (a missing or null Object
// argument takes it too), "$tree" for a new tree control, "$connection" for
// the session's connection, and Connect always receives that connection.
// Events, questions and messages reach the step's listener the moment the
// engine raises them. A session belongs to the thread that made it: the
// engine's connection is the thread's.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/dispatch.h"
#include "engine/memory_form.h"
#include "engine/prompt.h"
#include "engine/status.h"

namespace dravmor::api {

// What a step's caller hears while the step runs.
class StepListener {
 public:
  virtual ~StepListener() = default;
  virtual void OnEvent(const std::string& object, std::string_view event,
                       const std::vector<Variant>& args) = 0;
  // A Yes/No question the step's "answers" did not cover: true for Yes,
  // none when nobody can answer (the question is then taken as No and the
  // step fails, so that nothing is written on a guess).
  virtual std::optional<bool> Ask(const std::string& /*object*/, const PromptRequest&) {
    return std::nullopt;
  }
  // Every question and message once settled, with its answer: "yes", "no",
  // "ok" for a message, "" for a question nobody answered.
  virtual void OnPrompt(const std::string& /*object*/, const PromptRequest&,
                        const std::string& /*answer*/) {}
};

struct StepOutcome {
  enum class Kind { New, Call, Release } kind = Kind::New;
  std::string object;
  // Calls only.
  const MethodInfo* method = nullptr;
  Status failure;    // the call's failure that reached the caller
  Variant returned;
  std::vector<std::pair<std::string, Variant>> byref;  // parameter, value after the call
  std::vector<std::shared_ptr<MemoryTree>> trees;      // filled "$tree" arguments
  int access_errors = 0;  // failures the call reported through Accesserror (not notices)
  Status first_access_error;
  // Connect ran and the database is not open.
  bool connect_failed = false;
};

class ObjectSession {
 public:
  explicit ObjectSession(std::string connection);
  ~ObjectSession();
  ObjectSession(const ObjectSession&) = delete;
  ObjectSession& operator=(const ObjectSession&) = delete;

  const std::string& connection() const { return connection_; }
  // Runs one step. A step that cannot run (malformed, or naming no class,
  // object or method) is an error (5, invalid argument); a call that ran
  // has its outcome, whatever happened inside it.
  Result<StepOutcome> Run(const nlohmann::ordered_json& step, StepListener& listener);

 private:
  class Sink;
  struct Entry {
    const ClassInfo* info;
    std::unique_ptr<ServerObject> object;
  };
  Result<StepOutcome> New(const nlohmann::ordered_json& step);
  Result<StepOutcome> Release(const nlohmann::ordered_json& step);
  Result<StepOutcome> Call(const nlohmann::ordered_json& step, StepListener& listener);

  std::string connection_;
  std::map<std::string, Entry> objects_;
  std::unique_ptr<Sink> sink_;
};

}  // namespace dravmor::api
