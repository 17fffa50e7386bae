#include "cli/exchange_commands.h"

#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "cli/json_values.h"
#include "engine/memory_form.h"
#include "engine/prompt.h"
#include "engine/shared_connection.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"

namespace dravmor::cli {

namespace {

constexpr const char* kUsage =
    "usage: dravmor export CONNECTION FACTORY_ID DIR [--series ID,ID...]\n"
    "       dravmor import CONNECTION PACKAGE\n"
    "       dravmor import-csv CONNECTION xc|pj FILE...\n";

// Draws the Ok events on stderr: a bar redrawn in place on a terminal,
// else a plain line each time the percentage moves (a log reads them).
// Keeps the other events and the messages for the result line.
class ProgressSink : public EventSink, public Prompter {
 public:
  explicit ProgressSink(std::ostream& err)
      : err_(err), terminal_(&err == &std::cerr && isatty(STDERR_FILENO)) {}
  void OnEvent(std::string_view, std::string_view event, std::vector<Variant>& args) override {
    if (event == "Ok" && args.size() == 2) {
      auto value = args[1].ToInt64();
      last_status = args[0].ToText();
      Draw(std::clamp<int64_t>(value.ok() ? *value : 0, 0, 100));
    } else if (event == "Msg" && !args.empty()) {
      messages.push_back(args[0].ToText());
    } else if (event == "Accesserror" && args.size() >= 3) {
      errors.push_back(args[0].ToText() + ": " + args[2].ToText());
    }
  }
  PromptAnswer Ask(const PromptRequest& request) override {
    messages.push_back(request.text);
    return request.style == PromptStyle::YesNo ? PromptAnswer::No : PromptAnswer::Ok;
  }
  // finished: the operation reached its end, which the bar shows as 100%
  // whatever number its closing event carried.
  void EndBar(bool finished) {
    if (finished && drawn_ && shown_ != 100) {
      shown_ = -1;
      Draw(100);
    }
    if (drawn_ && terminal_) err_ << "\n";
    drawn_ = false;
    shown_ = -1;
  }
  std::string last_status;
  std::vector<std::string> messages, errors;

 private:
  void Draw(int64_t percent) {
    // Progress never goes back: a closing event that carries 0 (as the
    // price lists' does) is shown by EndBar as the end.
    if (percent < shown_) return;
    if (terminal_) {
      const int filled = static_cast<int>(percent * 30 / 100);
      err_ << "\r[" << std::string(filled, '#') << std::string(30 - filled, '.') << "] " << percent
           << "% " << last_status << "\x1b[K" << std::flush;
    } else if (percent != shown_) {
      err_ << percent << "% " << last_status << "\n" << std::flush;
    }
    shown_ = percent;
    drawn_ = true;
  }
  std::ostream& err_;
  bool terminal_;
  bool drawn_ = false;
  int64_t shown_ = -1;
};

// ok: no Accesserror, the operation's closing status was reached (a
// refused package or price list ends without it), and no row or line was
// left out.
int Finish(ProgressSink& sink, nlohmann::ordered_json line, std::ostream& out, bool reached_end,
           bool complete = true) {
  sink.EndBar(reached_end);
  const bool ok = sink.errors.empty() && reached_end && complete;
  line["ok"] = ok;
  line["status"] = sink.last_status;
  line["messages"] = sink.messages;
  line["errors"] = sink.errors;
  out << Line(line) << "\n";
  return ok ? 0 : 1;
}

bool Connect(ServerObject& object, const std::string& connection, std::ostream& err) {
  std::string text = connection;
  object.Connect(text);
  if (!SharedConnection::ForThisThread()->IsOpen()) {
    err << "error: cannot open " << connection << "\n";
    return false;
  }
  return true;
}

}  // namespace

int ExportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 4 && !(args.size() == 6 && args[4] == "--series")) return err << kUsage, 2;
  ProgressSink sink(err);
  ScopedPrompter prompts(&sink);
  ServerForExportFactory exporter;
  exporter.SetEventSink(&sink);
  if (!Connect(exporter, args[1], err)) return 1;
  auto connection = SharedConnection::ForThisThread();

  // The form a user fills: the factory, and its series (all of them unless
  // --series names some).
  auto form = std::make_shared<MemoryForm>();
  form->Set("lstfac.ListIndex", int32_t{0});
  form->Set("lstfac.ItemData(0)", args[2]);
  std::vector<std::string> series;
  if (args.size() == 6) {
    std::string item;
    for (char c : args[5] + ",")
      if (c == ',') {
        if (!item.empty()) series.push_back(item);
        item.clear();
      } else {
        item += c;
      }
  } else {
    auto id = Variant(args[2]).ToCurrency();
    if (!id.ok()) return err << "error: not a factory id: " << args[2] << "\n", 2;
    auto rows = connection->Query("SELECT XL_ID FROM 系列 WHERE CJ_ID=" + id->ToText() +
                                      " ORDER BY XL_ID",
                                  dialect::Source::Jet);
    if (!rows.ok()) return err << "error: " << rows.status().text() << "\n", 1;
    for (const Variant& v : rows->cells) series.push_back(v.ToText());
  }
  form->Set("lstxilie.ListCount", static_cast<int32_t>(series.size()));
  for (size_t i = 0; i < series.size(); ++i) {
    form->Set("lstxilie.Selected(" + std::to_string(i) + ")", true);
    form->Set("lstxilie.ItemData(" + std::to_string(i) + ")", series[i]);
  }

  std::error_code ec;
  std::filesystem::create_directories(args[3], ec);
  exporter.SetAppPath((std::filesystem::temp_directory_path() /
                       ("dravmor-export-" + std::to_string(getpid())))
                          .string());
  exporter.SetPath(args[3]);
  exporter.ExportFactory(form);
  std::filesystem::remove_all(std::filesystem::path(exporter.export_directory()).parent_path(), ec);
  const auto package = (std::filesystem::path(args[3]) / "zgl.rar").string();
  return Finish(sink, {{"package", package}, {"factory", exporter.factory_name()},
                       {"series", series.size()}},
                out, sink.last_status == "导出完成");
}

int ImportCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) return err << kUsage, 2;
  ProgressSink sink(err);
  ScopedPrompter prompts(&sink);
  ServerForImport importer;
  importer.SetEventSink(&sink);
  if (!Connect(importer, args[1], err)) return 1;
  importer.SetPath(args[2]);
  const ServerForImport::Outcome& done = importer.outcome();
  return Finish(sink, {{"package", args[2]}, {"written", done.written}, {"skipped", done.skipped}},
                out, done.finished, done.skipped == 0);
}

int ImportCsvCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() < 4 || (args[2] != "xc" && args[2] != "pj")) return err << kUsage, 2;
  ProgressSink sink(err);
  ScopedPrompter prompts(&sink);
  ServerForImport importer;
  importer.SetEventSink(&sink);
  if (!Connect(importer, args[1], err)) return 1;
  nlohmann::ordered_json results = nlohmann::ordered_json::array();
  bool all = true, complete = true;
  for (size_t i = 3; i < args.size(); ++i) {
    sink.last_status.clear();
    if (args[2] == "xc")
      importer.ImportXc(args[i]);
    else
      importer.ImportPJ(args[i]);
    const ServerForImport::Outcome& done = importer.outcome();
    sink.EndBar(done.finished);
    all = all && done.finished;
    complete = complete && done.skipped == 0;
    results.push_back({{"file", args[i]}, {"status", sink.last_status}, {"written", done.written},
                       {"skipped", done.skipped}});
  }
  return Finish(sink, {{"files", results}}, out, all, complete);
}

}  // namespace dravmor::cli
