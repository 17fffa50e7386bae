#include "engine/connection_string.h"

#include "engine/text.h"

namespace dravmor {

namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r\n");
  if (b == std::string::npos) return "";
  size_t e = s.find_last_not_of(" \t\r\n");
  return s.substr(b, e - b + 1);
}

Status Malformed(const std::string& why) {
  return Status::Error(ErrorCode::kConnection, "Malformed connection string: " + why);
}

Result<std::map<std::string, std::string>> ParsePairs(const std::string& text) {
  std::map<std::string, std::string> pairs;
  size_t i = 0;
  while (i < text.size()) {
    size_t eq = text.find('=', i);
    if (eq == std::string::npos) {
      if (Trim(text.substr(i)).empty()) break;
      return Malformed("expected key=value near '" + text.substr(i) + "'");
    }
    std::string key = ToLowerAscii(Trim(text.substr(i, eq - i)));
    if (key.empty()) return Malformed("empty key");
    size_t j = eq + 1;
    while (j < text.size() && text[j] == ' ') ++j;
    std::string value;
    if (j < text.size() && (text[j] == '"' || text[j] == '\'')) {
      char q = text[j];
      size_t close = text.find(q, j + 1);
      if (close == std::string::npos) return Malformed("unclosed quote in '" + key + "'");
      value = text.substr(j + 1, close - j - 1);
      j = close + 1;
      while (j < text.size() && text[j] == ' ') ++j;
      if (j < text.size() && text[j] != ';') return Malformed("text after quoted value of '" + key + "'");
    } else {
      size_t semi = text.find(';', j);
      value = Trim(text.substr(j, semi == std::string::npos ? std::string::npos : semi - j));
      j = semi == std::string::npos ? text.size() : semi;
    }
    pairs[key] = value;
    i = j < text.size() ? j + 1 : j;
  }
  return pairs;
}

// A value as libpq's key/value syntax takes it: in single quotes, with
// backslash before quote and backslash.
std::string LibpqValue(const std::string& value) {
  std::string out = "'";
  for (char c : value) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out + "'";
}

// "host=... dbname=...": libpq's own key/value form (blank-separated, no
// semicolons), recognised by its first key.
bool IsLibpqKeyValue(const std::string& text) {
  if (text.find(';') != std::string::npos) return false;
  size_t eq = text.find('=');
  std::string key = ToLowerAscii(Trim(text.substr(0, eq)));
  for (const char* k : {"host", "hostaddr", "port", "dbname", "user", "password", "service",
                        "sslmode", "application_name", "connect_timeout", "options"})
    if (key == k) return true;
  return false;
}

// SQL Server's "Data Source=HOST[,PORT][\INSTANCE];Initial Catalog=DB;User
// ID=U;Password=P" as a libpq key/value string.
Result<std::string> LibpqFromSqlServer(const std::map<std::string, std::string>& pairs) {
  auto find = [&](std::initializer_list<const char*> keys) -> std::string {
    for (const char* key : keys)
      if (auto it = pairs.find(key); it != pairs.end()) return it->second;
    return "";
  };
  std::string source = find({"data source", "server", "address", "addr"});
  std::string database = find({"initial catalog", "database"});
  if (source.empty()) return Malformed("no Data Source (the server)");
  if (database.empty()) return Malformed("no Initial Catalog (the database)");
  std::string host = source.substr(0, source.find('\\'));  // instances have no counterpart
  std::string port;
  if (size_t comma = host.find(','); comma != std::string::npos) {
    port = Trim(host.substr(comma + 1));
    host = Trim(host.substr(0, comma));
  }
  if (host == "." || EqualsIgnoreCase(host, "(local)")) host = "localhost";
  std::string out = "host=" + LibpqValue(host) + " dbname=" + LibpqValue(database);
  if (!port.empty()) out += " port=" + LibpqValue(port);
  if (std::string user = find({"user id", "uid", "user"}); !user.empty())
    out += " user=" + LibpqValue(user);
  if (std::string password = find({"password", "pwd"}); !password.empty())
    out += " password=" + LibpqValue(password);
  if (std::string timeout = find({"connect timeout", "connection timeout"}); !timeout.empty())
    out += " connect_timeout=" + LibpqValue(timeout);
  return out;
}

}  // namespace

Result<ConnectionTarget> ParseConnectionString(const std::string& raw) {
  std::string text = Trim(raw);
  if (text.empty()) return Malformed("empty");
  ConnectionTarget target;
  if (text.rfind("postgresql://", 0) == 0 || text.rfind("postgres://", 0) == 0 ||
      IsLibpqKeyValue(text)) {
    target.kind = BackendKind::Postgres;
    target.libpq = text;
    return target;
  }
  if (text.find('=') == std::string::npos) {  // a bare file path
    target.file = text;
    return target;
  }
  auto pairs = ParsePairs(text);
  if (!pairs.ok()) return pairs.status();
  target.settings = *pairs;
  auto find = [&](const char* key) -> std::string {
    auto it = target.settings.find(key);
    return it == target.settings.end() ? "" : it->second;
  };
  std::string provider = ToLowerAscii(find("provider"));
  if (provider.rfind("sqloledb", 0) == 0 || provider.rfind("sqlncli", 0) == 0 ||
      provider.rfind("msoledbsql", 0) == 0) {
    target.kind = BackendKind::Postgres;
    auto libpq = LibpqFromSqlServer(target.settings);
    if (!libpq.ok()) return libpq.status();
    target.libpq = *libpq;
    return target;
  }
  target.file = find("data source");
  if (target.file.empty()) return Malformed("no Data Source");
  return target;
}

}  // namespace dravmor
