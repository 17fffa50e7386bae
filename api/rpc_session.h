// RpcSession: a live session spoken as JSON-RPC 2.0, one JSON object per
// line; `dravmor serve` and the C entry point (dravmor2/dravmor.h) both
// speak it. Requests, with a step of api/object_session.h as params:
//   new      {"new":"f","class":"ServerForFactory"}   result {"object":"f"}
//   call     {"call":"f.GetFactory","args":[...],"form":{...},"answers":[...]}
//            result {"return":v,"byref":{"param":v,...}} (and "trees":[...]
//            when "$tree" arguments were given)
//   release  {"release":"f"}                            result {"object":"f"}
// While a call runs, each event goes out at once as the notification
// "event" {"object","event","args"}, each information message as "message"
// {"object","title","text"}, and each Yes/No question the step's answers do
// not cover as the request "question" {"object","title","text"} whose
// answer, "yes" or "no", the call waits for. Values are typed: a result set
// gives each field's name and type number, a Currency its exact digits, a
// Date "YYYY-MM-DD HH:MM:SS". A call whose failure reaches the caller, and a
// Connect that leaves the database closed, answer with an error whose code
// is the engine's error number. Passwords never leave in clear.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "api/object_session.h"

namespace dravmor::api {

// Where a session's lines go, and how a question reaches the client.
class RpcChannel {
 public:
  virtual ~RpcChannel() = default;
  // A notification or a response, the moment it is ready.
  virtual void Send(const std::string& line, bool notification) = 0;
  // Sends the question request (its id already in it) and waits for the
  // client's answer: true for "yes", false for "no", none when the client
  // gave no answer.
  virtual std::optional<bool> Ask(const std::string& id, const std::string& request_line) = 0;
};

// JSON-RPC's own error codes.
namespace RpcError {
constexpr int kParse = -32700, kInvalidRequest = -32600, kNoMethod = -32601,
              kInvalidParams = -32602;
}

class RpcSession {
 public:
  explicit RpcSession(std::string connection) : objects_(std::move(connection)) {}

  // Handles one request line; everything it answers goes through channel.
  void Handle(std::string_view line, RpcChannel& channel);

  // The response to a request id with an error, as one line.
  static std::string ErrorLine(const nlohmann::ordered_json& id, int code,
                               const std::string& message);

 private:
  ObjectSession objects_;
  int questions_ = 0;  // ids of the questions put to the client so far
  friend class RpcListener;
};

// What a line that arrives while a question waits is: not JSON, a request
// (which cannot run now), a response to something else, or the reply to
// the question: its answer when it is "yes" or "no", else none.
struct QuestionReply {
  enum class Kind { NotJson, Request, Unrelated, Reply } kind = Kind::NotJson;
  std::optional<bool> answer;
};
QuestionReply ReadQuestionReply(std::string_view line, const std::string& id);

}  // namespace dravmor::api
