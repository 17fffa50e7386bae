// Date texts in SQL Server statements are read month first on every
// backend, as SQL Server reads them; year-first texts mean the same.
#include <gtest/gtest.h>

#include "tests/support/test_database.h"

namespace dravmor {
namespace {

class DateTexts : public testing::UpgradedDatabase {};

TEST_P(DateTexts, MonthFirstAndYearFirstTextsCompareAsDates) {
  Exec("INSERT INTO ChuRuDetail (ID, RiQi) VALUES (1, #2026-02-28#)");
  Exec("INSERT INTO ChuRuDetail (ID, RiQi) VALUES (2, #2026-03-01#)");
  for (const char* sql : {"SELECT COUNT(*) FROM ChuRuDetail WHERE RiQi>='2/28/2026' AND RiQi<'3/1/2026'",
                          "SELECT COUNT(*) FROM ChuRuDetail WHERE RiQi>='2026-02-28' AND RiQi<'2026-03-01'"}) {
    auto rows = connection_->Query(sql, dialect::Source::SqlServer);
    ASSERT_TRUE(rows.ok()) << rows.status().ToString() << " in " << sql;
    EXPECT_EQ(*rows->cells[0].ToInt64(), 1) << sql;
  }
}

INSTANTIATE_TEST_SUITE_P(Backends, DateTexts, testing::BothBackends(), testing::BackendName);

}  // namespace
}  // namespace dravmor
