#include "catalogue/server_for_pei_jian_bang.h"

#include "engine/numeric.h"
#include "engine/routines.h"

namespace dravmor {

ServerForPeiJianBang::ServerForPeiJianBang() : ServerObject("ServerForPeiJianBang") {}

void ServerForPeiJianBang::GetPJID(Currency lngXC_ID, int32_t ZhuType) {
  Run(ErrorMode::None, "GetPJID", [&] {
    if (ZhuType < kOwnerUnknown || ZhuType > kOwnerGlass) {
      Check(Status::Error(ErrorCode::kBadArgument,
                          "the main part kind " + std::to_string(ZhuType) +
                              " is none of 0 (profile), 1 (accessory), 2 (glass)"));
      return;
    }
    main_ = lngXC_ID;
    owner_ = static_cast<BindingOwner>(ZhuType);
  });
}

std::string ServerForPeiJianBang::OwnerValue() {
  if (owner_ != kOwnerUnknown) return SqlNumber(static_cast<int32_t>(owner_));
  const std::string id = SqlNumber(main_);
  const bool profile = CountsAny("SELECT COUNT(*) FROM 型材 WHERE xc_id=" + id);
  const bool accessory = CountsAny("SELECT COUNT(*) FROM 配件 WHERE pj_id=" + id);
  if (profile != accessory) return SqlNumber(profile ? kOwnerProfile : kOwnerAccessory);
  return "NULL";
}

void ServerForPeiJianBang::GetPeiJianBang() {
  Run(ErrorMode::Handler, "GetPeiJianBang", [&] {
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs,
             "SELECT 配件.mingcheng,ShuL,Bang_ID,DaiMa,GuiGe FROM 绑定配件 INNER JOIN 配件 ON "
             "配件.pj_id =绑定配件.Fu_id  WHERE zhu_id=  " +
                 SqlNumber(main_) +
                 (owner_ == kOwnerUnknown
                      ? std::string()
                      : " AND (ZhuType=" + SqlNumber(static_cast<int32_t>(owner_)) +
                            " OR ZhuType IS NULL)"));
    RaiseResult("rsZHu", rs);
  });
}

void ServerForPeiJianBang::AddBang(const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "AddBang", [&] {
    // No selection (-1) has no item and fails before anything is written.
    auto index = FormValue(frm, "lstXingCai", std::nullopt, "ListIndex").ToInt64();
    if (!Check(index.ok() ? Status::Ok() : index.status())) return;
    auto bound =
        FormValue(frm, "lstXingCai", std::nullopt, "ItemData", static_cast<int>(*index)).ToInt64();
    if (!Check(bound.ok() ? Status::Ok() : bound.status())) return;
    const std::string count = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 1)));
    const std::string owner = OwnerValue();
    auto id = NextId(connection(), "绑定配件", "Bang_id");
    if (!Check(id.ok() ? Status::Ok() : id.status())) return;
    Exec("INSERT INTO  绑定配件 (Bang_ID,Zhu_ID,Fu_ID,ShuL,ZhuType) VALUES(" + SqlNumber(*id) +
         "," + SqlNumber(main_) + "," + SqlNumber(*bound) + "," + count + "," + owner + ")");
  });
}

void ServerForPeiJianBang::EditBang(Currency ID, const std::shared_ptr<Object>& frm) {
  RunAtomically(ErrorMode::Handler, "EditBang", [&] {
    const std::string count = SqlNumber(LeadingNumber(FormText(frm, "txtZhuChangDu", 1)));
    Exec("UPDATE 绑定配件  SET " + std::string("ShuL=") + count + " WHERE Bang_id=" +
         SqlNumber(ID));
  });
}

void ServerForPeiJianBang::DelBang(Currency ID) {
  RunAtomically(ErrorMode::Handler, "DelBang",
      [&] { Exec("DELETE FROM 绑定配件 WHERE Bang_id=" + SqlNumber(ID)); });
}

}  // namespace dravmor
