// The C entry point: a session is an RpcSession on the opening thread's
// connection; answers are collected into one text for the caller.
#include <cstdlib>
#include <cstring>
#include <exception>
#include <thread>

#include "api/rpc_session.h"
#include "dravmor2/dravmor.h"
#include "engine/password_mask.h"
#include "engine/shared_connection.h"

struct dravmor_session {
  explicit dravmor_session(std::string connection) : rpc(std::move(connection)) {}
  dravmor::api::RpcSession rpc;
  std::thread::id owner = std::this_thread::get_id();
  dravmor_event_callback on_event = nullptr;
  void* event_context = nullptr;
  dravmor_question_callback on_question = nullptr;
  void* question_context = nullptr;
};

namespace {

thread_local std::string open_error;
thread_local dravmor_session* thread_session = nullptr;

// Collects the lines of one request and hands notifications and questions
// to the caller's callbacks.
class CollectingChannel : public dravmor::api::RpcChannel {
 public:
  explicit CollectingChannel(dravmor_session& session) : session_(session) {}
  void Send(const std::string& line, bool notification) override {
    if (!text.empty()) text += '\n';
    text += line;
    if (notification && session_.on_event) session_.on_event(session_.event_context, line.c_str());
  }
  std::optional<bool> Ask(const std::string&, const std::string& request_line) override {
    if (!session_.on_question) return std::nullopt;
    auto request = nlohmann::ordered_json::parse(request_line, nullptr, false);
    const std::string params = request.is_discarded() ? "{}" : request["params"].dump();
    int answer = session_.on_question(session_.question_context, params.c_str());
    if (answer == 1) return true;
    if (answer == 0) return false;
    return std::nullopt;
  }
  std::string text;

 private:
  dravmor_session& session_;
};

char* Copy(const std::string& text) {
  char* copy = static_cast<char*>(std::malloc(text.size() + 1));
  if (copy) std::memcpy(copy, text.c_str(), text.size() + 1);
  return copy;
}

}  // namespace

extern "C" {

const char* dravmor_version(void) { return "2.0.0"; }

dravmor_session* dravmor_open(const char* connection) {
  open_error.clear();
  if (!connection) {
    open_error = "no connection string";
    return nullptr;
  }
  if (thread_session) {
    open_error = "this thread has a session open already";
    return nullptr;
  }
  try {
    // The session takes this thread's connection, opened on its database.
    dravmor::SharedConnection::ResetThisThread();
    dravmor::Status opened = dravmor::SharedConnection::ForThisThread()->Bind(connection);
    if (!opened.ok()) {
      dravmor::SharedConnection::ResetThisThread();
      open_error = dravmor::MaskPasswords(opened.text());
      return nullptr;
    }
    thread_session = new dravmor_session(connection);
    return thread_session;
  } catch (const std::exception& e) {
    open_error = e.what();
    return nullptr;
  }
}

const char* dravmor_errmsg(void) { return open_error.c_str(); }

char* dravmor_request(dravmor_session* session, const char* request) {
  if (!session || !request) return nullptr;
  using dravmor::api::RpcSession;
  if (std::this_thread::get_id() != session->owner)
    return Copy(RpcSession::ErrorLine(nullptr, dravmor::api::RpcError::kInvalidRequest,
                                      "a session is used on the thread that opened it"));
  CollectingChannel channel(*session);
  try {
    session->rpc.Handle(request, channel);
  } catch (const std::exception& e) {
    channel.Send(RpcSession::ErrorLine(nullptr, dravmor::api::RpcError::kInvalidRequest,
                                       std::string("internal error: ") + e.what()),
                 false);
  }
  return Copy(channel.text);
}

void dravmor_free(char* text) { std::free(text); }

void dravmor_close(dravmor_session* session) {
  if (!session) return;
  // Objects go before the connection they use.
  const bool own_thread = std::this_thread::get_id() == session->owner;
  if (own_thread && thread_session == session) thread_session = nullptr;
  delete session;
  if (own_thread) dravmor::SharedConnection::ResetThisThread();
}

void dravmor_on_event(dravmor_session* session, dravmor_event_callback callback, void* context) {
  if (!session) return;
  session->on_event = callback;
  session->event_context = context;
}

void dravmor_on_question(dravmor_session* session, dravmor_question_callback callback,
                         void* context) {
  if (!session) return;
  session->on_question = callback;
  session->question_context = context;
}

}  // extern "C"
