# Installs the build into a fresh prefix, then configures, builds and runs
# the consumer project against it.
file(REMOVE_RECURSE "${WORK_DIR}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${WORK_DIR}/prefix"
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "install failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE_DIR}" -B "${WORK_DIR}/build"
  "-DCMAKE_PREFIX_PATH=${WORK_DIR}/prefix" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "find_package(zebevi) failed")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${WORK_DIR}/build" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the consumer did not build")
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" -E env "LD_LIBRARY_PATH=${WORK_DIR}/prefix/lib"
  "${WORK_DIR}/build/consumer" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "the consumer did not run")
endif()
