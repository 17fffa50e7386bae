// Test support: a throwaway PostgreSQL server for the tests that need one.
// The first call to Shared() runs initdb in a new directory under /tmp and
// starts a server there that listens only on a Unix socket in that
// directory (trust authentication, no fsync). At process exit the server is
// stopped and the directory removed; a watchdog process does it when the
// test process dies without exiting (a crash, Ctrl-C), so that no server
// outlives its tests. As root (CI), the server runs as user postgres.
//
// When no PostgreSQL binaries are installed, or the server cannot start,
// available() is false and why_unavailable() says why; tests then skip:
//
//   auto* pg = PgCluster::Shared();
//   if (!pg->available()) GTEST_SKIP() << pg->why_unavailable();
#pragma once

#include <sys/types.h>

#include <string>

#include "engine/status.h"

namespace dravmor::testing {

class PgCluster {
 public:
  // The process's one server, started on first use. Thread-safe.
  static PgCluster* Shared();

  PgCluster(const PgCluster&) = delete;
  PgCluster& operator=(const PgCluster&) = delete;
  ~PgCluster();

  bool available() const { return why_unavailable_.empty(); }
  const std::string& why_unavailable() const { return why_unavailable_; }

  // libpq key/value connection string for a database of this server, as
  // its superuser postgres (e.g. "host=/tmp/dravmor-pg-Ab12Cd port=54123
  // dbname=shop user=postgres").
  std::string ConnectionString(const std::string& dbname) const;

  // A fresh, empty UTF8 database made from template0; an existing one of
  // that name is dropped first (its connections closed). Thread-safe.
  Status CreateDatabase(const std::string& name);

 private:
  PgCluster();
  // Empty on success, else the reason; fills the members as it goes.
  std::string Start();
  std::string StartWatchdog();

  std::string why_unavailable_;
  std::string bin_dir_;
  std::string dir_;  // socket directory; the data directory is dir_/data
  int port_ = 0;
  bool as_postgres_user_ = false;  // root runs the binaries through runuser
  std::string runuser_;
  int watchdog_pipe_ = -1;  // its closing tells the watchdog to clean up
  pid_t watchdog_ = -1;
};

}  // namespace dravmor::testing
