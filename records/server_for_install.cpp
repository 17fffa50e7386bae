#include "records/server_for_install.h"

#include "engine/bind_method.h"
#include "engine/text.h"

namespace dravmor {

ServerForInstall::ServerForInstall()
    : ProjectRecordObject(
          "ServerForInstall",
          {{"GcInstall",
            "CREATE TABLE GcInstall (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi "
            "Text,primary key(ID))"}}) {}

RecordsetPtr ServerForInstall::GetDetail() {
  return ListAndRaise(ErrorMode::Handler, "GetDetail",
                      "SELECT * FROM GcInstall Where GcxxID=" + project() + " ORDER BY id");
}

void ServerForInstall::Add(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    const std::string what = SqlQuote(FormText(frm, "txtinstall", 0));
    const std::string who = SqlQuote(FormText(frm, "txtinstall", 1));
    const std::string when = SqlQuote(FormText(frm, "txtinstall", 2));
    auto id = NextRowId("GcInstall", "ID");
    if (!id) return;
    Exec("INSERT INTO GcInstall VALUES(" + SqlNumber(*id) + "," + project() + ",'" + what + "','" +
         who + "','" + when + "')");
    GetDetail();
  });
}

void ServerForInstall::Edit(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    Exec("UPDATE GcInstall SET MiaoShu='" + SqlQuote(FormText(frm, "txtinstall", 0)) + "',ren='" +
         SqlQuote(FormText(frm, "txtinstall", 1)) + "', riqi='" +
         SqlQuote(FormText(frm, "txtinstall", 2)) + "'   WHERE ID=" + SqlNumber(ID));
    GetDetail();
  });
}

void ServerForInstall::Del(Currency ID) {
  RunAtomically(ErrorMode::Handler, "Del", [&] {
    Exec("DELETE FROM GcInstall WHERE ID=" + SqlNumber(ID));
    GetDetail();
  });
}

ClassInfo ServerForInstall::Describe() {
  using C = ServerForInstall;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForInstall";
  c.create = [] { return std::make_unique<ServerForInstall>(); };
  c.methods = {
      Bind("SetGccID", &C::SetGccID, {In("ID", V::Currency)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
  };
  for (MethodInfo& m : RecordListAndChangeMethods<C>()) c.methods.push_back(std::move(m));
  c.events = RecordEvents();
  return c;
}

}  // namespace dravmor
