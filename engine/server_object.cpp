#include "engine/server_object.h"

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {
thread_local OperationObserver* operation_observer = nullptr;
}  // namespace

void ObserveOperations(OperationObserver* observer) { operation_observer = observer; }

ServerObject::ServerObject(std::string class_name, bool creates_connection)
    : class_name_(std::move(class_name)) {
  if (creates_connection) connection_ = SharedConnection::ForThisThread();
}

void ServerObject::Connect(std::string& strConnection) {
  Run(ErrorMode::Handler, "Connect", [&] {
    if (!connection_) connection_ = SharedConnection::ForThisThread();
    Check(connection_->Bind(strConnection));
    AfterConnect();
  });
}

void ServerObject::SetDialect(bool is2000) {
  is2000_ = is2000;
  true_value_ = is2000 ? 1 : -1;
}

void ServerObject::Run(ErrorMode mode, std::string_view operation,
                       const std::function<void()>& body) {
  if (!connection_) connection_ = SharedConnection::ForThisThread();
  if (modes_.empty()) {
    if (operation_observer) operation_observer->Started(*this, operation, mode);
    // TryExecFailures speaks of this operation's statements only.
    connection_->ForgetSkippedFailures();
  }
  // A write that an operation already running deferred has failed: nothing
  // more runs inside that operation, which reports the failure itself.
  if (connection_->InTransaction()) {
    if (Status settled = connection_->Settle(); !settled.ok()) {
      if (!modes_.empty()) Fail(settled);
      return;
    }
  }
  modes_.push_back(mode);
  bool nested = modes_.size() > 1;
  try {
    body();
    modes_.pop_back();
  } catch (const StepFailed& failure) {
    modes_.pop_back();
    switch (mode) {
      case ErrorMode::Handler:
        RaiseAccessError(class_name_ + "." + std::string(operation), failure.status);
        return;
      case ErrorMode::SilentHandler:
      case ErrorMode::ResumeNext:
        return;
      case ErrorMode::None:
        // Called from another operation: its mode decides. Resume next
        // skips the failed call and goes on with its next step.
        if (nested) {
          if (modes_.back() == ErrorMode::ResumeNext) return;
          throw;
        }
        throw CallError(failure.status);
    }
  } catch (...) {
    modes_.pop_back();
    throw;
  }
}

bool ServerObject::RunAtomically(ErrorMode mode, std::string_view operation,
                                 const std::function<void()>& body) {
  bool committed = false;
  Run(mode, operation, [&] {
    // A failing step leaves through here, and the guard rolls back before
    // Run reports the failure.
    Transaction transaction(*connection_);
    if (!Check(transaction.status())) {
      body();  // resume next: the steps run as they would have alone
      return;
    }
    atomic_scopes_.push_back(modes_.size() - 1);
    struct ScopeEnd {
      std::vector<size_t>& scopes;
      ~ScopeEnd() { scopes.pop_back(); }
    } scope_end{atomic_scopes_};
    body();
    committed = Check(transaction.Commit());
  });
  return committed;
}

bool ServerObject::FailureTolerated() const {
  if (!connection_ || !connection_->InTransaction()) return false;
  // Someone else's transaction (another object's operation whose event
  // handler called this one): never spoil it.
  if (atomic_scopes_.empty()) return true;
  const size_t boundary = atomic_scopes_.back();
  for (size_t i = modes_.size(); i-- > boundary;) {
    switch (modes_[i]) {
      case ErrorMode::ResumeNext: return true;
      case ErrorMode::Handler:
      case ErrorMode::SilentHandler: return i > boundary;  // the caller goes on
      case ErrorMode::None: break;  // passed outward
    }
  }
  return false;  // the atomic operation stops and rolls back
}

void ServerObject::Fail(const Status& status) {
  if (!modes_.empty() && modes_.back() == ErrorMode::ResumeNext) return;
  if (modes_.empty()) throw CallError(status);
  throw StepFailed{status};
}

bool ServerObject::Check(const Status& status) {
  if (status.ok()) return true;
  Fail(status);
  return false;
}

bool ServerObject::HasTable(const std::string& table) {
  auto exists = TableExists(*connection_, table);
  if (!exists.ok()) return Check(exists.status()) && false;
  return *exists;
}

bool ServerObject::CreateTableIfMissing(const std::string& table, const std::string& create) {
  if (HasTable(table)) return false;
  Status made = TryExec(create);
  if (made.ok()) return true;
  // A failed CREATE makes the connection read its catalogue again.
  if (!HasTable(table)) Check(made);
  return false;
}

std::optional<size_t> ServerObject::ColumnCount(const std::string& table) {
  auto catalogue = connection_->GetCatalogue();
  if (!Check(catalogue.status())) return std::nullopt;
  const CatalogueTable* found = (*catalogue)->Find(table);
  if (!found) return std::nullopt;
  return found->columns.size();
}

bool ServerObject::Exec(const std::string& sql) {
  // Inside this object's atomic operation a write need not be waited for
  // when its failure ends the operation (which stops at its next wait).
  if (!atomic_scopes_.empty() && connection_->InTransaction()) {
    if (!FailureTolerated()) return Check(connection_->ExecuteDeferred(sql, source()));
    // Resume next would skip a failure here without a word.
    if (modes_.back() == ErrorMode::ResumeNext)
      return Check(connection_->ExecuteDeferred(sql, source(), /*skipped_on_failure=*/true));
  }
  return ExecAndWait(sql);
}

bool ServerObject::ExecAndWait(const std::string& sql) {
  return Check(connection_->Execute(sql, source(), FailureTolerated()));
}

Status ServerObject::TryExec(const std::string& sql) {
  return connection_->Execute(sql, source(), connection_->InTransaction());
}

void ServerObject::TryExecLater(const std::string& sql) {
  connection_->ExecuteDeferred(sql, source(), /*skipped_on_failure=*/true);
}

Status ServerObject::TryExecFailures() { return connection_->TakeSkippedFailure(); }

Result<RowData> ServerObject::TryQuery(const std::string& sql) {
  return connection_->Query(sql, source(), connection_->InTransaction());
}

RecordsetPtr ServerObject::Open(const std::string& sql) {
  auto rs = std::make_shared<Recordset>();
  OpenInto(rs, sql);
  return rs;
}

bool ServerObject::OpenInto(const RecordsetPtr& rs, const std::string& sql) {
  auto rows = connection_->Query(sql, source(), FailureTolerated());
  if (!rows.ok()) return Check(rows.status());
  rs->Open(std::move(*rows));
  rs->SetSource(sql);
  return true;
}

Variant ServerObject::FormValue(const std::shared_ptr<Object>& frm,
                                std::string_view control, std::optional<int> index,
                                std::string_view property, std::optional<int> item) {
  auto form = std::dynamic_pointer_cast<FormRecord>(frm);
  if (!form) {
    Fail(Status::Error(ErrorCode::kObjectRequired, "Object required"));
    return Variant();
  }
  auto value = form->Read(control, index, property, item);
  if (!value.ok()) {
    Fail(value.status());
    return Variant();
  }
  return *value;
}

std::string ServerObject::FormText(const std::shared_ptr<Object>& frm,
                                   std::string_view control, std::optional<int> index) {
  return FormValue(frm, control, index, "Text").ToText();
}

bool ServerObject::CountsAny(const std::string& count_sql) {
  RecordsetPtr rs = Open(count_sql);
  Variant count = Field(rs, size_t{0});
  auto value = count.ToDouble();
  return !count.IsNull() && value.ok() && *value != 0;
}

Variant ServerObject::Field(const RecordsetPtr& rs, std::string_view name) {
  auto value = rs->Value(name);
  if (!value.ok()) {
    Fail(value.status());
    return Variant();
  }
  return *value;
}

Variant ServerObject::Field(const RecordsetPtr& rs, size_t index) {
  auto value = rs->Value(index);
  if (!value.ok()) {
    Fail(value.status());
    return Variant();
  }
  return *value;
}

void ServerObject::Raise(std::string_view event, std::vector<Variant>& args) {
  // No event tells of a change whose deferred writes have failed.
  if (event != "Accesserror" && connection_ && connection_->InTransaction())
    Check(connection_->Settle());
  if (sink_) sink_->OnEvent(*this, event, args);
}

RecordsetPtr ServerObject::ListAndRaise(ErrorMode mode, std::string_view operation,
                                        const std::string& sql, std::string_view event) {
  auto rs = std::make_shared<Recordset>();
  Run(mode, operation, [&] {
    OpenInto(rs, sql);
    rs = RaiseResult(event, rs);
  });
  return rs;
}

RecordsetPtr ServerObject::RaiseResult(std::string_view event, RecordsetPtr rs) {
  std::vector<Variant> args{Variant(rs)};
  Raise(event, args);
  return args[0].ObjectAs<Recordset>();
}

void ServerObject::RaiseAccessError(const std::string& sub_id, const Status& failure) {
  std::vector<Variant> args{Variant(sub_id), Variant(static_cast<int32_t>(failure.number())),
                            Variant(failure.text()), Variant(static_cast<int32_t>(0))};
  Raise("Accesserror", args);
}

std::string OperatorScope(const std::string& operator_name, bool strict) {
  if (strict && operator_name != "管理员")
    return " AND UserList LIKE '%" + SqlQuote(operator_name) + "%' ";
  return " ";
}

std::string SqlNumber(Currency value) { return value.ToText(); }
std::string SqlNumber(double value) { return ShortestDecimal(value); }

std::optional<Currency> ServerObject::NextRowId(const std::string& table,
                                               const std::string& column) {
  std::optional<Currency> id;
  Run(ErrorMode::Handler, "GetMaxID", [&] {
    auto next = NextId(connection(), table, column);
    if (Check(next.status())) id = *next;
  });
  return id;
}

std::string SqlNumberOrNull(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return "NULL";
  return value.ToText();
}

std::string SqlQuotedOrNull(const Variant& value) {
  if (value.IsNull()) return "NULL";
  return "'" + SqlQuote(value.ToText()) + "'";
}

}  // namespace dravmor
