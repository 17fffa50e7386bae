// Prompt: how the engine asks the user something. A few operations put a
// Yes/No question or an information message to the user; the library owns
// no screen, so the caller installs a Prompter for its thread and answers
// them there. With none installed nobody can answer: questions are taken as
// No (nothing is written on a question's behalf) and messages are dropped.
#pragma once

#include <string>

namespace dravmor {

enum class PromptStyle { YesNo, Information };
enum class PromptAnswer { Yes, No, Ok };

struct PromptRequest {
  PromptStyle style = PromptStyle::Information;
  std::string title;
  std::string text;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual PromptAnswer Ask(const PromptRequest& request) = 0;
};

// The prompter of the calling thread (not owned; null restores the default).
void UsePrompter(Prompter* prompter);
Prompter* CurrentPrompter();

// Installs a prompter for a scope and puts the previous one back.
class ScopedPrompter {
 public:
  explicit ScopedPrompter(Prompter* prompter) : previous_(CurrentPrompter()) {
    UsePrompter(prompter);
  }
  ~ScopedPrompter() { UsePrompter(previous_); }
  ScopedPrompter(const ScopedPrompter&) = delete;
  ScopedPrompter& operator=(const ScopedPrompter&) = delete;

 private:
  Prompter* previous_;
};

// The two kinds of message box the operations show.
bool AskYesNo(const std::string& title, const std::string& text);
void ShowInformation(const std::string& title, const std::string& text);

}  // namespace dravmor
