// ServerForCaoZuoYuan: the operators of table 用户管理 — listed (an ordinary
// operator sees only their own row), added with the duplicate-name test,
// renamed, deleted; their sixteen permission flags read and saved, their
// password and reminder changed. The engine stores what the caller passes.
// Events: Accesserror, BianMaChongFu, rsResult, rsMiMa, rsQuanXian,
// rsUserQuanXian, Ok.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForCaoZuoYuan : public ServerObject {
 public:
  ServerForCaoZuoYuan();

  RecordsetPtr GetCaoZuoYuan(std::string& BianMa);
  RecordsetPtr GetCaoZuoYuan();
  void AddYongHu(const std::string& strName);
  void EditYongHu(Currency ID, const std::string& strName);
  void DelYongHu(Currency ID);
  RecordsetPtr GetQuanXian(Currency ID);
  RecordsetPtr GetUserQuanXian(const std::string& UserName);
  void SaveQuanXian(Currency ID, uint8_t One, uint8_t TWo, uint8_t Three, uint8_t Four);
  RecordsetPtr GetMiMaAndTiShi(Currency ID);
  void EditYongHuTiShi(Currency ID, const std::string& StrWenTi, const std::string& StrDaAn);
  void EditYongHuMiMa(Currency ID, const std::string& StrDaAn);

  void GetName(const std::string& strNameUser) { current_name_ = strNameUser; }
  void SetAdminisName(const std::string& strADM) { admin_name_ = strADM; }
  void setZaoZhangQuanXian(int32_t CB, int32_t ZH, int32_t ByWin);
  void SetXuZhouQuanXian(int32_t NewPro, int32_t OpenPro);
  void SetCangKuQuanXian(int32_t CK) { cang_ku_ = CK; }
  void SetFenPiHeBingGS(int32_t lngFP, int32_t lngHB, int32_t lngBJ);
  void SetCangKuChaXun(int32_t lngCKCX) { cang_ku_query_ = lngCKCX; }
  void SetDELProFor(int32_t lngDELP, int32_t lngDELF);

  static ClassInfo Describe();

 private:
  bool FindChongFu(const std::string& name, bool& editing, Currency ID);
  // Opens the query, raises the event with the set (by value) and returns it.
  RecordsetPtr QueryWithEvent(const char* operation, const char* event, const std::string& sql);

  std::string current_name_, admin_name_;
  int32_t cb_ = 0, zh_ = 0, by_win_ = 0, new_project_ = 0, open_project_ = 0,
          cang_ku_ = 0, fen_pi_ = 0, he_bing_ = 0, bian_ji_gs_ = 0,
          cang_ku_query_ = 0, del_project_ = 0, del_formula_ = 0;
};

}  // namespace dravmor
