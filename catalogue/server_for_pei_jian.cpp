#include "catalogue/server_for_pei_jian.h"

#include "catalogue/binding_owner.h"
#include <cctype>

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

// The category key names a column: letters, digits, underscores and the
// non-ASCII letters of the Chinese column names, nothing that could end the
// name and start more SQL.
bool IsPlainColumnName(const std::string& name) {
  if (name.empty()) return false;
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '_' || c >= 0x80)) return false;
  return true;
}

const char kS1[] =
    "SELECT 配件.*,类别.MingCheng  "
    "FROM 配件 INNER JOIN 类别 ON 配件.LB_ID=类别.LB_ID   ";
const char kS2[] =
    "SELECT 配件.pj_id, jiancheng,daima,mingcheng,guige, danwei,danjia,num "
    "FROM 配件 INNER JOIN 厂家 ON 配件.cj_ID=厂家.cj_ID   ";
const char kByCategory[] = " ORDER BY 配件.lb_id, pj_id";

}  // namespace

ServerForPeiJian::ServerForPeiJian() : ServerObject("ServerForPeiJian") {}

std::string ServerForPeiJian::CategoryCondition(const std::string& key) {
  // "PJ" is the keyword for no category condition, in every list form.
  if (key == "PJ") return "";
  if (!IsPlainColumnName(key))
    Check(Status::Error(ErrorCode::kBadArgument,
                        "The category key '" + key + "' is not a column name of 类别"));
  return "AND 类别." + key + "=1";
}

ServerForPeiJian::AccessoryForm ServerForPeiJian::ReadForm(const std::shared_ptr<Object>& frm) {
  AccessoryForm form;
  form.code = SqlQuote(FormText(frm, "txtXingCaiInfo", 0));
  form.name = SqlQuote(FormText(frm, "txtXingCaiInfo", 1));
  form.guige = SqlQuote(FormText(frm, "txtXingCaiInfo", 2));
  form.unit = SqlQuote(FormText(frm, "txtXingCaiInfo", 3));
  form.price = SqlNumber(LeadingNumber(FormText(frm, "txtXingCaiInfo", 4)));
  // The chosen category's id; no selection (-1) has no item and fails.
  auto index = FormValue(frm, "cmbLeiBie", std::nullopt, "ListIndex").ToInt64();
  if (!Check(index.ok() ? Status::Ok() : index.status())) return form;
  auto category =
      FormValue(frm, "cmbLeiBie", std::nullopt, "ItemData", static_cast<int>(*index)).ToInt64();
  if (!Check(category.ok() ? Status::Ok() : category.status())) return form;
  form.category = SqlNumber(*category);
  auto shared = FormValue(frm, "opttongyong", 0, "Value").ToBool();
  if (!Check(shared.ok() ? Status::Ok() : shared.status())) return form;
  form.rounding = *shared ? "0" : "1";
  return form;
}

void ServerForPeiJian::AddPeiJian(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddPeiJian", [&] {
    // -1 is the all-factories marker of the lists, not a factory: a row
    // stored under it would belong to no factory and show in no list.
    if (factory_ == -1)
      Check(Status::Error(ErrorCode::kBadArgument,
                          "Choose one factory before adding an accessory"));
    AccessoryForm form = ReadForm(frm);
    auto id = NextId(connection(), "配件", "pj_id");
    if (!Check(id.ok() ? Status::Ok() : id.status())) return;
    Exec("INSERT INTO 配件  VALUES(" + SqlNumber(*id) + "," + SqlNumber(factory_) + ",'" +
         form.code + "','" + form.name + "','" + form.guige + "','" + form.unit + "'," +
         form.price + "," + form.rounding + "," + form.category + ",0)");
    Refresh("PJ");
  });
}

void ServerForPeiJian::EditPeiJian(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditPeiJian", [&] {
    AccessoryForm form = ReadForm(frm);
    Exec("UPDATE 配件  SET " + std::string("DaiMa='") + form.code + "'," + "MingCheng='" +
         form.name + "'," + "GuiGe='" + form.guige + "'," + "DanWei='" + form.unit + "'," +
         "DanJia=" + form.price + "," + "ShifouQuzheng=" + form.rounding + "," +
         "LB_id=" + form.category + " WHERE pj_id=" + SqlNumber(ID));
    Refresh("PJ");
  });
}

void ServerForPeiJian::DelPeiJian(Currency ID) {
  // One transaction: a failed cleanup must not leave bindings and stock
  // movements pointing at a deleted accessory.
  const bool deleted = RunAtomically(ErrorMode::Handler, "DelPeiJian", [&] {
    const std::string id = SqlNumber(ID);
    Exec("DELETE FROM 配件 WHERE pj_id=" + id);
    // Only the bindings this accessory owns: a profile may have its id.
    Exec("DELETE FROM 绑定配件 WHERE Zhu_id =" + id + OwnedBy(kOwnerAccessory));
    Exec("DELETE FROM 绑定配件 WHERE Fu_id =" + id);
    Exec("DELETE FROM ChuRuDetail WHERE WuJianType=1 AND WuJianID=" + id);
  });
  if (deleted) Refresh("PJ");
}

void ServerForPeiJian::ChangeStock(const std::string& amount) {
  // amount is the whole "+<n> WHERE ..." tail: counts may go below 0.
  Exec("Update 配件 SET num=num+" + amount);
  Refresh("All");
}

Variant ServerForPeiJian::UpdateNum(Currency ID, int16_t NUm) {
  RunAtomically(ErrorMode::None, "UpdateNum",
      [&] { ChangeStock(SqlNumber(NUm) + " WHERE pj_id=" + SqlNumber(ID)); });
  return Variant();
}

Variant ServerForPeiJian::UpdateNumNewVer(Currency ID, float NUm) {
  RunAtomically(ErrorMode::None, "UpdateNumNewVer",
      [&] { ChangeStock(ShortestDecimal(NUm) + " WHERE pj_id=" + SqlNumber(ID)); });
  return Variant();
}

void ServerForPeiJian::QingKongPJCK(Currency lngID) {
  RunAtomically(ErrorMode::ResumeNext, "QingKongPJCK", [&] {
    Exec("UPDATE 配件 SET NUM=0 WHERE CJ_ID= " + SqlNumber(lngID));
    Refresh("All");
  });
}

void ServerForPeiJian::Refresh(const char* key) {
  std::string code, k = key;
  GetPeiJian(code, k);
}

RecordsetPtr ServerForPeiJian::GetPeiJian() {
  std::string code, key = "TC";
  return GetPeiJian(code, key);
}

RecordsetPtr ServerForPeiJian::GetPeiJian(std::string& strDaiMa, std::string& strKey) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetPeiJian", [&] {
    const std::string S1 = kS1, S2 = kS2;
    const std::string f = SqlNumber(factory_);
    const bool all_factories = factory_ == -1;
    const bool stock_view = strKey == "All";
    std::string sql;
    if (strDaiMa.empty()) {
      if (!all_factories) {
        if (stock_view)
          sql = S2 + " WHERE  配件.Cj_id=" + f + " ORDER BY pj_ID";
        else
          sql = S1 + " WHERE  Cj_id=" + f + CategoryCondition(strKey) + kByCategory;
      } else if (stock_view) {
        sql = S2 + " ORDER BY 厂家.cj_id";
      } else if (category_list_) {
        std::string k = CategoryCondition(strKey);
        sql = S1 + (k.empty() ? "" : "WHERE 类别." + strKey + "=1") + kByCategory;
      } else {
        // Not accessories: the accessory categories of that kind.
        std::string k = CategoryCondition(strKey);
        sql = "SELECT LB_ID,MingCheng " + std::string("FROM 类别 ") + "WHERE " +
              (k.empty() ? "" : "类别." + strKey + "=1 AND ") +
              "TypeLB=2 AND LvSu=" + SqlNumber(lv_su_) + " ORDER BY LB_id";
      }
    } else {
      const std::string C = "'%" + SqlQuote(strDaiMa) + "%'";
      if (all_factories) {
        if (stock_view)
          sql = S2 + "WHERE 配件.daima LIKE " + C + " ORDER BY 厂家.cj_id";
        else
          sql = S1 + " WHERE  Daima LIKE " + C + CategoryCondition(strKey) + kByCategory;
      } else if (stock_view) {
        sql = S2 + " WHERE   配件.Cj_id=" + f + " AND Daima LIKE " + C + " ORDER BY PJ_id";
      } else {
        sql = S1 + " WHERE  Cj_id=" + f + " AND Daima LIKE " + C + CategoryCondition(strKey) +
              kByCategory;
      }
    }
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForPeiJian::GetPeiJianByName(std::string& strDaiMa, std::string& strKey) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetPeiJianByName", [&] {
    std::string sql = kS1 + std::string(" WHERE  Cj_id=") + SqlNumber(factory_);
    if (!strDaiMa.empty())
      sql += " AND 配件.MingCheng LIKE " + std::string("'%") + SqlQuote(strDaiMa) + "%'";
    sql += CategoryCondition(strKey);
    sql += kByCategory;
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

void ServerForPeiJian::GetXuanPJ(Currency PJID) {
  Run(ErrorMode::Handler, "GetXuanPJ", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, "SELECT MingCheng,GuiGe,PJ_ID FROM 配件 " +
                     std::string("WHERE lb_ID IN (SELECT LB_ID FROM 配件 WHERE PJ_ID = ") +
                     SqlNumber(PJID) + ")  ORDER BY PJ_ID");
    RaiseResult("rsXuanPJ", rs);
  });
}

}  // namespace dravmor
