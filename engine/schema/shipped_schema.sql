-- The database as the application ships it: every base table, already at the
-- column set the log-in upgrade brings older databases to, and the tables the
-- upgrade makes only on the Jet path, so that a database made for either
-- dialect path has every table the classes use. The other tables that the
-- upgrade or a class's Connect creates are left to them (their layout is in
-- canonical_layout.cpp). Ids are computed by the engine: no autonumbers.

-- Factories: profile-system makers and accessory suppliers.
CREATE TABLE 厂家 (
  Cj_ID Long PRIMARY KEY,
  Quancheng Text(100),
  Jiancheng Text(50),
  cjLB Byte,
  cjType Short,
  BianMa Text(50),
  Changyong Bit,
  CJSuoDing Integer,  -- added at upgrade
  OwnerList Text(255),  -- added at upgrade
  UserList Text(255)  -- added at upgrade
)
;
-- Series of a factory and the nodes of each series tree.
CREATE TABLE 系列 (
  XL_ID Long PRIMARY KEY,
  CJ_ID Long,
  MingCheng Text(100),
  xllb Long,
  PinJieFangShi Long,
  YouGongShi Bit,
  XLSuoDing Integer,  -- added at upgrade
  OwnerList Text(255),  -- added at upgrade
  UserList Text(255)  -- added at upgrade
)
;
-- Profiles and steel liners of a series.
CREATE TABLE 型材 (
  Xc_ID Long PRIMARY KEY,
  XL_ID Long,
  MingChengXC Text(100),
  DaiMa Text(50),
  ChangDu Single,
  MiZhong Double,
  ShiFouTongYong Bit,
  DuanMianTu Text(255),
  JiaGe Currency,
  LB_ID Long,
  CJ_ID Long,
  ZheKouID Integer,  -- added at upgrade
  num Single,
  GangChen Text(10),  -- added at connect (profile kind fix)
  YuanID Currency,  -- added at upgrade
  YS Text(255),  -- added at upgrade
  BiHou Single,  -- added at upgrade
  BaoJing Long,  -- added at upgrade
  GcGuiZheng Long,  -- added at upgrade
  DaLei Long  -- added at upgrade
)
;
-- Part categories of profiles and accessories, with their window-kind flags.
CREATE TABLE 类别 (
  LB_ID Long PRIMARY KEY,
  MingCheng Text(100),
  ZhongLei Short,
  TypeLB Short,
  TC Short,
  TM Short,
  PC Short,
  PM Short,
  GC Short,
  KuangType Integer,  -- added at upgrade
  ShanType Integer,  -- added at upgrade
  LvSu Integer,  -- added at upgrade
  RuKuLength Integer  -- added at upgrade
)
;
-- Accessories (hardware) of a factory.
CREATE TABLE 配件 (
  PJ_ID Long PRIMARY KEY,
  CJ_ID Long,
  DaiMa Text(50),
  MingCheng Text(100),
  GuiGe Text(100),
  DanWei Text(50),
  DanJia Currency,
  ShiFouQuZheng Bit,
  LB_ID Long,
  Num Single
)
;
-- Glass sheets of a factory.
CREATE TABLE 玻璃 (
  BL_ID Long PRIMARY KEY,
  CJ_ID Long,
  DaiMa Text(50),
  ChangDu Single,
  KuanDu Single,
  HouDu Text(50),
  YanSe Text(100),
  DanJia Currency,
  Num Single
)
;
-- Profile colours of a factory with their price.
CREATE TABLE 颜色价格 (
  yansejiage_id Long PRIMARY KEY,
  cj_id Long,
  yanse Text(50),
  jiage Currency
)
;
-- Customers; customer 1 is reserved and never listed.
CREATE TABLE 客户管理 (
  kehu_id Long PRIMARY KEY,
  bianma Text(50),
  KeHuMingcheng Text(100),
  LianXiRen Text(50),
  DianHua Text(50),
  shouji Text(50),
  YouZhengBianMa Text(20),
  DiZhi Text(255)
)
;
-- Projects and their batches; project 1 is reserved and never listed.
CREATE TABLE ProjectInfo (
  Gcxx_ID Long PRIMARY KEY,
  DaiMa Text(50),
  MingCheng Text(100),
  Kehu_id Long,
  ShigongRiqi Date,
  JungongRiqi Date,
  ShifouShigong Bit,
  pici Long,
  IsRuKu Integer,  -- added at upgrade
  GcSuoDing Integer,  -- added at upgrade
  OwnerList Text(255),  -- added at upgrade
  UserList Text(255),  -- added at upgrade
  XiaPJ Text(255),  -- added at upgrade
  XiaBL Text(255)  -- added at upgrade
)
;
-- Windows of a project.
CREATE TABLE ProjectWindow (
  gcmc_ID Long PRIMARY KEY,
  gcxx_ID Long,
  ShiJiRQ Date,  -- added at upgrade
  LouHao Text(255),  -- added at upgrade
  DanYuan Text(255),  -- added at upgrade
  FangJian Text(255),  -- added at upgrade
  QiTa Text(255),  -- added at upgrade
  LouTiJian Long  -- added at upgrade
)
;
-- Detail rows of a project window, each drawn from a window template.
CREATE TABLE ProjectWindowDetail (
  mcmx_ID Long PRIMARY KEY,
  gcmc_ID Long,
  TK_ID Long,
  BoLiZhongLei Text(200)
)
;
-- Implementation batches of a project.
CREATE TABLE 工程实施 (
  pici_ID Long PRIMARY KEY,
  gcxxID Long
)
;
-- Detail rows of an implementation batch.
CREATE TABLE 批次明细 (
  pici_ID Long
)
;
-- The one-row system settings: numbers, drawing symbols, report titles.
CREATE TABLE sys (
  ID Long PRIMARY KEY,
  SysText Text(255),
  JuFeng Single,
  CanShu04 Double,
  CanShu05 Double,
  CanShu06 Double,
  CanShu07 Double,
  CanShu08 Double,
  CanShu09 Double,
  CanShu10 Double,
  CanShu11 Double,
  CanShu12 Double,
  CanShu13 Double,
  CanShu14 Double,
  CanShu15 Double,
  CanShu16 Double,
  CanShu17 Double,
  CanShu18 Double,
  CanShu19 Double,
  CanShu20 Double,
  KuangH Text(255),  -- added at upgrade
  KuangW Text(255),  -- added at upgrade
  ShanH Text(255),  -- added at upgrade
  ShanW Text(255),  -- added at upgrade
  ShaH Text(255),  -- added at upgrade
  ShaW Text(255),  -- added at upgrade
  YaH Text(255),  -- added at upgrade
  YaW Text(255),  -- added at upgrade
  QiTaH Text(255),  -- added at upgrade
  QiTaW Text(255),  -- added at upgrade
  DYXL Text(255),  -- added at upgrade
  DYCB Text(255),  -- added at upgrade
  BLHZ Text(255),  -- added at upgrade
  XCHZ Text(255),  -- added at upgrade
  XCYH Text(255),  -- added at upgrade
  BLYH Text(255),  -- added at upgrade
  LLRK Text(255),  -- added at upgrade
  CLHZ Text(255),  -- added at upgrade
  CLYS Text(255),  -- added at upgrade
  GCBJ Text(255),  -- added at upgrade
  CXSZ Integer,  -- added at upgrade
  XCTJ Text(188),  -- added at upgrade
  PJTJ Text(188),  -- added at upgrade
  FJTLZL Text(188),  -- added at upgrade
  DJZHFX Text(188),  -- added at upgrade
  GCJS Text(188),  -- added at upgrade
  ACXBJ Text(188),  -- added at upgrade
  MCFXL Text(188),  -- added at upgrade
  MCGY Text(188)  -- added at upgrade
)
;
-- Operators with their password, reminder and permission flags.
CREATE TABLE 用户管理 (
  YongHu_id Long PRIMARY KEY,
  MingCheng Text(50),
  MiMa Text(50),
  TiShiWenTi Text(100),
  DaAn Text(100),
  BianJi Integer,
  CLHZ Integer,
  CLYS Integer,
  CLYSHZ Integer,
  DCCBFX Integer,  -- added at upgrade
  DCZHFX Integer,  -- added at upgrade
  RepByWin Integer,  -- added at upgrade
  NewProject Integer,  -- added at upgrade
  OpenProject Integer,  -- added at upgrade
  CangKu Integer,  -- added at upgrade
  FenPi Integer,  -- added at upgrade
  HeBing Integer,  -- added at upgrade
  BianJiGS Integer,  -- added at upgrade
  CangKuQuery Integer,  -- added at upgrade
  DELProject Integer,  -- added at upgrade
  DELFormula Integer  -- added at upgrade
)
;
-- Window templates; template 1 is reserved and never listed.
CREATE TABLE 图库 (
  TK_ID Long PRIMARY KEY,
  TkLuJing Text(50),
  TkShuoMing Text(255),
  Tklb Byte,
  ShiGongJu Byte,
  TkSuoDing Integer,  -- added at upgrade
  OwnerList Text(255),  -- added at upgrade
  UserList Text(255),  -- added at upgrade
  Ord Long,  -- added at upgrade
  IsSuoDing Integer  -- added at upgrade
)
;
-- Unit templates (unit drawings), addressed by their number dytklujing.
CREATE TABLE 单元图库 (
  dytk_ID Long PRIMARY KEY,
  dytklujing Text(50),
  dytkshuoming Text(100),
  DyTklb Integer
)
;
-- Further series that may use a shared profile.
CREATE TABLE TongYong (
  TY_ID Currency PRIMARY KEY,
  xc_ID Long,
  xl_ID Long
)
;
-- The value of a part category in a series or tree node.
CREATE TABLE ShuZhi (
  ID Currency PRIMARY KEY,
  Xl_ID Long,
  Para_ID Long,
  ValZhi Single
)
;
-- Profiles bound to a main profile.
CREATE TABLE 绑定 (
  Bang_ID Long PRIMARY KEY,
  Zhu_ID Long,
  Fu_ID Long,
  ZhuCD Single,
  LiangDuanJu Single,
  ShuL Single
)
;
-- Accessories bound to a main part.
CREATE TABLE 绑定配件 (
  Bang_ID Long PRIMARY KEY,
  Zhu_ID Long,
  Fu_ID Long,
  ShuL Single,
  ZhuType Long  -- added at upgrade: 0 a profile, 1 an accessory owns the row
)
;
-- Profile remnants kept by length for reuse.
CREATE TABLE LingLiao (
  LingLiao_id Long PRIMARY KEY,
  xc_ID Long,
  ChangDu Single,
  shuliang Long
)
;
-- Profile formulas of a window template in a series.
CREATE TABLE 型材组合公式 (
  xczhgs_id Long PRIMARY KEY,
  tk_id Long,
  XL_ID Long,
  xc_id Long,
  Gs Text(255),
  Shuliang Text(255),
  ShunXu Short,
  xlFS Text(255)  -- added at upgrade
)
;
-- Profile formulas of a unit template, by category and material family.
CREATE TABLE 型材单元公式 (
  xcdygs_id Long PRIMARY KEY,
  dytk_id Long,
  xl_id Long,
  lb_id Long,
  Gs Text(255),
  Shuliang Text(255),
  ShunXu Short,
  xlFS Text(255),  -- added at upgrade
  LvSu Integer  -- added at upgrade
)
;
-- Accessory formulas of a window template in a series.
CREATE TABLE 配件组合公式 (
  pjzhgs_id Long PRIMARY KEY,
  tk_id Long,
  XL_ID Long,
  pj_id Long,
  Gs Text(255),
  ShunXu Short,
  Fa Text(255)  -- added at upgrade
)
;
-- Accessory formulas of a unit template, by category and material family.
CREATE TABLE 配件单元公式 (
  pjdygs_id Long PRIMARY KEY,
  dytk_id Long,
  xl_id Long,
  LB_id Long,
  Gs Text(255),
  ShunXu Short,
  LvSu Integer,  -- added at upgrade
  Fa Text(255)  -- added at upgrade
)
;
-- Glass formulas of a window template in a series.
CREATE TABLE 玻璃组合公式 (
  blzhgs_id Long PRIMARY KEY,
  tk_id Long,
  XL_ID Long,
  Gs_Chang Text(255),
  Gs_Kuan Text(255),
  ShuLiang Text(255),
  ShunXu Short,
  ZhBLDH Text(255)  -- added at upgrade
)
;
-- Glass formulas of a unit template, by material family.
CREATE TABLE 玻璃单元公式 (
  bldygs_id Long PRIMARY KEY,
  dytk_id Long,
  xl_id Long,
  Gs_Chang Text(255),
  Gs_Kuan Text(255),
  ShuLiang Single,
  ShunXu Short,
  DyBLDH Text(255),  -- added at upgrade
  LvSu Integer  -- added at upgrade
)
;
-- Profile cutting list rows; the application's own columns are not ours.
CREATE TABLE XingCaiXiaLiao (
  Changdu Single,
  ShuLiang Single,
  Dir Text(255),  -- added at upgrade
  XcGs_ID Currency  -- added at upgrade
)
;
-- Glass cutting list rows; the application's own columns are not ours.
CREATE TABLE BoLiXiaLiao (
  BLDH Text(255),  -- added at upgrade
  BLMD Long,  -- added at upgrade
  BLFee Single  -- added at upgrade
)
;
-- Accessory cutting list rows; the application's own columns are not ours.
CREATE TABLE PeiJianXiaLiao (
  Fa Text(58)  -- added at upgrade
)
;
-- Finished glass of the glass optimisation; the application's own columns are not ours.
CREATE TABLE BlYhChengPin (
  CpName Text(255)  -- added at upgrade
)
;
-- Cut lengths of the profile optimisation.
CREATE TABLE XcYhQieGeLiaoCd (
  QgChangdu Single,
  DaiMa Text(255)  -- added at upgrade
)
;
-- Cutting plan details of the profile optimisation.
CREATE TABLE XcYhQgFaMx (
  ChangDu Single,
  DaiMa Text(255)  -- added at upgrade
)
;
-- Whole-bar lengths of the profile optimisation.
CREATE TABLE XcYhZhengLiaoCd (
  ZLChangdu Single
)
;
-- Profile cutting methods.
CREATE TABLE XcQieGeFa (
  LiaoTou Single,
  XcCd Single
)
;
-- Remnants of the running optimisation.
CREATE TABLE TempLing (
  ChangDu Single
)
;
-- Tables the log-in upgrade creates on the Jet path only, as they stand after
-- it ran: colour ratios of profiles, the code blocks of templates, series
-- template filters, the sash formulas of units and templates, and the profile
-- purchase lists.
CREATE TABLE McColor (
  ColorID Currency PRIMARY KEY,
  Mc_ID Currency,
  xc_ID Currency,
  Lv Single
)
;
CREATE TABLE GeneralBlock (
  Block_ID Currency PRIMARY KEY,
  TK_ID Currency,
  bk_CODE Text,
  bk_Mean Text,
  bk_STR Text,
  LvSu Integer  -- added at upgrade
)
;
CREATE TABLE DetailBlock (
  Block_ID Currency PRIMARY KEY,
  XL_ID Currency,
  TK_ID Currency,
  bk_CODE Text,
  bk_Mean Text,
  bk_STR Text
)
;
CREATE TABLE WinFilter (
  Filter_ID Currency PRIMARY KEY,
  XL_ID Currency,
  TK_ID Currency
)
;
CREATE TABLE ShanJiaGongDY (
  SJGDY_ID Currency PRIMARY KEY,
  DYTK_ID Currency,
  LvSu Long,
  ShanName Text,
  ShanH Text,
  ShanW Text,
  IsShaShan Long
)
;
CREATE TABLE ShanJiaGong (
  SJG_ID Currency PRIMARY KEY,
  TK_ID Currency,
  XL_ID Currency,
  ShanName Text,
  ShanH Text,
  ShanW Text,
  IsShaShan Long
)
;
CREATE TABLE BaoDan (
  BD_ID Currency PRIMARY KEY,
  BDName Text,
  BDRiQi Text,
  BDCJ Text,
  BDRen Text
)
;
CREATE TABLE BaoDanDetail (
  BDDetail_ID Currency PRIMARY KEY,
  BD_ID Currency,
  Xc_ID Currency,
  CD Single,
  YaoHuo Single,  -- retyped at upgrade
  DaoHuo Long,
  ShiZhong Single,
  BaoZhuang Text,
  BeiZhu Text,
  RQ Date,  -- added at upgrade
  XcYs Text,  -- added at upgrade
  LiLunZhong Single,  -- added at upgrade
  IsLingLiao Integer  -- added at upgrade
)
;
-- The built-in administrator, with every permission.
INSERT INTO 用户管理 VALUES(1,'管理员','','','',1,1,1,1,1,1,1,1,1,1,1,1,1,1,1,1)
;
-- The reserved customer that no list shows.
INSERT INTO 客户管理 VALUES(1,'0','系统保留','','','','','')
;
-- The reserved project that no list shows.
INSERT INTO ProjectInfo VALUES(1,'0','系统保留',1,NULL,NULL,0,0,0,0,'管理员','管理员','是','是')
;
-- The reserved window template that no list, count or move includes.
INSERT INTO 图库 VALUES(1,'1','系统保留',0,0,0,'管理员','管理员',1,0)
;
-- The settings row, with the symbols and report titles every database starts with.
INSERT INTO sys VALUES(1,'',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,'A','B','a','b','a1','b1','1','2','H','W','单元作业备料表','单窗成本分析表','玻璃成品汇总表','工程下料总表','型材优化表','玻璃优化表','零料入库表','材料汇总表','材料预算表','预算汇总表',0,'型材统计表','配件统计表','附件提料总量表','门窗单价组合分析表','门窗工程结算表','门窗工程按窗型报价表','门窗分系列表','门窗工艺表')
;
