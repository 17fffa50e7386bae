#include "templates/server_for_window_load.h"

#include <cstdint>
#include <vector>

#include "engine/text.h"

namespace dravmor {

namespace {

Status Overflow() { return Status::Error(ErrorCode::kOverflow, "Overflow"); }

Status BadArgument(const std::string& text) {
  return Status::Error(ErrorCode::kBadArgument, text);
}

}  // namespace

ServerForWindowLoad::ServerForWindowLoad() : ServerObject("ServerForWindowLoad") {}

void ServerForWindowLoad::SetWindowType(int16_t intType) {
  Run(ErrorMode::None, "SetWindowType", [&] {
    // Kept as a Byte: a type outside 0..255 does not fit.
    if (intType < 0 || intType > 255) {
      Check(Overflow());
      return;
    }
    window_type_ = static_cast<uint8_t>(intType);
  });
}

void ServerForWindowLoad::SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe) {
  scope_ = OperatorScope(strCZY, IsYanGe);
}

void ServerForWindowLoad::SetFilterXLID(int32_t lngXLID) {
  series_filter_ =
      " AND Tk_ID NOT IN (SELECT TK_ID FROM WinFilter WHERE XL_ID=" + SqlNumber(lngXLID) + ")";
}

int64_t ServerForWindowLoad::Whole(const Variant& value) {
  if (value.IsNull() || value.IsEmpty()) return 0;
  auto n = value.ToInt64();
  if (!Check(n.ok() ? Status::Ok() : n.status())) return 0;
  return *n;
}

int64_t ServerForWindowLoad::FirstNumber(const std::string& sql) {
  RecordsetPtr rs = Open(sql);
  if (!rs->IsOpen() || rs->IsEmpty()) return 0;
  return Whole(Field(rs, size_t{0}));
}

// Paging of templates.

int16_t ServerForWindowLoad::GetWindowPage(int16_t intEveryPageNum) {
  int16_t pages = 0;
  Run(ErrorMode::None, "GetWindowPage", [&] {
    // The count is divided by the page size: a size below 1 has no pages.
    if (intEveryPageNum < 1) {
      Check(BadArgument("The page size must be at least 1 (it is " +
                        std::to_string(intEveryPageNum) + ")"));
      return;
    }
    std::string sql = "SELECT COUNT(*) FROM 图库 WHERE Tklb=" + SqlNumber(window_type_);
    if (!find_.empty()) sql += " AND TkShuoMing LIKE '%" + SqlQuote(find_) + "%'";
    sql += scope_;
    const int64_t count = FirstNumber(sql);
    const int64_t n = intEveryPageNum;
    const int64_t result = count % n == 0 ? count / n : count / n + 1;
    if (result > INT16_MAX) {
      Check(Overflow());
      return;
    }
    pages = static_cast<int16_t>(result);
  });
  return pages;
}

void ServerForWindowLoad::GetEveryPageWindow(int16_t intPage, int16_t intEveryPageNum) {
  Run(ErrorMode::Handler, "GetEveryPageWindow", [&] {
    if (window_type_ == 6) window_type_ = 5;
    // TOP takes neither 0 nor a negative count alike on every database.
    if (intEveryPageNum < 1) {
      Check(BadArgument("The page size must be at least 1 (it is " +
                        std::to_string(intEveryPageNum) + ")"));
      return;
    }
    if (intPage < 1) {
      Check(BadArgument("Pages are numbered from 1 (asked for page " +
                        std::to_string(intPage) + ")"));
      return;
    }
    const std::string type = SqlNumber(window_type_);
    const std::string n = SqlNumber(intEveryPageNum);
    const std::string find = SqlQuote(find_);
    std::string sql;
    if (intPage == 1) {
      if (find_.empty())
        sql = "SELECT TOP  " + n + " * FROM 图库 WHERE tklb=" + type + scope_ +
              " AND tk_ID<>1 ORDER BY Ord";
      else
        sql = "SELECT TOP  " + n + " * FROM 图库 WHERE tklb=" + type + scope_ +
              " AND tk_ID<>1  AND TkShuoMing LIKE '%" + find + "%' ORDER BY Ord";
    } else {
      // The rows of the pages before, counted in 16 bits as the caller's
      // Integer arguments are.
      const int32_t before = (static_cast<int32_t>(intPage) - 1) * intEveryPageNum;
      if (before > INT16_MAX) {
        Check(Overflow());
        return;
      }
      const std::string s = SqlNumber(before);
      if (find_.empty())
        sql = "SELECT TOP " + n + " * FROM 图库 WHERE  tklb=" + type + scope_ +
              " AND tk_ID<>1 AND  tk_ID NOT IN " + "(SELECT TOP " + s +
              " tk_ID FROM 图库 WHERE tklb=" + type + scope_ + " AND tk_ID<>1  ORDER BY Ord)" +
              " ORDER BY Ord";
      else
        sql = "SELECT TOP " + n + " * FROM 图库 WHERE  tklb=" + type + scope_ +
              " AND tk_ID<>1 AND TkShuoMing LIKE '%" + find + "%' AND  tk_ID NOT IN " +
              "(SELECT TOP " + s + " tk_ID FROM 图库 WHERE tklb=" + type + scope_ +
              " AND tk_ID<>1 AND TkShuoMing LIKE '%" + find + "%'  ORDER BY Ord)" +
              " ORDER BY Ord";
    }
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, sql);
    RaiseResult("rsResult", rs);
  });
}

RecordsetPtr ServerForWindowLoad::GetWindow(uint8_t btWindowType, bool blType) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetWindow", [&] {
    const std::string type = SqlNumber(btWindowType);
    std::string sql;
    if (blType)
      sql = "SELECT * FROM 单元图库  " + std::string(" WHERE DyTklb= ") + type +
            " ORDER BY VAL(dytkLuJing) ";
    else if (!find_.empty())
      sql = "SELECT * FROM 图库  " + std::string(" WHERE Tklb= ") + type + scope_ +
            " AND tk_ID<>1" + " AND TkShuoMing LIKE '%" + SqlQuote(find_) + "%' " +
            series_filter_ + " ORDER BY Ord";
    else
      sql = "SELECT * FROM 图库  " + std::string(" WHERE Tklb= ") + type + scope_ +
            " AND tk_ID<>1" + series_filter_ + " ORDER BY Ord";
    OpenInto(rs, sql);
    find_.clear();
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

// Order arithmetic.

void ServerForWindowLoad::GetMaxUpDown(Currency /*TKID: not used*/, int32_t tkOrd,
                                       int32_t& LUp, int32_t& LDown, int32_t& LToTalNum) {
  LUp = LDown = LToTalNum = 0;
  Run(ErrorMode::ResumeNext, "GetMaxUpDown", [&] {
    const std::string where = "SELECT COUNT(*) FROM 图库 WHERE tklb=" +
                              SqlNumber(window_type_) + scope_;
    LUp = static_cast<int32_t>(FirstNumber(where + " AND tk_ID<>1 AND Ord < " + SqlNumber(tkOrd)));
    LDown =
        static_cast<int32_t>(FirstNumber(where + " AND tk_ID<>1 AND Ord > " + SqlNumber(tkOrd)));
    LToTalNum = static_cast<int32_t>(FirstNumber(where + " AND tk_ID<>1 "));
  });
}

void ServerForWindowLoad::Rotate(bool up, int64_t steps, Currency TKID, int32_t tkOrd) {
  if (steps < 0) {
    Check(BadArgument("A template moves by 0 or more steps (asked for " +
                      std::to_string(steps) + ")"));
    return;
  }
  const int64_t m = steps + 1;
  if (m > INT32_MAX) {
    Check(Overflow());
    return;
  }
  const std::string type = SqlNumber(window_type_);
  std::string sql;
  if (up)
    sql = "SELECT TOP " + SqlNumber(m) + " * FROM 图库 WHERE tklb=" + type + scope_ +
          " AND tk_ID<>1 AND Ord <= " + SqlNumber(tkOrd) + " ORDER BY Ord DESC";
  else
    sql = "SELECT TOP " + SqlNumber(m) + " * FROM 图库 WHERE tklb=" + type + scope_ +
          " AND tk_ID<>1 AND Ord >= " + SqlNumber(tkOrd) + " ORDER BY Ord ";
  // One read of the window serves both walks over it (the row updated and
  // the row whose old order value it takes): every value used is the one
  // the rows had before the move.
  RecordsetPtr window = Open(sql);
  std::vector<int64_t> ids, ords;
  for (size_t r = 0; r < window->RowCount(); ++r, window->MoveNext()) {
    ids.push_back(Whole(Field(window, "Tk_ID")));
    ords.push_back(Whole(Field(window, "Ord")));
  }
  // The first row must be the template itself: a stale order value, or one
  // it shares with another template, would rotate the wrong rows.
  if (ids.empty() || Currency::FromWhole(ids[0]) != TKID) {
    Check(BadArgument("Template " + SqlNumber(TKID) + " is not at order value " +
                      SqlNumber(tkOrd) + " of this list; list the templates again"));
    return;
  }
  for (size_t i = 1; i < ids.size(); ++i)
    Exec("UPDATE 图库 SET Ord=" + SqlNumber(ords[i - 1]) + " WHERE Tk_ID=" + SqlNumber(ids[i]));
  Exec("UPDATE 图库 SET Ord=" + SqlNumber(ords.back()) + " WHERE Tk_ID=" + SqlNumber(TKID));
}

void ServerForWindowLoad::SetTk_Move(bool IsUp, int32_t lngNumMove, Currency TKID,
                                     int32_t tkOrd) {
  // A rotation done halfway would leave two templates on one order value.
  RunAtomically(ErrorMode::Handler, "SetTk_Move",
                [&] { Rotate(IsUp, lngNumMove, TKID, tkOrd); });
}

void ServerForWindowLoad::SetTk_PageOrd(int32_t lngP, int32_t lngGe, Currency TKID,
                                        int32_t tkOrd) {
  RunAtomically(ErrorMode::Handler, "SetTk_PageOrd", [&] {
    const int64_t t = (static_cast<int64_t>(lngP) - 1) * page_size_ + lngGe;
    if (t < 1) {
      Check(BadArgument("Page " + std::to_string(lngP) + ", slot " + std::to_string(lngGe) +
                        " lies before the first template"));
      return;
    }
    if (t > INT32_MAX) {
      Check(Overflow());
      return;
    }
    const std::string type = SqlNumber(window_type_);
    RecordsetPtr target = Open("SELECT MAX(Ord) FROM 图库 WHERE Ord IN (SELECT TOP " +
                               SqlNumber(t) + " Ord FROM 图库 WHERE " + " tklb=" + type + scope_ +
                               " AND tk_ID<>1  ORDER BY Ord ) ");
    Variant max_ord = target->IsEmpty() ? Variant() : Field(target, size_t{0});
    if (max_ord.IsNull() || max_ord.IsEmpty()) return;  // no template to move among
    const int64_t T = Whole(max_ord);
    const std::string from = SqlNumber(tkOrd), to = SqlNumber(T);
    if (tkOrd < T) {
      int64_t k = FirstNumber("SELECT COUNT(Ord) FROM 图库 WHERE Ord > " + from +
                              " AND Ord <= " + to + " AND  tklb=" + type + scope_ +
                              " AND tk_ID<>1 ");
      Rotate(false, k, TKID, tkOrd);
    } else {
      int64_t k = FirstNumber("SELECT COUNT(Ord) FROM 图库 WHERE Ord >= " + to +
                              " AND Ord < " + from + " AND  tklb=" + type + scope_ +
                              " AND tk_ID<>1 ");
      Rotate(true, k, TKID, tkOrd);
    }
  });
}

// Sample unit drawings, sixteen to a page.

void ServerForWindowLoad::GetPageSYT(int32_t intPage) {
  Run(ErrorMode::ResumeNext, "GetPageSYT", [&] {
    auto rs = std::make_shared<Recordset>();
    if (intPage == 1) {
      OpenInto(rs, "SELECT TOP 16 * FROM 单元图库 WHERE Dytklb=6 ORDER BY Dytk_ID");
    } else if (intPage < 1) {
      // No such page: the handler gets an unopened set, as for any failure.
      Check(BadArgument("Pages are numbered from 1 (asked for page " + std::to_string(intPage) +
                        ")"));
    } else {
      const int64_t before = (static_cast<int64_t>(intPage) - 1) * 16;
      OpenInto(rs, "SELECT TOP 16 * FROM 单元图库 WHERE  Dytklb=6  AND  Dytk_ID NOT IN " +
                       std::string("(SELECT TOP ") + SqlNumber(before) +
                       " Dytk_ID FROM 单元图库 WHERE Dytklb=6  ORDER BY DyTK_id)" +
                       " ORDER BY Dytk_ID");
    }
    RaiseResult("rsSYTResult", rs);
  });
}

int32_t ServerForWindowLoad::GetSYT() {
  int32_t pages = 0;
  Run(ErrorMode::ResumeNext, "GetSYT", [&] {
    const int64_t c = FirstNumber("SELECT COUNT(*) FROM 单元图库 WHERE dytklb=6");
    pages = static_cast<int32_t>(c % 16 == 0 ? c / 16 : c / 16 + 1);
  });
  return pages;
}

// Locks and names.

int16_t ServerForWindowLoad::GetSuoDing(Currency TK_ID) {
  int16_t locked = 0;
  Run(ErrorMode::ResumeNext, "GetSuoDing", [&] {
    RecordsetPtr rs = Open("SELECT IsSuoDing FROM 图库 WHERE TK_ID=" + SqlNumber(TK_ID));
    if (!rs->IsOpen() || rs->IsEmpty()) return;
    auto value = Field(rs, size_t{0}).ConvertTo(VarType::Integer);
    if (value.ok()) locked = value->integer();
  });
  return locked;
}

void ServerForWindowLoad::SetSuoDing(Currency TK_ID, int16_t SuoDing) {
  RunAtomically(ErrorMode::None, "SetSuoDing", [&] {
    Exec("UPDATE 图库 SET IsSuoDing=" + SqlNumber(SuoDing) + " WHERE tk_ID=" + SqlNumber(TK_ID));
  });
}

void ServerForWindowLoad::SetTKSuoDing(Currency TK_ID, int16_t SuoDing) {
  RunAtomically(ErrorMode::None, "SetTKSuoDing", [&] {
    Exec("UPDATE 图库 SET TkSuoDing=" + SqlNumber(SuoDing) + " WHERE tk_ID=" + SqlNumber(TK_ID));
  });
}

void ServerForWindowLoad::UpdateTkName(Currency TKID, const std::string& strTkName) {
  RunAtomically(ErrorMode::None, "UpdateTkName", [&] {
    Exec("UPDATE 图库 SET tkShuoMing='" + SqlQuote(strTkName) + "' WHERE tk_ID=" + SqlNumber(TKID));
  });
}

void ServerForWindowLoad::DelWindow(Currency curID) {
  // All or nothing: project windows are not lost for a template that stays.
  RunAtomically(ErrorMode::Handler, "DelWindow", [&] {
    const std::string id = SqlNumber(curID);
    // Project windows built from the template go whole: with all their
    // detail rows and the cutting values of those details.
    const std::string windows = "(SELECT Gcmc_ID FROM ProjectWindowDetail WHERE TK_ID=" + id + ")";
    Exec("DELETE FROM XiaV WHERE mcmx_ID IN (SELECT mcmx_ID FROM ProjectWindowDetail WHERE "
         "gcmc_ID IN " + windows + ")");
    Exec("DELETE FROM ProjectWindow WHERE Gcmc_ID IN (SELECT Gcmc_ID FROM ProjectWindowDetail "
         "WHERE TK_ID=" + id + ")");
    Exec("DELETE FROM ProjectWindowDetail WHERE gcmc_ID IN " + windows);
    Exec("DELETE FROM 图库 WHERE tk_ID=" + id);
    // The template's own window formulas, of every series. The unit
    // formulas, blocks and sash rows keyed by a unit template id belong to
    // the unit library, whose ids are another numbering: they stay.
    Exec("DELETE FROM 型材组合公式 WHERE tk_ID=" + id);
    Exec("DELETE FROM 配件组合公式 WHERE tk_ID=" + id);
    Exec("DELETE FROM 玻璃组合公式 WHERE tk_ID=" + id);
    Exec("DELETE FROM FormulaV WHERE tkID=" + id);
    Exec("DELETE FROM DetailBlock WHERE tk_ID=" + id);
    Exec("DELETE FROM WinFilter WHERE tk_ID=" + id);
    if (HasTable("ShanJiaGong")) Exec("DELETE FROM ShanJiaGong WHERE tk_ID=" + id);
    if (HasTable("WZSBGT")) Exec("DELETE FROM WZSBGT WHERE tk_ID=" + id);
  });
}

}  // namespace dravmor
