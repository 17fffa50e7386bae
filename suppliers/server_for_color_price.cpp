#include "suppliers/server_for_color_price.h"

#include "engine/bind_method.h"
#include "engine/numeric.h"
#include "engine/text.h"

namespace dravmor {

ServerForColorPrice::ServerForColorPrice() : ServerObject("ServerForColorPrice") {}

bool ServerForColorPrice::FindChongFu(const std::string& colour, bool& editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql = "SELECT COUNT(*) FROM 颜色价格 WHERE yanse=" + std::string("'") +
                      SqlQuote(colour) + "' AND " + "cj_id=" + SqlNumber(factory_);
    if (editing) sql += " AND yansejiage_id<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

void ServerForColorPrice::AddColorPrice(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddColorPrice", [&] {
    const std::string colour = FormText(frm, "txtcolor");
    const std::string price = SqlNumber(LeadingNumber(FormText(frm, "txtprice")));
    bool editing = false;
    if (FindChongFu(colour, editing, Currency{})) {
      Raise("ChongFu");
      return;
    }
    auto id = NextRowId("颜色价格", "yansejiage_id");
    if (!id) return;
    Exec("INSERT INTO 颜色价格  VALUES(" + SqlNumber(*id) + "," + SqlNumber(factory_) + ",'" +
         SqlQuote(colour) + "'," + price + ")");
    GetColor();
  });
}

void ServerForColorPrice::EditColor(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditColor", [&] {
    const std::string colour = FormText(frm, "txtcolor");
    const std::string price = SqlNumber(LeadingNumber(FormText(frm, "txtprice")));
    bool editing = true;
    if (FindChongFu(colour, editing, ID)) {
      Raise("ChongFu");
      return;
    }
    Exec("UPDATE 颜色价格  SET " + std::string("yanse='") + SqlQuote(colour) + "'," +
         "jiage=" + price + " WHERE yansejiage_id=" + SqlNumber(ID));
    GetColor();
  });
}

void ServerForColorPrice::DelColor(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelColor", [&] {
    Exec("DELETE FROM 颜色价格 WHERE yansejiage_id=" + SqlNumber(ID));
    GetColor();
  });
}

RecordsetPtr ServerForColorPrice::GetColor() {
  return ListAndRaise(ErrorMode::Handler, "Getcolor",
                      "SELECT * FROM 颜色价格  " + std::string(" WHERE cj_id= ") +
                          SqlNumber(factory_) + " ORDER BY yansejiage_id");
}

std::string ServerForColorPrice::OfKind(const std::string& kind) const {
  return " Where  xl_ID IN (SELECT xl_ID From 系列 WHERE cj_ID= " + SqlNumber(factory_) +
         ") AND GangChen='" + kind + "'";
}

void ServerForColorPrice::SetUniformPrice(const char* operation, float price,
                                          const std::string& kind) {
  Run(ErrorMode::Handler, operation,
      [&] { Exec("Update 型材 Set Jiage=" + ShortestDecimal(price) + OfKind(kind)); });
}

float ServerForColorPrice::UniformPrice(const char* operation, const std::string& kind) {
  // 0 both when nothing is priced and when the query fails; the failure is
  // reported so that a caller can tell it from a free price.
  float price = 0;
  Run(ErrorMode::Handler, operation, [&] {
    RecordsetPtr rs = Open("SELECT TOP 1 JiaGe FROM 型材" + OfKind(kind));
    if (!rs->IsOpen() || *rs->Eof()) return;
    auto value = Field(rs, "JiaGe").ToDouble();
    if (value.ok()) price = static_cast<float>(*value);
  });
  return price;
}

void ServerForColorPrice::EditAllPrice(float sglPrice) {
  SetUniformPrice("EditAllPrice", sglPrice, "型材");
}
void ServerForColorPrice::EditAllGCPrice(float sglPrice) {
  SetUniformPrice("EditAllGCPrice", sglPrice, "钢衬");
}
float ServerForColorPrice::GetXcPrice() { return UniformPrice("GetXcPrice", "型材"); }
float ServerForColorPrice::GetGcPrice() { return UniformPrice("GetGcPrice", "钢衬"); }

ClassInfo ServerForColorPrice::Describe() {
  using C = ServerForColorPrice;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForColorPrice";
  c.create = [] { return std::make_unique<ServerForColorPrice>(); };
  c.methods = {
      Bind("SetCJID", &C::SetCJID, {In("lngCJ_id", V::Long)}),
      Bind("EditAllPrice", &C::EditAllPrice, {In("sglPrice", V::Single)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("DelColor", &C::DelColor, {In("ID", V::Currency)}),
      Bind("EditColor", &C::EditColor, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("AddColorPrice", &C::AddColorPrice, {In("frm", V::Object)}),
      Bind("GetColor", &C::GetColor, {}),
      Bind("EditAllGCPrice", &C::EditAllGCPrice, {In("sglPrice", V::Single)}),
      Bind("GetXcPrice", &C::GetXcPrice, {}),
      Bind("GetGcPrice", &C::GetGcPrice, {}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
  };
  return c;
}

}  // namespace dravmor
