# Test, benchmark and fuzzer helpers shared by every folder.
#   kestrum_add_test(NAME SOURCES a.cpp b.cpp LIBS lib1 lib2 [WINDOW] [CONCURRENCY])
#     a GoogleTest program; on Windows it runs under Wine through the emulator wrapper.
#     WINDOW marks tests that open real windows (run under Xvfb by scripts/test);
#     CONCURRENCY marks threaded tests (also run under ThreadSanitizer).
#   kestrum_add_bench(NAME SOURCES ... LIBS ...)   Google Benchmark, native builds only.
#   kestrum_add_fuzzer(NAME SOURCES ... LIBS ... CORPUS dir [SECONDS n])
#     a libFuzzer target, built only with KESTRUM_FUZZ; CTest runs it for a bounded time.
include(CTest)

if(KESTRUM_TESTS)
  if(CMAKE_CROSSCOMPILING)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
endif()

function(kestrum_add_test name)
  if(NOT KESTRUM_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "WINDOW;CONCURRENCY" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} kestrum_options GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  set(labels unit)
  set(serial FALSE)
  if(T_WINDOW)
    # Windows on one X display share the keyboard focus: a window of a test running beside
    # it could take the focus in the middle of a gesture, so these run alone.
    set(labels window)
    set(serial TRUE)
  elseif(T_CONCURRENCY)
    set(labels concurrency)
  endif()
  # Discovery runs at test time, so a cross build never starts Wine while building.
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES LABELS "${labels}" TIMEOUT 300 RUN_SERIAL ${serial})
endfunction()

function(kestrum_add_bench name)
  if(NOT KESTRUM_BENCH OR CMAKE_CROSSCOMPILING)
    return()
  endif()
  find_package(benchmark QUIET)
  if(NOT benchmark_FOUND)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE ${B_LIBS} kestrum_options benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

function(kestrum_add_fuzzer name)
  if(NOT KESTRUM_FUZZ)
    return()
  endif()
  # CORPUS: one or more seed folders, all copied into the run's working corpus.
  cmake_parse_arguments(F "" "SECONDS" "SOURCES;LIBS;CORPUS" ${ARGN})
  if(NOT F_SECONDS)
    set(F_SECONDS 60)
  endif()
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS} kestrum_options)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  # The corpus copy lives in the build tree so a run never writes into the repository.
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  set(copy_seeds "")
  foreach(seeds IN LISTS F_CORPUS)
    string(APPEND copy_seeds " && cp -r '${seeds}'/. '${work}'/")
  endforeach()
  add_test(NAME ${name}
           COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
                   sh -c "mkdir -p '${work}'${copy_seeds} && exec \"$0\" -max_total_time=${F_SECONDS} -print_final_stats=1 '${work}'"
                   $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES LABELS fuzz TIMEOUT ${F_SECONDS}0)
endfunction()
