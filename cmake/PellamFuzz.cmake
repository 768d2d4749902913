# libFuzzer harnesses, one per reader of outside input.
# Each harness lives beside the tests of the reader it feeds, as
# tests/<layer>/fuzz/<name>Fuzzer.cpp; pellam_add_fuzzer(<name> <file>) in
# tests/fuzz/ builds it two ways:
# - with PELLAM_FUZZ (clang): the libFuzzer executable fuzz_<name>, in the
#   target `fuzzers`, which scripts/fuzz runs from tests/data/fuzz/<name>/;
# - in the ordinary build: replay_<name> (with tests/fuzz/Replay.cpp), and a
#   ctest that feeds it every seed, the kept corpus of tests/data/fuzz-corpus/<name>/
#   and every input in tests/data/crashers/<name>/ once, so whatever once broke
#   a reader, or reached a new corner of it, is checked by every test run.
set(PELLAM_FUZZ_SEEDS ${CMAKE_SOURCE_DIR}/tests/data/fuzz)
set(PELLAM_FUZZ_CORPUS ${CMAKE_SOURCE_DIR}/tests/data/fuzz-corpus)
set(PELLAM_CRASHERS ${CMAKE_SOURCE_DIR}/tests/data/crashers)
if(PELLAM_FUZZ)
  add_custom_target(fuzzers)
endif()

function(pellam_add_fuzzer name source)
  if(PELLAM_FUZZ)
    add_executable(fuzz_${name} ${source})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzzers fuzz_${name})
    set(target fuzz_${name})
  else()
    add_executable(replay_${name} ${source} Replay.cpp)
    add_test(NAME replay_${name} COMMAND replay_${name} ${PELLAM_FUZZ_SEEDS}/${name} ${PELLAM_FUZZ_CORPUS}/${name}
      ${PELLAM_CRASHERS}/${name})
    set_tests_properties(replay_${name} PROPERTIES LABELS "logic;fuzz")
    set(target replay_${name})
  endif()
  target_include_directories(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_link_libraries(${target} PRIVATE pellam_core pellam_warnings)
endfunction()
