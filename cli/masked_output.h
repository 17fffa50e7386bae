// An output buffer that passes text on line by line, each line with its
// passwords masked (engine/password_mask.h) and flushed at once, so that a
// reader sees every line the moment it is written. A flush passes on a
// partial line (a progress bar) as it stands.
#pragma once

#include <streambuf>
#include <string>

namespace dravmor::cli {

class MaskedLines : public std::streambuf {
 public:
  explicit MaskedLines(std::streambuf* target) : target_(target) {}
  ~MaskedLines() override { sync(); }

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  bool Pass(size_t length);  // writes that much of the pending text, masked
  bool PassLines();          // writes the complete lines pending, flushed

  std::streambuf* target_;
  std::string pending_;
};

}  // namespace dravmor::cli
