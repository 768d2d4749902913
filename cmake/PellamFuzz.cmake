# libFuzzer harnesses, one per reader of outside input.
# pellam_add_fuzzer(<name>) in tests/fuzz/ adds the executable fuzz_<name> from
# <name>Fuzzer.cpp, its seed corpus tests/data/fuzz/<name>/ (hand-made inputs),
# a ctest that runs every seed once, and a place in the target `fuzzers`.
# scripts/fuzz runs each harness for a bounded time from its seeds.
set(PELLAM_FUZZ_SEEDS ${CMAKE_SOURCE_DIR}/tests/data/fuzz)
add_custom_target(fuzzers)

function(pellam_add_fuzzer name)
  add_executable(fuzz_${name} ${name}Fuzzer.cpp)
  target_link_libraries(fuzz_${name} PRIVATE pellam_core pellam_warnings)
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers fuzz_${name})
  add_test(NAME fuzz_${name}_seeds COMMAND fuzz_${name} -runs=0 ${PELLAM_FUZZ_SEEDS}/${name})
  set_tests_properties(fuzz_${name}_seeds PROPERTIES LABELS "fuzz")
endfunction()
