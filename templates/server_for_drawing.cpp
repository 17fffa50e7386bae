#include "templates/server_for_drawing.h"

#include "engine/kept_connection.h"
#include "engine/text.h"

namespace dravmor {

ServerForDrawing::ServerForDrawing() : ServerObject("ServerForDrawing") {}

RecordsetPtr ServerForDrawing::QueryDanYuanTu(std::string& strQuery) {
  rs_ = std::make_shared<Recordset>();
  // The editor's own SQL, run as it stands.
  Run(ErrorMode::Handler, "QueryDanYuanTu", [&] { OpenInto(rs_, strQuery); });
  return rs_;
}

void ServerForDrawing::AddWindow(Currency ID, Currency lbID, const std::string& strShuoMing,
                                 uint8_t ShiGongJu, const std::string& /*strComDyID*/,
                                 std::string& strcnObConnection, const Variant& /*udtDraw*/) {
  // Not atomic on the thread's connection: nothing is written through it,
  // and its write lock would shut out the editor's own connection when
  // both name the same file.
  Run(ErrorMode::Handler, "AddWindow", [&] {
    // The editor's database, which need not be the thread's: a connection
    // apart from the shared one, kept by the thread for the next template
    // the editor registers there (opening one costs more than the insert).
    auto kept = KeptConnections::ForThisThread(strcnObConnection);
    if (!Check(kept.ok() ? Status::Ok() : kept.status())) return;
    SharedConnection& own = **kept;  // kept alive by the thread
    // The look-up and the insert as one change of the editor's database, so
    // that two workstations never both find the id free.
    Transaction registration(own);
    if (!Check(registration.status())) return;
    const std::string id = SqlNumber(ID);
    auto found = own.Query("SELECT * FROM 图库 where tk_id= " + id, source());
    if (!Check(found.ok() ? Status::Ok() : found.status())) return;
    Recordset existing(std::move(*found));
    if (!existing.IsEmpty()) {
      Raise("IDExist");
      return;
    }
    const std::string values = id + ",'" + id + "','" + SqlQuote(strShuoMing) + "'," +
                               SqlNumber(lbID) + "," + SqlNumber(ShiGongJu);
    std::string insert = "INSERT INTO 图库 VALUES(" + values + ")";
    // A table the upgrade extended: the five values go to its first five
    // columns, and the upgrade's columns get what the upgrade gives existing
    // rows, so that the new template is listed, ordered (last) and visible.
    std::string columns, extra;
    for (size_t i = 0; existing.Count() > 5 && i < existing.Count(); ++i) {
      const std::string name = *existing.Name(i);
      std::string value;
      if (i < 5) {
        columns += (i ? "," : "") + name;
        continue;
      }
      if (EqualsIgnoreCase(name, "TkSuoDing") || EqualsIgnoreCase(name, "IsSuoDing")) {
        value = "0";
      } else if (EqualsIgnoreCase(name, "OwnerList") || EqualsIgnoreCase(name, "UserList")) {
        value = "'管理员'";
      } else if (EqualsIgnoreCase(name, "Ord")) {
        // After the last one, computed by the insert itself under the
        // write lock: no read to wait for. An order is no id (moves
        // renumber it), so the allocator has no part in it.
        value = "(SELECT IIF(MAX(Ord) IS NULL,0,MAX(Ord))+1 FROM 图库)";
      } else {
        continue;
      }
      columns += "," + name;
      extra += "," + value;
    }
    if (!columns.empty())
      insert = "INSERT INTO 图库 (" + columns + ") VALUES(" + values + extra + ")";
    // Sent with the commit: one wait for both.
    if (Check(own.ExecuteDeferred(insert, source()))) Check(registration.Commit());
  });
}

}  // namespace dravmor
