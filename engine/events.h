// Events: every server object raises its events through one callback
// interface, synchronously inside the call. Arguments are Variants; those an
// event passes by reference (the Recordset of a result event) may be
// replaced by the handler, and the operation goes on with what it left.
#pragma once

#include <string_view>
#include <vector>

#include "engine/variant.h"

namespace dravmor {

class EventSink {
 public:
  virtual ~EventSink() = default;
  virtual void OnEvent(std::string_view class_name, std::string_view event,
                       std::vector<Variant>& args) = 0;
};

}  // namespace dravmor
