# Window tests: QtTest binaries, run on the offscreen platform unless a display is given.
file(GLOB_RECURSE ui_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*/ui/*.cpp)
foreach(src IN LISTS ui_test_sources)
  # <subsystem>_<Test>, so two subsystems' window tests cannot collide.
  get_filename_component(test ${src} NAME_WE)
  file(RELATIVE_PATH rel ${CMAKE_CURRENT_SOURCE_DIR} ${src})
  string(REGEX REPLACE "/.*" "" subsystem ${rel})
  set(name ${subsystem}_${test})
  add_executable(${name} ${src})
  target_link_libraries(${name} PRIVATE pellam_app pellam_testdevices Qt6::Test pellam_warnings)
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}) # shared test helpers
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_compile_definitions(${name} PRIVATE
    PELLAM_TESTDATA="${PELLAM_TESTDATA}"
    PELLAM_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if(TARGET sample)
    add_dependencies(${name} sample) # window tests open the sample incident
  endif()
  add_test(NAME ${name} COMMAND ${name})
  # Windows that play go to the one test sink, which the sound tests listen
  # to: they take turns, beside the logic tests.
  set_tests_properties(${name} PROPERTIES LABELS "ui" ENVIRONMENT "QT_QPA_PLATFORM=offscreen" RESOURCE_LOCK testsink)
endforeach()

# The sound stress test runs two hundred start, pause and seek cycles in real time.
if(TEST audio_SinkStressTest)
  set_tests_properties(audio_SinkStressTest PROPERTIES LABELS "ui;sound" TIMEOUT 240)
endif()
if(TEST audio_StreamingPlaybackTest)
  set_tests_properties(audio_StreamingPlaybackTest PROPERTIES LABELS "ui;sound")
endif()
