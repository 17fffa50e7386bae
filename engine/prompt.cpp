#include "engine/prompt.h"

namespace dravmor {

namespace {
thread_local Prompter* current_prompter = nullptr;
}  // namespace

void UsePrompter(Prompter* prompter) { current_prompter = prompter; }
Prompter* CurrentPrompter() { return current_prompter; }

bool AskYesNo(const std::string& title, const std::string& text) {
  if (!current_prompter) return false;
  return current_prompter->Ask({PromptStyle::YesNo, title, text}) == PromptAnswer::Yes;
}

void ShowInformation(const std::string& title, const std::string& text) {
  if (current_prompter) current_prompter->Ask({PromptStyle::Information, title, text});
}

}  // namespace dravmor
