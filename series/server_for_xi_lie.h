// ServerForXiLie: the product series of a factory (table 系列) and the tree
// of named nodes the user builds below each series. Lists series for the
// interface, fills the caller's tree control, keeps the per-template filters
// (WinFilter) that hide series from a window template, and adds, renames,
// locks and deletes series and tree nodes; a new node starts with copies of
// its parent's formulas and category values. CopyNew starts a new series as
// a copy of another, its profiles and per-series tables included. Only
// formula rows (YouGongShi) that name a root series (PinJieFangShi) are
// ever treated as tree nodes, so small ids never mix with the window types
// and joining modes that share their columns; filling a tree ends on any
// data, cycles and deep chains included.
// Events: Accesserror, ChongFu, rsResult, rsResultFilter.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_set>

#include "engine/dispatch.h"
#include "engine/form.h"
#include "engine/server_object.h"

namespace dravmor {

class ServerForXiLie : public ServerObject {
 public:
  ServerForXiLie();

  void SetCJID(int32_t lngCJ_id) { factory_ = Currency::FromWhole(lngCJ_id); }
  void DelXiLie(Currency ID);
  void EditXiLie(Currency ID, const std::shared_ptr<Object>& frm);
  void AddXiLie(const std::shared_ptr<Object>& frm);
  RecordsetPtr GetXiLie(uint8_t btXLB = 100);
  int32_t GetTreeYuanLB(Currency Xl_ID);
  void GetXiLieByTree(const std::shared_ptr<Object>& objTree, const std::shared_ptr<Object>& node,
                      uint8_t blXLLB = 100);
  void FillTree(Currency xlid, const std::shared_ptr<Object>& objTree,
                const std::shared_ptr<Object>& node, bool& IsFormula);
  void DelTree(Currency Xl_ID);
  void EditTree(Currency Xl_ID, const std::string& strName);
  void AddTree(Currency Up_ID, Currency Root_ID, const std::string& strName);
  void SetTKID(Currency TKID) { template_ = TKID; }
  RecordsetPtr GetFormulaXiLie(int32_t btXLB, Currency TK_ID);
  RecordsetPtr GetFilterXiLie(Currency TK_ID);
  void DelFiler(Currency Filter_ID);
  void AddFilter(Currency TK_ID, Currency Xl_ID);
  void SetXLSuo(Currency gcID, int32_t lngSuo);
  void SetCaoZuoYuan(const std::string& strCZY, bool IsYanGe = false);
  std::string GetOwner();
  void CopyNew(Currency YuanID, const std::string& DaoTxt, int32_t DaoType);

  static ClassInfo Describe();

 private:
  // The three series controls of the form.
  struct SeriesForm {
    std::string name;
    uint8_t window_type = 0;
    uint8_t joining = 0;
  };
  SeriesForm ReadSeriesForm(const std::shared_ptr<Object>& frm);
  bool FindChongFu(const std::string& name, uint8_t xllb, uint8_t pinjie, bool& editing,
                   Currency ID);
  static std::string GetXiLieTypeName(const Variant& xllb);
  // Largest id of the query's one value plus one; 1 for none.
  // A new series id; none when the allocation failed (reported by the mode).
  std::optional<Currency> NextSeriesId();
  // The subtree below node; filtered: hide the current template's
  // filtered series at the first level (FillTreeFiltered). shown: the ids
  // already in the tree, which are never added twice.
  void FillLevel(Currency xlid, TreeControl& tree, const std::shared_ptr<TreeNode>& node,
                 bool is_formula, bool filtered, std::unordered_set<int64_t>& shown);
  std::shared_ptr<TreeNode> AddChild(TreeControl& tree, const std::shared_ptr<TreeNode>& node,
                                     const std::string& text);
  void CopyNodeFormulas(Currency source, Currency target);
  // Builds the INSERT of a copied row from the source row and its new id;
  // an empty text skips the row.
  using RowInsert = std::function<std::string(const RecordsetPtr& row, const std::string& id)>;
  // Copies one table's rows of the source series, ordered by `order`, with
  // fresh ids by the copy-id rule.
  void CopySeriesRows(const std::string& table, const std::string& id_column,
                      const std::string& order, Currency source, const RowInsert& make_insert);
  // The series' own row and its tree: the cascade both deletions share.
  void DeleteSeriesRows(Currency ID);

  Currency factory_{};
  Currency template_{};
  std::string scope_;
  std::string operator_name_ = " ";
};

}  // namespace dravmor
