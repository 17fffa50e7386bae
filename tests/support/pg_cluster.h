// Test support: a throwaway PostgreSQL server for the tests that need one.
//
// A test run (ctest) starts one server for all its test processes through
// the pg_cluster fixture (StartForRun/StopForRun, driven by the
// dravmor_test_cluster program) and names its description file in the
// environment variable DRAVMOR_TEST_PG_CLUSTER. Shared() then attaches to
// that server, and every database a process creates gets the process id in
// its name, so that processes running side by side never meet; the process
// drops its databases when it exits.
//
// A test binary run by hand, without that variable, starts a server of its
// own instead: the first call to Shared() runs initdb in a new directory
// under /tmp and starts a server there that listens only on a Unix socket
// in that directory (trust authentication, no fsync).
//
// Either way no server outlives its tests: a watchdog process stops the
// server and removes its directory when the process that owns it (the test
// process, or ctest for the run's server) ends, even by a crash or Ctrl-C.
// As root (CI), the server runs as user postgres.
//
// When no PostgreSQL binaries are installed, or the server cannot start,
// available() is false and why_unavailable() says why; tests then skip:
//
//   auto* pg = PgCluster::Shared();
//   if (!pg->available()) GTEST_SKIP() << pg->why_unavailable();
#pragma once

#include <sys/types.h>

#include <mutex>
#include <string>
#include <vector>

#include "engine/status.h"

namespace dravmor::testing {

class PgCluster {
 public:
  // The variable that names the run's description file.
  static constexpr const char* kRunVariable = "DRAVMOR_TEST_PG_CLUSTER";

  // The process's server: the run's one when there is one, else its own,
  // started on first use. Thread-safe.
  static PgCluster* Shared();

  // Starts a server for a whole test run and describes it in `run_file`;
  // it lives until StopForRun or until process `owner` ends. When no server
  // can run here, the file says why and the result is still Ok, so that the
  // tests run (and skip what needs a server).
  static Status StartForRun(const std::string& run_file, pid_t owner);
  // Stops the run's server, removes its directory and the file.
  static Status StopForRun(const std::string& run_file);

  PgCluster(const PgCluster&) = delete;
  PgCluster& operator=(const PgCluster&) = delete;
  ~PgCluster();

  bool available() const { return why_unavailable_.empty(); }
  const std::string& why_unavailable() const { return why_unavailable_; }

  // libpq key/value connection string for the database `dbname` made by
  // CreateDatabase, as the superuser postgres (e.g. "host=/tmp/dravmor-pg-
  // Ab12Cd port=54123 dbname=shop_4711 user=postgres").
  std::string ConnectionString(const std::string& dbname) const;

  // A fresh, empty UTF8 database made from template0; an existing one of
  // that name is dropped first (its connections closed). Thread-safe.
  Status CreateDatabase(const std::string& name);

 private:
  PgCluster() = default;
  // Attaches to the run's server; false when the file does not settle it
  // (missing, or its server gone), and the process should start its own.
  bool Attach(const std::string& run_file);
  // Starts a server watched for the end of process `owner`, or of this
  // process when owner is 0. Empty on success, else the reason.
  std::string Start(pid_t owner);
  // The name a database of this process has on the server.
  std::string ServerName(const std::string& name) const;
  std::string ServerConnectionString(const std::string& server_name) const;
  Status RunOnServer(const std::vector<std::string>& statements) const;

  std::string why_unavailable_;
  std::string dir_;  // socket directory; the data directory is dir_/data
  int port_ = 0;
  bool attached_ = false;               // the run's server, not our own
  std::mutex mutex_;
  std::vector<std::string> created_;    // to drop at exit when attached
  int watchdog_pipe_ = -1;  // its closing tells the watchdog to clean up
  pid_t watchdog_ = -1;
};

}  // namespace dravmor::testing
