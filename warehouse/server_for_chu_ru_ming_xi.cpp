#include "warehouse/server_for_chu_ru_ming_xi.h"

#include "engine/dialect/dates.h"
#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

ServerForChuRuMingXi::ServerForChuRuMingXi() : ServerObject("ServerForChuRuMingXi") {}

void ServerForChuRuMingXi::SetSQLSERVER(bool Is2000) {
  SetDialect(Is2000);
  delimiter_ = Is2000 ? "'" : "#";
}

void ServerForChuRuMingXi::SetMaxCiShu(int32_t CiShu) { document_ = CiShu; }

std::string ServerForChuRuMingXi::DateLiteral(const std::string& text) {
  // Without a delimiter a date would reach the database as arithmetic
  // (2026-12-6 is 2008) and be stored as a wrong date, not refused.
  if (delimiter_.empty()) {
    Check(Status::Error(ErrorCode::kBadArgument,
                        "Date delimiter not set: SetSQLSERVER has not been called"));
    return "";
  }
  // Only a date text may stand between the delimiters: a stray "#" or "'"
  // would end the literal and let the rest of the text in as SQL. The date
  // is written year first, as read (month first, like Jet), so that no
  // database reads its day for the month.
  auto date = dialect::ParseDateText(text);
  if (!date) {
    Check(Status::Error(ErrorCode::kTypeMismatch, "Type mismatch: '" + text + "' is no date"));
    return "";
  }
  std::string canonical = dialect::CanonicalDate(*date);
  if (date->hour == 0 && date->minute == 0 && date->second == 0) canonical.resize(10);
  return delimiter_ + SqlQuote(canonical) + delimiter_;
}

std::string ServerForChuRuMingXi::DateLiteral(Date date) {
  // The short date: the day itself, without the time.
  std::string text = date.ToText().substr(0, 10);
  if (text.empty()) {
    Check(Status::Error(ErrorCode::kOverflow, "Overflow: no such date"));
    return "";
  }
  return DateLiteral(text);
}

std::optional<int32_t> ServerForChuRuMingXi::FindMaxID(const std::string& table,
                                                       const std::string& key, bool max) {
  std::optional<int32_t> result;
  Run(ErrorMode::Handler, "GetMaxID", [&] {
    int64_t id = 1;
    if (max) {
      // A new id or document number: from the engine's allocator, so two
      // workstations never get the same one.
      auto next = NextId(connection(), table, key);
      if (!Check(next.status())) return;
      id = next->scaled / Currency::kScale;
    } else {
      RecordsetPtr rs = Open("SELECT MIN(" + key + ") FROM " + table);
      Variant value = rs->IsEmpty() ? Variant(Null{}) : Field(rs, size_t{0});
      if (!value.IsNull()) {
        auto whole = value.ToInt64();
        if (!Check(whole.status())) return;
        id = *whole;
      }
    }
    if (id < INT32_MIN || id > INT32_MAX) {
      Check(Status::Error(ErrorCode::kOverflow, "Overflow"));
      return;
    }
    result = static_cast<int32_t>(id);
  });
  return result;
}

int32_t ServerForChuRuMingXi::GetMaxID(const std::string& strTable, const std::string& strKey,
                                       bool IsMax) {
  return FindMaxID(strTable, strKey, IsMax).value_or(0);
}

void ServerForChuRuMingXi::Add(int32_t ChuRu, int32_t WuJianType, Currency WuJianID,
                               float WuJianNum, Currency GcxxID, Date RiQi) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    // A failed id lookup is reported by GetMaxID; writing the row under id
    // 0 would only hide it.
    auto id = FindMaxID("ChuRuDetail", "ID", true);
    if (!id) return;
    Exec("INSERT INTO ChuRuDetail  VALUES(" + SqlNumber(*id) + "," + SqlNumber(ChuRu) + "," +
         SqlNumber(WuJianType) + "," + SqlNumber(WuJianID) + "," + ShortestDecimal(WuJianNum) +
         "," + SqlNumber(GcxxID) + "," + DateLiteral(RiQi) + "," + SqlNumber(document_) + ")");
    std::vector<Variant> args{Variant(SqlNumber(document_))};
    Raise("TellDanHao", args);
  });
}

std::string ServerForChuRuMingXi::ItemRows(Currency ID, int32_t WuJianType) {
  const std::string rows =
      " WHERE WuJianID=" + SqlNumber(ID) + " AND CiShu=" + SqlNumber(document_);
  if (WuJianType >= 0 && WuJianType <= 2) return rows + " AND WuJianType=" + SqlNumber(WuJianType);
  if (WuJianType != -1) {
    Check(Status::Error(ErrorCode::kBadArgument,
                        "The item type " + std::to_string(WuJianType) +
                            " is none of 0 (profile), 1 (accessory), 2 (glass)"));
    return "";
  }
  // Not said: profile 5, accessory 5 and glass 5 are different items, so
  // the id alone may name only one of them in the document.
  RecordsetPtr kinds = Open("SELECT MIN(WuJianType), MAX(WuJianType) FROM ChuRuDetail" + rows);
  if (!kinds->IsOpen()) return "";
  if (Field(kinds, size_t{0}).ToText() != Field(kinds, size_t{1}).ToText()) {
    Check(Status::Error(ErrorCode::kBadArgument,
                        "Document " + SqlNumber(document_) + " holds item " + SqlNumber(ID) +
                            " as more than one item type: name the type (0 profile, 1 "
                            "accessory, 2 glass)"));
    return "";
  }
  return rows;
}

void ServerForChuRuMingXi::Edit(Currency ID, float NewNum, int32_t WuJianType) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    const std::string rows = ItemRows(ID, WuJianType);
    if (rows.empty()) return;
    Exec("UPDATE ChuRuDetail SET " + std::string("WuJianNum=") + ShortestDecimal(NewNum) + rows);
  });
}

void ServerForChuRuMingXi::Del(Currency ID, int32_t WuJianType) {
  RunAtomically(ErrorMode::Handler, "Del", [&] {
    const std::string rows = ItemRows(ID, WuJianType);
    if (rows.empty()) return;
    Exec("DELETE FROM ChuRuDetail " + rows);
  });
}

void ServerForChuRuMingXi::DelZhang(const std::string& daStart, const std::string& daEnd) {
  RunAtomically(ErrorMode::Handler, "DelZhang", [&] {
    std::string from = DateLiteral(daStart);
    std::string to = DateLiteral(daEnd);
    Exec("DELETE FROM ChuRuDetail " + std::string(" WHERE  RiQi>=") + from + " AND RiQi<=" + to);
  });
}

void ServerForChuRuMingXi::DelXcCaoZuoMx(const std::string& daStart, const std::string& daEnd) {
  RunAtomically(ErrorMode::ResumeNext, "DelXcCaoZuoMx", [&] {
    // In resume next a bad date gives an empty literal: the statement is
    // not worth sending then.
    std::string from = DateLiteral(daStart);
    std::string to = DateLiteral(daEnd);
    if (from.empty() || to.empty()) return;
    Exec("DELETE FROM BaoDanDetail " + std::string(" WHERE  RQ>=") + from + " AND RQ<=" + to);
  });
}

void ServerForChuRuMingXi::GetDetail(const std::string& daStart, const std::string& daEnd,
                                     int32_t ChuRuLeiBie, Currency GcxxID,
                                     int32_t WuJianLeiBie) {
  Run(ErrorMode::Handler, "GetDetail", [&] {
    std::string sql;
    switch (WuJianLeiBie) {
      case 0:
        sql = "SELECT DaiMa,mingchengxc,WuJianNum,ChuRu,RiQi,CiShu,JiaGe,MiZhong,ChangDu,YS "
              "FROM (ChuRuDetail INNER JOIN 型材 ON  ChuRuDetail.WuJianID=型材.xc_ID)";
        break;
      case 1:
        sql = "SELECT DaiMa,mingcheng,WuJianNum,ChuRu,RiQi,CiShu,DanJia "
              "FROM (ChuRuDetail INNER JOIN 配件 ON  ChuRuDetail.WuJianID=配件.Pj_ID)";
        break;
      case 2:
        sql = "SELECT HouDu,Yanse,ChangDu,Kuandu,WuJianNum,ChuRu,RiQi,CiShu,DanJia "
              "FROM (ChuRuDetail INNER JOIN 玻璃 ON  ChuRuDetail.WuJianID=玻璃.BL_ID)";
        break;
      default:
        Check(Status::Error(ErrorCode::kBadArgument,
                            "Invalid procedure call or argument: item type " +
                                SqlNumber(WuJianLeiBie)));
        return;
    }
    const std::string type = SqlNumber(WuJianLeiBie);
    switch (ChuRuLeiBie) {
      case 1:
        sql += " WHERE ChuRu=1 AND WuJianType=" + type + "  AND RiQi>=";
        break;
      case 2:
        sql += WuJianLeiBie == 2 ? " WHERE  WuJianType=2  AND RiQi>="
                                 : " WHERE WuJianType=" + type + "  AND RiQi>=";
        break;
      case 0:
        sql += " WHERE ChuRu=0 AND WuJianType=" + type + "  AND RiQi>=";
        break;
      default:
        Check(Status::Error(ErrorCode::kBadArgument,
                            "Invalid procedure call or argument: direction " +
                                SqlNumber(ChuRuLeiBie)));
        return;
    }
    sql += DateLiteral(daStart) + " AND RiQi<=" + DateLiteral(daEnd);
    if (ChuRuLeiBie == 0 && GcxxID != Currency{})
      sql += " AND GcxxID= " + SqlNumber(GcxxID) + " ORDER BY id";
    else
      sql += "  ORDER BY id";
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, sql);
    RaiseResult("rsResult", rs);
  });
}

}  // namespace dravmor
