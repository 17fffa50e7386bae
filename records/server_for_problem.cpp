#include "records/server_for_problem.h"

#include "engine/bind_method.h"

namespace dravmor {

ServerForProblem::ServerForProblem()
    : ProjectRecordObject("ServerForProblem",
                          {{"Problem",
                            "CREATE TABLE Problem (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi "
                            "Text,JieJue Text,primary key(ID))"}}) {}

RecordsetPtr ServerForProblem::GetDetail() {
  return ListAndRaise(ErrorMode::Handler, "GetDetail",
                      "SELECT * FROM Problem Where GcxxID=" + project() + " ORDER BY id");
}

void ServerForProblem::Add(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    std::string texts[4];
    for (int i = 0; i < 4; ++i) texts[i] = Box(frm, "txtProblem", i);
    auto id = NextRowId("Problem", "ID");
    if (!id) return;
    Exec("INSERT INTO Problem  VALUES(" + SqlNumber(*id) + "," + project() + ",'" + texts[0] +
         "','" + texts[1] + "','" + texts[2] + "','" + texts[3] + "')");
  });
}

void ServerForProblem::Edit(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    Exec("UPDATE Problem SET MiaoShu='" + Box(frm, "txtProblem", 0) + "',ren='" +
         Box(frm, "txtProblem", 1) + "', riqi='" + Box(frm, "txtProblem", 2) + "', jiejue='" +
         Box(frm, "txtProblem", 3) + "'  WHERE ID=" + SqlNumber(ID));
  });
}

void ServerForProblem::Del(Currency ID) {
  RunAtomically(ErrorMode::Handler, "Del", [&] { Exec("DELETE FROM Problem WHERE ID=" + SqlNumber(ID)); });
}

void ServerForProblem::GetGXJ() {
  // A failing query still raises the event, with an unopened set.
  ListAndRaise(
      ErrorMode::ResumeNext, "GetGXJ",
      "SELECT ID,DaiMa,MingCheng,XiLie,BiHou,JieMianJi,GXJ,DKJ,MJJ FROM JieMianPara ORDER BY ID",
      "rsResultGXJ");
}

void ServerForProblem::AddGXJ(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddGXJ", [&] {
    std::string values;
    for (int i = 0; i <= 7; ++i) values += "'" + Box(frm, "txtGXJ", i) + "',";
    values.pop_back();
    auto id = NextRowId("JieMianPara", "ID");
    if (!id) return;
    Exec("INSERT INTO JieMianPara  VALUES(" + SqlNumber(*id) + "," + values + ")");
  });
}

void ServerForProblem::EditGXJ(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditGXJ", [&] {
    Exec("UPDATE JieMianPara SET DaiMa='" + Box(frm, "txtGXJ", 0) + "',MingCheng='" +
         Box(frm, "txtGXJ", 1) + "', XiLie='" + Box(frm, "txtGXJ", 2) + "', BiHou='" +
         Box(frm, "txtGXJ", 3) + "', JieMianJi='" + Box(frm, "txtGXJ", 4) + "', GXJ='" +
         Box(frm, "txtGXJ", 5) + "', DKJ='" + Box(frm, "txtGXJ", 6) + "', MJJ='" +
         Box(frm, "txtGXJ", 7) + "'  WHERE ID=" + SqlNumber(ID));
  });
}

void ServerForProblem::DelGXJ(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelGXJ",
      [&] { Exec("DELETE FROM JieMianPara WHERE ID=" + SqlNumber(ID)); });
}

ClassInfo ServerForProblem::Describe() {
  using C = ServerForProblem;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForProblem";
  c.create = [] { return std::make_unique<ServerForProblem>(); };
  c.methods = {
      Bind("SetGccID", &C::SetGccID, {In("ID", V::Currency)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
  };
  for (MethodInfo& m : RecordListAndChangeMethods<C>()) c.methods.push_back(std::move(m));
  c.methods.push_back(Bind("GetGXJ", &C::GetGXJ, {}));
  c.methods.push_back(Bind("AddGXJ", &C::AddGXJ, {In("frm", V::Object)}));
  c.methods.push_back(Bind("EditGXJ", &C::EditGXJ, {In("ID", V::Currency), In("frm", V::Object)}));
  c.methods.push_back(Bind("DelGXJ", &C::DelGXJ, {In("ID", V::Currency)}));
  c.events = RecordEvents();
  c.events.push_back({"rsResultGXJ", 4, {Ref("rs", V::Object)}});
  return c;
}

}  // namespace dravmor
