#include "catalogue/server_for_bo_li.h"

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

ServerForBoLi::ServerForBoLi() : ServerObject("ServerForBoLi") {}

ServerForBoLi::GlassForm ServerForBoLi::ReadForm(const std::shared_ptr<Object>& frm) {
  GlassForm form;
  std::string suffix;
  if (colour_suffix_) {
    std::string a = FormText(frm, "txtXingCaiInfo", 6);
    std::string b = FormText(frm, "txtXingCaiInfo", 7);
    if (!a.empty() || !b.empty()) suffix = "_" + a + "_" + b;
  }
  form.code = SqlQuote(FormText(frm, "txtXingCaiInfo", 0));
  form.length = SqlNumber(LeadingNumber(FormText(frm, "txtXingCaiInfo", 1)));
  form.width = SqlNumber(LeadingNumber(FormText(frm, "txtXingCaiInfo", 2)));
  form.thickness = SqlQuote(FormText(frm, "txtXingCaiInfo", 3));
  form.colour = SqlQuote(FormText(frm, "txtXingCaiInfo", 4) + suffix);
  form.price = SqlNumber(LeadingNumber(FormText(frm, "txtXingCaiInfo", 5)));
  return form;
}

void ServerForBoLi::AddBoLi(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddBoLi", [&] {
    // -1 is the all-factories marker, not a factory: the sheet would belong
    // to no factory and show in no list.
    if (factory_ == -1)
      Check(Status::Error(ErrorCode::kBadArgument, "Choose one factory before adding glass"));
    GlassForm form = ReadForm(frm);
    auto id = NextId(connection(), "玻璃", "bl_id");
    if (!Check(id.ok() ? Status::Ok() : id.status())) return;
    Exec("INSERT INTO 玻璃  VALUES(" + SqlNumber(*id) + "," + SqlNumber(factory_) + ",'" +
         form.code + "'," + form.length + "," + form.width + ",'" + form.thickness + "','" +
         form.colour + "'," + form.price + ",0)");
    Refresh();
  });
}

void ServerForBoLi::EditBoLi(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditBoLi", [&] {
    GlassForm form = ReadForm(frm);
    Exec("UPDATE 玻璃  SET " + std::string("DaiMa='") + form.code + "'," + "changdu=" +
         form.length + "," + "kuandu=" + form.width + "," + "houdu=" + "'" + form.thickness +
         "'," + "yanse=" + "'" + form.colour + "'," + "danjia=" + form.price +
         " WHERE bl_id=" + SqlNumber(ID));
    Refresh();
  });
}

void ServerForBoLi::DelBoLi(Currency ID) {
  // One transaction: stock movements never outlive their sheet.
  const bool deleted = RunAtomically(ErrorMode::Handler, "DelBoLi", [&] {
    Exec("DELETE FROM 玻璃 WHERE Bl_id=" + SqlNumber(ID));
    Exec("DELETE FROM ChuRuDetail WHERE WuJianType=2 AND WuJianID=" + SqlNumber(ID));
  });
  if (deleted) Refresh();
}

void ServerForBoLi::UpdateNum(Currency ID, int16_t NUm) {
  // A negative amount takes stock out; the count may go below 0.
  RunAtomically(ErrorMode::None, "UpdateNum", [&] {
    Exec("UPdate 玻璃 SET num=num+" + SqlNumber(NUm) + " WHERE bl_id=" + SqlNumber(ID));
    Refresh();
  });
}

void ServerForBoLi::QingKongBLCK(Currency lngID) {
  RunAtomically(ErrorMode::ResumeNext, "QingKongBLCK", [&] {
    Exec("UPDATE 玻璃 SET NUM=0 WHERE CJ_ID= " + SqlNumber(lngID));
    Refresh();
  });
}

void ServerForBoLi::Refresh() {
  std::string code;
  GetBoLi(code, false);
}

RecordsetPtr ServerForBoLi::GetBoLi() {
  std::string code;
  return GetBoLi(code, false);
}

RecordsetPtr ServerForBoLi::GetBoLi(std::string& strDaiMa, bool IsForChoose) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetBoli", [&] {
    const std::string f = SqlNumber(factory_);
    const std::string sheets =
        "SELECT 玻璃.bl_id,jiancheng,changdu,kuandu FROM 玻璃 INNER JOIN 厂家 ON 玻璃.cj_ID= 厂家.cj_Id ";
    std::string sql;
    if (IsForChoose) {
      if (strDaiMa.empty()) {
        sql = "SELECT DISTINCT houdu,yanse FROM 玻璃";
        if (!chooser_condition_.empty()) sql += " WHERE " + chooser_condition_;
      } else if (strDaiMa == "All") {
        sql = sheets;
      } else {
        // "<thickness> <colour>": the thickness ends at the first blank and
        // the colour is the rest, so a colour with blanks stays whole.
        const size_t blank = strDaiMa.find(' ');
        if (blank == std::string::npos)
          Check(Status::Error(ErrorCode::kBadArgument,
                              "The glass choice needs a thickness, a blank and a colour"));
        auto trim = [](std::string s) {
          const size_t b = s.find_first_not_of(' ');
          if (b == std::string::npos) return std::string();
          return s.substr(b, s.find_last_not_of(' ') - b + 1);
        };
        const std::string p0 = trim(strDaiMa.substr(0, blank));
        const std::string p1 = trim(strDaiMa.substr(blank + 1));
        sql = sheets + "WHERE houdu=" + "'" + SqlQuote(p0) + "'" + " AND yanse=" + "'" +
              SqlQuote(p1) + "'";
      }
    } else {
      const std::string C = "'%" + SqlQuote(strDaiMa) + "%'";
      if (stock_view_) {
        sql = "SELECT bl_id,jiancheng,Daima,Changdu,Kuandu,HouDu,YanSe,DanJia,Num  " +
              std::string("FROM 玻璃 INNER JOIN 厂家 ON 厂家.cj_id=玻璃.Cj_ID ") +
              " WHERE  玻璃.Cj_id=" + f;
        if (!strDaiMa.empty()) sql += " AND Daima LIKE " + C;
        sql += " ORDER BY  bl_id";
      } else if (strDaiMa.empty()) {
        sql = "SELECT *  " + std::string("FROM 玻璃  ") + " WHERE  Cj_id=" + f + " ORDER BY  bl_id";
      } else {
        sql = "SELECT * " + std::string("FROM 玻璃  ") + " WHERE  Cj_id=" + f +
              " AND Daima LIKE " + C + " ORDER BY  bl_id";
      }
    }
    OpenInto(rs, sql);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

}  // namespace dravmor
