# Build options shared by every target of the project.

set(TOVARIN_SANITIZE "" CACHE STRING
  "Sanitizers for this build tree: '', 'address' (address+undefined), 'thread' or 'fuzz' (clang only: address+undefined with libFuzzer's coverage, for the targets under fuzz/)")
option(TOVARIN_BUILD_BENCHMARKS "Build the benchmark programs under bench/" ON)
# The project's own test builds (tools/test-all) stop at any warning. A user's build only shows them:
# a newer or older compiler's new warning must not keep anyone from running the phone.
option(TOVARIN_WERROR "Treat compiler warnings as errors" OFF)
# tools/test-all installs every tool the tests use; there a missing one is an error, not tests left out.
option(TOVARIN_REQUIRE_TEST_TOOLS
  "Fail to configure when a test tool (node, npm, chromium, baresip) is missing" OFF)

# Designated initializers of option records name only the fields they change; device code casts
# GetProcAddress results (FARPROC) to the function types it expects, as the device SDK intends.
add_compile_options(-Wall -Wextra $<$<BOOL:${TOVARIN_WERROR}>:-Werror>
  -Wno-missing-field-initializers -Wno-cast-function-type)
# With optimisation, g++ 12 reports "may be used uninitialized" for members of std::variant
# alternatives that are always constructed (the console's command records): pages of false reports
# on a user's first build. That analysis is off in optimised g++ builds; clang's own check of
# uninitialised use still runs in the fuzz build.
add_compile_options(
  $<$<AND:$<CXX_COMPILER_ID:GNU>,$<CONFIG:Release,RelWithDebInfo,MinSizeRel>>:-Wno-maybe-uninitialized>)

if(TOVARIN_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
elseif(TOVARIN_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
elseif(TOVARIN_SANITIZE STREQUAL "fuzz")
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TOVARIN_SANITIZE=fuzz needs clang (tools/fuzz configures build/fuzz with it)")
  endif()
  # Everything is instrumented for coverage; only the fuzz targets link libFuzzer's driver. -O1 gives
  # several times the executions per second of an unoptimised build, and the reports keep symbols.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
    -fno-omit-frame-pointer -O1 -g)
  add_link_options(-fsanitize=address,undefined)
elseif(NOT TOVARIN_SANITIZE STREQUAL "")
  message(FATAL_ERROR "TOVARIN_SANITIZE must be empty, 'address', 'thread' or 'fuzz'")
endif()

# Every test program labelled "kernel" or "services" (the multi-threaded code: the platform's kernel
# and the service libraries) is part of this target, which the ThreadSanitizer run builds.
add_custom_target(thread_tests)

# Registers a GoogleTest program with CTest. LABELS lets the test script pick subsets
# (the ThreadSanitizer run takes the "kernel" and "services" labels).
function(tovarin_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  include(GoogleTest)
  # A list of labels has to reach the test properties as one escaped value.
  string(REPLACE ";" "\\;" labels "${ARG_LABELS}")
  # A test that hangs (a device thread that never blocks keeps simulated time from moving) fails
  # after two minutes instead of stalling the whole run.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST PROPERTIES LABELS "${labels}" TIMEOUT 120)
  if("kernel" IN_LIST ARG_LABELS OR "services" IN_LIST ARG_LABELS)
    add_dependencies(thread_tests ${name})
  endif()
endfunction()

# Says that a test tool is missing: an error where the test toolchain is required, a warning that
# the tests using it are left out otherwise.
function(tovarin_missing_test_tool what)
  if(TOVARIN_REQUIRE_TEST_TOOLS)
    message(FATAL_ERROR "${what} (tools/install-deps --test installs it)")
  else()
    message(WARNING "${what}: left out (tools/install-deps --test installs it)")
  endif()
endfunction()

include(${CMAKE_CURRENT_LIST_DIR}/TovarinResources.cmake)
