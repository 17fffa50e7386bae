// The live session's protocol: events as notifications before the response,
// questions put to the client, typed values, and the error of each kind of
// bad request. The same session serves `dravmor serve` and the C entry point.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "api/json_values.h"
#include "api/rpc_session.h"
#include "tests/support/test_database.h"

namespace dravmor {
namespace {

using Json = nlohmann::ordered_json;

// Keeps every line and answers questions from a list.
class ScriptedClient : public api::RpcChannel {
 public:
  void Send(const std::string& line, bool notification) override {
    lines.push_back(Json::parse(line));
    EXPECT_EQ(notification, !lines.back().contains("id")) << line;
  }
  std::optional<bool> Ask(const std::string& id, const std::string& request_line) override {
    Json question = Json::parse(request_line);
    EXPECT_EQ(question["id"], id);
    lines.push_back(question);
    if (answers.empty()) return std::nullopt;
    bool yes = answers.front();
    answers.erase(answers.begin());
    return yes;
  }
  std::vector<Json> lines;
  std::vector<bool> answers;
};

class RpcSessionTest : public testing::UpgradedDatabase {
 protected:
  // The lines one request brings, the last being its response.
  std::vector<Json> Request(const std::string& method, Json params) {
    static int id = 0;
    client_.lines.clear();
    session_->Handle(Json({{"jsonrpc", "2.0"}, {"id", ++id}, {"method", method}, {"params", params}}).dump(),
                     client_);
    return client_.lines;
  }
  Json Result(const std::string& method, Json params) {
    auto lines = Request(method, params);
    EXPECT_TRUE(lines.back().contains("result")) << lines.back().dump();
    return lines.back()["result"];
  }
  void SetUp() override {
    UpgradedDatabase::SetUp();
    if (IsSkipped()) return;
    session_ = std::make_unique<api::RpcSession>(connection_string_);
    Result("new", {{"new", "f"}, {"class", "ServerForFactory"}});
    Result("call", {{"call", "f.Connect"}, {"args", {""}}});
  }
  std::unique_ptr<api::RpcSession> session_;
  ScriptedClient client_;
};

TEST_P(RpcSessionTest, EventsComeBeforeTheResponseAndValuesAreTyped) {
  auto lines = Request("call", {{"call", "f.AddFactory"},
                                {"args", {"$form", 0}},
                                {"form", {{"txtfactoryinfo[0].Text", "GL01"},
                                          {"txtfactoryinfo[1].Text", "Guangya"},
                                          {"txtfactoryinfo[2].Text", "广亚"}}}});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0]["method"], "event");
  EXPECT_EQ(lines[0]["params"]["object"], "f");
  EXPECT_EQ(lines[0]["params"]["event"], "rsResult");
  EXPECT_EQ(lines[0]["params"]["args"][0]["fields"][1], Json({{"name", "BianMa"}, {"type", 202}}));
  EXPECT_EQ(lines[1]["result"], Json::parse(R"({"return":null,"byref":{}})"));

  // Currency to its last digit, dates as text, each field with its type.
  Result("call", {{"call", "f.ExecuteToXL"},
                  {"args", {"INSERT INTO ChuRuDetail (ID, WuJianID, RiQi) VALUES(1, 12.3456, "
                            "#2024-03-01 13:45:00#)"}}});
  Result("call", {{"call", "f.ExecuteToXL"},
                  {"args", {"INSERT INTO ChuRuDetail (ID, WuJianID) VALUES(2, 123456789012.3456)"}}});
  Result("new", {{"new", "d"}, {"class", "ServerForDrawing"}});
  Json rs = Result("call", {{"call", "d.QueryDanYuanTu"},
                            {"args", {"SELECT WuJianID, RiQi FROM ChuRuDetail ORDER BY ID"}}})["return"];
  EXPECT_EQ(rs["fields"], Json::parse(R"([{"name":"WuJianID","type":6},{"name":"RiQi","type":7}])"));
  EXPECT_EQ(rs["rows"].dump(), R"([[12.3456,"2024-03-01 13:45:00"],[123456789012.3456,null]])");
  // Digits a double cannot carry go as text.
  EXPECT_EQ(api::ToJson(Variant(Currency{INT64_MAX}), api::JsonStyle::Typed), "922337203685477.5807");
}

TEST_P(RpcSessionTest, QuestionsGoToTheClientAndWaitForItsAnswer) {
  Result("call", {{"call", "f.ExecuteToXL"},
                  {"args", {"INSERT INTO 类别 (LB_ID, MingCheng) VALUES(20, 'Frame')"}}});
  Result("new", {{"new", "x"}, {"class", "ServerForXingCai"}});
  Result("call", {{"call", "x.Connect"}, {"args", {""}}});
  Result("call", {{"call", "x.SetXLID"}, {"args", {10, 1}}});
  const Json form = {{"txtXingCaiInfo[0].Text", "K60"}, {"txtXingCaiInfo[1].Text", "Frame"},
                     {"txtXingCaiInfo[2].Text", "1"},   {"txtXingCaiInfo[3].Text", "6000"},
                     {"txtXingCaiInfo[4].Text", "12"},  {"txtXingCaiInfo[5].Text", "白色"},
                     {"txtXingCaiInfo[6].Text", "1.4"}, {"txtXingCaiInfo[7].Text", "100"},
                     {"txtGuiZheng.Text", "50"},        {"cmbLeiBie.ListIndex", 0},
                     {"cmbLeiBie.ItemData(0)", 20},     {"lstDalei.ListIndex", 0},
                     {"lstDalei.ItemData(0)", 1},       {"optGangChen[0].Value", false},
                     {"opttongyong[0].Value", true},    {"lstxilie.ListCount", 0}};
  const Json add = {{"call", "x.AddXingCai"}, {"args", {"$form"}}, {"form", form}};
  Result("call", add);
  // The step's own answers come first; then the client is asked.
  Json with_answer = add;
  with_answer["answers"] = {"no"};
  auto lines = Request("call", with_answer);
  EXPECT_EQ(lines.size(), 1u);  // answered No by the step: nothing written
  client_.answers = {true};
  lines = Request("call", add);
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[0]["method"], "question");
  EXPECT_EQ(lines[0]["params"]["object"], "x");
  EXPECT_EQ(lines[0]["params"]["title"], "操作提示");
  EXPECT_EQ(lines[1]["params"]["args"][0]["rows"].size(), 2u);  // stored twice
  EXPECT_TRUE(lines.back().contains("result"));
  // Nobody answers: taken as No, and the call fails.
  lines = Request("call", add);
  EXPECT_EQ(lines.back()["error"]["code"], ErrorCode::kBadArgument);
  EXPECT_NE(lines.back()["error"]["message"].get<std::string>().find("had no answer"),
            std::string::npos);
}

TEST_P(RpcSessionTest, EachKindOfBadRequestHasItsError) {
  auto error_of = [&](const std::string& line) {
    client_.lines.clear();
    session_->Handle(line, client_);
    EXPECT_EQ(client_.lines.size(), 1u) << line;
    return client_.lines.empty() ? Json() : client_.lines.back()["error"];
  };
  EXPECT_EQ(error_of("{\"jsonrpc\":\"2.0\",\n\"id\":1,")["code"], api::RpcError::kParse);
  EXPECT_NE(error_of("[1,")["message"].get<std::string>().find("line 1, column 4"), std::string::npos);
  EXPECT_EQ(error_of(R"([{"jsonrpc":"2.0","id":1,"method":"new"}])")["code"], api::RpcError::kInvalidRequest);
  EXPECT_EQ(error_of(R"({"id":1,"method":"new"})")["code"], api::RpcError::kInvalidRequest);
  EXPECT_EQ(error_of(R"({"jsonrpc":"2.0","id":1,"method":"fly"})")["code"], api::RpcError::kNoMethod);
  for (const char* params : {R"({"call":"g.Connect"})", R"({"call":"f.Fly"})",
                             R"({"new":"g","class":"Nope"})", R"({"release":"g"})",
                             R"({"call":"f.GetFactory","args":[[1],2,2]})",
                             R"({"call":"f.GetFactory","args":["",2,2,4]})"}) {
    std::string line = R"({"jsonrpc":"2.0","id":7,"method":")" +
                       Json::parse(params).begin().key() + R"(","params":)" + params + "}";
    Json error = error_of(line);
    EXPECT_EQ(error["code"], api::RpcError::kInvalidParams) << params;
  }
  EXPECT_EQ(error_of(R"({"jsonrpc":"2.0","id":1,"method":"call","params":{"call":"f.DelFactory"}})")["code"],
            449);
  // A notification runs, and nothing answers it.
  client_.lines.clear();
  session_->Handle(R"({"jsonrpc":"2.0","method":"release","params":{"release":"f"}})", client_);
  EXPECT_TRUE(client_.lines.empty());
  EXPECT_EQ(error_of(R"({"jsonrpc":"2.0","id":2,"method":"call","params":{"call":"f.GetFactory"}})")["code"],
            api::RpcError::kInvalidParams);
}

TEST_P(RpcSessionTest, AConnectThatCannotOpenIsAnError) {
  SharedConnection::ResetThisThread();
  api::RpcSession other(dir_.File("missing.db"));
  client_.lines.clear();
  other.Handle(R"({"jsonrpc":"2.0","id":1,"method":"new","params":{"new":"f","class":"ServerForKeHu"}})",
               client_);
  other.Handle(R"({"jsonrpc":"2.0","id":2,"method":"call","params":{"call":"f.Connect","args":[""]}})",
               client_);
  ASSERT_EQ(client_.lines.size(), 3u);
  EXPECT_EQ(client_.lines[1]["params"]["event"], "Accesserror");
  EXPECT_EQ(client_.lines[2]["error"]["code"], ErrorCode::kConnection);
  EXPECT_NE(client_.lines[2]["error"]["message"].get<std::string>().find("Connect failed"),
            std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Sqlite, RpcSessionTest, ::testing::Values(testing::TestBackend::Sqlite),
                         testing::BackendName);

}  // namespace
}  // namespace dravmor
