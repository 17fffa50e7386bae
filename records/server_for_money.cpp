#include "records/server_for_money.h"

#include <cstdio>

#include "engine/bind_method.h"
#include "engine/numeric.h"
#include "engine/text.h"

namespace dravmor {

namespace {

std::string FourDecimals(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%.4f", value);
  return text;
}

}  // namespace

ServerForMoney::ServerForMoney()
    : ProjectRecordObject("ServerForMoney", {{"GcMoney",
                                              "CREATE TABLE GcMoney (ID Long,GcxxID Long,Kuan "
                                              "Number,RiQi Text,Ren Text, primary "
                                              "key(ID))"},
                                             {"MoneyGc",
                                              "CREATE TABLE MoneyGc (ID Long,GcxxID Long,Kuan "
                                              "Number,ZhiBao Number,  primary "
                                              "key(ID))"}}) {}

std::string ServerForMoney::DisplayInfo() {
  std::string summary;
  Run(ErrorMode::None, "DisplayInfo", [&] {
    RecordsetPtr total = Open("SELECT Kuan,ZhiBao FROM MoneyGc WHERE GcxxID=" + project());
    if (*total->Eof()) {
      summary = "0;0;0;0;0";
    } else {
      auto number = [](const Variant& v) {
        auto d = v.ToDouble();
        return d.ok() ? *d : 0.0;
      };
      const double k = number(Field(total, "Kuan")), z = number(Field(total, "ZhiBao"));
      RecordsetPtr paid =
          Open("SELECT SUM(Kuan) FROM GcMoney WHERE GcxxID=" + project() + " GROUP BY GcxxID");
      const double p = *paid->Eof() ? 0.0 : number(Field(paid, size_t{0}));
      // The differences are taken in single precision, as the summary
      // always has been.
      const float ks = static_cast<float>(k), zs = static_cast<float>(z),
                  ps = static_cast<float>(p);
      summary = FourDecimals(k) + ";" + FourDecimals(z) + ";" + FourDecimals(p) + ";" +
                FourDecimals(ks - ps) + ";" + FourDecimals(ks - ps + zs);
    }
    std::vector<Variant> args{Variant(summary)};
    Raise("DisplayMsg", args);
  });
  return summary;
}

RecordsetPtr ServerForMoney::GetDetail() {
  return ListAndRaise(ErrorMode::Handler, "GetDetail",
                      "SELECT * FROM GcMoney Where GcxxID=" + project() + " ORDER BY id");
}

void ServerForMoney::Refresh() {
  DisplayInfo();
  GetDetail();
}

std::string ServerForMoney::Amount(const std::shared_ptr<Object>& frm) {
  const std::string text = FormText(frm, "txtMoney", 0);
  auto amount = ParseNumber(text);
  if (!amount) {
    Check(Status::Error(ErrorCode::kTypeMismatch,
                        "the amount in txtMoney(0) is not a number: \"" + text + "\""));
    return "";
  }
  return ShortestDecimal(*amount);
}

void ServerForMoney::Add(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    const std::string amount = Amount(frm);
    const std::string date = SqlQuote(FormText(frm, "txtMoney", 1));
    const std::string person = SqlQuote(FormText(frm, "txtMoney", 2));
    auto id = NextRowId("GcMoney", "ID");
    if (!id) return;
    Exec("INSERT INTO GcMoney  VALUES(" + SqlNumber(*id) + "," + project() + "," + amount + ",'" +
         date + "','" + person + "')");
    Refresh();
  });
}

void ServerForMoney::Edit(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    const std::string amount = Amount(frm);
    Exec("UPDATE GcMoney SET Kuan=" + amount + ",ren='" + SqlQuote(FormText(frm, "txtMoney", 2)) +
         "', riqi='" + SqlQuote(FormText(frm, "txtMoney", 1)) + "'  WHERE ID=" + SqlNumber(ID));
    Refresh();
  });
}

void ServerForMoney::Del(Currency ID) {
  RunAtomically(ErrorMode::Handler, "Del", [&] {
    Exec("DELETE FROM GcMoney WHERE ID=" + SqlNumber(ID));
    Refresh();
  });
}

void ServerForMoney::EditZong(float sglZong, float sglZhi) {
  RunAtomically(ErrorMode::Handler, "EditZong", [&] {
    RecordsetPtr row = Open("SELECT * FROM MoneyGc WHERE GcxxID=" + project());
    if (*row->Eof()) {
      auto id = NextRowId("MoneyGc", "ID");
      if (!id) return;
      Exec("INSERT INTO MoneyGc VALUES(" + SqlNumber(*id) + "," + project() + "," +
           ShortestDecimal(sglZong) + "," + ShortestDecimal(sglZhi) + ")");
    } else {
      Exec("UPDATE MoneyGc SET Kuan=" + ShortestDecimal(sglZong) +
           ",ZhiBao=" + ShortestDecimal(sglZhi) + "   WHERE GcxxID=" + project());
    }
    Refresh();
  });
}

ClassInfo ServerForMoney::Describe() {
  using C = ServerForMoney;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForMoney";
  c.create = [] { return std::make_unique<ServerForMoney>(); };
  c.methods = {
      Bind("SetGccID", &C::SetGccID, {In("ID", V::Currency)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("DisplayInfo", &C::DisplayInfo, {}),
  };
  for (MethodInfo& m : RecordListAndChangeMethods<C>()) c.methods.push_back(std::move(m));
  c.methods.push_back(
      Bind("EditZong", &C::EditZong, {In("sglZong", V::Single), In("sglZhi", V::Single)}));
  c.events = RecordEvents();
  c.events.push_back({"DisplayMsg", 4, {In("strMsg", V::String)}});
  // The payment form.
  const std::vector<FormControlInfo> payment = {
      Control("txtMoney", 0, "Text", "Kuan (numeric text)"),
      Control("txtMoney", 1, "Text", "RiQi"),
      Control("txtMoney", 2, "Text", "Ren")};
  c.SetForm("Add", payment);
  c.SetForm("Edit", payment);
  // Error modes other than handler; setters, which cannot fail, are none.
  c.SetErrorMode(ErrorMode::None, {"SetGccID", "DisplayInfo"});
  return c;
}

}  // namespace dravmor
