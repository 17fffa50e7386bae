// ServerForKeHu: the one-row system settings of sys, read and rewritten
// from the settings form. The base columns 1 to 20 are addressed by
// position only, as the base database names them its own way.
#include <vector>

#include "customers/server_for_ke_hu.h"
#include "engine/numeric.h"
#include "engine/text.h"

namespace dravmor {

RecordsetPtr ServerForKeHu::GetSys() {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetSys", [&] {
    OpenInto(rs, "SELECT * FROM sys");
    rs = RaiseResult("rsSysInfo", rs);
  });
  return rs;
}

void ServerForKeHu::ApplySetting(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::None, "ApplySetting", [&] {
    auto first_style = FormValue(frm, "optwin", 0, "Value").ToBool();
    if (!Check(first_style.ok() ? Status::Ok() : first_style.status())) return;
    const std::string style = *first_style ? "0" : "3";

    // The whole form is read before sys is touched.
    auto number = [&](int index) {
      return SqlNumber(LeadingDecimal(FormText(frm, "txtname", index)));
    };
    auto text = [&](const char* control, int index) {
      return SqlQuote(FormText(frm, control, index));
    };
    std::string sql = "INSERT INTO sys VALUES(1,'" + text("txtname", 0) + "',";
    std::vector<std::string> numbers;
    for (int i = 1; i <= 12; ++i) numbers.push_back(number(i));
    for (int i : {15, 14, 13, 18, 17, 16}) numbers.push_back(number(i));
    for (size_t i = 0; i < numbers.size(); ++i) sql += (i ? "," : "") + numbers[i];
    sql += ",'";
    for (int i = 0; i <= 9; ++i) sql += text("txtdir", i) + "','";
    for (int i = 0; i <= 9; ++i) sql += text("txtreportname", i) + (i < 9 ? "','" : "',");
    sql += style + ",'";
    for (int i = 10; i <= 17; ++i) sql += text("txtreportname", i) + (i < 17 ? "','" : "')");

    // Emptying and rewriting the row is one change: a failing INSERT
    // leaves the old settings in place.
    RunAtomically(ErrorMode::None, "ApplySetting", [&] {
      Exec("DELETE FROM sys");
      Exec(sql);
    });
    GetSys();
  });
}

}  // namespace dravmor
