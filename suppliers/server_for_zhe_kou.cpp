#include "suppliers/server_for_zhe_kou.h"

#include "engine/bind_method.h"
#include "engine/numeric.h"
#include "engine/text.h"

namespace dravmor {

ServerForZheKou::ServerForZheKou() : ServerObject("ServerForZheKou") {}

std::pair<std::string, std::string> ServerForZheKou::ReadRate(const std::shared_ptr<Object>& frm) {
  std::string name = SqlQuote(FormText(frm, "txtZheKou", 0));
  std::string rate = SqlNumber(LeadingNumber(FormText(frm, "txtZheKou", 1)));
  return {name, rate};
}

void ServerForZheKou::Add(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    auto [name, rate] = ReadRate(frm);
    auto id = NextRowId("ZheKouLv", "ID");
    if (!id) return;
    Exec("INSERT INTO ZheKouLv  VALUES(" + SqlNumber(*id) + ",'" + name + "'," + rate + ")");
  });
}

void ServerForZheKou::Edit(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    auto [name, rate] = ReadRate(frm);
    Exec("UPDATE ZheKouLv SET " + std::string("ZheKouName='") + name + "'," + "lv=" + rate + " " +
         " WHERE ID=" + SqlNumber(ID));
  });
}

void ServerForZheKou::Del(Currency ID) {
  RunAtomically(ErrorMode::Handler, "Del", [&] { Exec("DELETE FROM ZheKouLv WHERE ID=" + SqlNumber(ID)); });
}

RecordsetPtr ServerForZheKou::GetDetail() {
  return ListAndRaise(ErrorMode::Handler, "GetDetail", "SELECT * FROM ZheKouLv  ORDER BY id");
}

ClassInfo ServerForZheKou::Describe() {
  using C = ServerForZheKou;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForZheKou";
  c.create = [] { return std::make_unique<ServerForZheKou>(); };
  c.methods = {
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
      Bind("Add", &C::Add, {In("frm", V::Object)}),
      Bind("Edit", &C::Edit, {In("ID", V::Currency), In("frm", V::Object)}),
      Bind("Del", &C::Del, {In("ID", V::Currency)}),
      Bind("GetDetail", &C::GetDetail, {}),
  };
  c.events = {
      AccessErrorEvent(),
      {"ChongFu", 2, {}},
      {"rsResult", 3, {Ref("rs", V::Object)}},
  };
  return c;
}

}  // namespace dravmor
