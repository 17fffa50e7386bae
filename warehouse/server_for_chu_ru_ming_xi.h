// ServerForChuRuMingXi: the stock ledger of ChuRuDetail. Every receipt into
// and issue out of the profile, accessory and glass stock is one row: the
// direction (ChuRu 0 issue, 1 receipt), the item type (WuJianType 0 profile,
// 1 accessory, 2 glass) and id, the quantity, the project an issue went to,
// the date and the document number (CiShu) the caller set with
// SetMaxCiShu. The stock counts themselves belong to the catalogue classes;
// the caller records the matching ledger row here.
// Events: Accesserror, ChongFu, rsResult, TellDanHao(strDH).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/dispatch.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForChuRuMingXi : public ServerObject {
 public:
  ServerForChuRuMingXi();

  // Dialect flag, true value and the date delimiter ("'" or "#").
  void SetSQLSERVER(bool Is2000);
  void SetMaxCiShu(int32_t CiShu);

  // Next id (largest plus one) or, without IsMax, the lowest id of any
  // table; 1 for an empty table, 0 after a reported failure.
  int32_t GetMaxID(const std::string& strTable, const std::string& strKey, bool IsMax = true);

  void Add(int32_t ChuRu, int32_t WuJianType, Currency WuJianID, float WuJianNum,
           Currency GcxxID, Date RiQi);
  // ID is the item's id: every row of that item in the current document.
  // WuJianType names the item type; -1 (not said) is taken only when the
  // document holds the id as one item type alone, and refused otherwise.
  void Edit(Currency ID, float NewNum, int32_t WuJianType = -1);
  void Del(Currency ID, int32_t WuJianType = -1);
  // Date ranges, both ends included, as date texts.
  void DelZhang(const std::string& daStart, const std::string& daEnd);
  void DelXcCaoZuoMx(const std::string& daStart, const std::string& daEnd);
  void GetDetail(const std::string& daStart, const std::string& daEnd, int32_t ChuRuLeiBie,
                 Currency GcxxID, int32_t WuJianLeiBie);

  static ClassInfo Describe();

 private:
  // GetMaxID's steps under its own subID; nullopt when it failed (reported).
  std::optional<int32_t> FindMaxID(const std::string& table, const std::string& key, bool max);
  // A date argument between the dialect's delimiters. A text that is no
  // date, or a call before SetSQLSERVER (no delimiter yet), fails the step.
  std::string DateLiteral(const std::string& text);
  std::string DateLiteral(Date date);
  // The WHERE clause of an item's rows in the current document; empty
  // after a reported failure.
  std::string ItemRows(Currency ID, int32_t WuJianType);

  std::string delimiter_;  // empty until SetSQLSERVER
  int32_t document_ = 0;   // CiShu of the rows Add, Edit and Del touch
};

}  // namespace dravmor
