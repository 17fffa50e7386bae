// The form controls each method lists in its dispatch table (what
// `dravmor classes --json` tells a user interface to fill) are the controls
// it really reads: every method that takes a form is called with a form
// that records each read and answers it with a plausible value.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <tuple>

#include "api/all_classes.h"
#include "engine/form.h"
#include "engine/text.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

// control (lower case), index (-1: none), property (lower case), per item
using ControlKey = std::tuple<std::string, int, std::string, bool>;

std::string Describe(const ControlKey& key) {
  std::ostringstream text;
  text << std::get<0>(key);
  if (std::get<1>(key) >= 0) text << "(" << std::get<1>(key) << ")";
  text << "." << std::get<2>(key) << (std::get<3>(key) ? "(i)" : "");
  return text.str();
}

class RecordingForm : public FormRecord {
 public:
  Result<Variant> Read(std::string_view control, std::optional<int> index,
                       std::string_view property, std::optional<int> item) const override {
    const std::string prop = ToLowerAscii(property);
    read.insert({ToLowerAscii(control), index.value_or(-1), prop, item.has_value()});
    if (prop == "listindex") return Variant(int32_t{0});
    if (prop == "listcount") return Variant(int32_t{1});
    if (prop == "selected") return Variant(true);
    if (prop == "value") return Variant(option_value);
    if (prop == "itemdata") return Variant(int32_t{1});
    return Variant(text);
  }
  // A number each call makes its own, so that no code is taken already.
  std::string text = "1";
  bool option_value = false;
  mutable std::set<ControlKey> read;
};

std::set<ControlKey> Declared(const MethodInfo& method) {
  std::set<ControlKey> keys;
  for (const FormControlInfo& c : method.form)
    keys.insert({ToLowerAscii(c.control), c.index.value_or(-1), ToLowerAscii(c.property),
                 c.per_item});
  return keys;
}

// One way of calling a method: option setters called first (each with one
// argument), then arguments other than the form, by parameter name.
struct CallChoice {
  std::vector<std::pair<std::string, Variant>> setters;
  std::map<std::string, Variant> args;
};

// Methods whose reads depend on an option or an argument are called once
// for each choice; the others once.
std::vector<CallChoice> Choices(const std::string& cls, const std::string& method) {
  std::vector<CallChoice> choices;
  if (cls == "ServerForFormulaDanYuan" && (method == "AddFormula" || method == "EditFormula")) {
    for (bool window_level : {false, true})
      for (int kind = 1; kind <= 6; ++kind)
        choices.push_back({{{"GetDanChuang", Variant(window_level)}},
                          {{"BtType", Variant(static_cast<int32_t>(kind))}}});
  } else if (cls == "ServerForFormulaDanYuan" && method == "AddFormulaUnit") {
    for (const char* kind : {"型材公式", "配件公式", "玻璃公式", "扇加工图"})
      choices.push_back({{}, {{"BtType", Variant(kind)}, {"strUnitSQL", Variant("1=1")}}});
  } else if (cls == "ServerForFormulaDanYuan" && method == "EditFormulaUnit") {
    for (const char* kind : {"型材公式", "配件公式", "玻璃公式", "扇加工图"})
      choices.push_back({{}, {{"strType", Variant(kind)}}});
  } else if (cls == "ServerForBiao") {
    choices = {{{{"SetDocType", Variant(int32_t{1})}}, {}}};  // a register to write in
  } else if (cls == "ServerForBoLi") {
    choices = {{}, {{{"SetFoShan", Variant(true)}}, {}}};  // the colour suffix
  } else if (cls == "ServerForCPK" && method == "UpdateNum") {
    for (int type = 0; type <= 3; ++type)
      for (bool in : {true, false})
        choices.push_back({{{"SetCPType", Variant(static_cast<int32_t>(type))}},
                          {{"IsRu", Variant(in)}}});
  } else {
    choices.push_back({});
  }
  return choices;
}

// The call's arguments: the form, the setup's choices, else a value of
// each parameter's type.
std::vector<Variant> Arguments(const MethodInfo& method, const CallChoice& choice,
                               const std::shared_ptr<FormRecord>& form) {
  std::vector<Variant> args;
  for (const ParamInfo& p : method.params) {
    if (auto chosen = choice.args.find(p.name); chosen != choice.args.end())
      args.push_back(chosen->second);
    else if (p.type == VarType::Object) args.push_back(Variant(form));
    else if (p.default_value) args.push_back(*p.default_value);
    else if (p.type == VarType::String) args.push_back(Variant(std::string("1")));
    else args.push_back(Variant(int32_t{1}));
  }
  return args;
}

class FormControls : public testing::UpgradedDatabase {};

TEST_P(FormControls, EveryMethodListsTheControlsItReads) {
  // Rows the reads need to get past their duplicate and existence tests.
  Exec("INSERT INTO 厂家 (Cj_ID, BianMa, Quancheng) VALUES(1, 'F', 'Factory')");
  Exec("INSERT INTO 系列 (XL_ID, CJ_ID, MingCheng, xllb) VALUES(1, 1, 'S', 0)");
  int methods_with_forms = 0, calls = 100;
  for (const ClassInfo& cls : AllClasses().All()) {
    for (const MethodInfo& method : cls.methods) {
      bool takes_form = false;
      for (const ParamInfo& p : method.params)
        takes_form |= p.type == VarType::Object && p.name == "frm";
      if (!takes_form) {
        EXPECT_TRUE(method.form.empty()) << cls.name << "." << method.name << " takes no form";
        continue;
      }
      ++methods_with_forms;
      std::set<ControlKey> read;
      for (bool option : {false, true}) {
        auto form = std::make_shared<RecordingForm>();
        form->option_value = option;
        for (const CallChoice& choice : Choices(cls.name, method.name)) {
          form->text = std::to_string(++calls);
          auto object = cls.create();
          std::string cs = connection_string_;
          object->Connect(cs);
          for (const auto& [setter, value] : choice.setters) {
            std::vector<Variant> one{value};
            ASSERT_TRUE(Invoke(*object, *cls.FindMethod(setter), one).ok()) << setter;
          }
          std::vector<Variant> args = Arguments(method, choice, form);
          testing::RecordingPrompter yes({PromptAnswer::Yes, PromptAnswer::Yes});
          (void)Invoke(*object, method, args);
        }
        read.insert(form->read.begin(), form->read.end());
      }
      const std::set<ControlKey> declared = Declared(method);
      for (const ControlKey& key : read)
        EXPECT_TRUE(declared.count(key)) << cls.name << "." << method.name << " reads "
                                         << Describe(key) << " but does not list it";
      for (const ControlKey& key : declared)
        EXPECT_TRUE(read.count(key)) << cls.name << "." << method.name << " lists "
                                     << Describe(key) << " but never reads it";
    }
  }
  EXPECT_GT(methods_with_forms, 25);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, FormControls, ::testing::Values(testing::TestBackend::Sqlite),
                         testing::BackendName);

}  // namespace
}  // namespace dravmor
