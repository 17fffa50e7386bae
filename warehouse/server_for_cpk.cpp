#include "warehouse/server_for_cpk.h"

#include <charconv>

#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/text.h"

namespace dravmor {

namespace {

// A computed area as a Double prints in text: 15 significant digits, so
// 1.5 x 1.2 x 2 is "3.6" like the area the database computes, not the
// last binary digits of the product.
std::string AreaText(double area) {
  char buffer[32];
  auto printed = std::to_chars(buffer, buffer + sizeof buffer, area, std::chars_format::general, 15);
  double rounded = area;
  std::from_chars(buffer, printed.ptr, rounded);
  return ShortestDecimal(rounded);
}

}  // namespace

ServerForCPK::ServerForCPK() : ServerObject("ServerForCPK") {}

void ServerForCPK::SetCPType(int32_t lngTemp) { type_ = lngTemp; }
void ServerForCPK::SetFaYun(bool IsFa) { shipping_ = IsFa ? 1 : 0; }
void ServerForCPK::SetWaiGouBL(bool IsWaiGouBL) { bought_in_glass_ = IsWaiGouBL; }
void ServerForCPK::IsQueryBH(bool IsBH) { history_ = IsBH; }
void ServerForCPK::SetCpMianJi(float sglTemp) { stored_area_ = sglTemp; }

// ---- Helpers ----

void ServerForCPK::Statement(std::string_view operation, const std::function<void()>& body) {
  Run(ErrorMode::SilentHandler, operation, body);
}

void ServerForCPK::Announce(Currency id) {
  std::vector<Variant> args{Variant(id)};
  Raise("rsCpID", args);
}

std::string ServerForCPK::Text(const std::shared_ptr<Object>& frm, int index) {
  return SqlQuote(FormText(frm, "txtcpk", index));
}

double ServerForCPK::Number(const std::shared_ptr<Object>& frm, int index) {
  return LeadingNumber(FormText(frm, "txtcpk", index));
}

std::string ServerForCPK::NumberText(const std::shared_ptr<Object>& frm, int index) {
  return SqlNumber(Number(frm, index));
}

int32_t ServerForCPK::Count(const std::shared_ptr<Object>& frm, int index) {
  auto whole = Variant(Number(frm, index)).ConvertTo(VarType::Long);
  if (!Check(whole.status())) return 0;
  return whole->long_value();
}

void ServerForCPK::RecomputeArea(const std::string& id) {
  if (shipping_ != 1)
    Exec("UpDate ChengPinKu SET MianJi = Changdu / 1000 * Kuandu / 1000 * SL WHERE ID=" + id);
}

void ServerForCPK::DropEmptyRows() {
  // A sash row keeps its stock in the four sash counts; its SL is only the
  // second left count, so a row stocked in without such sashes would go at
  // once. Sash rows leave through DelShanWeiNumByID's own cleanup.
  Exec("DELETE FROM ChengPinKu WHERE sl=0 AND CPType<>1");
}

// ---- Stock in and out ----

void ServerForCPK::UpdateNum(Currency ID, const std::shared_ptr<Object>& frm, bool IsRu) {
  RunAtomically(ErrorMode::ResumeNext, "UpdateNum", [&] {
    if (IsRu)
      StockIn(ID, frm);
    else
      StockOut(ID, frm);
    DropEmptyRows();
    GetDetail();
  });
}

void ServerForCPK::StockInWindow(Currency window, const std::shared_ptr<Object>& frm) {
  const std::string t = SqlNumber(type_), f = SqlNumber(shipping_);
  // The lookup decides between adding to a row and a new row. When it
  // fails nothing is known about the book: a new row could double a stock
  // line, so the stock-in is left out and the failure reported.
  bool looked_up = false;
  std::optional<std::string> found;
  Run(ErrorMode::Handler, "UpdateNum", [&] {
    RecordsetPtr rs = Open(
        "SELECT ID FROM ChengPinKu WHERE Gcdm='" + SqlQuote(FormText(frm, "cmbgc")) +
        "' AND mcdm='" + SqlQuote(FormText(frm, "cmbmc")) + "' AND XL='" + Text(frm, 2) +
        "' AND LouHao='" + Text(frm, 0) + "' AND LouCeng='" + Text(frm, 1) + "' AND " +
        "ChuangXing='" + Text(frm, 3) + "' AND ChangDu=" + NumberText(frm, 4) +
        " AND KuanDu=" + NumberText(frm, 5) + " AND DanWei='" + Text(frm, 6) +
        "' AND CPType=" + t + " AND IsFaYun=" + f);
    if (!rs->IsEmpty()) {
      auto id = Field(rs, size_t{0}).ToCurrency();
      if (Check(id.status())) found = SqlNumber(*id);
    }
    looked_up = true;
  });
  if (!looked_up) return;

  if (found) {
    Statement("UpdateNum", [&] {
      Exec("UpDate ChengPinKu SET sl=sl+ " + NumberText(frm, 7) + "  WHERE ID=" + *found);
    });
    Statement("UpdateNum", [&] { RecomputeArea(*found); });
    return;
  }
  auto id = NextRowId("ChengPinKu", "ID");
  if (!id) return;
  bool written = false;
  Statement("UpdateNum", [&] {
    const double quantity = Number(frm, 7);
    const std::string area =
        shipping_ != 1 ? AreaText(Number(frm, 4) / 1000 * Number(frm, 5) / 1000 * quantity)
                       : SqlNumber(Number(frm, 6) - quantity);
    Exec("INSERT INTO ChengPinKu (id,gcdm,mcdm,sl,xl,mcid,LouHao,LouCeng,ChuangXing,ChangDu,"
         "KuanDu,DanWei,MianJi,BeiZhu,CPType,IsFaYun) Values(" +
         SqlNumber(*id) + ",'" + SqlQuote(FormText(frm, "cmbgc")) + "','" +
         SqlQuote(FormText(frm, "cmbmc")) + "'," + SqlNumber(quantity) + ",'" + Text(frm, 2) +
         "'," + SqlNumber(window) + ",'" + Text(frm, 0) + "','" + Text(frm, 1) + "','" +
         Text(frm, 3) + "'," + NumberText(frm, 4) + "," + NumberText(frm, 5) + ",'" +
         Text(frm, 6) + "'," + area + ",'" + Text(frm, 8) + "'," + t + "," + f + ")");
    written = true;
  });
  if (written) Announce(*id);
}

void ServerForCPK::StockIn(Currency window, const std::shared_ptr<Object>& frm) {
  if (type_ == 0) {
    StockInWindow(window, frm);
    return;
  }
  if (type_ < 1 || type_ > 3) return;
  const std::string t = SqlNumber(type_), f = SqlNumber(shipping_);
  auto id = NextRowId("ChengPinKu", "ID");
  if (!id) return;
  // Only a row that was written is announced.
  bool written = false;
  Statement("UpdateNum", [&] {
    const std::string project = SqlQuote(FormText(frm, "cmbgc"));
    if (type_ == 1) {
      Exec("INSERT INTO ChengPinKu (id,gcdm,mcdm,sl,xl,mcid,LouHao,LouCeng,ChuangXing,ChangDu,"
           "KuanDu,Zuo1,Zuo2,You1,You2,BeiZhu,CPType,IsFaYun) Values(" +
           SqlNumber(*id) + ",'" + project + "','" + SqlQuote(FormText(frm, "cmbmc")) + "'," +
           NumberText(frm, 7) + ",'" + Text(frm, 2) + "'," + SqlNumber(window) + ",'" +
           Text(frm, 0) + "','" + Text(frm, 1) + "','" + Text(frm, 3) + "'," +
           NumberText(frm, 4) + "," + NumberText(frm, 5) + "," + NumberText(frm, 6) + "," +
           NumberText(frm, 7) + "," + NumberText(frm, 10) + "," + NumberText(frm, 9) + ",'" +
           Text(frm, 8) + "'," + t + "," + f + ")");
    } else if (type_ == 2) {
      // Bought-in glass is marked with You1=1.
      const std::string columns =
          "INSERT INTO ChengPinKu (id,gcdm,mcdm,sl,xl,mcid,LouHao,LouCeng,ChuangXing,ChangDu,"
          "KuanDu,DanWei,BeiZhu,You2,MianJi,CPType,IsFaYun";
      const std::string values =
          SqlNumber(*id) + ",'" + project + "','" + SqlQuote(FormText(frm, "cmbmc")) + "'," +
          NumberText(frm, 7) + ",'" + Text(frm, 2) + "'," + SqlNumber(window) + ",'" +
          Text(frm, 0) + "','" + Text(frm, 1) + "','" + Text(frm, 3) + "'," +
          NumberText(frm, 4) + "," + NumberText(frm, 5) + ",'" + Text(frm, 6) + "','" +
          Text(frm, 8) + "'," + NumberText(frm, 10) + "," + NumberText(frm, 9) + "," + t +
          "," + f;
      if (bought_in_glass_)
        Exec(columns + ",You1) Values(" + values + ",1)");
      else
        Exec(columns + ") Values(" + values + ")");
    } else {
      // Other items keep their quantity in MianJi; SL holds 10 so that the
      // zero-quantity cleanup never takes them. No window code or MCID.
      Exec("INSERT INTO ChengPinKu (ID,GCDM,LouHao,LouCeng,XL,ChuangXing,XingHao,Guige,MianJi,"
           "DanWei,You1,You2,BeiZhu,CPType,IsFaYun,SL) Values(" +
           SqlNumber(*id) + ",'" + project + "','" + Text(frm, 0) + "','" + Text(frm, 1) +
           "','" + Text(frm, 2) + "','" + Text(frm, 3) + "','" + Text(frm, 5) + "','" +
           Text(frm, 4) + "','" + Text(frm, 7) + "','" + Text(frm, 6) + "'," +
           NumberText(frm, 10) + "," + NumberText(frm, 9) + ",'" + Text(frm, 8) + "'," + t +
           "," + f + ",10)");
    }
    written = true;
  });
  if (written) Announce(*id);
}

void ServerForCPK::StockOut(Currency row, const std::shared_ptr<Object>& frm) {
  if (type_ == 1) {
    Statement("UpdateNum", [&] {
      const int32_t zuo1 = Count(frm, 6), zuo2 = Count(frm, 7), you1 = Count(frm, 10),
                    you2 = Count(frm, 9);
      bool remove_empty = false;
      DelShanWeiNumByID(row, -zuo1, -zuo2, -you1, -you2, remove_empty);
    });
  } else if (type_ == 0 || type_ == 2) {
    const std::string id = SqlNumber(row);
    Statement("UpdateNum", [&] {
      Exec("UpDate ChengPinKu SET sl=sl- " + NumberText(frm, 7) + "  WHERE ID=" + id);
    });
    Statement("UpdateNum", [&] { RecomputeArea(id); });
  }
}

// ---- Quantity operations ----

void ServerForCPK::UpdateNumByID(Currency ID, int32_t lngAddNum) {
  RunAtomically(ErrorMode::ResumeNext, "UpdateNumByID", [&] {
    const std::string id = SqlNumber(ID);
    Exec("UpDate ChengPinKu SET sl=sl+ " + SqlNumber(lngAddNum) + "  WHERE ID=" + id);
    RecomputeArea(id);
    DropEmptyRows();
    GetDetail();
  });
}

void ServerForCPK::DelShanWeiNumByID(Currency ID, int32_t lngZuo1, int32_t lngZuo2,
                                     int32_t lngYou1, int32_t lngYou2, bool& IsDEL) {
  RunAtomically(ErrorMode::ResumeNext, "DelShanWeiNumByID", [&] {
    Exec("UpDate ChengPinKu SET Zuo1=Zuo1+ " + SqlNumber(lngZuo1) + ",Zuo2=Zuo2+ " +
         SqlNumber(lngZuo2) + ",You1=You1+ " + SqlNumber(lngYou1) + ",You2=You2+ " +
         SqlNumber(lngYou2) + "  WHERE ID=" + SqlNumber(ID));
    if (IsDEL)
      Exec("DELETE FROM ChengPinKu WHERE Zuo1=0 AND Zuo2=0 AND You1=0 AND You2=0 AND CpType=" +
           SqlNumber(type_) + " AND IsFaYun=" + SqlNumber(shipping_));
    GetDetail();
  });
}

void ServerForCPK::UpdateShanWeiNumByID(Currency ID, int32_t lngZuo1, int32_t lngZuo2,
                                        int32_t lngYou1, int32_t lngYou2) {
  RunAtomically(ErrorMode::ResumeNext, "UpdateShanWeiNumByID", [&] {
    Exec("UpDate ChengPinKu SET Zuo1=" + SqlNumber(lngZuo1) + " ,Zuo2=" + SqlNumber(lngZuo2) +
         ",You1=" + SqlNumber(lngYou1) + " ,You2=" + SqlNumber(lngYou2) + "  WHERE ID=" +
         SqlNumber(ID));
    GetDetail();
  });
}

void ServerForCPK::UpdateFaYunNumByID(Currency ID, int32_t lngJiHuaNum, int32_t lngFaYun) {
  RunAtomically(ErrorMode::ResumeNext, "UpdateFaYunNumByID", [&] {
    const std::string id = SqlNumber(ID);
    if (type_ == 0)
      Exec("UpDate ChengPinKu SET sl=" + SqlNumber(lngFaYun) + " ,DanWei='" +
           SqlNumber(lngJiHuaNum) + "',MianJi=" +
           SqlNumber(static_cast<int64_t>(lngJiHuaNum) - lngFaYun) + "  WHERE ID=" + id);
    else if (type_ == 2)
      Exec("UpDate ChengPinKu SET sl=" + SqlNumber(lngJiHuaNum) + " ,MianJi=" +
           SqlNumber(lngFaYun) + "  WHERE ID=" + id);
    else if (type_ == 3)
      Exec("UpDate ChengPinKu SET You1=" + SqlNumber(lngJiHuaNum) + " ,You2=" +
           SqlNumber(lngFaYun) + "  WHERE ID=" + id);
    DropEmptyRows();
    GetDetail();
  });
}

void ServerForCPK::DelChengPin(Currency ID) {
  RunAtomically(ErrorMode::ResumeNext, "DelChengPin", [&] {
    Exec("DELETE FROM ChengPinKu WHERE ID=" + SqlNumber(ID));
    GetDetail();
  });
}

void ServerForCPK::QingKongCPK() {
  RunAtomically(ErrorMode::ResumeNext, "QingKongCPK", [&] {
    Exec("DELETE * FROM  ChengPinKu WHERE CpType=" + SqlNumber(type_) +
         " AND IsFaYun=" + SqlNumber(shipping_));
    GetDetail();
  });
}

void ServerForCPK::Edit(Currency /*ID*/, const std::shared_ptr<Object>& /*frm*/) {
  Run(ErrorMode::Handler, "Edit", [] {});
}

// ---- Lists ----

std::string ServerForCPK::SelectList(bool plain_shipping_glass) const {
  switch (type_) {
    case 0:
      return "SELECT ID,GCDM,LouHao,LouCeng,XL,ChuangXing,MCDM,ChangDu,KuanDu,DanWei,SL,MianJi,"
             "BeiZhu ";
    case 1:
      return "SELECT ID,GCDM,LouHao,LouCeng,XL,ChuangXing,MCDM,ChangDu,KuanDu,Zuo1,Zuo2,You1,"
             "You2,BeiZhu ";
    case 2:
      if (plain_shipping_glass)
        return "SELECT ID,GCDM,LouHao,LouCeng,XL,ChuangXing,MCDM,ChangDu,KuanDu,DanWei,You2,SL,"
               "MianJi,BeiZhu ";
      return "SELECT ID,GCDM,LouHao,LouCeng,XL,ChuangXing,MCDM,ChangDu,KuanDu,DanWei,SL,BeiZhu,"
             "You2,MianJi ";
    case 3:
      return "SELECT ID,GCDM,LouHao,LouCeng,XL,ChuangXing,XingHao,Guige,MianJi,DanWei,You1,You2,"
             "BeiZhu ";
    default:
      return "";
  }
}

RecordsetPtr ServerForCPK::GetDetail() {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetDetail", [&] {
    const std::string select = SelectList(!bought_in_glass_ && shipping_ == 1);
    if (select.empty()) return;
    const std::string ending =
        type_ == 2 && bought_in_glass_ ? " AND You1=1 ORDER BY id" : " ORDER BY id";
    OpenInto(rs, select + " FROM ChengPinKu WHERE CPType=" + SqlNumber(type_) +
                     " AND IsFaYun=" + SqlNumber(shipping_) + ending);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForCPK::GetDetailByCode(const std::string& strCode) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetDetailByCode", [&] {
    const std::string select = SelectList(false);
    if (select.empty()) return;
    const std::string table = history_ ? "ChengPinKuCRMX" : "ChengPinKu";
    std::string ending = " ORDER BY id";
    if (type_ == 2) ending = bought_in_glass_ ? " AND You1=1 ORDER BY id" : "  ORDER BY id";
    OpenInto(rs, select + " FROM " + table + " WHERE CPType=" + SqlNumber(type_) + " AND " +
                     strCode + " AND IsFaYun=" + SqlNumber(shipping_) + ending);
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

RecordsetPtr ServerForCPK::GetGC() {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetGC", [&] {
    OpenInto(rs, "SELECT * FROM ProjectInfo WHERE Gcxx_ID<>1 ORDER BY gcxx_id");
    rs = RaiseResult("rsGC", rs);
  });
  return rs;
}

RecordsetPtr ServerForCPK::GetMC(Currency ID) {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetMC", [&] {
    OpenInto(rs, "SELECT * FROM ProjectWindow WHERE Gcxx_ID=" + SqlNumber(ID) +
                     " ORDER BY gcmc_id");
    rs = RaiseResult("rsMC", rs);
  });
  return rs;
}

}  // namespace dravmor
