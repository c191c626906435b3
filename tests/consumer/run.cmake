# Installs the build into a fresh prefix, runs the installed programs, then
# configures, builds and runs the consumer project against it. Everything
# installed runs with a clean environment: no LD_LIBRARY_PATH, no HOME.
file(REMOVE_RECURSE "${WORK_DIR}")
set(prefix "${WORK_DIR}/prefix")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${prefix}"
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "install failed")
endif()

# Runs `ARGN` with an empty environment; its standard output in `out`.
function(run_clean out)
  execute_process(COMMAND env -i ${ARGN} RESULT_VARIABLE failed OUTPUT_VARIABLE text
    ERROR_VARIABLE errors)
  if(failed)
    message(FATAL_ERROR "${ARGN} failed (${failed}): ${errors}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# What the package puts where the README says.
foreach(file
    share/zebevi/sql/sqlite/schema.sql share/zebevi/sql/sqlite/procedures.sql
    share/zebevi/sql/postgres/schema.sql share/zebevi/sql/postgres/procedures.sql
    share/zebevi/schema/json/v1/figures.schema.json
    share/zebevi/schema/json/v1/trip-summary.schema.json
    share/zebevi/schema/json/v1/feature-flags.schema.json
    share/zebevi/schema/json/v1/document-matches.schema.json
    share/zebevi/schema/json/v1/order-documents.schema.json
    include/zebevi/report.h)
  if(NOT EXISTS "${prefix}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

run_clean(version "${prefix}/bin/zebevi" --version)
if(NOT version STREQUAL "zebevi 0.1.0\n")
  message(FATAL_ERROR "zebevi --version printed: ${version}")
endif()
if(EXISTS "${prefix}/bin/zebevi_pg_load")
  # Its usage line, not a loader error, proves it starts.
  execute_process(COMMAND env -i "${prefix}/bin/zebevi_pg_load" ERROR_VARIABLE usage
    OUTPUT_QUIET RESULT_VARIABLE ignored)
  if(NOT usage MATCHES "^usage: zebevi_pg_load")
    message(FATAL_ERROR "zebevi_pg_load did not start: ${usage}")
  endif()
endif()
run_clean(facts "${prefix}/bin/zebevi" demo --documents 300 --json "${WORK_DIR}/demo.db")
string(JSON document GET "${facts}" exchanged_document_id)

execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/build"
  "-DCMAKE_PREFIX_PATH=${prefix}" RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "find_package(zebevi) failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/build" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the consumer did not build")
endif()

run_clean(legacy "${WORK_DIR}/build/legacy_consumer")
if(NOT legacy STREQUAL "25:01\n")
  message(FATAL_ERROR "the legacy consumer printed: ${legacy}")
endif()
run_clean(trip "${WORK_DIR}/build/trip_consumer" "sqlite:${WORK_DIR}/demo.db" "${document}")
string(REGEX MATCH "^document [0-9]+( / [0-9]+)+\ndriver [^\n]+\nloading [0-9]+ min \\([0-9][0-9]:[0-9][0-9]\\)\n\\{" shown "${trip}")
if(NOT shown)
  message(FATAL_ERROR "the trip consumer printed: ${trip}")
endif()
string(REGEX MATCH "\n(\\{[^\n]*\\})\n$" json "${trip}")
string(JSON status GET "${CMAKE_MATCH_1}" status)
string(JSON number GET "${CMAKE_MATCH_1}" document number)
if(NOT status EQUAL 0 OR NOT trip MATCHES "^document ${number}\n")
  message(FATAL_ERROR "the trip consumer's JSON does not agree: ${trip}")
endif()
