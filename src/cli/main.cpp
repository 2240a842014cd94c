// quintara-cli: the scriptable command line of Quintara.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Cli.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return quintara::cli::RunCli(args, std::cout, std::cerr);
}
