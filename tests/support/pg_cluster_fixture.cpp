// dravmor_test_cluster start|stop RUN_FILE: the ctest fixture that gives a
// whole test run one PostgreSQL server. "start" (the fixture's set-up)
// starts it and describes it in RUN_FILE, which the test processes find
// through DRAVMOR_TEST_PG_CLUSTER; the server lives until "stop" (the
// clean-up) or until the process that ran "start" — ctest — ends.
#include <unistd.h>

#include <cstring>
#include <iostream>
#include <string>

#include "tests/support/pg_cluster.h"

int main(int argc, char** argv) {
  using dravmor::testing::PgCluster;
  if (argc != 3 || (std::strcmp(argv[1], "start") != 0 && std::strcmp(argv[1], "stop") != 0)) {
    std::cerr << "usage: " << argv[0] << " start|stop RUN_FILE\n";
    return 2;
  }
  const std::string run_file = argv[2];
  dravmor::Status s = std::strcmp(argv[1], "start") == 0
                          ? PgCluster::StartForRun(run_file, ::getppid())
                          : PgCluster::StopForRun(run_file);
  if (!s.ok()) {
    std::cerr << argv[1] << ": " << s.text() << "\n";
    return 1;
  }
  return 0;
}
