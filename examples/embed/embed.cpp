// How a C++ user interface embeds the engine through its C entry point
// (docs/embedding.md): one session for the application's lifetime, forms
// filled from the screen's controls, events and questions handled as they
// come, a tree control filled from the nodes the engine adds.
//
//   embed SHOP.db        (a database made by `dravmor init`)
#include <dravmor2/dravmor.h>

#include <functional>
#include <iostream>
#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

using json = nlohmann::ordered_json;

// The session, owned; each call returns its result or throws.
class Engine {
 public:
  std::function<void(const json&)> on_event = [](const json&) {};
  std::function<bool(const json&)> on_question = [](const json&) { return false; };

  explicit Engine(const std::string& connection)
      : session_(dravmor_open(connection.c_str()), &dravmor_close) {
    if (!session_) throw std::runtime_error(dravmor_errmsg());
    dravmor_on_event(session_.get(), &Engine::Event, this);
    dravmor_on_question(session_.get(), &Engine::Question, this);
  }

  void New(const std::string& name, const std::string& class_name) {
    Request("new", {{"new", name}, {"class", class_name}});
  }
  json Call(const std::string& target, json args = json::array(), json form = nullptr) {
    json step = {{"call", target}, {"args", std::move(args)}};
    if (!form.is_null()) step["form"] = std::move(form);
    return Request("call", std::move(step));
  }

 private:
  json Request(const std::string& method, json params) {
    json request = {{"jsonrpc", "2.0"}, {"id", ++id_}, {"method", method}, {"params", params}};
    std::unique_ptr<char, decltype(&dravmor_free)> answer(
        dravmor_request(session_.get(), request.dump().c_str()), &dravmor_free);
    std::string text = answer ? answer.get() : "";
    // The response is the last line; the notifications before it went to
    // the event callback already.
    json response = json::parse(text.substr(text.rfind('\n') + 1));
    if (response.contains("error"))
      throw std::runtime_error(std::to_string(response["error"]["code"].get<int>()) + ": " +
                               response["error"]["message"].get<std::string>());
    return response["result"];
  }
  static void Event(void* self, const char* line) {
    static_cast<Engine*>(self)->on_event(json::parse(line)["params"]);
  }
  static int Question(void* self, const char* params) {
    return static_cast<Engine*>(self)->on_question(json::parse(params)) ? 1 : 0;
  }

  std::unique_ptr<dravmor_session, decltype(&dravmor_close)> session_;
  int id_ = 0;
};

// A form as the engine reads it: "control[index].Property" keys.
json FactoryForm(const std::string& code, const std::string& name, const std::string& short_name) {
  return {{"txtfactoryinfo[0].Text", code},
          {"txtfactoryinfo[1].Text", name},
          {"txtfactoryinfo[2].Text", short_name}};
}

void PrintTree(const json& nodes, int depth) {
  for (const json& node : nodes) {
    std::cout << std::string(depth * 2, ' ') << node["text"].get<std::string>() << "\n";
    PrintTree(node["children"], depth + 1);
  }
}

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: embed SHOP.db\n";
    return 2;
  }
  try {
    Engine engine(argv[1]);
    int listed = 0;
    engine.on_event = [&](const json& e) {
      if (e["event"] == "rsResult") listed = static_cast<int>(e["args"][0]["rows"].size());
      if (e["event"] == "Accesserror") std::cerr << "reported: " << e["args"][2] << "\n";
    };
    engine.on_question = [](const json& q) {
      std::cout << "question: " << q["text"].get<std::string>() << " -> yes\n";
      return true;
    };

    engine.New("f", "ServerForFactory");
    engine.Call("f.Connect", {""});
    engine.Call("f.AddFactory", {"$form", 0}, FactoryForm("GL01", "Guangya Aluminium", "广亚"));
    std::cout << "factories listed: " << listed << "\n";

    engine.New("s", "ServerForXiLie");
    engine.Call("s.Connect", {""});
    engine.Call("s.SetCJID", {1});
    engine.Call("s.AddXiLie", {"$form"},
                {{"optcha[0].Value", true}, {"cmbSeries.ListIndex", 2},
                 {"txtxiliename.Text", "60 casement"}});
    engine.Call("s.AddTree", {1, 1, "narrow sash"});
    json tree = engine.Call("s.GetXiLieByTree", {"$tree", nullptr, 100});
    PrintTree(tree["trees"][0], 0);

    try {
      engine.Call("f.DelFactory");  // its id is not optional
    } catch (const std::exception& e) {
      std::cout << "refused: " << e.what() << "\n";
    }
    return listed == 1 ? 0 : 1;
  } catch (const std::exception& e) {
    std::cerr << "error: " << e.what() << "\n";
    return 1;
  }
}
