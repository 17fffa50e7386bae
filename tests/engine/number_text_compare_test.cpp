// A number column compared with a text column (a key kept as text in one
// table and as a number in another) compares as numbers on every backend;
// a text that is no number equals no number.
#include <gtest/gtest.h>

#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class NumberTextCompare : public testing::ShippedDatabase {};

TEST_P(NumberTextCompare, JoinsAKeyKeptAsTextWithOneKeptAsANumber) {
  Exec("CREATE TABLE keys_n (n Currency, k Long)");
  Exec("CREATE TABLE keys_t (t Text(20))");
  for (const char* row : {"(12, 12)", "(12.5, 7)", "(3, 3)"})
    Exec(std::string("INSERT INTO keys_n VALUES ") + row);
  for (const char* row : {"('12')", "('12.5')", "('abc')", "('')"})
    Exec(std::string("INSERT INTO keys_t VALUES ") + row);
  EXPECT_EQ(*Scalar("SELECT COUNT(*) FROM keys_n INNER JOIN keys_t ON keys_n.n=keys_t.t")
                 .ToInt64(),
            2);
  EXPECT_EQ(*Scalar("SELECT COUNT(*) FROM keys_t INNER JOIN keys_n ON keys_t.t=keys_n.k")
                 .ToInt64(),
            1);
}

INSTANTIATE_TEST_SUITE_P(Backends, NumberTextCompare, testing::BothBackends(),
                         testing::BackendName);

}  // namespace
}  // namespace dravmor
