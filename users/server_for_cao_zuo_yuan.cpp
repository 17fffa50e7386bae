#include "users/server_for_cao_zuo_yuan.h"

#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {
constexpr const char* kPermissionColumns =
    "bianji,clhz,clys,clyshz,DCCBFX,DCZHFX,RepByWin,NewProject,OpenProject,CangKu,FenPi,"
    "HeBing,BianJiGS,CangKuQuery,DELProject,DELFormula";
}

ServerForCaoZuoYuan::ServerForCaoZuoYuan() : ServerObject("ServerForCaoZuoYuan") {}

void ServerForCaoZuoYuan::setZaoZhangQuanXian(int32_t CB, int32_t ZH, int32_t ByWin) {
  cb_ = CB;
  zh_ = ZH;
  by_win_ = ByWin;
}

void ServerForCaoZuoYuan::SetXuZhouQuanXian(int32_t NewPro, int32_t OpenPro) {
  new_project_ = NewPro;
  open_project_ = OpenPro;
}

void ServerForCaoZuoYuan::SetFenPiHeBingGS(int32_t lngFP, int32_t lngHB, int32_t lngBJ) {
  fen_pi_ = lngFP;
  he_bing_ = lngHB;
  bian_ji_gs_ = lngBJ;
}

void ServerForCaoZuoYuan::SetDELProFor(int32_t lngDELP, int32_t lngDELF) {
  del_project_ = lngDELP;
  del_formula_ = lngDELF;
}

RecordsetPtr ServerForCaoZuoYuan::GetCaoZuoYuan(std::string& /*BianMa: not used*/) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetCaoZuoYuan", [&] {
    if (current_name_ != admin_name_)
      OpenInto(rs, "SELECT * FROM 用户管理 WHERE MingCheng='" + SqlQuote(current_name_) + "'");
    else
      OpenInto(rs, "SELECT * FROM 用户管理 ORDER BY YongHu_id");
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForCaoZuoYuan::GetCaoZuoYuan() {
  std::string unused;
  return GetCaoZuoYuan(unused);
}

bool ServerForCaoZuoYuan::FindChongFu(const std::string& name, bool& editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql = "SELECT COUNT(*) FROM 用户管理 WHERE MingCheng='" + SqlQuote(name) + "'";
    if (editing) sql += " AND Yonghu_id<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

void ServerForCaoZuoYuan::AddYongHu(const std::string& strName) {
  RunAtomically(ErrorMode::Handler, "AddYongHu", [&] {
    bool editing = false;
    if (FindChongFu(strName, editing, Currency{})) {
      Raise("BianMaChongFu");
      return;
    }
    auto id = NextId(connection(), "用户管理", "Yonghu_id");
    if (!Check(id.status())) return;
    Exec("INSERT INTO 用户管理  (YongHu_id,MingCheng,BianJi,CLHZ,CLYS,CLYSHZ,DCCBFX,DCZHFX,"
         "RepByWin,NewProject,OpenProject,CangKu,FenPi,HeBing,BianJiGS,CangKuQuery,DELProject,"
         "DELFormula)  VALUES(" +
         SqlNumber(*id) + ",'" + SqlQuote(strName) + "',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0)");
    GetCaoZuoYuan();
  });
}

void ServerForCaoZuoYuan::EditYongHu(Currency ID, const std::string& strName) {
  RunAtomically(ErrorMode::Handler, "EditYongHu", [&] {
    bool editing = true;
    if (FindChongFu(strName, editing, ID)) {
      Raise("BianMaChongFu");
      return;
    }
    Exec("UPDATE 用户管理   SET MingCheng='" + SqlQuote(strName) + "' WHERE Yonghu_id=" +
         SqlNumber(ID));
    GetCaoZuoYuan();
  });
}

void ServerForCaoZuoYuan::DelYongHu(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelYongHu", [&] {
    // The built-in administrator is the one operator strict scoping never
    // narrows; without it nobody could administer the operators again.
    if (CountsAny("SELECT COUNT(*) FROM 用户管理 WHERE YongHu_id=" + SqlNumber(ID) +
                  " AND MingCheng='管理员'")) {
      Check(Status::Error(ErrorCode::kBadArgument,
                          "The built-in administrator 管理员 cannot be deleted"));
      return;
    }
    Exec("DELETE FROM 用户管理 WHERE YongHu_id=" + SqlNumber(ID));
    GetCaoZuoYuan();
  });
}

RecordsetPtr ServerForCaoZuoYuan::QueryWithEvent(const char* operation, const char* event,
                                                 const std::string& sql) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, operation, [&] {
    OpenInto(rs, sql);
    // By value: the handler gets the set but cannot replace the result.
    std::vector<Variant> args{Variant(rs)};
    Raise(event, args);
  });
  return rs;
}

RecordsetPtr ServerForCaoZuoYuan::GetQuanXian(Currency ID) {
  return QueryWithEvent("GetQuanXian", "rsQuanXian",
                        "SELECT " + std::string(kPermissionColumns) +
                            " FROM 用户管理 WHERE YongHu_id=" + SqlNumber(ID));
}

RecordsetPtr ServerForCaoZuoYuan::GetUserQuanXian(const std::string& UserName) {
  return QueryWithEvent("GetUserQuanXian", "rsUserQuanXian",
                        "SELECT " + std::string(kPermissionColumns) +
                            " FROM 用户管理 WHERE Mingcheng='" + SqlQuote(UserName) + "'");
}

RecordsetPtr ServerForCaoZuoYuan::GetMiMaAndTiShi(Currency ID) {
  return QueryWithEvent("GetMiMaAndTiShi", "rsMiMa",
                        "SELECT * FROM 用户管理 WHERE YongHu_id=" + SqlNumber(ID));
}

void ServerForCaoZuoYuan::SaveQuanXian(Currency ID, uint8_t One, uint8_t TWo, uint8_t Three,
                                       uint8_t Four) {
  RunAtomically(ErrorMode::None, "SaveQuanXian", [&] {
    Exec("UPDATE 用户管理   SET bianji=" + SqlNumber(One) + ",clhz=" + SqlNumber(TWo) +
         ",clys=" + SqlNumber(Three) + ",clyshz=" + SqlNumber(Four) +
         ", DCCBFX=" + SqlNumber(cb_) + ",DCZHFX=" + SqlNumber(zh_) +
         ",RepByWin=" + SqlNumber(by_win_) + ",Newproject=" + SqlNumber(new_project_) +
         ",CangKu=" + SqlNumber(cang_ku_) + ",CangKuQuery=" + SqlNumber(cang_ku_query_) +
         ",FenPi=" + SqlNumber(fen_pi_) + ",HeBing=" + SqlNumber(he_bing_) +
         ",BianJiGS=" + SqlNumber(bian_ji_gs_) + ",DELProject=" + SqlNumber(del_project_) +
         ",DELFormula=" + SqlNumber(del_formula_) + ",Openproject=" + SqlNumber(open_project_) +
         " WHERE Yonghu_id=" + SqlNumber(ID));
    Raise("Ok");
  });
}

void ServerForCaoZuoYuan::EditYongHuTiShi(Currency ID, const std::string& StrWenTi,
                                          const std::string& StrDaAn) {
  RunAtomically(ErrorMode::Handler, "EditYongHuTiShi", [&] {
    Exec("UPDATE 用户管理   SET TiShiWenTi='" + SqlQuote(StrWenTi) + "',DaAn='" +
         SqlQuote(StrDaAn) + "' WHERE Yonghu_id=" + SqlNumber(ID));
    Raise("Ok");
  });
}

void ServerForCaoZuoYuan::EditYongHuMiMa(Currency ID, const std::string& StrDaAn) {
  RunAtomically(ErrorMode::Handler, "EditYongHuMiMa", [&] {
    Exec("UPDATE 用户管理   SET MiMa='" + SqlQuote(StrDaAn) + "' WHERE Yonghu_id=" +
         SqlNumber(ID));
    Raise("Ok");
  });
}

}  // namespace dravmor
