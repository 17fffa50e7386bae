#include "api/rpc_session.h"

#include "api/json_values.h"
#include "engine/password_mask.h"

namespace dravmor::api {

namespace {

using Json = nlohmann::ordered_json;

std::string Out(const Json& message) { return MaskPasswords(Line(message)); }

Json Notification(const char* method, Json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

Json CallResult(const StepOutcome& step) {
  Json byref = Json::object();
  for (const auto& [name, value] : step.byref) byref[name] = ToJson(value, JsonStyle::Typed);
  Json result = {{"return", ToJson(step.returned, JsonStyle::Typed)}, {"byref", byref}};
  if (!step.trees.empty()) {
    Json trees = Json::array();
    for (const auto& tree : step.trees) trees.push_back(tree->ToJson());
    result["trees"] = trees;
  }
  return result;
}

}  // namespace

// Turns what a call raises into notifications, and its questions into
// requests to the client.
class RpcListener : public StepListener {
 public:
  RpcListener(RpcSession& session, RpcChannel& channel) : session_(session), channel_(channel) {}
  void OnEvent(const std::string& object, std::string_view event,
               const std::vector<Variant>& args) override {
    Json list = Json::array();
    for (const Variant& a : args) list.push_back(ToJson(a, JsonStyle::Typed));
    channel_.Send(Out(Notification("event", {{"object", object}, {"event", event}, {"args", list}})),
                  true);
  }
  std::optional<bool> Ask(const std::string& object, const PromptRequest& request) override {
    const std::string id = "q" + std::to_string(++session_.questions_);
    Json question = {{"jsonrpc", "2.0"},
                     {"id", id},
                     {"method", "question"},
                     {"params", {{"object", object}, {"title", request.title}, {"text", request.text}}}};
    return channel_.Ask(id, Out(question));
  }
  void OnPrompt(const std::string& object, const PromptRequest& request,
                const std::string&) override {
    if (request.style == PromptStyle::Information)
      channel_.Send(Out(Notification(
                        "message", {{"object", object}, {"title", request.title}, {"text", request.text}})),
                    true);
  }

 private:
  RpcSession& session_;
  RpcChannel& channel_;
};

std::string RpcSession::ErrorLine(const Json& id, int code, const std::string& message) {
  return Out({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}});
}

void RpcSession::Handle(std::string_view line, RpcChannel& channel) {
  auto parsed = ParseJson(line);
  if (!parsed.ok()) {
    channel.Send(ErrorLine(nullptr, RpcError::kParse, parsed.status().text()), false);
    return;
  }
  const Json& request = *parsed;
  if (!request.is_object() || request.value("jsonrpc", "") != "2.0" ||
      !request.contains("method") || !request["method"].is_string()) {
    const Json id = request.is_object() && request.contains("id") ? request["id"] : Json();
    channel.Send(ErrorLine(id, RpcError::kInvalidRequest,
                           "a request is one object {\"jsonrpc\":\"2.0\",\"id\",\"method\",\"params\"}"),
                 false);
    return;
  }
  // Without an id the request is a notification: it runs, nothing answers it.
  const bool answer = request.contains("id");
  const Json id = answer ? request["id"] : Json();
  auto respond = [&](Json result) {
    if (answer) channel.Send(Out({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}}), false);
  };
  auto fail = [&](int code, const std::string& message) {
    if (answer) channel.Send(ErrorLine(id, code, message), false);
  };

  const std::string method = request["method"];
  if (method != "new" && method != "call" && method != "release")
    return fail(RpcError::kNoMethod, "no method '" + method + "' (new, call, release)");
  Json step = request.contains("params") ? request["params"] : Json::object();
  if (!step.is_object() || !step.contains(method))
    return fail(RpcError::kInvalidParams, "params of '" + method + "' are a step with \"" +
                                              method + "\"");
  RpcListener listener(*this, channel);
  auto ran = objects_.Run(step, listener);
  if (!ran.ok()) return fail(RpcError::kInvalidParams, ran.status().text());
  const StepOutcome& outcome = *ran;
  if (outcome.kind != StepOutcome::Kind::Call) return respond({{"object", outcome.object}});
  if (!outcome.failure.ok())
    return fail(static_cast<int>(outcome.failure.number()), outcome.failure.text());
  if (outcome.connect_failed) {
    const Status& why = outcome.first_access_error;
    return fail(why.ok() ? static_cast<int>(ErrorCode::kConnection) : static_cast<int>(why.number()),
                "Connect failed: " + (why.ok() ? std::string("the database is not open") : why.text()));
  }
  respond(CallResult(outcome));
}

QuestionReply ReadQuestionReply(std::string_view line, const std::string& id) {
  QuestionReply reply;
  auto parsed = ParseJson(line);
  if (!parsed.ok() || !parsed->is_object()) return reply;
  const Json& message = *parsed;
  if (message.contains("method")) {
    reply.kind = QuestionReply::Kind::Request;
  } else if (!message.contains("id") || message["id"] != id) {
    reply.kind = QuestionReply::Kind::Unrelated;
  } else {
    reply.kind = QuestionReply::Kind::Reply;
    if (message.value("result", Json()) == "yes") reply.answer = true;
    if (message.value("result", Json()) == "no") reply.answer = false;
  }
  return reply;
}

}  // namespace dravmor::api
