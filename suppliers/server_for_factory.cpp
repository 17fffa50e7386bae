#include "suppliers/server_for_factory.h"

#include "catalogue/binding_owner.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

ServerForFactory::ServerForFactory() : ServerObject("ServerForFactory") {}

void ServerForFactory::SetType(int16_t intFacType, uint8_t CJLB) {
  factory_type_ = intFacType;
  category_ = CJLB;
}

void ServerForFactory::SetSQLSERVER(bool Is2000) { SetDialect(Is2000); }

void ServerForFactory::SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe) {
  scope_ = OperatorScope(strCZY, IsYanGe);
}

void ServerForFactory::SetCZYName(const std::string& strNM) { operator_name_ = strNM; }

void ServerForFactory::AfterConnect() {
  Run(ErrorMode::ResumeNext, "CheckGangChen", [&] {
    // The columns of "Select * FROM 型材  ", counted from the catalogue:
    // the profiles themselves are not read.
    if (ColumnCount("型材") == 13) {
      Exec("ALTER TABLE 型材 Add GangChen text(10)");
      Exec("UPDATE 型材 SET GangChen='型材'");
    }
  });
}

bool ServerForFactory::FindChongFu(const std::string& code, bool& editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql;
    if (editing)
      sql = "SELECT COUNT(*) FROM 厂家 WHERE bianma=" + std::string("'") + SqlQuote(code) +
            "' AND cj_id<>" + SqlNumber(ID) + " AND cjlb=" + SqlNumber(category_) +
            " AND cjType=" + SqlNumber(factory_type_);
    else
      sql = "SELECT COUNT(*) FROM 厂家 WHERE bianma=" + std::string("'") + SqlQuote(code) +
            "' AND cjlb=" + SqlNumber(category_) + " AND cjType=" + SqlNumber(factory_type_);
    taken = CountsAny(sql);
  });
  return taken;
}

void ServerForFactory::AddFactory(const std::shared_ptr<Object>& frm, int16_t intType,
                                  uint8_t /*CJLB: the stored category is written*/) {
  RunAtomically(ErrorMode::Handler, "AddFactory", [&] {
    std::string code = FormText(frm, "txtfactoryinfo", 0);
    bool editing = false;
    if (FindChongFu(code, editing, Currency{})) {
      Raise("BianMaChongFu");
      return;
    }
    if (category_ == 1 || category_ == 2) intType = 0;
    Currency id = GetMaxID(connection(), "厂家", "cj_id");
    Exec("INSERT INTO 厂家  VALUES(" + SqlNumber(id) + ",'" +
         SqlQuote(FormText(frm, "txtfactoryinfo", 1)) + "','" +
         SqlQuote(FormText(frm, "txtfactoryinfo", 2)) + "'," + SqlNumber(category_) + "," +
         SqlNumber(intType) + ",'" + SqlQuote(FormText(frm, "txtfactoryinfo", 0)) +
         "',0,0,'" + SqlQuote(operator_name_) + "','" + SqlQuote(operator_name_) + "')");
    RefreshList();
  });
}

void ServerForFactory::EditFactory(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditFactory", [&] {
    std::string code = FormText(frm, "txtfactoryinfo", 0);
    bool editing = true;
    if (FindChongFu(code, editing, ID)) {
      Raise("BianMaChongFu");
      return;
    }
    Exec("UPDATE 厂家  SET " + std::string("bianma='") + SqlQuote(code) + "'," +
         "quancheng='" + SqlQuote(FormText(frm, "txtfactoryinfo", 1)) + "'," +
         "jiancheng='" + SqlQuote(FormText(frm, "txtfactoryinfo", 2)) + "' " +
         " WHERE cj_id=" + SqlNumber(ID));
    RefreshList();
  });
}

RecordsetPtr ServerForFactory::GetFactory(std::string& BianMa, int16_t intType,
                                          uint8_t& ChangYong) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetFactory", [&] {
    if (category_ == 1 || category_ == 2) intType = 0;
    long cy = ChangYong;
    if (cy == 1) cy = true_value();
    std::string sql = "SELECT Cj_id,BianMa,Quancheng,Jiancheng,cjType,CJSuoDing,OwnerList,UserList" +
                      std::string(" FROM 厂家  ") + " WHERE cjlb=" + SqlNumber(category_) + scope_;
    if (intType != 2) {
      sql += " AND cjType=" + SqlNumber(intType);
      if (category_ == 0 && (cy == 0 || cy == true_value()))
        sql += " AND Changyong=" + SqlNumber(cy);
      if (!BianMa.empty()) sql += " AND BianMa LIKE" + std::string("'%") + SqlQuote(BianMa) + "%'";
    } else if (!BianMa.empty()) {
      sql += " AND  BianMa LIKE" + std::string("'%") + SqlQuote(BianMa) + "%'";
    }
    sql += " ORDER BY bianma,cjType,cj_id";
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForFactory::GetFactory() {
  std::string code;
  uint8_t favourites = 1;
  return GetFactory(code, 0, favourites);
}

void ServerForFactory::RefreshList() {
  std::string code;
  uint8_t both = 2;
  GetFactory(code, factory_type_, both);
}

void ServerForFactory::UpdateChangYong(Currency ID, uint8_t Yong) {
  RunAtomically(ErrorMode::SilentHandler, "UpdateChangYong", [&] {
    Exec("UPDATE 厂家 SET changyong=" + SqlNumber(Yong) + "  WHERE cj_ID= " + SqlNumber(ID));
  });
}

void ServerForFactory::SetFactorySuo(Currency gcID, int32_t lngSuo) {
  RunAtomically(ErrorMode::ResumeNext, "SetFactorySuo", [&] {
    Exec("UPDATE 厂家 SET CJSuoDing=" + SqlNumber(lngSuo) + " WHERE CJ_ID=" + SqlNumber(gcID));
  });
}

void ServerForFactory::ExecuteToXL(const Variant& strSQL) {
  // The caller's own SQL, run as it stands.
  RunAtomically(ErrorMode::ResumeNext, "ExecuteToXL", [&] { Exec(strSQL.ToText()); });
}

void ServerForFactory::DelFactory(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelFactory", [&] {
    const std::string id = SqlNumber(ID);
    if (category_ == 0) {
      const std::string series = "(SELECT XL_ID FROM 系列 WHERE Cj_id=" + id + ")";
      const std::string profiles = "(SELECT xc_id FROM 型材 WHERE XL_ID IN " + series + ")";
      Exec("DELETE FROM 绑定 " + std::string("WHERE Zhu_id IN ") + profiles);
      Exec("DELETE FROM 绑定 " + std::string("WHERE Fu_id IN ") + profiles);
      Exec("DELETE FROM DetailBlock " + std::string("WHERE XL_id IN ") + series);
      Exec("DELETE FROM WinFilter " + std::string("WHERE XL_id IN ") + series);
      if (HasTable("WZSBGT"))
        Exec("DELETE FROM WZSBGT " + std::string("WHERE XL_id IN ") + series);
      if (HasTable("ShanJiaGong"))
        Exec("DELETE FROM ShanJiaGong " + std::string("WHERE XL_id IN ") + series);
    } else if (category_ == 1) {
      const std::string parts = "(SELECT pj_id FROM 配件 WHERE  Cj_id=" + id + ")";
      // The accessories' own bindings: a profile may share a main id.
      Exec("DELETE FROM 绑定配件 " + std::string("WHERE Zhu_id IN ") + parts +
           OwnedBy(kOwnerAccessory));
      Exec("DELETE FROM 绑定配件 " + std::string("WHERE fu_id IN ") + parts);
    }
    Exec("DELETE FROM 厂家 WHERE cj_id=" + id);
    RefreshList();
  });
}

}  // namespace dravmor
