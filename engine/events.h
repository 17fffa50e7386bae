// Events: every server object raises its events through one callback
// interface, synchronously inside the call, naming itself as the sender (so
// that one sink can serve many objects). Arguments are Variants; those an
// event passes by reference (the Recordset of a result event) may be
// replaced by the handler, and the operation goes on with what it left.
#pragma once

#include <string_view>
#include <vector>

#include "engine/variant.h"

namespace dravmor {

class ServerObject;

class EventSink {
 public:
  virtual ~EventSink() = default;
  // sender.ClassName() is the raising object's class.
  virtual void OnEvent(const ServerObject& sender, std::string_view event,
                       std::vector<Variant>& args) = 0;
};

}  // namespace dravmor
