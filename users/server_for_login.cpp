#include "users/server_for_login.h"

#include <algorithm>
#include <filesystem>

#include "catalogue/binding_owner.h"
#include "engine/numeric.h"
#include "engine/routines.h"
#include "engine/schema/indexes.h"
#include "engine/settings_store.h"
#include "engine/text.h"
#include "users/upgrade_tables.h"

namespace dravmor {

ServerForLogin::ServerForLogin() : ServerObject("ServerForLogin", /*creates_connection=*/false) {}

Status ServerForLogin::RunStep(const std::string& sql) {
  return steps_.Run(connection(), sql, [&] { return connection().Execute(sql, source()); });
}

bool ServerForLogin::Step(const std::string& sql) { return Check(RunStep(sql)); }

RecordsetPtr ServerForLogin::StepOpen(const std::string& sql) {
  auto rs = std::make_shared<Recordset>();
  Check(steps_.Run(connection(), sql, [&] {
    auto rows = connection().Query(sql, source());
    if (!rows.ok()) return rows.status();
    rs->Open(std::move(*rows));
    rs->SetSource(sql);
    return Status::Ok();
  }));
  return rs;
}

void ServerForLogin::AddColumn(const std::string& table, const std::string& column,
                               const std::string& type, const std::string& default_value,
                               const std::string& follow_up) {
  AddFieldIfMissing(connection(), table, column, type, default_value, follow_up, source(),
                    [&](const std::string& sql) { return RunStep(sql); });
}

const Catalogue* ServerForLogin::CurrentCatalogue() {
  auto catalogue = connection().GetCatalogue();
  return Check(catalogue.status()) ? *catalogue : nullptr;
}

void ServerForLogin::AddWhenMissing(const std::string& table, const std::string& column,
                                    const std::string& statement) {
  const Catalogue* catalogue = CurrentCatalogue();
  if (catalogue && !catalogue->HasColumn(table, column)) Step(statement);
}

bool ServerForLogin::CreateTable(const std::string& table, const std::string& statement) {
  if (HasTable(table)) return false;
  return Step(statement);
}

Currency ServerForLogin::NextSeedId(const std::string& table, const std::string& column) {
  Currency id{};
  steps_.Run(connection(), "SELECT MAX(" + column + ") FROM " + table, [&] {
    auto next = NextId(connection(), table, column);
    if (next.ok()) id = *next;
    return next.status();
  });
  return id;
}

void ServerForLogin::SetSQLSERVER(bool Is2000) {
  SetDialect(Is2000);
  Run(ErrorMode::ResumeNext, "SetSQLSERVER", [&] {
    const bool opened = steps_.BeginTransaction(connection());
    // Operators that existed before a permission flag keep it (default 1).
    for (const char* column : {"DCCBFX", "DCZHFX", "RepByWin", "NewProject", "OpenProject",
                               "CangKu", "FenPi", "HeBing", "BianJiGS", "CangKuQuery",
                               "DELProject", "DELFormula"})
      AddColumn("用户管理", column, "Integer", "1");
    AddColumn("ProjectWindow", "ShiJiRQ", "Date", "2007-9-16");
    AddColumn("ProjectWindow", "LouHao", "Text", "6");
    AddColumn("ProjectWindow", "DanYuan", "Text", "1");
    AddColumn("ProjectWindow", "FangJian", "Text", "308");
    AddColumn("ProjectWindow", "QiTa", "Text", "BZ");
    AddColumn("ProjectWindow", "LouTiJian", "Long", "0");
    steps_.EndTransaction(connection(), opened);
  });
}

void ServerForLogin::AddField() {
  Run(ErrorMode::ResumeNext, "AddField", [&] {
    const bool opened = steps_.BeginTransaction(connection());
    const bool jet = !is2000();
    // A file of an older version declares collations only the engine has,
    // which leaves it unreadable to the standard tools; nothing stored changes.
    if (connection().IsOpen())
      steps_.Run(connection(), "standard collations", [&] {
        Status s = connection().backend()->UseStandardCollations();
        connection().SchemaChanged();
        return s;
      });
    auto create = [&](const char* table) { return CreateTable(table, UpgradeTableStatement(table)); };
    // 1-3: locks, owners and the template order.
    AddColumn("图库", "TkSuoDing", "Integer", "0");
    AddColumn("图库", "OwnerList", "Text", "管理员");
    AddColumn("图库", "UserList", "Text", "管理员");
    AddColumn("图库", "Ord", "Long", "0", "UPDATE 图库 SET Ord = tk_ID");
    AddColumn("厂家", "CJSuoDing", "Integer", "0");
    AddColumn("厂家", "OwnerList", "Text", "管理员");
    AddColumn("厂家", "UserList", "Text", "管理员");
    AddColumn("系列", "XLSuoDing", "Integer", "0");
    AddColumn("系列", "OwnerList", "Text", "管理员");
    AddColumn("系列", "UserList", "Text", "管理员");
    // 4
    AddColumn("型材", "YS", "Text", "白色");
    AddColumn("型材", "BiHou", "Single", "1.4");
    AddColumn("型材", "BaoJing", "Long", "100");
    AddColumn("型材", "GcGuiZheng", "Long", "50");
    // The profile kind, which the factory class adds only to a table of
    // exactly 13 columns: an older table the upgrade extended first would
    // never get it, and every profile INSERT would fail on it.
    AddColumn("型材", "GangChen", "Text(10)", "型材");
    // 5
    for (auto [column, value] : {std::pair{"KuangH", "A"}, {"KuangW", "B"}, {"ShanH", "a"},
                                 {"ShanW", "b"}, {"ShaH", "a1"}, {"ShaW", "b1"}, {"YaH", "1"},
                                 {"YaW", "2"}, {"QiTaH", "H"}, {"QiTaW", "W"}})
      AddColumn("sys", column, "Text", value);
    // 6
    AddColumn("XingCaiXiaLiao", "Dir", "Text");
    AddColumn("玻璃单元公式", "DyBLDH", "Text", "BL001");
    AddColumn("玻璃组合公式", "ZhBLDH", "Text", "BL001");
    AddColumn("BoLiXiaLiao", "BLDH", "Text", "BL001");
    AddColumn("XingCaiXiaLiao", "XcGs_ID", "Currency");
    AddColumn("型材单元公式", "xlFS", "Text", "45度/45度");
    AddColumn("型材组合公式", "xlFS", "Text", "45度/45度");
    // 7: report names, columns 21 to 49 of sys.
    for (auto [column, value] :
         {std::pair{"DYXL", "单元作业备料表"}, {"DYCB", "单窗成本分析表"}, {"BLHZ", "玻璃成品汇总表"},
          {"XCHZ", "工程下料总表"}, {"XCYH", "型材优化表"}, {"BLYH", "玻璃优化表"},
          {"LLRK", "零料入库表"}, {"CLHZ", "材料汇总表"}, {"CLYS", "材料预算表"},
          {"GCBJ", "预算汇总表"}})
      AddColumn("sys", column, "Text", value);
    AddColumn("sys", "CXSZ", "Integer", "0");
    for (auto [column, value] :
         {std::pair{"XCTJ", "型材统计表"}, {"PJTJ", "配件统计表"}, {"FJTLZL", "附件提料总量表"},
          {"DJZHFX", "门窗单价组合分析表"}, {"GCJS", "门窗工程结算表"},
          {"ACXBJ", "门窗工程按窗型报价表"}, {"MCFXL", "门窗分系列表"}, {"MCGY", "门窗工艺表"}})
      AddColumn("sys", column, "Text(188)", value);
    // 8-11
    AddColumn("BlYhChengPin", "CpName", "Text", "CPBL");
    for (const char* table : {"类别", "型材单元公式", "配件单元公式", "玻璃单元公式"})
      AddColumn(table, "LvSu", "Integer", Family());
    for (const char* table : {"配件单元公式", "配件组合公式", "PeiJianXiaLiao"})
      AddColumn(table, "Fa", "Text", "A");
    AddColumn("XcYhQieGeLiaoCd", "DaiMa", "Text", "ZGL");
    AddColumn("XcYhQgFaMx", "DaiMa", "Text", "ZGL");
    // 12-13
    create("SingleXcyh");
    create("xcyhNameID");
    if (create("CAD")) {
      const std::string base = app_path_ + "/技术文档/型材工序节点立面截面/";
      RegisterCadFolder(base + "门窗节点图", 0);
      RegisterCadFolder(base + "工序卡", 1);
      RegisterCadFolder(base + "型材截面图", 2);
      RegisterCadFolder(base + "立面图", 3);
    }
    // 14: sales orders, on request.
    if (sales_orders_) {
      create("SaleDan");
      Step("ALTER TABLE SaleDan ALTER  DingHuoRiQi TEXT ");
      AddColumn("SaleDan", "KHTEL", "TEXT(248)", " ");
      create("BiaoYeDetail");
      AddColumn("BiaoYeDetail", "FuJia", "Currency", "0");
      AddColumn("BiaoYeDetail", "ZheKou", "Currency", "1");
    }
    // 15-16
    Step("ALTER TABLE TongYong ALTER  TY_ID Currency ");
    Step("ALTER TABLE ShuZhi ALTER  ID Currency ");
    Step("ALTER TABLE PeiJianXiaLiao ALTER  Fa Text(58) ");
    AddColumn("类别", "RuKuLength", "Integer", "300",
              "UPDATE 类别 SET RuKuLength=1000 WHERE MingCheng LIKE '%框%'");
    // 17-19
    for (const char* table : {"ZheKouLv", "FoShanLB", "ChuRuDetail", "ProjectShan"}) create(table);
    if (create_wzsbgt_) create("WZSBGT");
    for (const char* table :
         {"UnitXingCai", "UnitPeiJian", "UnitBoLi", "UnitShanJiaGong", "FormulaV", "XiaV"})
      create(table);
    // 20-22
    SeedUnitLibrary();
    AddColumn("FormulaV", "CLMC", "Text");
    AddColumn("XiaV", "CLMC", "Text");
    create("FormulaDYV");
    create("ChengPinKu");
    // 23: the type changes are repeated each time (and change nothing once
    // done); each ADD would fail once its column exists, so it runs only
    // while the column is missing.
    Step("ALTER TABLE ProjectWindowDetail ALTER BoLiZhongLei Text(200)");
    for (auto [column, add] :
         {std::pair{"LouHao", "ALTER TABLE ChengPinKu ADD LouHao Text"},
          {"LouCeng", "ALTER TABLE ChengPinKu ADD LouCeng Text"},
          {"ChuangXing", "ALTER TABLE ChengPinKu ADD ChuangXing Text"},
          {"ChangDu", "ALTER TABLE ChengPinKu ADD ChangDu Long"},
          {"KuanDu", "ALTER TABLE ChengPinKu ADD KuanDu Long"},
          {"DanWei", "ALTER TABLE ChengPinKu ADD DanWei Text"},
          {"MianJi", "ALTER TABLE ChengPinKu ADD MianJi Text"},
          {"BeiZhu", "ALTER TABLE ChengPinKu ADD BeiZhu Text"},
          {"CPType", "ALTER TABLE ChengPinKu ADD CPType long"}})
      AddWhenMissing("ChengPinKu", column, add);
    Step("ALTER TABLE ShuZhi ALTER ValZhi Single");
    // 24
    create("ChengPinKuCRMX");
    create("ChengPinKuDanHao");
    create("JieMianPara");
    if (create("XcDaLei")) Step("INSERT INTO XcDaLei VALUES (1,'系统保留')");
    // 25
    AddColumn("型材", "DaLei", "Long", "1");
    for (const char* column : {"IsFaYun", "Zuo1", "Zuo2", "You1", "You2"})
      AddColumn("ChengPinKu", column, "Long", "0");
    AddColumn("ChengPinKu", "GuiGe", "Text");
    AddColumn("ChengPinKu", "XingHao", "Text");
    AddColumn("BoLiXiaLiao", "BLMD", "Long", "0");
    AddColumn("BoLiXiaLiao", "BLFee", "Single", "14");
    AddColumn("ProjectInfo", "IsRuKu", "Integer", "0");
    AddColumn("ProjectInfo", "GcSuoDing", "Integer", "0");
    AddColumn("ProjectInfo", "OwnerList", "Text", "管理员");
    AddColumn("ProjectInfo", "UserList", "Text", "管理员");
    AddColumn("ProjectInfo", "XiaPJ", "Text", "是");
    AddColumn("ProjectInfo", "XiaBL", "Text", "是");
    // 26-27
    Step("UPDATE 配件 SET Guige='普通' WHERE IsNull(Guige) OR Len(GuiGe)=0 ");
    AddColumn("型材", "ZheKouID", "int", "1");
    // 28-29: Jet only.
    if (jet) {
      create("McColor");
      AddColumn("型材", "YuanID", "Currency", "0");
      AddColumn("类别", "KuangType", "integer", "0",
                "UPDATE 类别 SET KuangType=1 WHERE MingCheng LIKE '%框%'AND MingCheng NOT LIKE '%压条%'  ");
      AddColumn("类别", "ShanType", "integer", "0",
                "UPDATE 类别 SET ShanType=1 WHERE MingCheng LIKE '%扇%' AND MingCheng NOT LIKE '%压条%'  ");
      create("GeneralBlock");
      create("DetailBlock");
      AddColumn("GeneralBlock", "LvSu", "Integer", Family());
      AddColumn("图库", "IsSuoDing", "Integer", "0");
      for (const char* table :
           {"WinFilter", "ShanJiaGongDY", "ShanJiaGong", "BaoDan", "BaoDanDetail"})
        create(table);
      AddColumn("BaoDanDetail", "RQ", "Date");
      AddColumn("BaoDanDetail", "XcYs", "Text", "白色");
      AddColumn("BaoDanDetail", "LiLunZhong", "Single", "0");
      AddColumn("BaoDanDetail", "IsLingLiao", "Integer", "0");
      AddColumn("ProjectShan", "K", "Single", "0");
      AddColumn("ProjectShan", "G", "Single", "0");
      Step("ALTER TABLE BaoDanDetail ALTER YaoHuo single");
    }
    // 30
    FillProfileCodes();
    // Which kind of part owns each accessory binding.
    AddBindingOwnerColumn(connection(), source(),
                          [&](const std::string& sql) { return RunStep(sql); });
    // Cascades, trees and look-ups select by these columns: without an
    // index each costs a scan of the whole table.
    auto indexes = MissingIndexStatements(connection());
    if (Check(indexes.status()))
      for (const std::string& sql : *indexes) Step(sql);
    steps_.EndTransaction(connection(), opened);
  });
}

void ServerForLogin::SeedWhenMissing(const std::string& code, const std::string& insert_head,
                                     const std::string& values_tail) {
  Run(ErrorMode::ResumeNext, "SeedUnitLibrary", [&] {
    RecordsetPtr rs = StepOpen("SELECT * FROM 单元图库 WHERE dytklujing='" + SqlQuote(code) + "'");
    if (!rs->IsOpen() || !rs->IsEmpty()) return;
    Currency id = NextSeedId("单元图库", "dytk_ID");
    Step(insert_head + SqlNumber(id) + ",'" + SqlQuote(code) + "','" + values_tail + ")");
  });
}

void ServerForLogin::SeedUnitLibrary() {
  Run(ErrorMode::ResumeNext, "SeedUnitLibrary", [&] {
    for (auto [code, description] : {std::pair{"500", "门外框"}, {"501", "门外框"},
                                     {"502", "门外框"}, {"13", "框右开口"}, {"14", "框左开口"}})
      SeedWhenMissing(code, "INSERT INTO 单元图库 (dytk_ID,dytklujing,dytkshuoming) Values(",
                      SqlQuote(description) + "'");
    SeedWhenMissing("204", "INSERT INTO 单元图库 (dytk_ID,dytklujing,dytkshuoming,DyTklb) Values(",
                    SqlQuote("门窗格条") + "',4");
    if (!is2000()) {
      for (const char* alter :
           {"ALTER TABLE 配件 ALTER Num single", "ALTER TABLE 系列 ALTER Xllb Long",
            "ALTER TABLE 系列 ALTER PinjieFangshi Long", "ALTER TABLE XingCaiXiaLiao ALTER Changdu single",
            "ALTER TABLE XingCaiXiaLiao ALTER ShuLiang single",
            "ALTER TABLE XcYhZhengLiaoCd ALTER ZLChangdu single",
            "ALTER TABLE XcYhQieGeLiaoCd ALTER QgChangdu single",
            "ALTER TABLE XcQieGeFa ALTER LiaoTou single", "ALTER TABLE XcQieGeFa ALTER XcCd single",
            "ALTER TABLE XcYhQgFaMx ALTER ChangDu single", "ALTER TABLE TempLing ALTER ChangDu single",
            "ALTER TABLE LingLiao ALTER ChangDu single", "ALTER TABLE 型材 ALTER ChangDu single",
            "ALTER TABLE sys ALTER JuFeng single", "ALTER TABLE 玻璃 ALTER Changdu single",
            "ALTER TABLE 玻璃 ALTER Kuandu single", "ALTER TABLE 玻璃组合公式 ALTER Shuliang Text"})
        Step(alter);
    }
    struct Seed {
      const char* code;
      const char* description;
      int kind;
    };
    for (const Seed& s : std::initializer_list<Seed>{
             {"294", "推拉扇", 2}, {"286", "推拉扇", 2}, {"287", "推拉扇", 2}, {"503", "外圆弧", 0},
             {"504", "外圆弧推拉", 0}, {"505", "外圆弧三推拉", 0}, {"506", "外圆弧三推拉", 0},
             {"507", "外圆弧三推拉", 0}, {"508", "外圆弧三推拉", 0}, {"234", "内开内倒", 3},
             {"235", "内开内倒", 3}, {"236", "内开内倒", 3}, {"237", "内开内倒", 3}})
      SeedWhenMissing(s.code, "INSERT INTO 单元图库 (dytk_ID,dytklujing,dytkshuoming,dytklb) Values(",
                      SqlQuote(s.description) + "'," + std::to_string(s.kind));
    for (const Seed& s : std::initializer_list<Seed>{
             {"228", "左平开百叶", 3}, {"229", "右平开百叶", 3}, {"101", "双不等分", 2},
             {"102", "单不等分", 2}, {"103", "单不等分", 2}, {"104", "扇不等分", 2},
             {"105", "扇不等分", 2}, {"344", "五推拉窗", 2}, {"134", "左1/4圆弧下框", 0},
             {"135", "右1/4圆弧下框", 0}, {"15", "凹形框", 0}, {"21", "上三角下框", 0},
             {"44", "梯形组合框", 0}, {"45", "梯形组合框", 0}, {"16", "左右开口的框", 0},
             {"0", "空白", 5}, {"342", "四扇推拉门", 2}, {"340", "四扇推拉门", 2},
             {"341", "四扇推拉门", 2}, {"345", "四扇推拉窗", 2}, {"509", "双固定圆弧", 0},
             {"510", "单平开圆弧", 0}, {"511", "双平开圆弧", 0}, {"512", "左耳朵", 0},
             {"238", "平开悬窗", 3}, {"239", "平开悬窗", 3}, {"214", "地弹门", 3},
             {"215", "地弹门", 3}, {"216", "地弹门", 3}, {"440", "双圆弧", 0}, {"441", "双圆弧", 0},
             {"442", "双圆弧", 0}, {"443", "双圆弧", 0}, {"444", "双圆弧", 0}, {"445", "双圆弧", 0},
             {"295", "三推拉", 2}, {"136", "双边圆弧", 0}, {"137", "双边圆弧", 0},
             {"346", "四推拉扇", 2}, {"205", "百叶", 4}, {"206", "百叶", 4}, {"217", "中悬窗", 3}})
      SeedUnitDrawing(s.code, s.description, s.kind);
    SeedUnitDrawing("17", "焊式一体框Z字平开:上亮", 0, /*fixed_id=*/2);
    SeedUnitDrawing("5168", "焊式一体框Z字平开竖梃", 1);
    SeedUnitDrawing("5169", "焊式一体框Z字平开空白区域", 5);
    SeedUnitDrawing("18", "焊式一体框Z字平开:下亮", 0);
    SeedUnitDrawing("19", "焊式一体框Z字平开:双亮", 0);
    for (int n = 1; n <= 15; ++n)
      SeedUnitDrawing(std::to_string(n + 1897), "示意图" + std::to_string(n), 6);
  });
}

void ServerForLogin::SeedUnitDrawing(const std::string& code, const std::string& description,
                                     int kind, int fixed_id) {
  Run(ErrorMode::ResumeNext, "SeedUnitDrawing", [&] {
    RecordsetPtr rs = StepOpen("SELECT * FROM 单元图库 WHERE dytklujing='" + SqlQuote(code) + "'");
    if (!rs->IsOpen() || !rs->IsEmpty()) return;
    Currency id = NextSeedId("单元图库", "dytk_ID");
    if (fixed_id != 0) {
      // The fixed id is used only while it is free; a new unit library
      // already holds it from the seeds before, and the row must not be lost.
      RecordsetPtr taken =
          StepOpen("SELECT dytk_ID FROM 单元图库 WHERE dytk_ID=" + std::to_string(fixed_id));
      if (taken->IsOpen() && taken->IsEmpty()) id = Currency::FromWhole(fixed_id);
    }
    Step("INSERT INTO 单元图库 (dytk_ID,dytklujing,dytkshuoming,DyTklb) Values(" + SqlNumber(id) +
         ",'" + SqlQuote(code) + "','" + SqlQuote(description) + "'," + std::to_string(kind) + ")");
  });
}

void ServerForLogin::RegisterCadFolder(const std::string& folder, int kind) {
  Run(ErrorMode::ResumeNext, "RegisterCadFolder", [&] {
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<std::string> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
      if (it->is_regular_file(ec)) files.push_back(it->path().filename().string());
    std::sort(files.begin(), files.end());  // a stable order of ids
    for (const std::string& file : files) {
      Currency id = NextSeedId("CAD", "ID");
      // The name without its extension: the last four characters (".dwg"),
      // counted as characters, so a name ending in Chinese stays whole.
      std::string name = DropLastCharacters(file, 4);
      Step("INSERT INTO CAD VALUES(" + SqlNumber(id) + ",'" + SqlQuote(name) + "','" +
           SqlQuote((fs::path(folder) / file).string()) + "'," + std::to_string(kind) + ")");
    }
  });
}

void ServerForLogin::FillProfileCodes() {
  Run(ErrorMode::ResumeNext, "FillProfileCodes", [&] {
    auto store = Settings();
    auto marker = store->Get("DoDIZU", "Update", "Ok", "0");
    if (!marker.ok()) steps_.Record("settings DoDIZU/Update/Ok", marker.status());
    if (!Check(marker.status())) return;  // an unreadable store: do not run blind
    if (LeadingNumber(*marker) != 0) return;
    RecordsetPtr rs = StepOpen("SELECT Xc_ID FROM 型材 WHERE LEN(DaiMa)=0");
    if (!rs->IsOpen()) return;
    for (size_t r = 0; r < rs->RowCount(); ++r, rs->MoveNext()) {
      std::string id = Field(rs, size_t{0}).ToText();
      Step("UPDATE 型材 SET DaiMa='XC" + id + "' WHERE XC_ID=" + id);
    }
    Status written = store->Put("DoDIZU", "Update", "Ok", "1");
    if (!written.ok()) steps_.Record("settings DoDIZU/Update/Ok", written);
    Check(written);
  });
}

void ServerForLogin::GetUser() {
  Run(ErrorMode::Handler, "GetUser", [&] {
    if (!user_list_) user_list_ = std::make_shared<Recordset>();
    auto rs = std::make_shared<Recordset>();
    OpenInto(rs, "SELECT Mingcheng,Mima,YongHu_id FROM 用户管理 ORDER BY YongHu_id");
    user_list_ = RaiseResult("rsUser", rs);
  });
}

std::string ServerForLogin::GetTip(int32_t lngID) {
  std::string tip;
  Run(ErrorMode::Handler, "GetTip", [&] {
    RecordsetPtr rs =
        Open("SELECT TiShiWenTi,DaAn FROM 用户管理 WHERE YongHu_id=" + SqlNumber(lngID));
    user_list_ = rs;
    std::string question = Field(rs, size_t{0}).ToText();
    std::string answer = Field(rs, size_t{1}).ToText();
    tip = question + ";" + answer;
  });
  return tip;
}

void ServerForLogin::ExecutePiZun(const std::string& strSQL) {
  Run(ErrorMode::ResumeNext, "ExecutePiZun", [&] { Exec(strSQL); });
}

bool ServerForLogin::EitherHasRows(const std::string& first, const std::string& second) {
  bool found = false;
  for (const std::string* sql : {&first, &second}) {
    RecordsetPtr rs = Open(*sql);
    // An unopened set (the query failed) is no evidence of data.
    if (rs->IsOpen() && !rs->IsEmpty()) found = true;
  }
  return found;
}

bool ServerForLogin::GetGeReLeiBie() {
  bool found = false;
  Run(ErrorMode::ResumeNext, "GetGeReLeiBie", [&] {
    found = EitherHasRows("SELECT LvSu FROM 类别 WHERE LvSu=2",
                          "SELECT LvSu FROM 型材单元公式 WHERE LvSu=2");
  });
  return found;
}

bool ServerForLogin::GetLvTongYongOK() {
  bool found = false;
  Run(ErrorMode::SilentHandler, "GetLvTongYongOK", [&] {
    found = EitherHasRows("SELECT LvSu FROM 类别 WHERE LvSu=1",
                          "SELECT LvSu FROM 型材单元公式 WHERE LvSu=1");
  });
  return found;
}

}  // namespace dravmor
