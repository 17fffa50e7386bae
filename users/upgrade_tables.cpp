#include "users/upgrade_tables.h"

namespace dravmor {

const std::vector<UpgradeTable>& UpgradeTables() {
  static const std::vector<UpgradeTable> tables = {
      {"SingleXcyh", "CREATE TABLE SingleXcyh (ID Currency,XcName Text(248),CD single,SL long,DaiMa Text(248),JiaoDu Text(248),xc_ID Currency, primary key(ID))"},
      {"xcyhNameID", "CREATE TABLE xcyhNameID (ID Currency,XcName Text(248),DaiMa Text(248),xc_ID Currency,TxtChoose Text(248), primary key(ID))"},
      {"CAD", "CREATE TABLE CAD (ID Currency,dwgName Text(248),FileName Text,DWGLB Long, primary key(ID))"},
      {"SaleDan", "CREATE TABLE SaleDan (SaleDan_ID Currency,DingHuoRiQi TEXT,KaiDanRiQi DATE,DingHuoDanWei Text(248),DanHao Text(248),ShiShou Currency,KeHu_ID Currency, primary key(SaleDan_ID))"},
      {"BiaoYeDetail", "CREATE TABLE BiaoYeDetail (BYDT_ID Currency,SD_ID Currency,HuoHao Text(248),PingMing Text(248),YS Text(248),KS Text(248), KX Text(248),GuiGe Text(248),SL Text(248),MJ Text(248),DJ Text(248),JE Text(248),BZ Text(248),XL_ID Currency, primary key(BYDT_ID))"},
      {"ZheKouLv", "CREATE TABLE ZheKouLv (ID Currency,ZheKouName Text,Lv single, primary key(ID))"},
      {"FoShanLB", "CREATE TABLE FoShanLB (ID Currency,LB Text,LB_Type Long, primary key(ID))"},
      {"ChuRuDetail", "CREATE TABLE ChuRuDetail (ID Currency,ChuRu long,WuJianType Long,WuJianID Currency,WuJianNum single,GcxxID Currency,RiQi Date,CiShu long, primary key(ID))"},
      {"ProjectShan", "CREATE TABLE ProjectShan (ID Currency,gcmc_ID Currency,MianJi Single,IsShaShan Long,gcxx_ID Currency, primary key(ID))"},
      {"WZSBGT", "CREATE TABLE WZSBGT (ID Currency,TK_ID Currency,XL_ID Currency,GT Text, primary key(ID))"},
      {"UnitXingCai", "CREATE TABLE UnitXingCai (xcUnitGs_ID Currency,unitTK_ID Currency,LB_ID Currency,GS Text,ShuLiang Text,ShunXu Integer,xlFS Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(xcUnitGs_ID))"},
      {"UnitPeiJian", "CREATE TABLE UnitPeiJian (pjUnitGs_ID Currency,unitTK_ID Currency,LB_ID Currency,GS Text,ShunXu Integer,Fa Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(pjUnitGs_ID))"},
      {"UnitBoLi", "CREATE TABLE UnitBoLi (blUnitGs_ID Currency,unitTK_ID Currency,LB_ID Integer,GS_Chang Text,Gs_Kuan Text,ShuLiang Integer,ShunXu Integer,BLDH Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(blUnitGs_ID))"},
      {"UnitShanJiaGong", "CREATE TABLE UnitShanJiaGong (JgUnitGs_ID Currency,unitTK_ID Currency,LB_ID Integer,ShanName Text,ShanH Text,ShanW Text,IsShaShan Integer,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(JgUnitGs_ID))"},
      {"FormulaV", "CREATE TABLE FormulaV (ID Currency,TKID Currency,XLID Currency ,xcID Currency ,Dir Text,Hv Text,Lv1 Text,Lv2 Text,Lv3 Text,Lv4 Text,Lv5 Text, Lv6 Text,Lv7 Text,Lv8 Text,Lv9 Text,Lv10 Text,ShunXu long, xcGS_ID Currency , primary key(ID))"},
      {"XiaV", "CREATE TABLE XiaV (ID Currency,Mcmx_ID Currency,XcGS_ID Currency ,Dir Text,Hv Long,Lv1 Long,Lv2 Long,Lv3 Long,Lv4 Long,Lv5 Long, Lv6 Long,Lv7 Long,Lv8 Long,Lv9 Long,Lv10 Long, primary key(ID))"},
      {"FormulaDYV", "CREATE TABLE FormulaDYV (ID Currency,Dir Text,Hv Text,Lv1 Text,Lv2 Text,Lv3 Text,Lv4 Text,Lv5 Text, Lv6 Text,Lv7 Text,Lv8 Text,Lv9 Text,Lv10 Text,ShunXu long, xcDYGS_ID Currency ,DYTK_ID Currency,CLMC Text, primary key(ID))"},
      {"ChengPinKu", "CREATE TABLE ChengPinKu (ID Currency,GCDM Text,MCDM Text,SL Long,XL Text,MCID Currency, primary key(ID))"},
      {"ChengPinKuCRMX", "CREATE TABLE ChengPinKuCRMX (ID Currency,GCDM Text,MCDM Text,SL Long,XL Text,MCID Currency,LouHao Text, LouCeng Text,ChuangXing Text,ChangDu Long,KuanDu Long,DanWei Text,MianJi Text,BeiZhu Text,CPType long,IsFaYun Long,Zuo1 Long,Zuo2 Long,You1 Long,You2 Long,GuiGe Text,XingHao Text, DanHao Text,ChuRu Text, primary key(ID))"},
      {"ChengPinKuDanHao", "CREATE TABLE ChengPinKuDanHao (ID Currency,DH Long,CpType Long,ChuRu Long, primary key(ID))"},
      {"JieMianPara", "CREATE TABLE JieMianPara (ID Currency,DaiMa Text(188),MingCheng Text(188),XiLie Text(188),BiHou Text(188),JieMianJi Text(188),GXJ Text(188),DKJ Text(188),MJJ Text(188), primary key(ID))"},
      {"XcDaLei", "CREATE TABLE XcDaLei (ID Currency,DaLei Text(188), primary key(ID))"},
      {"McColor", "Create Table McColor(ColorID Currency primary key,Mc_ID Currency,xc_ID Currency,Lv Single)"},
      {"GeneralBlock", "Create Table GeneralBlock(Block_ID Currency primary key,TK_ID Currency,bk_CODE Text,bk_Mean Text,bk_STR Text)"},
      {"DetailBlock", "Create Table DetailBlock(Block_ID Currency primary key,XL_ID Currency,TK_ID Currency,bk_CODE Text,bk_Mean Text,bk_STR Text)"},
      {"WinFilter", "Create Table WinFilter(Filter_ID Currency primary key,XL_ID Currency,TK_ID Currency)"},
      {"ShanJiaGongDY", "Create Table ShanJiaGongDY(SJGDY_ID Currency primary key,DYTK_ID Currency,LvSu Long,ShanName Text,ShanH Text,ShanW Text,IsShaShan long)"},
      {"ShanJiaGong", "Create Table ShanJiaGong(SJG_ID Currency primary key,TK_ID Currency,XL_ID  Currency,ShanName Text,ShanH Text,ShanW Text,IsShaShan long)"},
      {"BaoDan", "Create Table BaoDan(BD_ID Currency primary key,BDName Text,BDRiQi Text,BDCJ Text,BDRen Text)"},
      {"BaoDanDetail", "Create Table BaoDanDetail(BDDetail_ID Currency primary key,BD_ID Currency,Xc_ID Currency,CD Single,YaoHuo Long,DaoHuo Long,ShiZhong Single,BaoZhuang Text,BeiZhu Text)"},
  };
  return tables;
}

std::string UpgradeTableStatement(std::string_view name) {
  for (const auto& t : UpgradeTables())
    if (name == t.name) return t.statement;
  return "";
}

}  // namespace dravmor
