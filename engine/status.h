// Status and Result: how every layer below the server classes reports a
// failure. A failure is a value (number + text), never a crash; the
// server-object frame turns it into Accesserror or a call error according to
// the operation's error mode. Numbers are the database layer's own code, or
// one of the automation-style numbers in ErrorCode for the engine's own
// failures.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace dravmor {

// Numbers for failures the engine itself detects. They follow the numbers a
// late-bound automation caller would see for the same kind of failure.
namespace ErrorCode {
constexpr long kOverflow = 6;
constexpr long kDivisionByZero = 11;
constexpr long kTypeMismatch = 13;
constexpr long kBadArgument = 5;          // invalid procedure call or argument
constexpr long kFileNotFound = 53;
constexpr long kPathNotFound = 76;
constexpr long kFileIo = 75;
constexpr long kObjectRequired = 424;
constexpr long kNoSuchMember = 438;       // control, index or property missing
constexpr long kSyntax = 3001;            // SQL the dialect layer cannot take
constexpr long kNotOpen = 3704;           // connection or record set not open
constexpr long kNoCurrentRow = 3021;      // EOF or BOF is true
constexpr long kNoSuchField = 3265;       // item not found in the collection
constexpr long kValueCount = 3346;        // INSERT values and columns differ in number
constexpr long kConnection = 3706;        // backend cannot open the database
}  // namespace ErrorCode

class Status {
 public:
  Status() = default;  // success
  static Status Ok() { return Status(); }
  static Status Error(long number, std::string text) {
    Status s;
    s.failed_ = true;
    s.number_ = number;
    s.text_ = std::move(text);
    return s;
  }

  bool ok() const { return !failed_; }
  long number() const { return number_; }
  const std::string& text() const { return text_; }
  std::string ToString() const {
    return ok() ? "OK" : std::to_string(number_) + ": " + text_;
  }

 private:
  bool failed_ = false;
  long number_ = 0;
  std::string text_;
};

// A value or the Status that explains why there is none.
template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}  // NOLINT: implicit on purpose
  Result(Status status) : status_(std::move(status)) {}  // NOLINT
  bool ok() const { return status_.ok(); }
  const Status& status() const { return status_; }
  T& value() & { return *value_; }
  const T& value() const& { return *value_; }
  T&& value() && { return std::move(*value_); }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }
  T& operator*() { return *value_; }

 private:
  std::optional<T> value_;
  Status status_;
};

// The exception a method whose error mode is "none" throws to its caller:
// the call itself fails with this number and text.
class CallError : public std::runtime_error {
 public:
  explicit CallError(Status status)
      : std::runtime_error(status.ToString()), status_(std::move(status)) {}
  const Status& status() const { return status_; }

 private:
  Status status_;
};

}  // namespace dravmor
