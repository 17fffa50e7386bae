-- A database as an early installation left it: the base tables without the
-- columns the log-in upgrade adds (so the upgrade appends them in its own
-- step order), a few of the upgrade's tables at an early level, the rest
-- missing, and the reserved rows of a new shop. Jet dialect; one statement
-- per ";".
CREATE TABLE 厂家 (Cj_ID Long PRIMARY KEY, Quancheng Text(100), Jiancheng Text(50), cjLB Byte, cjType Short, BianMa Text(50), Changyong Bit);
CREATE TABLE 系列 (XL_ID Long PRIMARY KEY, CJ_ID Long, MingCheng Text(100), xllb Long, PinJieFangShi Long, YouGongShi Bit);
CREATE TABLE 型材 (Xc_ID Long PRIMARY KEY, XL_ID Long, MingChengXC Text(100), DaiMa Text(50), ChangDu Single, MiZhong Double, ShiFouTongYong Bit, DuanMianTu Text(255), JiaGe Currency, LB_ID Long, CJ_ID Long, num Single);
CREATE TABLE 类别 (LB_ID Long PRIMARY KEY, MingCheng Text(100), ZhongLei Short, TypeLB Short, TC Short, TM Short, PC Short, PM Short, GC Short);
CREATE TABLE 配件 (PJ_ID Long PRIMARY KEY, CJ_ID Long, DaiMa Text(50), MingCheng Text(100), GuiGe Text(100), DanWei Text(50), DanJia Currency, ShiFouQuZheng Bit, LB_ID Long, Num Long);
CREATE TABLE 玻璃 (BL_ID Long PRIMARY KEY, CJ_ID Long, DaiMa Text(50), ChangDu Long, KuanDu Long, HouDu Text(50), YanSe Text(100), DanJia Currency, Num Single);
CREATE TABLE 颜色价格 (yansejiage_id Long PRIMARY KEY, cj_id Long, yanse Text(50), jiage Currency);
CREATE TABLE 客户管理 (kehu_id Long PRIMARY KEY, bianma Text(50), KeHuMingcheng Text(100), LianXiRen Text(50), DianHua Text(50), shouji Text(50), YouZhengBianMa Text(20), DiZhi Text(255));
CREATE TABLE ProjectInfo (Gcxx_ID Long PRIMARY KEY, DaiMa Text(50), MingCheng Text(100), Kehu_id Long, ShigongRiqi Date, JungongRiqi Date, ShifouShigong Bit, pici Long);
CREATE TABLE ProjectWindow (gcmc_ID Long PRIMARY KEY, gcxx_ID Long);
CREATE TABLE ProjectWindowDetail (mcmx_ID Long PRIMARY KEY, gcmc_ID Long, TK_ID Long, BoLiZhongLei Text(50));
CREATE TABLE 工程实施 (pici_ID Long PRIMARY KEY, gcxxID Long);
CREATE TABLE 批次明细 (pici_ID Long);
CREATE TABLE sys (ID Long PRIMARY KEY, SysText Text(255), JuFeng Long, CanShu04 Double, CanShu05 Double, CanShu06 Double, CanShu07 Double, CanShu08 Double, CanShu09 Double, CanShu10 Double, CanShu11 Double, CanShu12 Double, CanShu13 Double, CanShu14 Double, CanShu15 Double, CanShu16 Double, CanShu17 Double, CanShu18 Double, CanShu19 Double, CanShu20 Double);
CREATE TABLE 用户管理 (YongHu_id Long PRIMARY KEY, MingCheng Text(50), MiMa Text(50), TiShiWenTi Text(100), DaAn Text(100), BianJi Integer, CLHZ Integer, CLYS Integer, CLYSHZ Integer);
CREATE TABLE 图库 (TK_ID Long PRIMARY KEY, TkLuJing Text(50), TkShuoMing Text(255), Tklb Byte, ShiGongJu Byte);
CREATE TABLE 单元图库 (dytk_ID Long PRIMARY KEY, dytklujing Text(50), dytkshuoming Text(100), DyTklb Integer);
CREATE TABLE TongYong (TY_ID Long PRIMARY KEY, xc_ID Long, xl_ID Long);
CREATE TABLE ShuZhi (ID Long PRIMARY KEY, Xl_ID Long, Para_ID Long, ValZhi Long);
CREATE TABLE 绑定 (Bang_ID Long PRIMARY KEY, Zhu_ID Long, Fu_ID Long, ZhuCD Single, LiangDuanJu Single, ShuL Single);
CREATE TABLE 绑定配件 (Bang_ID Long PRIMARY KEY, Zhu_ID Long, Fu_ID Long, ShuL Single);
CREATE TABLE LingLiao (LingLiao_id Long PRIMARY KEY, xc_ID Long, ChangDu Long, shuliang Long);
CREATE TABLE 型材组合公式 (xczhgs_id Long PRIMARY KEY, tk_id Long, XL_ID Long, xc_id Long, Gs Text(255), Shuliang Text(255), ShunXu Short);
CREATE TABLE 型材单元公式 (xcdygs_id Long PRIMARY KEY, dytk_id Long, xl_id Long, lb_id Long, Gs Text(255), Shuliang Text(255), ShunXu Short);
CREATE TABLE 配件组合公式 (pjzhgs_id Long PRIMARY KEY, tk_id Long, XL_ID Long, pj_id Long, Gs Text(255), ShunXu Short);
CREATE TABLE 配件单元公式 (pjdygs_id Long PRIMARY KEY, dytk_id Long, xl_id Long, LB_id Long, Gs Text(255), ShunXu Short);
CREATE TABLE 玻璃组合公式 (blzhgs_id Long PRIMARY KEY, tk_id Long, XL_ID Long, Gs_Chang Text(255), Gs_Kuan Text(255), ShuLiang Long, ShunXu Short);
CREATE TABLE 玻璃单元公式 (bldygs_id Long PRIMARY KEY, dytk_id Long, xl_id Long, Gs_Chang Text(255), Gs_Kuan Text(255), ShuLiang Single, ShunXu Short);
CREATE TABLE XingCaiXiaLiao (Changdu Long, ShuLiang Long);
CREATE TABLE BoLiXiaLiao (BLDH Text(255));
CREATE TABLE PeiJianXiaLiao (Fa Text(50));
CREATE TABLE BlYhChengPin (CpName Text(255));
CREATE TABLE XcYhQieGeLiaoCd (QgChangdu Long);
CREATE TABLE XcYhQgFaMx (ChangDu Long);
CREATE TABLE XcYhZhengLiaoCd (ZLChangdu Long);
CREATE TABLE XcQieGeFa (LiaoTou Long, XcCd Long);
CREATE TABLE TempLing (ChangDu Long);
-- Upgrade tables an early installation already had, before later steps
-- extended them.
CREATE TABLE FormulaV (ID Currency,TKID Currency,XLID Currency ,xcID Currency ,Dir Text,Hv Text,Lv1 Text,Lv2 Text,Lv3 Text,Lv4 Text,Lv5 Text, Lv6 Text,Lv7 Text,Lv8 Text,Lv9 Text,Lv10 Text,ShunXu long, xcGS_ID Currency , primary key(ID));
CREATE TABLE ChengPinKu (ID Currency,GCDM Text,MCDM Text,SL Long,XL Text,MCID Currency, primary key(ID));
CREATE TABLE BaoDanDetail (BDDetail_ID Currency primary key,BD_ID Currency,Xc_ID Currency,CD Single,YaoHuo Long,DaoHuo Long,ShiZhong Single,BaoZhuang Text,BeiZhu Text);
-- The reserved rows of a new shop.
INSERT INTO 用户管理 VALUES(1,'管理员','','','',1,1,1,1);
INSERT INTO 客户管理 VALUES(1,'0','系统保留','','','','','');
INSERT INTO ProjectInfo VALUES(1,'0','系统保留',1,NULL,NULL,0,0);
INSERT INTO 图库 VALUES(1,'1','系统保留',0,0);
INSERT INTO sys VALUES(1,'',0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0)
