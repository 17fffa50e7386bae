#include "tests/support/pg_cluster.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace dravmor::testing {

namespace fs = std::filesystem;

namespace {

bool Executable(const fs::path& p) { return ::access(p.c_str(), X_OK) == 0; }

// The numeric parts of a version folder name ("15", "9.6") for ordering.
std::vector<int> VersionOf(const std::string& name) {
  std::vector<int> parts;
  std::stringstream in(name);
  std::string part;
  while (std::getline(in, part, '.')) {
    if (part.empty() || part.find_first_not_of("0123456789") != std::string::npos) return {};
    parts.push_back(std::stoi(part));
  }
  return parts;
}

// The folder that holds initdb and pg_ctl: the highest version under
// /usr/lib/postgresql (Debian keeps them off the PATH), else the PATH.
std::string FindBinDir() {
  std::error_code ec;
  std::vector<int> best_version;
  std::string best;
  for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", ec)) {
    std::vector<int> version = VersionOf(entry.path().filename().string());
    fs::path bin = entry.path() / "bin";
    if (version.empty() || !Executable(bin / "initdb") || !Executable(bin / "pg_ctl")) continue;
    if (best.empty() || version > best_version) {
      best_version = version;
      best = bin.string();
    }
  }
  if (!best.empty()) return best;
  if (const char* path = std::getenv("PATH")) {
    std::stringstream in(path);
    std::string dir;
    while (std::getline(in, dir, ':'))
      if (!dir.empty() && Executable(fs::path(dir) / "initdb") &&
          Executable(fs::path(dir) / "pg_ctl"))
        return dir;
  }
  return "";
}

std::string FindRunuser() {
  std::vector<std::string> dirs = {"/usr/sbin", "/sbin", "/usr/bin", "/bin"};
  for (const std::string& dir : dirs)
    if (Executable(fs::path(dir) / "runuser")) return dir + "/runuser";
  return "";
}

// Runs the program (argv[0] a full path) in `cwd` with its output appended
// to the log file; its exit status, or -1 when it could not run.
int Run(const std::vector<std::string>& args, const std::string& cwd, const std::string& log) {
  // Everything the child needs is prepared before fork: between fork and
  // exec only async-signal-safe calls are allowed.
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (out < 0) return -1;
  pid_t child = ::fork();
  if (child == 0) {
    int null_in = ::open("/dev/null", O_RDONLY);
    if (null_in >= 0) ::dup2(null_in, 0);
    ::dup2(out, 1);
    ::dup2(out, 2);
    // A user postgres cannot read root's working directory, and pg_ctl
    // fails when it cannot find its own.
    if (::chdir(cwd.c_str()) != 0) ::_exit(126);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out);
  if (child < 0) return -1;
  int status = 0;
  while (::waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Tail(const std::string& file, size_t bytes = 1500) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (text.size() > bytes) text = "..." + text.substr(text.size() - bytes);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

std::string ShellQuote(const std::string& s) {
  std::string out = "'";
  for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

// A libpq connection-string value, quoted when it must be.
std::string ConninfoValue(const std::string& v) {
  if (!v.empty() && v.find_first_of(" '\\") == std::string::npos) return v;
  std::string out = "'";
  for (char c : v) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out + "'";
}

}  // namespace

PgCluster* PgCluster::Shared() {
  static PgCluster cluster;
  return &cluster;
}

PgCluster::PgCluster() {
  why_unavailable_ = Start();
  if (why_unavailable_.empty()) return;
  why_unavailable_ = "no PostgreSQL server for the tests: " + why_unavailable_;
}

PgCluster::~PgCluster() {
  if (watchdog_ < 0) return;
  // The watchdog stops the server and removes the directory; waiting for
  // it leaves nothing behind when the process ends.
  ::close(watchdog_pipe_);
  int status;
  while (::waitpid(watchdog_, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string PgCluster::Start() {
  bin_dir_ = FindBinDir();
  if (bin_dir_.empty())
    return "initdb and pg_ctl not found under /usr/lib/postgresql/*/bin or on the PATH";

  // initdb and postgres refuse to run as root: run them as postgres.
  uid_t uid = ::geteuid();
  gid_t gid = ::getegid();
  if (uid == 0) {
    struct passwd* pw = ::getpwnam("postgres");
    if (!pw) return "running as root, and there is no user postgres to run the server as";
    runuser_ = FindRunuser();
    if (runuser_.empty()) return "running as root, and runuser is not installed";
    as_postgres_user_ = true;
    uid = pw->pw_uid;
    gid = pw->pw_gid;
  }

  char pattern[] = "/tmp/dravmor-pg-XXXXXX";
  if (!::mkdtemp(pattern)) return std::string("mkdtemp failed: ") + std::strerror(errno);
  dir_ = pattern;
  if (as_postgres_user_ && ::chown(dir_.c_str(), uid, gid) != 0)
    return "cannot give " + dir_ + " to user postgres: " + std::strerror(errno);
  // From here on the watchdog removes the directory, whatever happens.
  if (std::string why = StartWatchdog(); !why.empty()) {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    return why;
  }

  const std::string data = dir_ + "/data";
  const std::string log = dir_ + "/setup.log";
  auto as_server_user = [&](std::vector<std::string> args) {
    args[0] = bin_dir_ + "/" + args[0];
    if (as_postgres_user_) args.insert(args.begin(), {runuser_, "-u", "postgres", "--"});
    return args;
  };

  // -N: the files need not reach the disk, the cluster dies with the tests.
  std::vector<std::string> initdb = {"initdb", "-D",    data, "-U",   "postgres",
                                     "-A",     "trust", "-E", "UTF8", "-N"};
  auto with_locale = [&](const std::string& locale) {
    std::vector<std::string> args = initdb;
    args.push_back("--locale=" + locale);
    return as_server_user(args);
  };
  if (Run(with_locale("C.UTF-8"), dir_, log) != 0) {
    std::error_code ec;
    fs::remove_all(data, ec);
    if (Run(with_locale("C"), dir_, log) != 0) return "initdb failed: " + Tail(log);
  }

  port_ = 54000 + static_cast<int>(::getpid() % 1000);
  // The socket lives in our own directory, so the port cannot clash with
  // another server; it only names the socket file.
  {
    std::ofstream conf(data + "/postgresql.conf", std::ios::app);
    conf << "\n# Throwaway test server.\n"
         << "listen_addresses = ''\n"
         << "unix_socket_directories = '" << dir_ << "'\n"
         << "port = " << port_ << "\n"
         << "fsync = off\n"
         << "full_page_writes = off\n"
         << "synchronous_commit = off\n";
    if (!conf) return "cannot write " + data + "/postgresql.conf";
  }
  if (Run(as_server_user(
              {"pg_ctl", "-D", data, "-l", dir_ + "/server.log", "-w", "-t", "60", "start"}),
          dir_, log) != 0)
    return "pg_ctl start failed: " + Tail(log) + "\n" + Tail(dir_ + "/server.log");
  return "";
}

std::string PgCluster::StartWatchdog() {
  // A shell that waits for the end of the pipe, which comes when this
  // process exits or dies, then stops the server and removes the folder.
  std::string pg_ctl = ShellQuote(bin_dir_ + "/pg_ctl");
  if (as_postgres_user_) pg_ctl = ShellQuote(runuser_) + " -u postgres -- " + pg_ctl;
  const std::string data = ShellQuote(dir_ + "/data");
  std::string script = "trap '' INT TERM HUP QUIT\n";
  script += "read -r _\n";
  script += "if [ -f " + data + "/postmaster.pid ]; then\n";
  script += "  " + pg_ctl + " -D " + data + " -m immediate -w stop >/dev/null 2>&1\n";
  script += "fi\n";
  script += "rm -rf " + ShellQuote(dir_) + "\n";
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return std::string("pipe failed: ") + std::strerror(errno);
  const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
  pid_t child = ::fork();
  if (child == 0) {
    ::dup2(fds[0], 0);  // dup2 clears close-on-exec on the copy
    int null_out = ::open("/dev/null", O_WRONLY);
    if (null_out >= 0) {
      ::dup2(null_out, 1);
      ::dup2(null_out, 2);
    }
    // Its own process group: Ctrl-C on the tests must not reach it.
    ::setpgid(0, 0);
    if (::chdir("/") != 0) ::_exit(126);
    ::execv(argv[0], const_cast<char* const*>(argv));
    ::_exit(127);
  }
  ::close(fds[0]);
  if (child < 0) {
    ::close(fds[1]);
    return std::string("fork failed: ") + std::strerror(errno);
  }
  watchdog_pipe_ = fds[1];
  watchdog_ = child;
  return "";
}

std::string PgCluster::ConnectionString(const std::string& dbname) const {
  return "host=" + ConninfoValue(dir_) + " port=" + std::to_string(port_) +
         " dbname=" + ConninfoValue(dbname) + " user=postgres";
}

Status PgCluster::CreateDatabase(const std::string& name) {
  if (!available()) return Status::Error(ErrorCode::kConnection, why_unavailable_);
  PGconn* conn = PQconnectdb(ConnectionString("postgres").c_str());
  auto fail = [&](const std::string& what) {
    std::string text = what + ": " + PQerrorMessage(conn);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    PQfinish(conn);
    return Status::Error(ErrorCode::kConnection, text);
  };
  if (PQstatus(conn) != CONNECTION_OK) return fail("cannot connect to the test server");
  // Quiet the "does not exist, skipping" of the first DROP.
  PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
  char* quoted = PQescapeIdentifier(conn, name.c_str(), name.size());
  if (!quoted) return fail("bad database name");
  const std::string ident = quoted;
  PQfreemem(quoted);
  // FORCE: a connection a previous test left open must not keep the old
  // database alive.
  for (const std::string& sql :
       {"DROP DATABASE IF EXISTS " + ident + " WITH (FORCE)",
        "CREATE DATABASE " + ident + " TEMPLATE template0 ENCODING 'UTF8'"}) {
    PGresult* res = PQexec(conn, sql.c_str());
    bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    PQclear(res);
    if (!ok) return fail(sql);
  }
  PQfinish(conn);
  return Status::Ok();
}

}  // namespace dravmor::testing
