// ServerForWindowLoad: the window template library (table 图库), listed by
// window type page by page, searched by description, reordered through the
// explicit order column Ord (by steps or to a page and slot), locked,
// renamed and deleted with everything that hangs on a template; and the
// sample unit drawings of 单元图库 paged sixteen at a time. Template 1 is the
// system's reserved row: it is never listed, paged or moved.
// Events: Accesserror, rsResult, rsSYTResult.
#pragma once

#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForWindowLoad : public ServerObject {
 public:
  ServerForWindowLoad();

  void SetWindowType(int16_t intType);
  void DelWindow(Currency curID);
  RecordsetPtr GetWindow(uint8_t btWindowType, bool blType);
  int16_t GetWindowPage(int16_t intEveryPageNum);
  void GetEveryPageWindow(int16_t intPage, int16_t intEveryPageNum);
  void SetWindowFindBianMa(const std::string& strBM) { find_ = strBM; }
  void UpdateTkName(Currency TKID, const std::string& strTkName);
  int16_t GetSuoDing(Currency TK_ID);
  void SetSuoDing(Currency TK_ID, int16_t SuoDing);
  void GetPageSYT(int32_t intPage);
  int32_t GetSYT();
  void SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe = false);
  void SetTKSuoDing(Currency TK_ID, int16_t SuoDing);
  void SetTk_PageOrd(int32_t lngP, int32_t lngGe, Currency TKID, int32_t tkOrd);
  void SetTk_Move(bool IsUp, int32_t lngNumMove, Currency TKID, int32_t tkOrd);
  void GetMaxUpDown(Currency TKID, int32_t tkOrd, int32_t& LUp, int32_t& LDown,
                    int32_t& LToTalNum);
  void SetFilterXLID(int32_t lngXLID);
  void SetPgTu(int32_t PT) { page_size_ = PT; }

  static ClassInfo Describe();

 private:
  // The rotation of a move, as steps of the operation that runs it.
  void Rotate(bool up, int64_t steps, Currency TKID, int32_t tkOrd);
  // The first value of a one-value query, 0 when it yields no row or Null.
  int64_t FirstNumber(const std::string& sql);
  // A stored number as a whole number (a failed conversion is a step's).
  int64_t Whole(const Variant& value);

  uint8_t window_type_ = 0;
  std::string find_;
  std::string scope_;
  std::string series_filter_;
  int32_t page_size_ = 0;
};

}  // namespace dravmor
