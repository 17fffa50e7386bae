// Passwords out of printed text: whatever a connection string carries as a
// password (Password=..., Pwd=..., password=... of libpq, the user:password@
// of a URI) is replaced by "****" wherever such a string appears in a text,
// so that echoes, messages and logs never show it.
#pragma once

#include <string>
#include <string_view>

namespace dravmor {

std::string MaskPasswords(std::string_view text);

}  // namespace dravmor
