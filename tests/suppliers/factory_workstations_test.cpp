// Several workstations adding factories to one database at once. The next
// id is the maximum plus one, read before the INSERT: two workstations that
// read the same maximum write the same id, and the second INSERT fails on
// the primary key. The engine must report that failure and leave the
// database consistent: no row lost, none doubled.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

#include "engine/memory_form.h"
#include "suppliers/server_for_factory.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class Workstations : public testing::ShippedDatabase {
 protected:
  struct Tally {
    int added = 0, failed = 0;
  };
  // One workstation; run on a thread of its own, so with its own connection.
  Tally AddFactories(const std::string& prefix, int count) {
    Tally result;
    {
      testing::EventRecorder events;
      ServerForFactory factory;
      factory.SetEventSink(&events);
      std::string cs = connection_string_;
      factory.Connect(cs);
      for (int i = 0; i < count; ++i) {
        size_t before = events.events.size();
        auto form = std::make_shared<MemoryForm>();
        form->Set("txtfactoryinfo[0].Text", prefix + std::to_string(i));
        form->Set("txtfactoryinfo[1].Text", "x");
        form->Set("txtfactoryinfo[2].Text", "x");
        factory.AddFactory(form, 0);
        bool failed = false;
        for (size_t e = before; e < events.events.size(); ++e)
          if (events.events[e].name == "Accesserror") failed = true;
        (failed ? result.failed : result.added)++;
      }
      SharedConnection::ResetThisThread();
    }
    return result;
  }
  long Count(const std::string& sql) { return Scalar(sql).long_value(); }
};

TEST_P(Workstations, SameNextIdFailsOnTheKeyAndIsReported) {
  // Workstation B has written id 1 but not committed it yet; workstation A
  // reads the same maximum, and its INSERT waits for B and then fails.
  std::mutex m;
  std::condition_variable cv;
  bool b_inserted = false;
  std::thread b([&] {
    SharedConnection::ResetThisThread();
    auto connection = SharedConnection::ForThisThread();
    ASSERT_TRUE(connection->Bind(connection_string_).ok());
    Transaction transaction(*connection);
    ASSERT_TRUE(transaction.status().ok());
    ASSERT_TRUE(connection
                    ->Execute("INSERT INTO 厂家  VALUES(1,'b','b',0,0,'B0',0,0,'','')",
                              dialect::Source::Jet)
                    .ok());
    {
      std::lock_guard<std::mutex> lock(m);
      b_inserted = true;
    }
    cv.notify_one();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_TRUE(transaction.Commit().ok());
    SharedConnection::ResetThisThread();
  });
  {
    std::unique_lock<std::mutex> lock(m);
    cv.wait(lock, [&] { return b_inserted; });
  }
  testing::EventRecorder events;
  ServerForFactory a;
  a.SetEventSink(&events);
  std::string cs = connection_string_;
  a.Connect(cs);
  auto form = std::make_shared<MemoryForm>();
  form->Set("txtfactoryinfo[0].Text", "A0");
  form->Set("txtfactoryinfo[1].Text", "a");
  form->Set("txtfactoryinfo[2].Text", "a");
  a.AddFactory(form, 0);
  b.join();

  const testing::RecordedEvent* error = events.Last("Accesserror");
  ASSERT_NE(error, nullptr) << "the second INSERT of id 1 must fail";
  EXPECT_EQ(error->args[0].ToText(), "ServerForFactory.AddFactory");
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 厂家"), 1);
  EXPECT_EQ(Scalar("SELECT BianMa FROM 厂家").ToText(), "B0");
  // A retry reads the new maximum and succeeds.
  events.events.clear();
  a.AddFactory(form, 0);
  EXPECT_EQ(events.Last("Accesserror"), nullptr);
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 厂家"), 2);
}

TEST_P(Workstations, RacingAddsLoseNothingAndDoubleNothing) {
  Tally a, b;
  std::thread ta([&] { a = AddFactories("A", 40); });
  std::thread tb([&] { b = AddFactories("B", 40); });
  ta.join();
  tb.join();
  EXPECT_EQ(a.added + a.failed, 40);
  EXPECT_EQ(b.added + b.failed, 40);
  // Every reported success is a row; every row has its own id and code.
  EXPECT_EQ(Count("SELECT COUNT(*) FROM 厂家"), a.added + b.added);
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT Cj_ID) FROM 厂家"), a.added + b.added);
  EXPECT_EQ(Count("SELECT COUNT(DISTINCT BianMa) FROM 厂家"), a.added + b.added);
}

INSTANTIATE_TEST_SUITE_P(Backends, Workstations, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
