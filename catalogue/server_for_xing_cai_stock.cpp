// ServerForXingCai: profile stock counts, the remnant store and purchase
// orders with their received stock.
#include "catalogue/server_for_xing_cai.h"

#include "engine/dialect/dates.h"
#include "engine/id_allocator.h"
#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

void ServerForXingCai::SetHang_WZ(const std::string& strWZ) { line_packing_ = strWZ; }
void ServerForXingCai::SetHang_YS(const std::string& strYS) { line_colour_ = strYS; }
void ServerForXingCai::SetHang_LiLunZhong(float strLZ) { line_weight_ = strLZ; }
void ServerForXingCai::SetBrel_DanJia(float sglDJ_H) { received_price_ = sglDJ_H; }
void ServerForXingCai::SetBrel_RK(bool IsRKH) { received_mode_ = IsRKH; }
void ServerForXingCai::SetBrel_RQ(const std::string& strRQ) { line_date_ = strRQ; }
void ServerForXingCai::SetLingLiao(int32_t lngLL) { remnant_flag_ = lngLL; }

void ServerForXingCai::SetWZ_YS(int32_t lngWZ, int32_t lngYS) {
  std::string middle, group;
  const std::string grouped =
      " GROUP BY 厂家.JianCheng,系列.MingCheng,系列.xllb,型材.MingChengXC,型材.DaiMa,型材.MiZhong,"
      "BaoDanDetail.CD,型材.JiaGe,";
  if (lngWZ == 0 && lngYS == 0) {
    middle = "BaoDanDetail.CD,型材.JiaGe AS DJ,型材.Xc_ID,SUM(BaoDanDetail.DaoHuo) AS SL ,"
             "SUM(DaoHuo*ShiZhong) AS SZ ";
    group = grouped + "型材.Xc_ID";
  } else if (lngWZ == 0 && lngYS == 1) {
    middle = "BaoDanDetail.CD,型材.JiaGe AS DJ,BaoDanDetail.XcYs,型材.Xc_ID,"
             "SUM(BaoDanDetail.DaoHuo) AS SL,SUM(DaoHuo*ShiZhong) AS SZ ";
    group = grouped + "BaoDanDetail.XcYs,型材.Xc_ID";
  } else if (lngWZ == 1 && lngYS == 0) {
    middle = "BaoDanDetail.CD,型材.JiaGe AS DJ,BaoDanDetail.BaoZhuang,型材.Xc_ID,"
             "SUM(BaoDanDetail.DaoHuo) AS SL,SUM(DaoHuo*ShiZhong) AS SZ  ";
    group = grouped + "BaoDanDetail.BaoZhuang,型材.Xc_ID";
  } else if (lngWZ == 1 && lngYS == 1) {
    middle = "BaoDanDetail.CD,型材.JiaGe AS DJ,BaoDanDetail.XcYs,BaoDanDetail.BaoZhuang,"
             "型材.Xc_ID,SUM(BaoDanDetail.DaoHuo) AS SL,SUM(DaoHuo*ShiZhong) AS SZ ";
    group = grouped + "BaoDanDetail.XcYs,BaoDanDetail.BaoZhuang,型材.Xc_ID";
  } else {
    return;  // other pairs keep what was prepared
  }
  report_select_ =
      "SELECT 厂家.JianCheng,系列.MingCheng,系列.xllb,型材.MingChengXC,型材.DaiMa,型材.MiZhong," +
      middle +
      "FROM (((厂家 INNER JOIN 系列 ON 厂家.CJ_ID=系列.CJ_ID) INNER JOIN 型材 ON "
      "系列.XL_ID=型材.XL_ID) INNER JOIN BaoDanDetail ON 型材.XC_ID" +
      "=BaoDanDetail.XC_ID) ";
  report_group_ = group;
}

// Stock counts.

void ServerForXingCai::UpdateNum(Currency ID, int16_t NUm) {
  RunAtomically(ErrorMode::None, "UpdateNum", [&] {
    Exec("Update 型材 SET num=num+" + SqlNumber(NUm) + " WHERE xc_id=" + SqlNumber(ID));
    GetXcForHouse("");
  });
}

void ServerForXingCai::UpdateLength(Currency ID, int16_t NUm) {
  RunAtomically(ErrorMode::None, "UpdateLength", [&] {
    Exec("Update 型材 SET ChangDu=" + SqlNumber(NUm) + " WHERE xc_id=" + SqlNumber(ID));
    GetXcForHouse("");
  });
}

void ServerForXingCai::QingKongCK(Currency lngID, bool IsXLID) {
  RunAtomically(ErrorMode::ResumeNext, "QingKongCK", [&] {
    if (IsXLID)
      Exec("UPDATE 型材 SET NUM=0 WHERE XL_ID=" + SqlNumber(lngID));
    else
      Exec("UPDATE 型材 SET NUM=0 WHERE XL_ID IN ( SELECT XL_ID FROM 系列 WHERE CJ_ID= " +
           SqlNumber(lngID) + ")");
    GetXcForHouse("");
  });
}

RecordsetPtr ServerForXingCai::GetXcForHouse(const std::string& strDaiMa) {
  auto rs = std::make_shared<Recordset>();
  RunAtomically(ErrorMode::Handler, "GetXcForHouse", [&] {
    const std::string s = CurrentSeries(), f = CurrentFactory(), t = SqlNumber(true_value());
    std::string sql, tail;
    if (received_mode_) {
      sql = "SELECT xc_id,Daima,MingchengXC,Mizhong,Changdu,JiaGe,num,YS FROM  型材 ";
    } else {
      // Stock lines (of no order) that received nothing are no stock. An
      // order's line that has received nothing yet is an open order line,
      // not an empty stock line: it stays.
      Exec("DELETE * FROM BaoDanDetail WHERE DaoHuo=0 AND BD_ID=0");
      sql = "SELECT 型材.xc_id, Daima, MingchengXC, Mizhong, CD, YaoHuo, DaoHuo, XcYs, "
            "BaoZhuang,BDDetail_ID " +
            std::string(" FROM 型材 INNER JOIN BaoDanDetail ON 型材.xc_ID=BaoDanDetail.xc_ID ");
      tail = " AND BD_ID=0 ";
    }
    const std::string code = SqlQuote(strDaiMa);
    if (factory_ != -1 && series_ == -1) {
      sql += " WHERE 型材.xl_id IN (SELECT 系列.Xl_ID FROM 系列  WHERE Cj_id=" + f;
      sql += strDaiMa.empty() ? ")" : ") AND Daima LIKE " + std::string("'%") + code + "%'";
    } else if (factory_ == -1) {
      // Every profile: id 1 is a new shop's first profile, not a reserved
      // row to hide.
      sql += strDaiMa.empty() ? " WHERE 1=1 "
                              : " WHERE 1=1 AND  Daima LIKE " + std::string("'%") + code + "%'";
    } else {
      sql += " WHERE (xl_id= " + s +
             " OR ( 型材.xc_ID IN (SELECT TongYong.xc_ID FROM TongYong WHERE xl_ID= " + s + ")";
      sql += strDaiMa.empty() ? " AND ShifouTongyong= " + t + " ))"
                              : " AND ShifouTongyong=" + t + " ))" + " AND Daima LIKE " +
                                    "'%" + code + "%'";
    }
    sql += tail + " ORDER BY  型材.Xc_id";
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

// Remnants.

namespace {

// A remnant is a real piece: neither its length nor its count is negative.
Status CheckRemnant(int16_t length, int16_t count) {
  if (length < 0 || count < 0)
    return Status::Error(ErrorCode::kBadArgument,
                         "A remnant's length and count cannot be negative (length " +
                             std::to_string(length) + ", count " + std::to_string(count) + ")");
  return Status::Ok();
}

}  // namespace

void ServerForXingCai::AddLingLiao(Currency xcID, int16_t IntCD, int16_t NUm) {
  RunAtomically(ErrorMode::Handler, "AddLingLiao", [&] {
    if (!Check(CheckRemnant(IntCD, NUm))) return;
    auto id = NextId(connection(), "LingLiao", "LingLiao_id");
    if (!Check(id.status())) return;
    Exec("INSERT INTO LingLiao VALUES(" + SqlNumber(*id) + "," + SqlNumber(xcID) + "," +
         SqlNumber(IntCD) + "," + SqlNumber(NUm) + ")");
    GetLingLiao();
  });
}

void ServerForXingCai::UpdateLing(Currency ID, int16_t CD, int16_t NUm) {
  RunAtomically(ErrorMode::None, "UpdateLing", [&] {
    if (!Check(CheckRemnant(CD, NUm))) return;
    Exec("Update LingLiao SET changdu=" + SqlNumber(CD) + ",shuliang= " + SqlNumber(NUm) +
         " WHERE LingLiao_id=" + SqlNumber(ID));
    GetLingLiao();
  });
}

void ServerForXingCai::DelLingLiao(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelLingLiao", [&] {
    Exec("DELETE FROM LingLiao WHERE LingLiao_id=" + SqlNumber(ID));
    GetLingLiao();
  });
}

RecordsetPtr ServerForXingCai::GetLingLiao() {
  auto rs = std::make_shared<Recordset>();
  RunAtomically(ErrorMode::Handler, "GetLingLiao", [&] {
    const std::string s = CurrentSeries();
    Exec("DELETE FROM LingLiao WHERE shuliang=0");
    OpenInto(rs, "SELECT LingLiao_id,Daima,Mingchengxc,LingLiao.Changdu,LingLiao.shuliang,YS FROM " +
                     std::string("(LingLiao INNER JOIN 型材 ON 型材.xc_id=LingLiao.xc_ID) WHERE "
                                 "型材.xl_ID = ") +
                     s + " OR ( LingLiao.xc_ID IN (SELECT xc_ID FROM TongYong WHERE xl_ID= " + s +
                     ")" + " AND ShifouTongyong=" + SqlNumber(true_value()) + " )" +
                     " ORDER BY LingLiao_id");
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForXingCai::GetLingLiaoREP(Currency& xlid) {
  auto rs = std::make_shared<Recordset>();
  RunAtomically(ErrorMode::Handler, "GetLingLiaoREP", [&] {
    Exec("DELETE FROM LingLiao WHERE shuliang=0");
    const std::string select =
        "SELECT LingLiao.xc_id,Daima,Mingchengxc,MiZhong,LingLiao.Changdu,JiaGe,"
        "LingLiao.shuliang,YS FROM ";
    if (xlid != Currency{})  // a factory's
      OpenInto(rs, select +
                       "(LingLiao INNER JOIN 型材 ON 型材.xc_id=LingLiao.xc_ID) WHERE 型材.xl_ID IN "
                       "(SELECT xl_ID FROM 系列 WHERE Cj_ID= " +
                       SqlNumber(xlid) + ") ORDER BY LingLiao_id");
    else
      OpenInto(rs, select + "(LingLiao INNER JOIN 型材 ON 型材.xc_id=LingLiao.xc_ID)  " +
                       " ORDER BY LingLiao_id");
    rs = RaiseResult("rsResultREP", rs);
  });
  return rs;
}

RecordsetPtr ServerForXingCai::GetPinJieLiao(int16_t& Min, int16_t& Max) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetPinJieLiao", [&] {
    std::string sql =
        "SELECT LingLiao_id,Daima,Mingchengxc,LingLiao.Changdu,LingLiao.shuliang FROM " +
        std::string("(LingLiao INNER JOIN 型材 ON 型材.xc_id=LingLiao.xc_ID)  WHERE 型材.xl_ID = ") +
        CurrentSeries();
    if (Min == 0 && Max == 0)
      sql += " AND 型材.lb_ID=20 ORDER BY LingLiao_id";
    else if (Min == 0)
      sql += " AND 型材.lb_ID=20 AND LingLiao.Changdu <= " + SqlNumber(Max) +
             "  ORDER BY LingLiao_id";
    else if (Max == 0)
      sql += " AND 型材.lb_ID=20 AND LingLiao.Changdu >= " + SqlNumber(Min) +
             "  ORDER BY LingLiao_id";
    else
      sql += " AND 型材.lb_ID=20 AND LingLiao.Changdu >= " + SqlNumber(Min) +
             "  AND LingLiao.Changdu <= " + SqlNumber(Max) + " ORDER BY LingLiao_id";
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

void ServerForXingCai::LingLiaoChuRuKu() {
  // The sums are read before the store is emptied, and the store is rebuilt
  // in one transaction: a failing read or insert keeps the remnants there.
  RunAtomically(ErrorMode::ResumeNext, "LingLiaoChuRuKu", [&] {
    RecordsetPtr lines =
        Open("SELECT XC_ID,CD,SUM(DaoHuo) AS SL FROM BaoDanDetail WHERE IsLingLiao=1 AND "
             "BD_ID=0 GROUP BY XC_ID,CD ");
    if (!lines->IsOpen()) return;
    RunAtomically(ErrorMode::SilentHandler, "LingLiaoChuRuKu", [&] {
      Exec("DELETE * FROM LingLiao");
      auto base = AllocateIds(connection(), "LingLiao", "LingLiao_id",
                              std::max<int64_t>(static_cast<int64_t>(lines->RowCount()), 1));
      if (!Check(base.status())) return;
      for (size_t r = 0; r < lines->RowCount(); ++r) {
        auto cell = [&](size_t c) { return lines->Data().cells[r * lines->Count() + c]; };
        Exec("INSERT INTO LingLiao VALUES(" +
             SqlNumber(Currency{base->scaled + static_cast<int64_t>(r) * Currency::kScale}) +
             "," + SqlNumberOrNull(cell(0)) + "," + SqlNumberOrNull(cell(1)) + "," +
             SqlNumberOrNull(cell(2)) + ")");
      }
    });
  });
}

// Purchase orders.

void ServerForXingCai::AddBaoDan(const std::string& BDName) {
  RunAtomically(ErrorMode::ResumeNext, "AddBaoDan", [&] {
    auto id = NextId(connection(), "BaoDan", "BD_ID");
    if (Check(id.status()))
      Exec("INSERT INTO BaoDan Values(" + SqlNumber(*id) + ",'" + SqlQuote(BDName) + "','" + " " +
           "','" + " " + "','" + " " + "')");
    GetBaoDan();
  });
}

void ServerForXingCai::DelBaoDan(Currency BD_ID) {
  // The order and its lines go together or not at all: lines without their
  // order would be lost to every list, an order without lines a wrong one.
  RunAtomically(ErrorMode::SilentHandler, "DelBaoDan", [&] {
    Exec("DELETE FROM BaoDan WHERE BD_ID=" + SqlNumber(BD_ID));
    Exec("DELETE FROM BaoDanDetail WHERE BD_ID=" + SqlNumber(BD_ID));
  });
  GetBaoDan();
}

void ServerForXingCai::GetBaoDan() {
  Run(ErrorMode::ResumeNext, "GetBaoDan", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, "SELECT BD_ID,BDName,BDriqi,BDCj,BDRen FROM BaoDan" + std::string(" ORDER BY BD_id"));
    RaiseResult("rsBaoDanResult", rs);
  });
}

void ServerForXingCai::GetBaoDanDetail(Currency BD_ID) {
  Run(ErrorMode::ResumeNext, "GetBaoDanDetail", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs,
             "SELECT YS,DaiMa,MingChengXc,CD,MiZhong,YaoHuo,DaoHuo,ShiZhong,BaoZhuang,BeiZhu FROM "
             "((BaoDan INNER JOIN BaoDanDetail ON BaoDan.BD_ID=BaoDanDetail.BD_ID) " +
                 std::string(" INNER JOIN 型材 ON BaoDanDetail.xc_ID=型材.xc_ID) ") +
                 " WHERE BaoDanDetail.BD_ID=" + SqlNumber(BD_ID) + " ORDER BY BDDetail_ID");
    RaiseResult("rsBaoDanDetailResult", rs);
  });
}

std::string ServerForXingCai::LineDate() {
  // A line booked without a date keeps an empty RQ rather than being lost
  // to a broken literal.
  if (line_date_.find_first_not_of(' ') == std::string::npos) return "NULL";
  // Only a date may stand between the delimiters; it is written year first
  // so that no database reads its day for the month.
  auto date = dialect::ParseDateText(line_date_);
  if (!date) {
    Check(Status::Error(ErrorCode::kTypeMismatch, "Type mismatch: '" + line_date_ + "' is no date"));
    return "";
  }
  std::string text = dialect::CanonicalDate(*date);
  if (date->hour == 0 && date->minute == 0 && date->second == 0) text.resize(10);
  const std::string delimiter = is2000() ? "'" : "#";
  return delimiter + text + delimiter;
}

namespace {

// The weight of one piece; 0 when no piece came in, so the line is still
// stored.
std::string PerPiece(float weight, double pieces) {
  if (pieces == 0) return "0";
  return ShortestDecimal(static_cast<float>(weight / pieces));
}

}  // namespace

void ServerForXingCai::AddBaoDanDetail(Currency BD_ID, Currency XC_ID, float CD,
                                       int32_t /*YaoHuo: not written*/, int32_t DaoHuo,
                                       float ShiZhong, const std::string& strBZ,
                                       const std::string& strDemo) {
  RunAtomically(ErrorMode::ResumeNext, "AddBaoDanDetail", [&] {
    line_weight_ = ShiZhong;
    auto id = NextId(connection(), "BaoDanDetail", "BDDetail_ID");
    if (!Check(id.status())) return;
    // The ordered quantity comes as text and is written unquoted: only a
    // number may stand there.
    std::string ordered;
    if (received_mode_) {
      ordered = ShortestDecimal(received_price_);
    } else if (auto quantity = ParseNumber(strBZ)) {
      ordered = ShortestDecimal(*quantity);
    } else {
      Check(Status::Error(ErrorCode::kTypeMismatch, "Type mismatch: '" + strBZ + "' is no quantity"));
      return;
    }
    std::string date = LineDate();
    if (date.empty()) return;
    // Only a stored line is reported as one.
    if (!ExecAndWait("INSERT INTO BaoDanDetail Values(" + SqlNumber(*id) + "," + SqlNumber(BD_ID) + "," +
              SqlNumber(XC_ID) + "," + ShortestDecimal(CD) + "," + ordered + "," +
              SqlNumber(DaoHuo) + "," + PerPiece(ShiZhong, DaoHuo) + ",'" +
              SqlQuote(line_packing_) + "','" + SqlQuote(strDemo) + "'," + date + ",'" +
              SqlQuote(line_colour_) + "'," + ShortestDecimal(line_weight_) + "," +
              SqlNumber(remnant_flag_) + ")"))
      return;
    std::vector<Variant> args{Variant(*id)};
    Raise("rsBaoDanNewID", args);
  });
}

void ServerForXingCai::UpdateNum_Brel(Currency BD_ID, Currency BD_KuCun_ID, int32_t Num_Brel) {
  RunAtomically(ErrorMode::None, "UpdateNum_Brel", [&] {
    const int32_t moved = received_mode_ ? Num_Brel : -Num_Brel;
    Exec("UPDATE BaoDanDetail SET DaoHuo=DaoHuo+" + SqlNumber(moved) +
         " WHERE BDDetail_ID=" + SqlNumber(BD_ID));
    Exec("UPDATE BaoDanDetail SET DaoHuo=DaoHuo+" + SqlNumber(Num_Brel) +
         " WHERE BDDetail_ID=" + SqlNumber(BD_KuCun_ID));
  });
}

void ServerForXingCai::UpdateBaoDanRQRENCJ(Currency ID, const std::string& strRQ,
                                           const std::string& strRen, const std::string& strCJ) {
  RunAtomically(ErrorMode::ResumeNext, "UpdateBaoDanRQRENCJ", [&] {
    // The completion notice: the line's id in all four arguments.
    auto notify = [&](Currency line) {
      std::vector<Variant> args{Variant(SqlNumber(line)), Variant(static_cast<int32_t>(line.ToDouble())),
                                Variant(SqlNumber(line)), Variant(static_cast<int32_t>(line.ToDouble()))};
      Raise("Accesserror", args);
    };
    if (received_mode_) {
      auto id = NextId(connection(), "BaoDanDetail", "BDDetail_ID");
      if (!Check(id.status())) return;
      // The pieces are written unquoted: only a number may stand there.
      auto pieces = ParseNumber(strCJ);
      if (!pieces) {
        Check(Status::Error(ErrorCode::kTypeMismatch, "Type mismatch: '" + strCJ + "' is no quantity"));
        return;
      }
      std::string date = LineDate();
      if (date.empty()) return;
      if (ExecAndWait("INSERT INTO BaoDanDetail Values(" + SqlNumber(*id) + ",0," + SqlNumber(ID) + "," +
               ShortestDecimal(LeadingNumber(strRQ)) + "," + ShortestDecimal(received_price_) +
               "," + ShortestDecimal(*pieces) + "," + PerPiece(line_weight_, *pieces) + ",'" +
               SqlQuote(strRen) + "','" + SqlQuote(strRen) + "'," + date + ",'" +
               SqlQuote(line_colour_) + "'," + ShortestDecimal(line_weight_) + "," +
               SqlNumber(remnant_flag_) + ")"))
        notify(*id);
    } else {
      if (ExecAndWait("UPDATE BaoDanDetail SET DaoHuo=DaoHuo+" + ShortestDecimal(LeadingNumber(strCJ)) +
               " WHERE BDDetail_ID=" + SqlNumber(ID)))
        notify(ID);
    }
  });
}

void ServerForXingCai::GetXcQuery_Brel(const std::string& strSQL, int32_t lngSQLTYPE) {
  Run(ErrorMode::ResumeNext, "GetXcQuery_Brel", [&] {
    // strSQL is the caller's own condition, built by its report screen.
    std::string sql;
    if (lngSQLTYPE == 0 || lngSQLTYPE == 3)
      sql = report_select_ + " WHERE " + strSQL + " " + report_group_;
    else if (lngSQLTYPE == 1 || lngSQLTYPE == 2)
      sql = "SELECT 厂家.JianCheng,系列.MingCheng,系列.xllb,型材.MingChengXC,型材.DaiMa,"
            "BaoDanDetail.XcYs,型材.MiZhong,BaoDanDetail.BaoZhuang," +
            std::string("BaoDanDetail.CD,BaoDanDetail.DaoHuo AS SL,BaoDanDetail.YaoHuo AS DJ,"
                        "BaoDanDetail.ShiZhong ") +
            "FROM (((厂家 INNER JOIN 系列 ON 厂家.CJ_ID=系列.CJ_ID) INNER JOIN 型材 ON "
            "系列.XL_ID=型材.XL_ID) INNER JOIN BaoDanDetail ON 型材.XC_ID" +
            "=BaoDanDetail.XC_ID) WHERE " + strSQL;
    auto rs = std::make_shared<Recordset>();
    if (!sql.empty()) OpenInto(rs, sql);
    RaiseResult("rsResultREP", rs);
  });
}

}  // namespace dravmor
