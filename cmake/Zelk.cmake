# Project-wide compile settings and the helpers every folder uses.

set(ZELK_APP_DIR "${CMAKE_BINARY_DIR}/app" CACHE INTERNAL "Staged application folder")
set(ZELK_TEST_BIN_DIR "${CMAKE_BINARY_DIR}/tests" CACHE INTERNAL "Test executables")
# The application folder below an installation prefix (see cmake/Install.cmake).
set(ZELK_INSTALL_APP_DIR "lib/tamsel")

add_compile_options(-Wall -Wextra -Werror -Wno-missing-field-initializers)
if(ZELK_SANITIZE)
  string(REPLACE ";" "," _zelk_san "${ZELK_SANITIZE}")
  add_compile_options(-fsanitize=${_zelk_san} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${_zelk_san})
endif()

# The version the build embeds in its own programs (readable without running them).
set(ZELK_VERSION_TEXT "${PROJECT_VERSION}")

# zelk_library(<name> SOURCES ... DEPENDS ...): one static library per source folder.
function(zelk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
  target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
endfunction()

# zelk_stage(<target>): put a deliverable into the application folder. Programs find the
# support library beside them through RUNPATH $ORIGIN, as a Windows program finds its DLLs.
function(zelk_stage target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${ZELK_APP_DIR}"
    LIBRARY_OUTPUT_DIRECTORY "${ZELK_APP_DIR}"
    BUILD_RPATH "\$ORIGIN"
    INSTALL_RPATH "\$ORIGIN")
  install(TARGETS ${target} RUNTIME DESTINATION ${ZELK_INSTALL_APP_DIR}
                            LIBRARY DESTINATION ${ZELK_INSTALL_APP_DIR})
endfunction()

# zelk_test(<name> LABEL unit|integration|e2e SOURCES ... DEPENDS ...)
function(zelk_test name)
  cmake_parse_arguments(ARG "" "LABEL" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} test_support GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ZELK_TEST_BIN_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES LABELS "${ARG_LABEL}"
    ENVIRONMENT "ZELK_APP_DIR=${ZELK_APP_DIR};ZELK_HEADLESS=1;ZELK_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data")
  # End-to-end tests drive whole programs (web processes among them) with time-outs; on a
  # machine of two cores they run alone so that a neighbour cannot starve them.
  if(ARG_LABEL STREQUAL "e2e")
    set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
  endif()
endfunction()
