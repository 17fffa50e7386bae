#include "customers/server_for_ke_hu.h"

#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

ServerForKeHu::ServerForKeHu() : ServerObject("ServerForKeHu") {}

void ServerForKeHu::SetSQLSERVER(bool Is2000) { SetDialect(Is2000); }

void ServerForKeHu::SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe) {
  scope_ = OperatorScope(strCZY, IsYanGe);
}

// ---- Customers ----

RecordsetPtr ServerForKeHu::GetKeHu(std::string& BianMa) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetKeHu", [&] {
    if (!BianMa.empty())
      OpenInto(rs, "SELECT * FROM 客户管理 WHERE kehu_ID<>1 AND " + BianMa +
                       " ORDER BY Kehu_id");
    else
      OpenInto(rs, "SELECT * FROM 客户管理  WHERE kehu_ID<>1 ORDER BY Kehu_id");
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForKeHu::GetKeHu() {
  std::string all;
  return GetKeHu(all);
}

RecordsetPtr ServerForKeHu::GetKeHuInfo(Currency ID) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetKeHuInfo", [&] {
    OpenInto(rs, "SELECT * FROM 客户管理 WHERE kehu_id=" + SqlNumber(ID));
    rs = RaiseResult("rsResultInfo", rs);
  });
  return rs;
}

bool ServerForKeHu::FindChongFu(const std::string& code, bool& editing, Currency ID) {
  // A failing test reports and answers "free", so the Add or Edit goes on.
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql;
    if (editing)
      sql = "SELECT COUNT(*) FROM 客户管理 WHERE bianma='" + SqlQuote(code) +
            "' AND kehu_id<>" + SqlNumber(ID);
    else
      sql = "SELECT COUNT(*) FROM 客户管理 WHERE bianma='" + SqlQuote(code) + "'";
    taken = CountsAny(sql);
  });
  return taken;
}

std::array<std::string, 7> ServerForKeHu::QuotedCustomer(const std::shared_ptr<Object>& frm) {
  std::array<std::string, 7> fields;
  for (int i = 0; i < 7; ++i) fields[i] = SqlQuote(FormText(frm, "txtkehuinfo", i));
  return fields;
}

void ServerForKeHu::AddKeHu(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddKeHu", [&] {
    bool editing = false;
    if (FindChongFu(FormText(frm, "txtkehuinfo", 0), editing, Currency{})) {
      Raise("BianMaChongFu");
      return;
    }
    auto id = NextId(connection(), "客户管理", "kehu_id");
    if (!Check(id.status())) return;
    // Every control is read before anything is written: a missing one
    // stops the operation with the table unchanged.
    const auto t = QuotedCustomer(frm);
    Exec("INSERT INTO 客户管理   VALUES(" + SqlNumber(*id) + ",'" + t[0] + "','" + t[1] +
         "','" + t[2] + "','" + t[3] + "','" + t[4] + "','" + t[5] + "','" + t[6] + "')");
    GetKeHu();
  });
}

void ServerForKeHu::EditKeHu(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditKeHu", [&] {
    bool editing = true;
    if (FindChongFu(FormText(frm, "txtkehuinfo", 0), editing, ID)) {
      Raise("BianMaChongFu");
      return;
    }
    const auto t = QuotedCustomer(frm);
    Exec("UPDATE 客户管理   SET bianma='" + t[0] + "',KeHuMingcheng='" + t[1] +
         "',LianXiRen='" + t[2] + "',DianHua='" + t[3] + "',shouji='" + t[4] +
         "',YouZhengBianMa='" + t[5] + "',DiZhi='" + t[6] + "'  WHERE kehu_id=" +
         SqlNumber(ID));
    GetKeHu();
  });
}

void ServerForKeHu::DelKeHu(Currency ID) {
  // The customer's projects stay: they are the project list's to delete.
  RunAtomically(ErrorMode::Handler, "DelKeHu", [&] {
    Exec("DELETE FROM 客户管理 WHERE KeHu_id=" + SqlNumber(ID));
    GetKeHu();
  });
}

void ServerForKeHu::DEL_ALL_KeHu() {
  RunAtomically(ErrorMode::ResumeNext, "DEL_ALL_KeHu",
      [&] { Exec("DELETE * FROM 客户管理 WHERE Kehu_ID<>1 "); });
}

// ---- Project categories ----

RecordsetPtr ServerForKeHu::GetFoShanLB(int32_t lbTYpe) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetFoShanLB", [&] {
    if (lbTYpe != -1)
      OpenInto(rs, "SELECT * FROM FoShanLB WHERE LB_Type=" + SqlNumber(lbTYpe) +
                       " ORDER BY ID,LB_Type");
    else
      OpenInto(rs, "SELECT * FROM FoShanLB  ORDER BY ID,LB_Type");
    rs = RaiseResult("rsResultFS", rs);
  });
  return rs;
}

void ServerForKeHu::AddLB(const std::string& strLB, int32_t lbTYpe) {
  RunAtomically(ErrorMode::ResumeNext, "AddLB", [&] {
    auto id = NextId(connection(), "FoShanLB", "id");
    Check(id.status());
    Exec("INSERT INTO FoShanLB VALUES(" + SqlNumber(id.ok() ? *id : Currency{}) + ",'" +
         SqlQuote(strLB) + "'," + SqlNumber(lbTYpe) + ")");
    GetFoShanLB(lbTYpe);
  });
}

void ServerForKeHu::EditLB(const std::string& strLB, int32_t lbTYpe, Currency ID) {
  // The kind stays; lbTYpe only picks the list to refresh.
  RunAtomically(ErrorMode::ResumeNext, "EditLB", [&] {
    Exec("UPDATE FoShanLB SET LB='" + SqlQuote(strLB) + "' WHERE ID=" + SqlNumber(ID));
    GetFoShanLB(lbTYpe);
  });
}

void ServerForKeHu::DelLB(Currency ID, int32_t lbTYpe) {
  RunAtomically(ErrorMode::ResumeNext, "DelLB", [&] {
    Exec("DELETE FROM FoShanLB WHERE ID=" + SqlNumber(ID));
    GetFoShanLB(lbTYpe);
  });
}

// ---- Major profile classes ----

void ServerForKeHu::Get_DaLei() {
  // Resume next: a failed open still raises the event, with the unopened set.
  Run(ErrorMode::ResumeNext, "Get_DaLei", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, "SELECT * FROM XcDaLei ORDER BY ID");
    RaiseResult("rsXcDaLei", rs);
  });
}

void ServerForKeHu::AddDaLei(const std::string& strDL) {
  RunAtomically(ErrorMode::ResumeNext, "AddDaLei", [&] {
    Currency id = GetMaxID(connection(), "XcDaLei", "ID");
    Exec("INSERT INTO XcDaLei VALUES (" + SqlNumber(id) + ",'" + SqlQuote(strDL) + "')");
    Get_DaLei();
  });
}

void ServerForKeHu::EditDaLei(Currency ID, const std::string& strDL) {
  RunAtomically(ErrorMode::ResumeNext, "EditDaLei", [&] {
    Exec("UPDATE XcDaLei SET DaLei ='" + SqlQuote(strDL) + "' WHERE ID=" + SqlNumber(ID));
    Get_DaLei();
  });
}

void ServerForKeHu::DelDaLei(Currency ID) {
  // Profiles of the class keep their DaLei value.
  RunAtomically(ErrorMode::Handler, "DelDaLei", [&] {
    Exec("DELETE * FROM XcDaLei WHERE ID=" + SqlNumber(ID));
    Get_DaLei();
  });
}

}  // namespace dravmor
