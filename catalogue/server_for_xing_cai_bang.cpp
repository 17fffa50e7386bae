#include "catalogue/server_for_xing_cai_bang.h"

#include "engine/numeric.h"
#include "engine/routines.h"

namespace dravmor {

ServerForXingCaiBang::ServerForXingCaiBang() : ServerObject("ServerForXingCaiBang") {}

void ServerForXingCaiBang::GetXingCaiBang() {
  Run(ErrorMode::Handler, "GetXingCaiBang", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs,
             "SELECT zhucd,型材.DaiMa,型材.mingchengxc,LiangDuanJu,ShuL,Bang_ID FROM 绑定 INNER "
             "JOIN 型材 ON 型材.xc_id =绑定.Fu_id  WHERE zhu_id=  " +
                 SqlNumber(main_));
    RaiseResult("rsZHu", rs);
  });
}

void ServerForXingCaiBang::AddBang(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddBang", [&] {
    // The bound profile is the list's chosen item; no selection (-1) has
    // no item and fails before anything is written.
    auto index = FormValue(frm, "lstXingCai", std::nullopt, "ListIndex").ToInt64();
    if (!Check(index.ok() ? Status::Ok() : index.status())) return;
    auto bound =
        FormValue(frm, "lstXingCai", std::nullopt, "ItemData", static_cast<int>(*index)).ToInt64();
    if (!Check(bound.ok() ? Status::Ok() : bound.status())) return;
    const std::string length = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 0)));
    const std::string count = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 1)));
    const std::string ends = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 2)));
    auto id = NextId(connection(), "绑定", "Bang_id");
    if (!Check(id.ok() ? Status::Ok() : id.status())) return;
    Exec("INSERT INTO  绑定  VALUES(" + SqlNumber(*id) + "," + SqlNumber(main_) + "," +
         SqlNumber(*bound) + "," + length + "," + ends + "," + count + ")");
  });
}

void ServerForXingCaiBang::EditBang(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditBang", [&] {
    const std::string length = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 0)));
    const std::string count = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 1)));
    const std::string ends = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 2)));
    Exec("UPDATE 绑定  SET " + std::string("ZhuCD=") + length + "," + "LiangDuanJu=" + ends +
         "," + "ShuL=" + count + " WHERE Bang_id=" + SqlNumber(ID));
  });
}

void ServerForXingCaiBang::DelBang(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelBang",
      [&] { Exec("DELETE FROM 绑定 WHERE Bang_id=" + SqlNumber(ID)); });
}

}  // namespace dravmor
