// dravmor: the command-line driver of the engine.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "cli/masked_output.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  // Everything printed goes out line by line, passwords masked.
  dravmor::cli::MaskedLines out_lines(std::cout.rdbuf()), err_lines(std::cerr.rdbuf());
  std::ostream out(&out_lines), err(&err_lines);
  try {
    return dravmor::cli::RunCommand(args, std::cin, out, err);
  } catch (const std::exception& e) {
    err << "error: " << e.what() << "\n";
    return 1;
  }
}
