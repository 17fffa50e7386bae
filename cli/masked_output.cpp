#include "cli/masked_output.h"

#include "engine/password_mask.h"

namespace dravmor::cli {

std::streambuf::int_type MaskedLines::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return sync() == 0 ? 0 : c;
  pending_ += traits_type::to_char_type(c);
  if (c == '\n' && !PassLines()) return traits_type::eof();
  return c;
}

std::streamsize MaskedLines::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<size_t>(n));
  return PassLines() ? n : 0;
}

int MaskedLines::sync() {
  if (!Pass(pending_.size())) return -1;
  return target_->pubsync();
}

bool MaskedLines::PassLines() {
  const size_t end = pending_.rfind('\n');
  if (end == std::string::npos) return true;
  return Pass(end + 1) && target_->pubsync() == 0;
}

bool MaskedLines::Pass(size_t length) {
  if (length == 0) return true;
  const std::string text = MaskPasswords(std::string_view(pending_).substr(0, length));
  pending_.erase(0, length);
  return target_->sputn(text.data(), static_cast<std::streamsize>(text.size())) ==
         static_cast<std::streamsize>(text.size());
}

}  // namespace dravmor::cli
