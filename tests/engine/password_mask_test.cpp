// Passwords are masked wherever a connection string shows up in a text.
#include <gtest/gtest.h>

#include "engine/password_mask.h"

namespace dravmor {
namespace {

TEST(PasswordMask, EveryConnectionStringFormKeepsAllButThePassword) {
  const std::pair<const char*, const char*> cases[] = {
      {"Provider=SQLOLEDB;Data Source=h;User ID=u;Password=s3cret;Initial Catalog=d",
       "Provider=SQLOLEDB;Data Source=h;User ID=u;Password=****;Initial Catalog=d"},
      {"host=h user=u password=s3cret dbname=d", "host=h user=u password=**** dbname=d"},
      {"host=h password = 'two words' dbname=d", "host=h password = '****' dbname=d"},
      {"postgresql://u:s3cret@h:5432/d", "postgresql://u:****@h:5432/d"},
      {"postgresql://h/d?user=u&password=s3cret&sslmode=off",
       "postgresql://h/d?user=u&password=****&sslmode=off"},
      {"Jet OLEDB:Database Password=s3cret", "Jet OLEDB:Database Password=****"},
      {"uid=u;pwd=s3cret", "uid=u;pwd=****"},
      // Inside a printed JSON line, quoted or not.
      {R"({"byref":["Server=h;PASSWORD=\"s3 cret\";x=1"]})",
       R"({"byref":["Server=h;PASSWORD=\"****\";x=1"]})"},
      {R"({"byref":["Password=s3cret"]})", R"({"byref":["Password=****"]})"},
      // Nothing to mask.
      {"postgresql://u@h/d", "postgresql://u@h/d"},
      {"shop.db", "shop.db"},
      {"the password is needed", "the password is needed"},
      {"passwords=", "passwords="},
  };
  for (const auto& [text, masked] : cases) {
    EXPECT_EQ(MaskPasswords(text), masked) << text;
  }
}

}  // namespace
}  // namespace dravmor
