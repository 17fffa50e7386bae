#include "cli/serve_command.h"

#include <istream>
#include <ostream>

#include "api/rpc_session.h"
#include "engine/shared_connection.h"

namespace dravmor::cli {

namespace {

// Lines out on stdout as they come; a question waits for its reply on stdin,
// refusing requests that arrive meanwhile.
class StdioChannel : public api::RpcChannel {
 public:
  StdioChannel(std::istream& in, std::ostream& out) : in_(in), out_(out) {}
  void Send(const std::string& line, bool) override { out_ << line << std::endl; }
  std::optional<bool> Ask(const std::string& id, const std::string& request_line) override {
    out_ << request_line << std::endl;
    std::string line;
    while (std::getline(in_, line)) {
      if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
      api::QuestionReply reply = api::ReadQuestionReply(line, id);
      switch (reply.kind) {
        case api::QuestionReply::Kind::Reply: return reply.answer;
        case api::QuestionReply::Kind::Unrelated: continue;
        case api::QuestionReply::Kind::NotJson:
          Send(api::RpcSession::ErrorLine(nullptr, api::RpcError::kParse,
                                          "not JSON while question " + id + " waits"),
               false);
          continue;
        case api::QuestionReply::Kind::Request: {
          auto request = nlohmann::ordered_json::parse(line, nullptr, false);
          Send(api::RpcSession::ErrorLine(request.value("id", nlohmann::ordered_json()),
                                          api::RpcError::kInvalidRequest,
                                          "question " + id + " waits for its answer"),
               false);
          continue;
        }
      }
    }
    return std::nullopt;  // the client went away
  }

 private:
  std::istream& in_;
  std::ostream& out_;
};

}  // namespace

int Serve(const std::string& connection, std::istream& in, std::ostream& out,
          std::ostream& err) {
  if (Status s = SharedConnection::ForThisThread()->Bind(connection); !s.ok()) {
    err << "error " << s.number() << ": " << s.text() << "\n";
    return 1;
  }
  api::RpcSession session(connection);
  StdioChannel channel(in, out);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    session.Handle(line, channel);
  }
  return 0;
}

}  // namespace dravmor::cli
