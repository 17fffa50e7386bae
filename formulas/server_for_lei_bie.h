// ServerForLeiBie: the part categories of table 类别 (kinds of profile or
// accessory that profiles, accessories and formulas refer to by LB_ID),
// listed for the current series kind, category type and material family,
// added and edited with the duplicate-name test, marked as frame or sash,
// deleted; it also reads the per-series category values of ShuZhi and the
// discount rates of ZheKouLv. Events: Accesserror, ChongFu, rsLeiBie,
// rsShuZhi, rsZheKou, ZongLeiBie, KuangLeiBie, ShanLeiBie, PJZongLeiBie,
// PJKuangLeiBie, PJShanLeiBie.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForLeiBie : public ServerObject {
 public:
  ServerForLeiBie();

  void SetLB(uint8_t btXLLB, uint8_t btCJLB, int16_t intAddNum);
  void SetlvSu(int32_t LvSG) { lv_su_ = LvSG; }
  void GetZongLeiBie();
  void GetKuangLeiBie();
  void GetShanLeiBie();
  void GetPJZongLeiBie();
  void GetPJKuangLeiBie();
  void GetPJShanLeiBie();
  void ChangeKuangShan(bool KuangShan, Currency ID, int16_t ChangeValue);
  void GetShuZhi(Currency curID);
  float GetLeiBieValue(int32_t para_id, Currency xlid);
  void GetZheKou();
  void GetLeiBie(bool blGetValue = false, Currency xlid = Currency{});
  void DelLeiBie(Currency ID);
  void EditLeiBie(Currency ID, const std::shared_ptr<Object>& frm);
  void AddLeiBie(const std::shared_ptr<Object>& frm);

  static ClassInfo Describe();

 private:
  // What Add and Edit take from the form, already in the form SQL needs.
  struct CategoryForm {
    std::string name;
    std::string flags[5];  // ChkWindow(0..4): TC, TM, PC, PM, GC
    std::string stock_length;
  };
  CategoryForm ReadForm(const std::shared_ptr<Object>& frm);
  bool FindChongFu(const std::string& name, bool editing, Currency ID);
  // Opens sql and raises event with the set, under the operation's mode.
  void RaiseQuery(ErrorMode mode, const char* operation, const char* event,
                  const std::string& sql);
  // ZhongLei of the rows this object adds and tests against.
  int32_t Kind() const { return int32_t{xllb_} + kind_offset_; }

  uint8_t xllb_ = 0;  // series kind 0..4: which flag column lists a category
  uint8_t cjlb_ = 0;  // category type, compared with TypeLB
  int16_t kind_offset_ = 0;
  int32_t lv_su_ = 0;
};

}  // namespace dravmor
