// ServerForXingCai: the profile catalogue (型材, shared with further series
// through TongYong) and its stock side: stock counts, the remnant store
// (LingLiao) and purchase orders (BaoDan, BaoDanDetail) whose delivered
// quantities are the received stock. Lists, adds and bulk edits work inside
// the current series set by SetXLID; -1 as series or factory stands for all
// of them where the stock lists allow it.
// Events: Accesserror, ChongFu, rsResult, rsTYResult, rsResultREP, rsXcXuan,
// rsBaoDanResult, rsBaoDanNewID(ID), rsBaoDanDetailResult, rsChongFuDYE.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForXingCai : public ServerObject {
 public:
  ServerForXingCai();

  // Catalogue options.
  void SetXLID(int32_t lngXl_ID, int32_t lngCJ_id);
  void SetSQLSERVER(bool Is2000);
  void SetONLY_PinJie(int32_t lngPJ);
  void SetOLD_CodeName(const std::string& strC, const std::string& strN);
  void SetChangeMZ(bool IsCGMZ);

  // Catalogue queries.
  RecordsetPtr GetXingCai(std::string& strDaiMa);
  RecordsetPtr GetXingCaiByName(std::string& strName);
  void GetXcXuanZe(Currency ID, Currency Xl_ID);
  RecordsetPtr GetTY(Currency xcID);

  // Catalogue changes.
  void AddXingCai(const std::shared_ptr<Object>& frm);
  void EditXingCai(Currency ID, const std::shared_ptr<Object>& frm);
  void Edit_DYE_ChongFuXC(Currency ID, const std::shared_ptr<Object>& frm);
  void DelXingCai(Currency ID);
  void EditColorXc(const std::string& strYS);
  void EditBiHouXc(float sglBH);
  void EditJiaGeXc(float sglBH);
  void EditJiaGeXcDaLei(float sglBH, int32_t DL);

  // Stock-line options.
  void SetHang_WZ(const std::string& strWZ);
  void SetHang_YS(const std::string& strYS);
  void SetHang_LiLunZhong(float strLZ);
  void SetBrel_DanJia(float sglDJ_H);
  void SetBrel_RK(bool IsRKH);
  void SetBrel_RQ(const std::string& strRQ);
  void SetLingLiao(int32_t lngLL);
  void SetWZ_YS(int32_t lngWZ, int32_t lngYS);

  // Stock counts.
  void UpdateNum(Currency ID, int16_t NUm);
  void UpdateLength(Currency ID, int16_t NUm);
  void QingKongCK(Currency lngID, bool IsXLID);
  RecordsetPtr GetXcForHouse(const std::string& strDaiMa);

  // Remnants.
  void AddLingLiao(Currency xcID, int16_t IntCD, int16_t NUm);
  void UpdateLing(Currency ID, int16_t CD, int16_t NUm);
  void DelLingLiao(Currency ID);
  RecordsetPtr GetLingLiao();
  RecordsetPtr GetLingLiaoREP(Currency& xlid);
  RecordsetPtr GetPinJieLiao(int16_t& Min, int16_t& Max);
  void LingLiaoChuRuKu();

  // Purchase orders and received stock.
  void AddBaoDan(const std::string& BDName);
  void DelBaoDan(Currency BD_ID);
  void GetBaoDan();
  void GetBaoDanDetail(Currency BD_ID);
  void AddBaoDanDetail(Currency BD_ID, Currency XC_ID, float CD, int32_t YaoHuo,
                       int32_t DaoHuo, float ShiZhong, const std::string& strBZ,
                       const std::string& strDemo);
  void UpdateNum_Brel(Currency BD_ID, Currency BD_KuCun_ID, int32_t Num_Brel);
  void UpdateBaoDanRQRENCJ(Currency ID, const std::string& strRQ, const std::string& strRen,
                           const std::string& strCJ);
  void GetXcQuery_Brel(const std::string& strSQL, int32_t lngSQLTYPE);

  static ClassInfo Describe();

 private:
  // The duplicate-code test: another profile of the current factory has
  // the code (editing: other than ID).
  bool FindChongFu(const std::string& code, bool editing, Currency ID);
  void DelTongYong(Currency ID);
  // The refresh the changes end with.
  void RefreshList();

  // The profile form's values as the statements write them.
  struct ProfileForm {
    std::string code, name, colour, kind;
    std::string weight, length, price;  // numeric values
    std::string category, major_class;  // ItemData at ListIndex
    std::string shared;                 // "0" or "1"
  };
  ProfileForm ReadProfileForm(const std::shared_ptr<Object>& frm, bool with_sharing);
  // The duplicate prompt; true when the user wants the code stored again.
  bool AskDuplicate();
  // body as an atomic operation (handler mode) once a duplicate of code,
  // if any, was answered Yes.
  void RunConfirmed(std::string_view operation, const std::string& code, bool editing,
                    Currency ID, const std::function<void()>& body);
  // The TongYong rows of the series selected in lstxilie.
  void WriteTongYong(const std::shared_ptr<Object>& frm, const std::string& id);
  // A number the add writes as typed: only a number may stand there.
  std::string TypedNumber(const std::string& text);
  // A date text between the dialect's delimiters; NULL when none was set.
  std::string LineDate();
  std::string CurrentSeries() const { return std::to_string(series_); }
  std::string CurrentFactory() const { return std::to_string(factory_); }

  int32_t series_ = 0;
  int32_t factory_ = 0;
  std::string joining_filter_;
  std::string old_code_, old_name_;
  bool rescale_weight_ = false;

  std::string line_packing_, line_colour_, line_date_;
  float line_weight_ = 0;
  float received_price_ = 0;
  bool received_mode_ = false;
  int32_t remnant_flag_ = 0;
  std::string report_select_, report_group_;
};

}  // namespace dravmor
