// CopyNew: a new top-level series as a copy of another, with its profiles
// (own and shared) and every per-series formula and text table. A tree node
// copied this way takes its root series' profiles, so that its profile
// formulas come along. Each
// failing statement is skipped; what was copied before a failure stays.
#include <unordered_map>

#include "engine/id_allocator.h"
#include "engine/routines.h"
#include "engine/text.h"
#include "series/server_for_xi_lie.h"

namespace dravmor {

void ServerForXiLie::CopyNew(Currency YuanID, const std::string& DaoTxt, int32_t DaoType) {
  // The window type is kept as a Byte; a value that does not fit would be
  // stored as another type.
  if (DaoType < 0 || DaoType > 255) {
    RaiseAccessError("ServerForXiLie.CopyNew",
                     Status::Error(ErrorCode::kBadArgument,
                                   "the window type " + std::to_string(DaoType) +
                                       " is not a Byte value (0 to 255)"));
    return;
  }
  RunAtomically(ErrorMode::ResumeNext, "CopyNew", [&] {
    // Tested inside the transaction, so no other workstation takes the name
    // before the copy is written.
    bool editing = false;
    if (FindChongFu(DaoTxt, static_cast<uint8_t>(DaoType), 0, editing, Currency{})) {
      Raise("ChongFu");
      return;
    }
    const std::string from = SqlNumber(YuanID);
    const auto new_series = NextSeriesId();
    if (!new_series) return;
    const std::string X = SqlNumber(*new_series);

    RecordsetPtr source = Open("SELECT * FROM 系列 WHERE xl_ID=" + from);
    bool formula_series = false;
    // The series whose profiles the copy takes: the source itself, or for a
    // tree node its root series, whose profiles the node's formulas use;
    // without them a node's profile formulas would have nothing to point at.
    std::string profiles_of = from;
    if (source->IsOpen() && !*source->Eof()) {
      auto flag = Field(source, "YouGongShi").ToBool();
      formula_series = flag.ok() && *flag;
      auto root = Field(source, "PinJieFangShi").ToCurrency();
      if (formula_series && root.ok() && *root != Currency{}) profiles_of = SqlNumber(*root);
    }
    Exec("INSERT INTO 系列  VALUES(" + X + "," + SqlNumber(factory_) + ",'" + SqlQuote(DaoTxt) +
         "'," + SqlNumber(static_cast<uint8_t>(DaoType)) + "," + "0" + "," +
         (formula_series ? "1" : "0") + ",0,'" + SqlQuote(operator_name_) + "','" +
         SqlQuote(operator_name_) + "')");

    // Each profile copy records its source in YuanID; the pairs are read
    // back once the inserts are sent, so the formula copies below find
    // their profile without a query per formula and without waiting for
    // each insert. A profile that was not copied has no entry, and its
    // formulas are not copied either.
    std::unordered_map<int64_t, std::string> copied_profile;
    auto r = [this](const RecordsetPtr& rs, size_t i) { return Field(rs, i); };
    auto n = [](const Variant& v) { return SqlNumberOrNull(v); };
    auto q = [](const Variant& v) { return SqlQuotedOrNull(v); };
    {
      RecordsetPtr rows = Open("SELECT * FROM 型材 WHERE xl_ID=" + profiles_of +
                               " OR Xc_ID IN (SELECT Xc_ID FROM TongYong WHERE xl_ID=" +
                               profiles_of + ") ORDER BY xc_ID");
      auto allocated = AllocateCopyBase(connection(), "型材", "xc_id",
                                        static_cast<int64_t>(rows->RowCount()));
      const int64_t base = allocated.ok() ? *allocated : 0;
      if (!allocated.ok()) rows = std::make_shared<Recordset>();  // nothing to copy under
      int64_t k = 0;
      for (; rows->IsOpen() && !*rows->Eof(); rows->MoveNext()) {
        const std::string id = std::to_string(base + ++k);
        Exec("INSERT INTO  型材 Values(" + id + "," + X + "," + q(r(rows, 2)) + "," +
             q(r(rows, 3)) + "," + n(r(rows, 4)) + "," + n(r(rows, 5)) + ",0," +
             q(r(rows, 7)) + "," + n(r(rows, 8)) + "," + n(r(rows, 9)) + "," +
             n(r(rows, 10)) + ",1," + n(r(rows, 12)) + "," + q(r(rows, 13)) + "," +
             n(r(rows, 0)) + "," + q(Field(rows, "YS")) + "," + n(Field(rows, "BiHou")) + "," +
             n(Field(rows, "BaoJing")) + "," + n(Field(rows, "GcGuiZheng")) + "," +
             n(Field(rows, "DaLei")) + ")");
      }
      RecordsetPtr copies =
          Open("SELECT Xc_ID, YuanID FROM 型材 WHERE XL_ID=" + X + " ORDER BY Xc_ID");
      for (; copies->IsOpen() && !*copies->Eof(); copies->MoveNext()) {
        auto key = r(copies, 1).ToCurrency();
        auto copy = r(copies, 0).ToCurrency();
        if (key.ok() && copy.ok()) copied_profile[key->scaled] = SqlNumber(*copy);
      }
    }

    CopySeriesRows("型材组合公式", "xczhgs_id", " ORDER BY xczhgs_ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) -> std::string {
                     auto old_profile = r(rs, 3).ToCurrency();
                     if (!old_profile.ok()) return "";
                     auto p = copied_profile.find(old_profile->scaled);
                     if (p == copied_profile.end()) return "";
                     return "INSERT INTO  型材组合公式 Values(" + id + "," + n(r(rs, 1)) + "," + X +
                            "," + p->second + "," + q(r(rs, 4)) + "," + q(r(rs, 5)) + "," +
                            n(r(rs, 6)) + "," + q(r(rs, 7)) + ")";
                   });
    CopySeriesRows("配件组合公式", "Pjzhgs_id", " ORDER BY pjzhgs_ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO  配件组合公式 Values(" + id + "," + n(r(rs, 1)) + "," + X +
                            "," + n(r(rs, 3)) + "," + q(r(rs, 4)) + "," + q(r(rs, 5)) + "," +
                            q(Field(rs, "Fa")) + ")";
                   });
    CopySeriesRows("玻璃组合公式", "blzhgs_id", " ORDER BY blzhgs_ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO  玻璃组合公式 Values(" + id + "," + n(r(rs, 1)) + "," + X +
                            "," + q(r(rs, 3)) + "," + q(r(rs, 4)) + "," + q(r(rs, 5)) + "," +
                            n(r(rs, 6)) + "," + q(r(rs, 7)) + ")";
                   });
    CopySeriesRows("WZSBGT", "ID", " ORDER BY ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO  WZSBGT Values(" + id + "," + n(Field(rs, "TK_ID")) + "," +
                            X + "," + q(Field(rs, "GT")) + ")";
                   });
    CopySeriesRows("ShanJiaGong", "SJG_ID", " ORDER BY SJG_ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO  ShanJiaGong Values(" + id + "," + n(Field(rs, "TK_ID")) +
                            "," + X + "," + q(Field(rs, "ShanName")) + "," +
                            q(Field(rs, "ShanH")) + "," + q(Field(rs, "ShanW")) + "," +
                            n(Field(rs, "IsShaShan")) + ")";
                   });
    CopySeriesRows("DetailBlock", "Block_ID", " ORDER BY Block_ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO  DetailBlock Values(" + id + "," + X + "," +
                            n(Field(rs, "TK_ID")) + "," + q(Field(rs, "BK_CODE")) + "," +
                            q(Field(rs, "BK_Mean")) + "," + q(Field(rs, "BK_STR")) + ")";
                   });
    CopySeriesRows("ShuZhi", "ID", " ORDER BY ID", YuanID,
                   [&](const RecordsetPtr& rs, const std::string& id) {
                     return "INSERT INTO ShuZhi (ID,Xl_ID,Para_ID,ValZhi) VALUES (" + id + "," + X +
                            "," + n(Field(rs, "Para_ID")) + "," + n(Field(rs, "ValZhi")) + ")";
                   });
  });
}

}  // namespace dravmor
