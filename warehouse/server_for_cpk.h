// ServerForCPK: the finished-product warehouse of ChengPinKu. Made windows
// (type 0), sashes (1), glass panes (2) and other items (3) of the projects
// are put into stock and taken out from the caller's stock form, their
// quantities, sash counts and shipping figures adjusted, and the stock
// listed. Every list and most changes work inside the object's product type
// and shipping flag (IsFaYun 0 stock book, 1 shipping list), so one table
// holds a separate book for each pair. Changes end by listing the book
// again (rsResult); a new row put into stock is announced by rsCpID.
// Events: Accesserror, rsResult, rsGC, rsMC, rsCpID(ID), TellCpDanHao(strDH).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForCPK : public ServerObject {
 public:
  ServerForCPK();

  // Options.
  void SetCPType(int32_t lngTemp);
  void SetFaYun(bool IsFa);
  void SetWaiGouBL(bool IsWaiGouBL);
  void IsQueryBH(bool IsBH);
  void SetCpMianJi(float sglTemp);

  // Stock in (IsRu; ID is the project window) or out (ID is the stock row).
  void UpdateNum(Currency ID, const std::shared_ptr<Object>& frm, bool IsRu);
  void UpdateNumByID(Currency ID, int32_t lngAddNum);
  void DelShanWeiNumByID(Currency ID, int32_t lngZuo1, int32_t lngZuo2, int32_t lngYou1,
                         int32_t lngYou2, bool& IsDEL);
  void UpdateShanWeiNumByID(Currency ID, int32_t lngZuo1, int32_t lngZuo2, int32_t lngYou1,
                            int32_t lngYou2);
  void UpdateFaYunNumByID(Currency ID, int32_t lngJiHuaNum, int32_t lngFaYun);
  void DelChengPin(Currency ID);
  void QingKongCPK();
  // Payments have their own class; here Edit changes nothing.
  void Edit(Currency ID, const std::shared_ptr<Object>& frm);

  RecordsetPtr GetDetail();
  // strCode: an SQL condition of the caller's, placed as it stands.
  RecordsetPtr GetDetailByCode(const std::string& strCode);
  RecordsetPtr GetGC();
  RecordsetPtr GetMC(Currency ID);

  static ClassInfo Describe();

 private:
  void StockIn(Currency window, const std::shared_ptr<Object>& frm);
  void StockInWindow(Currency window, const std::shared_ptr<Object>& frm);
  void StockOut(Currency row, const std::shared_ptr<Object>& frm);
  // One statement of a resume-next operation: a control it needs that is
  // missing leaves the whole statement out, and the operation goes on.
  void Statement(std::string_view operation, const std::function<void()>& body);
  void Announce(Currency id);  // rsCpID
  // Entries of the stock form: txtcpk(i) quoted, or its numeric value.
  std::string Text(const std::shared_ptr<Object>& frm, int index);
  double Number(const std::shared_ptr<Object>& frm, int index);
  std::string NumberText(const std::shared_ptr<Object>& frm, int index);
  int32_t Count(const std::shared_ptr<Object>& frm, int index);  // as a Long
  // The select list of the type; empty outside 0 to 3.
  std::string SelectList(bool plain_shipping_glass) const;
  void RecomputeArea(const std::string& id);
  void DropEmptyRows();

  int32_t type_ = 0;
  int32_t shipping_ = 0;  // IsFaYun: 1 or 0
  bool bought_in_glass_ = false;
  bool history_ = false;
  float stored_area_ = 0;  // kept for the caller; nothing reads it
};

}  // namespace dravmor
