// The server-object frame: error modes, events, the open/keep rule of the
// shared connection, operator scope.
#include <thread>

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "engine/server_object.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using testing::EventRecorder;
using testing::ShippedDatabase;

// A server class made only of frame mechanics.
class Probe : public ServerObject {
 public:
  Probe() : ServerObject("Probe") {}
  using ServerObject::Exec;
  using ServerObject::TryExecFailures;
  using ServerObject::Open;
  using ServerObject::Run;

  RecordsetPtr Query(const std::string& sql) {
    auto rs = std::make_shared<Recordset>();
    Run(ErrorMode::Handler, "Query", [&] {
      OpenInto(rs, sql);
      rs = RaiseResult("rsResult", rs);
    });
    return rs;
  }
  // Runs the statements under a mode; counts the steps that completed.
  int Steps(ErrorMode mode, const std::vector<std::string>& statements) {
    int done = 0;
    Run(mode, "Steps", [&] {
      for (const auto& s : statements)
        if (Exec(s)) ++done;
    });
    return done;
  }
  // Steps as one cascade: all or nothing; then, when asked, an event that
  // tells of the change.
  void Cascade(const std::vector<std::string>& statements, bool tell = false) {
    RunAtomically(ErrorMode::Handler, "Cascade", [&] {
      for (const auto& s : statements) Exec(s);
      std::vector<Variant> none;
      if (tell) Raise("Done", none);
    });
  }
  // Resume-next steps in one transaction; then statements whose failures
  // are collected. Returns the first collected failure.
  Status SkipAndCollect(const std::vector<std::string>& skipped,
                        const std::vector<std::string>& collected) {
    Status first = Status::Ok();
    RunAtomically(ErrorMode::ResumeNext, "SkipAndCollect", [&] {
      for (const auto& s : skipped) Exec(s);
      for (const auto& s : collected) TryExecLater(s);
      first = TryExecFailures();
    });
    return first;
  }
  // Resume-next writes with reads between them: what each read counted.
  std::vector<std::string> WritesAndReads(const std::vector<std::string>& statements) {
    std::vector<std::string> counts;
    RunAtomically(ErrorMode::ResumeNext, "WritesAndReads", [&] {
      for (const auto& s : statements) {
        if (s.rfind("SELECT", 0) != 0) {
          Exec(s);
          continue;
        }
        RecordsetPtr rs = Open(s);
        counts.push_back(rs->IsOpen() && !*rs->Eof() ? Field(rs, size_t{0}).ToText() : "-");
      }
    });
    return counts;
  }
  int Nested(ErrorMode outer, ErrorMode inner) {
    int after = 0;
    Run(outer, "Outer", [&] {
      Steps(inner, {"DELETE FROM no_such_table"});
      ++after;
    });
    return after;
  }
};

class Frame : public ShippedDatabase {
 protected:
  void SetUp() override {
    ShippedDatabase::SetUp();
    if (IsSkipped()) return;
    probe_.SetEventSink(&events_);
    std::string cs = connection_string_;
    probe_.Connect(cs);
    Exec("CREATE TABLE t (id Long, name Text(20))");
  }
  Probe probe_;
  EventRecorder events_;
};

TEST_P(Frame, CascadeFailingHalfWayLeavesNothingBehind) {
  std::vector<std::string> order;
  events_.handler = [&](const std::string& name, std::vector<Variant>&) {
    // The handler already sees the rolled-back state.
    order.push_back(name + ":" + std::to_string(Scalar("SELECT COUNT(*) FROM t").long_value()));
  };
  // The failing step's own error, and no event of a change that failed,
  // however the backend sends the writes.
  probe_.Cascade({"INSERT INTO t VALUES(1,'a')", "INSERT INTO nope VALUES(1)",
                  "INSERT INTO t VALUES(2,'b')"},
                 /*tell=*/true);
  EXPECT_EQ(order, std::vector<std::string>{"Accesserror:0"});
  EXPECT_NE(events_.Last("Accesserror")->args[2].str().find("nope"), std::string::npos);
  probe_.Cascade({"INSERT INTO t VALUES(1,'a')", "INSERT INTO t VALUES(2,'b')"});
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t").long_value(), 2);
  // Inside a transaction already open the cascade nests: its failure undoes
  // its own part only, and the outer transaction goes on.
  {
    Transaction outer(probe_.connection());
    ASSERT_TRUE(outer.status().ok());
    probe_.Cascade({"INSERT INTO t VALUES(3,'c')"});
    probe_.Cascade({"INSERT INTO t VALUES(4,'d')", "INSERT INTO nope VALUES(1)"});
    // Read inside the open transaction, on its own connection.
    auto rows = probe_.connection().Query("SELECT COUNT(*) FROM t", dialect::Source::Jet);
    ASSERT_TRUE(rows.ok());
    EXPECT_EQ(rows->cells[0].long_value(), 3);
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t").long_value(), 2);  // the outer rolled back
}

// Handler and silent handler stop at the failing step (no rollback), the
// first with an Accesserror; resume-next attempts every step; none hands
// the failure to the caller.
TEST_P(Frame, EachModeStopsOrGoesOnAsItPromises) {
  const std::vector<std::string> steps = {"INSERT INTO t VALUES(1,'a')", "INSERT INTO nope VALUES(1)",
                                          "INSERT INTO t VALUES(2,'b')"};
  const struct {
    ErrorMode mode;
    int done;
    bool reported;
  } cases[] = {{ErrorMode::Handler, 1, true}, {ErrorMode::SilentHandler, 1, false},
               {ErrorMode::ResumeNext, 2, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.mode));
    events_.events.clear();
    Exec("DELETE FROM t");
    EXPECT_EQ(probe_.Steps(c.mode, steps), c.done);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t").long_value(), c.done);
    EXPECT_EQ(events_.events.size(), c.reported ? 1u : 0u);
    if (!c.reported || events_.events.empty()) continue;
    const auto& args = events_.events[0].args;
    EXPECT_EQ(events_.events[0].name, "Accesserror");
    EXPECT_EQ(args[0].str(), "Probe.Steps");
    EXPECT_NE(args[1].long_value(), 0);
    EXPECT_NE(args[2].str().find("nope"), std::string::npos);
    EXPECT_EQ(args[3].long_value(), 0);
  }
  events_.events.clear();
  try {
    probe_.Steps(ErrorMode::None, {"INSERT INTO nope VALUES(1)"});
    FAIL() << "no error reached the caller";
  } catch (const CallError& e) {
    EXPECT_NE(e.status().text().find("nope"), std::string::npos);
  }
  EXPECT_TRUE(events_.events.empty());
}

// On a server these writes are not waited for one by one: a failing one is
// still undone alone and the ones after it still run.
TEST_P(Frame, UnwaitedWritesKeepTheMeaningOfTheirMode) {
  Status collected = probe_.SkipAndCollect(
      {"INSERT INTO t VALUES(1,'a')", "INSERT INTO nope VALUES(1)", "INSERT INTO t VALUES(2,'b')"},
      {"INSERT INTO t VALUES(3,'c')", "DELETE FROM nope", "INSERT INTO nope2 VALUES(1)",
       "INSERT INTO t VALUES(4,'d')"});
  EXPECT_TRUE(events_.events.empty());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t").long_value(), 4);
  ASSERT_FALSE(collected.ok());
  EXPECT_NE(collected.text().find("nope"), std::string::npos);
  EXPECT_EQ(collected.text().find("nope2"), std::string::npos);  // the first one
  EXPECT_TRUE(probe_.SkipAndCollect({}, {"INSERT INTO t VALUES(5,'e')"}).ok());
}

// A read sees every write before it that did not fail, whichever of them
// failed and wherever the read fails itself.
TEST_P(Frame, ReadsBetweenUnwaitedWritesSeeThem) {
  EXPECT_EQ(probe_.WritesAndReads({"INSERT INTO t VALUES(1,'a')", "INSERT INTO nope VALUES(1)",
                                   "SELECT COUNT(*) FROM t", "INSERT INTO t VALUES(2,'b')",
                                   "SELECT * FROM nope", "INSERT INTO t VALUES(3,'c')",
                                   "INSERT INTO nope VALUES(2)", "INSERT INTO t VALUES(4,'d')",
                                   "SELECT COUNT(*) FROM t"}),
            (std::vector<std::string>{"1", "-", "4"}));
  EXPECT_TRUE(events_.events.empty());
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t").long_value(), 4);
}

TEST_P(Frame, NestedModesDecideWhereAFailureGoes) {
  // An inner handler reports under its own name and the outer goes on.
  EXPECT_EQ(probe_.Nested(ErrorMode::Handler, ErrorMode::Handler), 1);
  EXPECT_EQ(events_.Last("Accesserror")->args[0].str(), "Probe.Steps");
  // An inner "none" hands its failure to the outer operation's mode.
  events_.events.clear();
  EXPECT_EQ(probe_.Nested(ErrorMode::Handler, ErrorMode::None), 0);
  EXPECT_EQ(events_.Last("Accesserror")->args[0].str(), "Probe.Outer");
  events_.events.clear();
  EXPECT_EQ(probe_.Nested(ErrorMode::ResumeNext, ErrorMode::None), 1);
  EXPECT_TRUE(events_.events.empty());
}

TEST_P(Frame, FailedQueryReturnsAnUnopenedRecordset) {
  RecordsetPtr rs = probe_.Query("SELECT * FROM nope");
  ASSERT_NE(rs, nullptr);
  EXPECT_FALSE(rs->IsOpen());
  EXPECT_EQ(rs->Eof().status().number(), ErrorCode::kNotOpen);
  EXPECT_EQ(events_.Names(), std::vector<std::string>{"Accesserror"});
}

// A stored column renamed by the statement is known by its new name, as
// reports read it (DaoHuo AS SL); one not renamed by the name the statement
// wrote, as on Jet and SQL Server; the columns of a * by their declared names.
TEST_P(Frame, AliasesOfStoredColumnsNameTheirFields) {
  Exec("INSERT INTO t VALUES(1, 'a')");
  RecordsetPtr rs = probe_.Query("SELECT t.id AS SL, NAME, id FROM t");
  ASSERT_TRUE(rs->IsOpen());
  EXPECT_EQ(*rs->Name(0), "SL");
  EXPECT_EQ(*rs->Name(1), "NAME");
  EXPECT_EQ(*rs->Name(2), "id");
  EXPECT_EQ(rs->Type(0).value(), rs->Type(2).value());
}

TEST_P(Frame, ResultHandlerMayReplaceOrClearTheRecordset) {
  auto replacement = std::make_shared<Recordset>(RowData{});
  events_.handler = [&](const std::string& name, std::vector<Variant>& args) {
    if (name == "rsResult") args[0] = Variant(replacement);
  };
  EXPECT_EQ(probe_.Query("SELECT * FROM t"), replacement);
  events_.handler = [&](const std::string&, std::vector<Variant>& args) {
    args[0] = Variant(std::shared_ptr<Object>());
  };
  EXPECT_EQ(probe_.Query("SELECT * FROM t"), nullptr);
}

TEST(OperatorScope, StrictOnlyForOrdinaryOperators) {
  EXPECT_EQ(OperatorScope("管理员", true), " ");
  EXPECT_EQ(OperatorScope("x", false), " ");
  EXPECT_EQ(OperatorScope("x", true), " AND UserList LIKE '%x%' ");
  EXPECT_EQ(OperatorScope("O'Neil", true), " AND UserList LIKE '%O''Neil%' ");
}

class Connecting : public ShippedDatabase {};

TEST_P(Connecting, SecondConnectKeepsTheFirstDatabase) {
  SharedConnection::ResetThisThread();
  testing::TempDir other;
  Probe a, b;
  std::string first = connection_string_, second = other.File("missing.db");
  a.Connect(first);
  EventRecorder events;
  b.SetEventSink(&events);
  b.Connect(second);  // would fail if it were opened
  EXPECT_TRUE(events.events.empty());
  EXPECT_EQ(b.connection().ConnectionString(), first);
  EXPECT_EQ(&a.connection(), &b.connection());
}

TEST_P(Connecting, FailedOpenLeavesItUnopenedAndALaterConnectWorks) {
  SharedConnection::ResetThisThread();
  Probe probe;
  EventRecorder events;
  probe.SetEventSink(&events);
  std::string bad = "Data Source=" + dir_.File("no/such/dir/x.db");
  probe.Connect(bad);
  ASSERT_EQ(events.Names(), std::vector<std::string>{"Accesserror"});
  EXPECT_EQ(events.events[0].args[0].str(), "Probe.Connect");
  EXPECT_FALSE(probe.connection().IsOpen());
  // Operations before a successful Connect fail on their first step.
  EXPECT_EQ(probe.Steps(ErrorMode::Handler, {"DELETE FROM sys"}), 0);
  std::string good = connection_string_;
  events.events.clear();
  probe.Connect(good);
  EXPECT_TRUE(events.events.empty());
  EXPECT_TRUE(probe.connection().IsOpen());
}

// The connection strings the application has stored: Jet's for a file,
// SQL Server's for a server database.
TEST_P(Connecting, ProviderStringsOpenTheirDatabase) {
  SharedConnection::ResetThisThread();
  Probe probe;
  std::string cs;
  if (OnServer()) {
    // "host=DIR port=P dbname=D user=U" as SQL Server names the same.
    std::map<std::string, std::string> parts;
    std::istringstream in(connection_string_);
    for (std::string pair; in >> pair;) parts[pair.substr(0, pair.find('='))] = pair.substr(pair.find('=') + 1);
    cs = "Provider=SQLOLEDB.1;Data Source=" + parts["host"] + "," + parts["port"] +
         ";Initial Catalog=" + parts["dbname"] + ";User ID=" + parts["user"] +
         ";Password=;Persist Security Info=True";
  } else {
    cs = "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + connection_string_ +
         ";Persist Security Info=False";
  }
  EventRecorder events;
  probe.SetEventSink(&events);
  probe.Connect(cs);
  EXPECT_TRUE(probe.connection().IsOpen()) << (events.events.empty() ? "" : events.events[0].args[2].ToText());
  if (!OnServer()) return;
  // A database that is not there: reported, and the thread stays unopened.
  SharedConnection::ResetThisThread();
  Probe missing;
  EventRecorder missing_events;
  missing.SetEventSink(&missing_events);
  std::string no_db = connection_string_ + " dbname=no_such_database";
  missing.Connect(no_db);
  EXPECT_FALSE(missing.connection().IsOpen());
  ASSERT_NE(missing_events.Last("Accesserror"), nullptr);
  EXPECT_NE(missing_events.Last("Accesserror")->args[2].ToText().find("no_such_database"),
            std::string::npos);
}

// Malformed, foreign or unreachable: reported with a reason, never a crash.
TEST_P(Connecting, BadStringsAreReportedAndLeaveItUnopened) {
  SharedConnection::ResetThisThread();
  const std::string not_a_db = dir_.File("not-a-db.txt");
  std::FILE* f = std::fopen(not_a_db.c_str(), "w");
  std::fputs("this is not a database file, just text that is long enough", f);
  std::fclose(f);
  for (std::string cs : {std::string(""), std::string("Provider=Microsoft.Jet.OLEDB.4.0;"),
                         std::string("Data Source=\"x.db"), std::string("=x"), not_a_db,
                         std::string("Provider=SQLOLEDB;Data Source=;Initial Catalog=x"),
                         std::string("Provider=SQLOLEDB;Data Source=h"),
                         std::string("host=/nonexistent/socket/dir dbname=x user=nobody")}) {
    Probe probe;
    EventRecorder events;
    probe.SetEventSink(&events);
    probe.Connect(cs);
    EXPECT_EQ(events.Names(), std::vector<std::string>{"Accesserror"}) << cs;
    EXPECT_FALSE(probe.connection().IsOpen()) << cs;
    if (!events.events.empty()) EXPECT_FALSE(events.events[0].args[2].ToText().empty()) << cs;
  }
}

TEST_P(Connecting, EachThreadHasItsOwnConnection) {
  Exec("CREATE TABLE t (id Long, name Text(20))");
  SharedConnection::ResetThisThread();
  Probe here;
  std::string cs = connection_string_;
  here.Connect(cs);
  std::thread worker([&] {
    Probe there;
    EXPECT_FALSE(there.connection().IsOpen());
    std::string mine = connection_string_;
    there.Connect(mine);
    EXPECT_NE(&there.connection(), &here.connection());
    // Both threads work on the same database through their own connections.
    there.Exec("INSERT INTO t VALUES(7,'thread')");
  });
  worker.join();
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM t WHERE name='thread'").long_value(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, Connecting, testing::BothBackends(), testing::BackendName);
INSTANTIATE_TEST_SUITE_P(Backends, Frame, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
