// ServerObject: what every ServerForXxx class shares. It reaches the
// thread's SharedConnection, binds it in Connect, keeps the dialect flag and
// its true value, raises events through the caller's EventSink, and runs each
// operation under one of four error modes:
//   handler         first failure stops; Accesserror(subID, number, text, 0)
//   resume next     failing steps are skipped silently
//   none            the failure is the caller's (CallError, or the enclosing
//                   operation's own mode when called from one)
//   silent handler  first failure stops, nothing is reported
// Class code reads as its steps: Exec, Open, form reads, Raise; a failing
// step leaves the operation through the mode's path.
#pragma once

#include <concepts>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/dialect/rewriter.h"
#include "engine/events.h"
#include "engine/form.h"
#include "engine/recordset.h"
#include "engine/shared_connection.h"
#include "engine/status.h"

namespace dravmor {

enum class ErrorMode { Handler, ResumeNext, None, SilentHandler };

class ServerObject {
 public:
  virtual ~ServerObject() = default;
  ServerObject(const ServerObject&) = delete;
  ServerObject& operator=(const ServerObject&) = delete;

  const std::string& ClassName() const { return class_name_; }
  // Not owned; null means nobody listens.
  void SetEventSink(EventSink* sink) { sink_ = sink; }

  // Binds the thread's connection (open/keep rule), then runs the class's
  // own schema steps. Handler mode, "<Class>.Connect".
  void Connect(std::string& strConnection);

  SharedConnection& connection() { return *connection_; }

 protected:
  // creates_connection false: the class's creation makes no connection
  // object (it gets the thread's on Connect).
  explicit ServerObject(std::string class_name, bool creates_connection = true);

  virtual void AfterConnect() {}

  // The dialect flag of SetSQLSERVER and the value it gives a true Boolean
  // in SQL (1 SQL Server, -1 Jet, 0 before the call).
  void SetDialect(bool is2000);
  bool is2000() const { return is2000_; }
  long true_value() const { return true_value_; }
  dialect::Source source() const {
    return is2000_ ? dialect::Source::SqlServer : dialect::Source::Jet;
  }

  // Runs body under the error mode; subID is "<Class>.<operation>".
  void Run(ErrorMode mode, std::string_view operation, const std::function<void()>& body);
  // A change operation: the same, all of body's changes in one write
  // transaction (the database's write lock held from the first read to the
  // commit, so no other workstation changes what the body read). A failure
  // that stops the operation rolls back what the body did before it is
  // reported; steps that may fail without stopping it (resume next, a
  // nested operation's own handler) run under savepoints. Inside a
  // transaction already open it nests as a savepoint. True when the body
  // ran to its end and its changes were committed: on a server, writes are
  // not waited for one by one, so a body that reached its end may still
  // have failed.
  bool RunAtomically(ErrorMode mode, std::string_view operation,
                     const std::function<void()>& body);

  // Steps. On failure each leaves the operation by its mode (in resume-next
  // mode they return normally: false, an unopened set, an empty value).
  // Inside an atomic operation on a server, Exec may not wait for the
  // write: its true then means "sent", and a resume-next failure is undone
  // unreported. ExecAndWait waits: for a step whose success the operation
  // acts on.
  bool Exec(const std::string& sql);
  bool ExecAndWait(const std::string& sql);
  RecordsetPtr Open(const std::string& sql);     // for the operation's own use
  bool OpenInto(const RecordsetPtr& rs, const std::string& sql);
  Variant FormValue(const std::shared_ptr<Object>& frm, std::string_view control,
                    std::optional<int> index, std::string_view property,
                    std::optional<int> item = std::nullopt);
  std::string FormText(const std::shared_ptr<Object>& frm, std::string_view control,
                       std::optional<int> index = std::nullopt);
  // A statement whose failure the operation keeps to report later, instead
  // of leaving by its mode; it does not spoil the transaction it runs in.
  Status TryExec(const std::string& sql);
  // The same, not waited for: TryExecFailures waits for those sent so far
  // and gives the first failure among this operation's skipped statements
  // since its last call (resume-next writes are such statements too).
  void TryExecLater(const std::string& sql);
  Status TryExecFailures();
  Result<RowData> TryQuery(const std::string& sql);
  // The table-existence test as a step (its failure is the operation's).
  bool HasTable(const std::string& table);
  // Creates a table the database lacks; true when this call made it. A
  // table another workstation made meanwhile is no failure.
  bool CreateTableIfMissing(const std::string& table, const std::string& create);
  // The number of columns of a table (letter case of the name ignored),
  // from the connection's catalogue: no row is read. nullopt when the table
  // is missing or the catalogue cannot be read (a failed step).
  std::optional<size_t> ColumnCount(const std::string& table);
  // A step that produced a Status of its own.
  bool Check(const Status& status);
  // The duplicate tests' rule: the COUNT query's first value is neither
  // Null nor 0.
  bool CountsAny(const std::string& count_sql);
  // The class's own next-id routine (largest plus one, 1 for an empty
  // table): a failure is reported as "<Class>.GetMaxID" and gives no id, so
  // nothing is written under a made-up key.
  std::optional<Currency> NextRowId(const std::string& table, const std::string& column);
  // Reads a field of the current row of an operation's own record set.
  Variant Field(const RecordsetPtr& rs, std::string_view name);
  Variant Field(const RecordsetPtr& rs, size_t index);

  // Events.
  void Raise(std::string_view event, std::vector<Variant>& args);
  void Raise(std::string_view event) {
    std::vector<Variant> none;
    Raise(event, none);
  }
  // A result event: the Recordset goes by reference; returns what the
  // handler left (a replacement, or null when it cleared it).
  RecordsetPtr RaiseResult(std::string_view event, RecordsetPtr rs);
  void RaiseAccessError(const std::string& sub_id, const Status& failure);
  // A query operation: opens sql under the mode as "<Class>.<operation>",
  // raises the result event with the set and returns what the handler left
  // (an unopened set when the query failed).
  RecordsetPtr ListAndRaise(ErrorMode mode, std::string_view operation, const std::string& sql,
                            std::string_view event = "rsResult");

 private:
  struct StepFailed {
    Status status;
  };
  // Handles a failed step by the current operation's mode.
  void Fail(const Status& status);
  // Whether the operation goes on after a step fails now, so that the step
  // must not spoil the transaction it runs in.
  bool FailureTolerated() const;

  std::string class_name_;
  std::shared_ptr<SharedConnection> connection_;
  EventSink* sink_ = nullptr;
  bool is2000_ = false;
  long true_value_ = 0;
  std::vector<ErrorMode> modes_;  // of the operations running, innermost last
  std::vector<size_t> atomic_scopes_;  // positions in modes_ of the atomic ones
};

// Told of each operation a caller starts (not those an operation runs
// inside itself) with its error mode, on the calling thread: how a tool or a
// test learns which mode a method runs under without making it fail.
class OperationObserver {
 public:
  virtual ~OperationObserver() = default;
  virtual void Started(const ServerObject& object, std::string_view operation,
                       ErrorMode mode) = 0;
};
// This thread's observer (not owned; null: none).
void ObserveOperations(OperationObserver* observer);

// The operator-scope fragment list queries append to their WHERE clause.
std::string OperatorScope(const std::string& operator_name, bool strict);

// Numbers as they are written into SQL text.
std::string SqlNumber(Currency value);
std::string SqlNumber(double value);
// A value read from a row, written back into SQL: a number as its text, a
// text quoted (quotes doubled); Null stays NULL either way, so a copied row
// keeps its empty cells instead of breaking the statement.
std::string SqlNumberOrNull(const Variant& value);
std::string SqlQuotedOrNull(const Variant& value);
template <std::integral T>
std::string SqlNumber(T value) {
  return std::to_string(static_cast<long long>(value));
}

}  // namespace dravmor
