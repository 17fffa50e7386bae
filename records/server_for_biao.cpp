#include "records/server_for_biao.h"

#include "engine/bind_method.h"
#include "engine/text.h"

namespace dravmor {

ServerForBiao::ServerForBiao()
    : ProjectRecordObject(
          "ServerForBiao",
          {{"TouBiao",
            "CREATE TABLE TouBiao (ID Long,TouBiaoName Text,TouBiaoDate Text,primary key(ID))"},
           {"HeTong",
            "CREATE TABLE HeTong (ID Long,HeTongName Text,HeTongDate Text,primary key(ID))"}}) {}

void ServerForBiao::SetDocType(int32_t DocTypeDetail) {
  table_ = DocTypeDetail == static_cast<int32_t>(DocType::BiaoShu) ? "TouBiao" : "HeTong";
}

bool ServerForBiao::HasRegister() {
  if (!table_.empty()) return true;
  return Check(
      Status::Error(ErrorCode::kBadArgument, "no document register chosen: call SetDocType first"));
}

bool ServerForBiao::FindChongFu(const std::string& name, bool editing, Currency ID) {
  bool taken = false;
  Run(ErrorMode::Handler, "FindChongFu", [&] {
    std::string sql =
        "SELECT COUNT(*) FROM " + table_ + " WHERE " + table_ + "Name='" + SqlQuote(name) + "'";
    if (editing) sql += " AND ID<>" + SqlNumber(ID);
    taken = CountsAny(sql);
  });
  return taken;
}

RecordsetPtr ServerForBiao::GetDetail() {
  auto rs = std::make_shared<Recordset>();
  Run(ErrorMode::Handler, "GetDetail", [&] {
    if (!HasRegister()) return;
    OpenInto(rs, "SELECT * FROM " + table_ + " ORDER BY id");
    rs = RaiseResult("rsResult", rs);
  });
  return rs;
}

void ServerForBiao::Add(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Add", [&] {
    if (!HasRegister()) return;
    const std::string name = FormText(frm, "txtname", 0);
    const std::string date = FormText(frm, "txtname", 1);
    if (FindChongFu(name, false, Currency{})) {
      Raise("ChongFu");
      return;
    }
    auto id = NextRowId(table_, "ID");
    if (!id) return;
    Exec("INSERT INTO " + table_ + "(ID," + table_ + "Name," + table_ + "Date) VALUES(" +
         SqlNumber(*id) + ",'" + SqlQuote(name) + "','" + SqlQuote(date) + "')");
    GetDetail();
  });
}

void ServerForBiao::Edit(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "Edit", [&] {
    if (!HasRegister()) return;
    const std::string name = FormText(frm, "txtname", 0);
    const std::string date = FormText(frm, "txtname", 1);
    if (FindChongFu(name, true, ID)) {
      Raise("ChongFu");
      return;
    }
    Exec("UPDATE " + table_ + "  SET " + table_ + "Name='" + SqlQuote(name) + "'," + table_ +
         "date='" + SqlQuote(date) + "'  WHERE ID=" + SqlNumber(ID));
    GetDetail();
  });
}

void ServerForBiao::Del(Currency ID) {
  RunAtomically(ErrorMode::Handler, "Del", [&] {
    if (!HasRegister()) return;
    Exec("DELETE FROM  " + table_ + " WHERE ID=" + SqlNumber(ID));
    GetDetail();
  });
}

ClassInfo ServerForBiao::Describe() {
  using C = ServerForBiao;
  using V = VarType;
  ClassInfo c;
  c.name = "ServerForBiao";
  c.create = [] { return std::make_unique<ServerForBiao>(); };
  c.methods = {
      Bind("SetDocType", &C::SetDocType, {In("DocTypeDetail", V::Long)}),
      Bind("Connect", &C::Connect, {Ref("strConnection", V::String)}),
  };
  for (MethodInfo& m : RecordListAndChangeMethods<C>()) c.methods.push_back(std::move(m));
  c.events = RecordEvents();
  return c;
}

}  // namespace dravmor
