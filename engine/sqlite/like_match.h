// The LIKE of Jet and SQL Server over UTF-8 text: % any run, _ one
// character, [abc] [a-z] one of a set, [^a] or [!a] none of a set, letter
// case ignored as FoldCase does, an optional escape character making the
// next pattern character literal. Pure function.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace dravmor {

bool LikeMatch(std::string_view pattern, std::string_view value,
               std::optional<uint32_t> escape = std::nullopt);

}  // namespace dravmor
