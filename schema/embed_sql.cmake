# Writes OUTPUT, a C++ source whose function zebevi::schema::FUNCTION()
# returns the text of INPUT as a raw string literal.
#   cmake -DINPUT=file.sql -DOUTPUT=file.cpp -DFUNCTION=Name -P embed_sql.cmake
file(READ "${INPUT}" text)
get_filename_component(name "${INPUT}" NAME)
set(delimiter "zebevi_sql")
string(FIND "${text}" ")${delimiter}\"" collision)
if(NOT collision EQUAL -1)
  message(FATAL_ERROR "${INPUT} contains the raw string terminator )${delimiter}\"")
endif()
file(WRITE "${OUTPUT}"
  "// Generated from ${name} by embed_sql.cmake; edit the .sql file instead.\n"
  "#include \"schema/sql_text.h\"\n\n"
  "namespace zebevi::schema {\n\n"
  "std::string_view ${FUNCTION}() {\n"
  "  return R\"${delimiter}(${text})${delimiter}\";\n"
  "}\n\n"
  "}  // namespace zebevi::schema\n")
