#include "engine/schema/canonical_layout.h"

#include "engine/dialect/rewriter.h"
#include "engine/schema/shipped_schema.h"
#include "engine/text.h"

namespace dravmor {

// Each table as the upgrade's CREATE statement makes it, with the columns
// its later steps add appended in step order (ProjectShan's K and G on the
// Jet path only); then the tables of the project-record classes.
const std::string_view kLaterTablesText = R"sql(
CREATE TABLE SingleXcyh (ID Currency,XcName Text(248),CD single,SL long,DaiMa Text(248),JiaoDu Text(248),xc_ID Currency, primary key(ID));
CREATE TABLE xcyhNameID (ID Currency,XcName Text(248),DaiMa Text(248),xc_ID Currency,TxtChoose Text(248), primary key(ID));
CREATE TABLE CAD (ID Currency,dwgName Text(248),FileName Text,DWGLB Long, primary key(ID));
CREATE TABLE SaleDan (SaleDan_ID Currency,DingHuoRiQi TEXT,KaiDanRiQi DATE,DingHuoDanWei Text(248),DanHao Text(248),ShiShou Currency,KeHu_ID Currency,KHTEL TEXT(248), primary key(SaleDan_ID));
CREATE TABLE BiaoYeDetail (BYDT_ID Currency,SD_ID Currency,HuoHao Text(248),PingMing Text(248),YS Text(248),KS Text(248), KX Text(248),GuiGe Text(248),SL Text(248),MJ Text(248),DJ Text(248),JE Text(248),BZ Text(248),XL_ID Currency,FuJia Currency,ZheKou Currency, primary key(BYDT_ID));
CREATE TABLE ZheKouLv (ID Currency,ZheKouName Text,Lv single, primary key(ID));
CREATE TABLE FoShanLB (ID Currency,LB Text,LB_Type Long, primary key(ID));
CREATE TABLE ChuRuDetail (ID Currency,ChuRu long,WuJianType Long,WuJianID Currency,WuJianNum single,GcxxID Currency,RiQi Date,CiShu long, primary key(ID));
CREATE TABLE ProjectShan (ID Currency,gcmc_ID Currency,MianJi Single,IsShaShan Long,gcxx_ID Currency,K Single,G Single, primary key(ID));
CREATE TABLE WZSBGT (ID Currency,TK_ID Currency,XL_ID Currency,GT Text, primary key(ID));
CREATE TABLE UnitXingCai (xcUnitGs_ID Currency,unitTK_ID Currency,LB_ID Currency,GS Text,ShuLiang Text,ShunXu Integer,xlFS Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(xcUnitGs_ID));
CREATE TABLE UnitPeiJian (pjUnitGs_ID Currency,unitTK_ID Currency,LB_ID Currency,GS Text,ShunXu Integer,Fa Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(pjUnitGs_ID));
CREATE TABLE UnitBoLi (blUnitGs_ID Currency,unitTK_ID Currency,LB_ID Integer,GS_Chang Text,Gs_Kuan Text,ShuLiang Integer,ShunXu Integer,BLDH Text,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(blUnitGs_ID));
CREATE TABLE UnitShanJiaGong (JgUnitGs_ID Currency,unitTK_ID Currency,LB_ID Integer,ShanName Text,ShanH Text,ShanW Text,IsShaShan Integer,TL Integer,PK Integer,GD Integer,TLM Integer,PKM Integer,GsLvSu Integer, primary key(JgUnitGs_ID));
CREATE TABLE FormulaV (ID Currency,TKID Currency,XLID Currency ,xcID Currency ,Dir Text,Hv Text,Lv1 Text,Lv2 Text,Lv3 Text,Lv4 Text,Lv5 Text, Lv6 Text,Lv7 Text,Lv8 Text,Lv9 Text,Lv10 Text,ShunXu long, xcGS_ID Currency ,CLMC Text, primary key(ID));
CREATE TABLE XiaV (ID Currency,Mcmx_ID Currency,XcGS_ID Currency ,Dir Text,Hv Long,Lv1 Long,Lv2 Long,Lv3 Long,Lv4 Long,Lv5 Long, Lv6 Long,Lv7 Long,Lv8 Long,Lv9 Long,Lv10 Long,CLMC Text, primary key(ID));
CREATE TABLE FormulaDYV (ID Currency,Dir Text,Hv Text,Lv1 Text,Lv2 Text,Lv3 Text,Lv4 Text,Lv5 Text, Lv6 Text,Lv7 Text,Lv8 Text,Lv9 Text,Lv10 Text,ShunXu long, xcDYGS_ID Currency ,DYTK_ID Currency,CLMC Text, primary key(ID));
CREATE TABLE ChengPinKu (ID Currency,GCDM Text,MCDM Text,SL Long,XL Text,MCID Currency,LouHao Text,LouCeng Text,ChuangXing Text,ChangDu Long,KuanDu Long,DanWei Text,MianJi Text,BeiZhu Text,CPType long,IsFaYun Long,Zuo1 Long,Zuo2 Long,You1 Long,You2 Long,GuiGe Text,XingHao Text, primary key(ID));
CREATE TABLE ChengPinKuCRMX (ID Currency,GCDM Text,MCDM Text,SL Long,XL Text,MCID Currency,LouHao Text, LouCeng Text,ChuangXing Text,ChangDu Long,KuanDu Long,DanWei Text,MianJi Text,BeiZhu Text,CPType long,IsFaYun Long,Zuo1 Long,Zuo2 Long,You1 Long,You2 Long,GuiGe Text,XingHao Text, DanHao Text,ChuRu Text, primary key(ID));
CREATE TABLE ChengPinKuDanHao (ID Currency,DH Long,CpType Long,ChuRu Long, primary key(ID));
CREATE TABLE JieMianPara (ID Currency,DaiMa Text(188),MingCheng Text(188),XiLie Text(188),BiHou Text(188),JieMianJi Text(188),GXJ Text(188),DKJ Text(188),MJJ Text(188), primary key(ID));
CREATE TABLE XcDaLei (ID Currency,DaLei Text(188), primary key(ID));
CREATE TABLE GcMoney (ID Long,GcxxID Long,Kuan Number,RiQi Text,Ren Text, primary key(ID));
CREATE TABLE MoneyGc (ID Long,GcxxID Long,Kuan Number,ZhiBao Number,  primary key(ID));
CREATE TABLE GcInstall (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,primary key(ID));
CREATE TABLE Problem (ID Long,GcxxID Long,MiaoShu Text,Ren Text,RiQi Text,primary key(ID));
CREATE TABLE TouBiao (ID Long,TouBiaoName Text,TouBiaoDate Text,primary key(ID));
CREATE TABLE HeTong (ID Long,HeTongName Text,HeTongDate Text,primary key(ID))
)sql";

namespace {

// The CREATE TABLE statements of a script, split at its ";" (the scripts
// keep none inside a literal).
std::vector<std::string> CreateStatements(std::string_view script) {
  std::vector<std::string> out;
  size_t pos = 0;
  while (pos < script.size()) {
    size_t end = script.find(';', pos);
    if (end == std::string_view::npos) end = script.size();
    std::string statement(script.substr(pos, end - pos));
    pos = end + 1;
    size_t first = statement.find_first_not_of(" \t\r\n");
    if (first != std::string::npos && EqualsIgnoreCase(statement.substr(first, 6), "CREATE"))
      out.push_back(statement);
  }
  return out;
}

}  // namespace

const std::unordered_map<std::string, std::vector<std::string>>& CanonicalColumns() {
  static const auto* columns = [] {
    auto* map = new std::unordered_map<std::string, std::vector<std::string>>();
    std::vector<std::string> statements = ShippedSchemaStatements();
    for (std::string& s : CreateStatements(kLaterTablesText)) statements.push_back(std::move(s));
    for (const std::string& statement : statements) {
      auto declared = dialect::DeclaredColumns(statement, dialect::Source::Jet);
      if (declared.ok()) (*map)[ToLowerAscii(declared->name)] = std::move(declared->columns);
    }
    return map;
  }();
  return *columns;
}

}  // namespace dravmor
