// The error mode each method lists in its dispatch table (what
// `dravmor classes --json` tells a caller: Accesserror, a failed call, or
// silence) is the mode it really runs under. Each method is called once
// with no database open, so that nothing is written, and the operation it
// starts is observed.
#include <gtest/gtest.h>

#include "api/all_classes.h"
#include "engine/shared_connection.h"

namespace dravmor {
namespace {

class FirstOperation : public OperationObserver {
 public:
  void Started(const ServerObject&, std::string_view, ErrorMode mode) override {
    if (!mode_) mode_ = mode;
  }
  std::optional<ErrorMode> mode_;
};

// A value of each parameter's type that no row has (and a connection
// string that opens nothing).
std::vector<Variant> Arguments(const MethodInfo& method) {
  std::vector<Variant> args;
  for (const ParamInfo& p : method.params) {
    if (p.type == VarType::Object) args.push_back(Variant(Null{}));
    else if (p.type == VarType::String) args.push_back(Variant(std::string("/nonexistent/none")));
    else if (p.type == VarType::Boolean) args.push_back(Variant(false));
    else args.push_back(Variant(int32_t{0}));
  }
  return args;
}

TEST(ErrorModes, EveryMethodRunsUnderTheModeItLists) {
  SharedConnection::ResetThisThread();
  int checked = 0;
  for (const ClassInfo& cls : AllClasses().All()) {
    for (const MethodInfo& method : cls.methods) {
      auto object = cls.create();
      FirstOperation observer;
      ObserveOperations(&observer);
      std::vector<Variant> args = Arguments(method);
      (void)Invoke(*object, method, args);
      ObserveOperations(nullptr);
      // A method that starts no operation only keeps an option: it cannot
      // fail, and is listed under the setters' mode, none.
      ErrorMode observed = observer.mode_.value_or(ErrorMode::None);
      EXPECT_EQ(ErrorModeName(method.error_mode), ErrorModeName(observed))
          << cls.name << "." << method.name;
      ++checked;
    }
  }
  EXPECT_FALSE(SharedConnection::ForThisThread()->IsOpen());
  EXPECT_GT(checked, 250);
  SharedConnection::ResetThisThread();
}

}  // namespace
}  // namespace dravmor
