#include "api/all_classes.h"

#include "catalogue/server_for_bo_li.h"
#include "catalogue/server_for_pei_jian.h"
#include "catalogue/server_for_pei_jian_bang.h"
#include "catalogue/server_for_xing_cai_bang.h"
#include "catalogue/server_for_xing_cai.h"
#include "customers/server_for_ke_hu.h"
#include "exchange/server_for_export_factory.h"
#include "exchange/server_for_import.h"
#include "formulas/server_for_formula_dan_yuan.h"
#include "formulas/server_for_lei_bie.h"
#include "records/server_for_biao.h"
#include "records/server_for_install.h"
#include "records/server_for_money.h"
#include "records/server_for_problem.h"
#include "series/server_for_xi_lie.h"
#include "suppliers/server_for_color_price.h"
#include "suppliers/server_for_factory.h"
#include "suppliers/server_for_zhe_kou.h"
#include "templates/server_for_drawing.h"
#include "templates/server_for_window_load.h"
#include "users/server_for_cao_zuo_yuan.h"
#include "users/server_for_login.h"
#include "warehouse/server_for_chu_ru_ming_xi.h"
#include "warehouse/server_for_cpk.h"

namespace dravmor {

namespace {

// A new class adds one line here.
void RegisterAllClasses(ClassRegistry& registry) {
  registry.Add(ServerForKeHu::Describe());
  registry.Add(ServerForPeiJian::Describe());
  registry.Add(ServerForBoLi::Describe());
  registry.Add(ServerForXingCaiBang::Describe());
  registry.Add(ServerForPeiJianBang::Describe());
  registry.Add(ServerForFactory::Describe());
  registry.Add(ServerForXiLie::Describe());
  registry.Add(ServerForLeiBie::Describe());
  registry.Add(ServerForWindowLoad::Describe());
  registry.Add(ServerForDrawing::Describe());
  registry.Add(ServerForFormulaDanYuan::Describe());
  registry.Add(ServerForCaoZuoYuan::Describe());
  registry.Add(ServerForLogin::Describe());
  registry.Add(ServerForCPK::Describe());
  registry.Add(ServerForChuRuMingXi::Describe());
  registry.Add(ServerForColorPrice::Describe());
  registry.Add(ServerForZheKou::Describe());
  registry.Add(ServerForMoney::Describe());
  registry.Add(ServerForInstall::Describe());
  registry.Add(ServerForProblem::Describe());
  registry.Add(ServerForBiao::Describe());
  registry.Add(ServerForXingCai::Describe());
  registry.Add(ServerForExportFactory::Describe());
  registry.Add(ServerForImport::Describe());
}

}  // namespace

const ClassRegistry& AllClasses() {
  static const ClassRegistry registry = [] {
    ClassRegistry r;
    RegisterAllClasses(r);
    return r;
  }();
  return registry;
}

}  // namespace dravmor
