#include "tests/support/pg_cluster.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cstdio>
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


// A double-quoted SQL identifier.
std::string Identifier(const std::string& name) {
  std::string out = "\"";
  for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
  return out + "\"";
}

// Where the server binaries are and whom they run as: root runs them as
// user postgres through runuser, since initdb and postgres refuse root.
struct ServerUser {
  std::string bin_dir;
  bool as_postgres = false;
  std::string runuser;
  uid_t uid = 0;
  gid_t gid = 0;

  // The command line of a server program, run as the server's user.
  std::vector<std::string> Command(std::vector<std::string> args) const {
    args[0] = bin_dir + "/" + args[0];
    if (as_postgres) args.insert(args.begin(), {runuser, "-u", "postgres", "--"});
    return args;
  }
  std::string PgCtlForShell() const {
    std::string pg_ctl = ShellQuote(bin_dir + "/pg_ctl");
    if (as_postgres) pg_ctl = ShellQuote(runuser) + " -u postgres -- " + pg_ctl;
    return pg_ctl;
  }
};

// Empty on success, else why no server can run here.
std::string FindServerUser(ServerUser* user) {
  user->bin_dir = FindBinDir();
  if (user->bin_dir.empty())
    return "initdb and pg_ctl not found under /usr/lib/postgresql/*/bin or on the PATH";
  user->uid = ::geteuid();
  user->gid = ::getegid();
  if (user->uid != 0) return "";
  struct passwd* pw = ::getpwnam("postgres");
  if (!pw) return "running as root, and there is no user postgres to run the server as";
  user->runuser = FindRunuser();
  if (user->runuser.empty()) return "running as root, and runuser is not installed";
  user->as_postgres = true;
  user->uid = pw->pw_uid;
  user->gid = pw->pw_gid;
  return "";
}

constexpr const char* kDirPrefix = "/tmp/dravmor-pg-";

// Stops the server of `dir` at once, if it runs, and removes the directory.
// Only directories of the form made here are touched.
std::string StopAndRemove(const ServerUser& user, const std::string& dir) {
  if (dir.rfind(kDirPrefix, 0) != 0 || dir.find("/..") != std::string::npos)
    return "not a test server directory: " + dir;
  std::string why;
  std::error_code ec;
  if (fs::exists(dir + "/data/postmaster.pid", ec) &&
      Run(user.Command({"pg_ctl", "-D", dir + "/data", "-m", "immediate", "-w", "stop"}), "/",
          "/dev/null") != 0)
    why = "pg_ctl stop failed for " + dir;
  fs::remove_all(dir, ec);
  return why;
}

// Starts the shell that stops the server of `dir` and removes the folder
// once `wait` (a shell command) returns. Its own session: Ctrl-C on the
// tests must not reach it. Returns the write end of the pipe on its
// standard input, whose closing ends a `wait` that reads it.
std::string StartWatchdog(const ServerUser& user, const std::string& dir,
                          const std::string& wait, int* pipe_out, pid_t* pid_out) {
  const std::string data = ShellQuote(dir + "/data");
  std::string script = "trap '' INT TERM HUP QUIT\n";
  script += wait + "\n";
  script += "if [ -f " + data + "/postmaster.pid ]; then\n";
  script += "  " + user.PgCtlForShell() + " -D " + data + " -m immediate -w stop >/dev/null 2>&1\n";
  script += "fi\n";
  script += "rm -rf " + ShellQuote(dir) + "\n";
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
    ::setsid();
    if (::chdir("/") != 0) ::_exit(126);
    ::execv(argv[0], const_cast<char* const*>(argv));
    ::_exit(127);
  }
  ::close(fds[0]);
  if (child < 0) {
    ::close(fds[1]);
    return std::string("fork failed: ") + std::strerror(errno);
  }
  *pipe_out = fds[1];
  *pid_out = child;
  return "";
}

// The run's description file: "server", the directory and the port on
// the following lines; or "none" and the reason no server could run.
struct RunFile {
  bool server = false;
  std::string dir;
  int port = 0;
  std::string why;
};

bool ReadRunFile(const std::string& path, RunFile* run) {
  std::ifstream in(path);
  std::string kind;
  if (!std::getline(in, kind)) return false;
  if (kind == "none") {
    run->why.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
  }
  std::string port;
  if (kind != "server" || !std::getline(in, run->dir) || !std::getline(in, port)) return false;
  run->server = true;
  run->port = std::atoi(port.c_str());
  return run->port > 0;
}

Status WriteRunFile(const std::string& path, const std::string& text) {
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::trunc);
    out << text;
    if (!out) return Status::Error(ErrorCode::kFileIo, "cannot write " + temp);
  }
  std::error_code ec;
  fs::rename(temp, path, ec);
  if (ec) return Status::Error(ErrorCode::kFileIo, "cannot write " + path + ": " + ec.message());
  return Status::Ok();
}

}  // namespace

PgCluster* PgCluster::Shared() {
  static PgCluster cluster;
  static std::once_flag once;
  std::call_once(once, [] {
    const char* run = std::getenv(kRunVariable);
    if (run && *run && cluster.Attach(run)) return;
    std::string why = cluster.Start(0);
    if (!why.empty()) cluster.why_unavailable_ = "no PostgreSQL server for the tests: " + why;
  });
  return &cluster;
}

bool PgCluster::Attach(const std::string& run_file) {
  RunFile run;
  if (!ReadRunFile(run_file, &run)) return false;
  if (!run.server) {
    why_unavailable_ = "no PostgreSQL server for the tests: " + run.why;
    return true;
  }
  dir_ = run.dir;
  port_ = run.port;
  attached_ = true;
  if (RunOnServer({"SELECT 1"}).ok()) return true;
  // The run's server is gone (the run was stopped?): fall back to our own.
  dir_.clear();
  port_ = 0;
  attached_ = false;
  return false;
}

Status PgCluster::StartForRun(const std::string& run_file, pid_t owner) {
  PgCluster cluster;
  std::string why = cluster.Start(owner);
  // The server belongs to the run now, not to this short-lived process.
  if (cluster.watchdog_pipe_ >= 0) ::close(cluster.watchdog_pipe_);
  cluster.watchdog_pipe_ = -1;
  cluster.watchdog_ = -1;
  if (!why.empty()) {
    ServerUser user;
    FindServerUser(&user);
    if (!cluster.dir_.empty()) StopAndRemove(user, cluster.dir_);
    return WriteRunFile(run_file, "none\n" + why);
  }
  Status s = WriteRunFile(run_file, "server\n" + cluster.dir_ + "\n" +
                                        std::to_string(cluster.port_) + "\n");
  if (!s.ok()) {
    ServerUser user;
    FindServerUser(&user);
    StopAndRemove(user, cluster.dir_);
  }
  return s;
}

Status PgCluster::StopForRun(const std::string& run_file) {
  RunFile run;
  if (!ReadRunFile(run_file, &run)) return Status::Ok();  // nothing was started
  std::string why;
  if (run.server) {
    ServerUser user;
    why = FindServerUser(&user);
    if (why.empty()) why = StopAndRemove(user, run.dir);
  }
  std::error_code ec;
  fs::remove(run_file, ec);
  if (!why.empty()) return Status::Error(ErrorCode::kConnection, why);
  return Status::Ok();
}

PgCluster::~PgCluster() {
  if (attached_) {
    // The run's server lives on: leave it as we found it.
    std::vector<std::string> drops;
    for (const std::string& name : created_)
      drops.push_back("DROP DATABASE IF EXISTS " + Identifier(name) + " WITH (FORCE)");
    if (!drops.empty()) RunOnServer(drops);
  }
  if (watchdog_ < 0) return;
  // The watchdog stops the server and removes the directory; waiting for
  // it leaves nothing behind when the process ends.
  ::close(watchdog_pipe_);
  int status;
  while (::waitpid(watchdog_, &status, 0) < 0 && errno == EINTR) {
  }
}

std::string PgCluster::Start(pid_t owner) {
  ServerUser user;
  if (std::string why = FindServerUser(&user); !why.empty()) return why;

  char pattern[] = "/tmp/dravmor-pg-XXXXXX";
  if (!::mkdtemp(pattern)) return std::string("mkdtemp failed: ") + std::strerror(errno);
  dir_ = pattern;
  if (user.as_postgres && ::chown(dir_.c_str(), user.uid, user.gid) != 0)
    return "cannot give " + dir_ + " to user postgres: " + std::strerror(errno);
  // From here on the watchdog removes the directory, whatever happens. It
  // waits for the end of the pipe, which comes when this process exits or
  // dies; or, for a run's server, for the run's process to end or the
  // directory to go (StopForRun).
  std::string wait = "read -r _";
  if (owner > 0)
    wait = "while kill -0 " + std::to_string(owner) + " 2>/dev/null && [ -d " +
           ShellQuote(dir_) + " ]; do sleep 1; done";
  if (std::string why = StartWatchdog(user, dir_, wait, &watchdog_pipe_, &watchdog_);
      !why.empty()) {
    std::error_code ec;
    fs::remove_all(dir_, ec);
    return why;
  }

  const std::string data = dir_ + "/data";
  const std::string log = dir_ + "/setup.log";
  // -N: the files need not reach the disk, the cluster dies with the tests.
  std::vector<std::string> initdb = {"initdb", "-D",    data, "-U",   "postgres",
                                     "-A",     "trust", "-E", "UTF8", "-N"};
  auto with_locale = [&](const std::string& locale) {
    std::vector<std::string> args = initdb;
    args.push_back("--locale=" + locale);
    return user.Command(args);
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
  if (Run(user.Command(
              {"pg_ctl", "-D", data, "-l", dir_ + "/server.log", "-w", "-t", "60", "start"}),
          dir_, log) != 0)
    return "pg_ctl start failed: " + Tail(log) + "\n" + Tail(dir_ + "/server.log");
  return "";
}

std::string PgCluster::ServerName(const std::string& name) const {
  // Several test processes share the run's server at once.
  return name + "_" + std::to_string(::getpid());
}

std::string PgCluster::ServerConnectionString(const std::string& server_name) const {
  return "host=" + ConninfoValue(dir_) + " port=" + std::to_string(port_) +
         " dbname=" + ConninfoValue(server_name) + " user=postgres";
}

std::string PgCluster::ConnectionString(const std::string& dbname) const {
  return ServerConnectionString(ServerName(dbname));
}

Status PgCluster::RunOnServer(const std::vector<std::string>& statements) const {
  PGconn* conn = PQconnectdb(ServerConnectionString("postgres").c_str());
  auto fail = [&](const std::string& what) {
    std::string text = what + ": " + PQerrorMessage(conn);
    while (!text.empty() && text.back() == '\n') text.pop_back();
    PQfinish(conn);
    return Status::Error(ErrorCode::kConnection, text);
  };
  if (PQstatus(conn) != CONNECTION_OK) return fail("cannot connect to the test server");
  // Quiet the "does not exist, skipping" of a first DROP.
  PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
  for (const std::string& sql : statements) {
    PGresult* res = PQexec(conn, sql.c_str());
    ExecStatusType status = PQresultStatus(res);
    PQclear(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) return fail(sql);
  }
  PQfinish(conn);
  return Status::Ok();
}

Status PgCluster::CreateDatabase(const std::string& name) {
  if (!available()) return Status::Error(ErrorCode::kConnection, why_unavailable_);
  const std::string ident = Identifier(ServerName(name));
  // FORCE: a connection a previous test left open must not keep the old
  // database alive.
  Status s = RunOnServer({"DROP DATABASE IF EXISTS " + ident + " WITH (FORCE)",
                          "CREATE DATABASE " + ident + " TEMPLATE template0 ENCODING 'UTF8'"});
  if (s.ok() && attached_) {
    std::lock_guard<std::mutex> lock(mutex_);
    created_.push_back(ServerName(name));
  }
  return s;
}

}  // namespace dravmor::testing
