// The statements one AddFactory sends, as a plain client would send them
// for the i-th factory: the duplicate test, the next id, the INSERT and the
// refreshed list. Shared by the raw-client halves of the factory benchmarks.
#pragma once

#include <array>
#include <string>

namespace dravmor::bench {

inline std::string FactoryCode(int i) { return "F" + std::to_string(100000 + i); }

inline std::array<std::string, 4> FactoryStatements(int i) {
  std::string code = FactoryCode(i);
  return {"SELECT COUNT(*) FROM 厂家 WHERE bianma='" + code + "' AND cjlb=0 AND cjType=0",
          "SELECT MAX(cj_id) FROM 厂家",
          "INSERT INTO 厂家  VALUES(" + std::to_string(i + 1) + ",'Factory " + code + "','厂" +
              std::to_string(i) + "',0,0,'" + code + "',0,0,'管理员','管理员')",
          "SELECT Cj_id,BianMa,Quancheng,Jiancheng,cjType,CJSuoDing,OwnerList,UserList "
          "FROM 厂家   WHERE cjlb=0  AND cjType=0 ORDER BY bianma,cjType,cj_id"};
}

}  // namespace dravmor::bench
