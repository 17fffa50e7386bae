# Turns the schema script into a C++ string constant (a raw literal split in
# chunks, since compilers cap the length of one literal).
file(READ ${INPUT} text)
string(LENGTH "${text}" len)
set(out "// Generated from shipped_schema.sql; do not edit.\n#include <string_view>\nnamespace dravmor {\nextern const std::string_view kShippedSchemaText;\nstatic const char kSchemaChars[] =\n")
set(pos 0)
while(pos LESS len)
  string(SUBSTRING "${text}" ${pos} 2000 chunk)
  string(APPEND out "R\"dravmor(${chunk})dravmor\"\n")
  math(EXPR pos "${pos} + 2000")
endwhile()
string(APPEND out ";\nconst std::string_view kShippedSchemaText(kSchemaChars, sizeof(kSchemaChars) - 1);\n}  // namespace dravmor\n")
file(WRITE ${OUTPUT} "${out}")
