# The cross build's tests, run on the target through CMAKE_CROSSCOMPILING_EMULATOR
# (Wine, see scripts/ci-extra/windows.sh). Each program is one CTest test: the
# emulator's start-up costs too much to pay once per case.
#
# The engines' and drawing tests are the Linux ones, compiled for the target;
# tests that need the virtual backend (they include platform/virtual.h) or the
# SDL backend stay on Linux, since neither backend exists on Windows.
function(mag_target_test name)
  cmake_parse_arguments(T "" "" "FOLDERS;EXCLUDE;SOURCES;LIBS" ${ARGN})
  set(sources ${T_SOURCES})
  foreach(folder ${T_FOLDERS})
    file(GLOB found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/${folder}/*.cpp)
    foreach(source ${found})
      get_filename_component(file_name ${source} NAME)
      file(STRINGS ${source} virtual_includes REGEX "#include \"platform/virtual.h\"")
      if(NOT virtual_includes AND NOT file_name IN_LIST T_EXCLUDE)
        list(APPEND sources ${source})
      endif()
    endforeach()
  endforeach()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE MAG_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MAG_BINARY_DIR="${CMAKE_BINARY_DIR}")
  mag_warnings(${name})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name} WORKING_DIRECTORY ${CMAKE_SOURCE_DIR})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600)
endfunction()

# test_xm_threads drives the SDL backend's dummy driver; the win32 tests below
# play through the real waveOut instead; so does the SID's stream_threads_test.
# sidrender_test and test_xmrender start the Linux tools.
mag_target_test(xm_tests FOLDERS xm EXCLUDE test_xm_threads.cpp test_xmrender.cpp LIBS xm)
mag_target_test(sid_tests FOLDERS sid EXCLUDE sidrender_test.cpp stream_threads_test.cpp LIBS sid)
mag_target_test(gfx_tests FOLDERS gfx LIBS gfx)
mag_target_test(row_converter_tests SOURCES ${CMAKE_SOURCE_DIR}/tests/display/row_converters_test.cpp LIBS display)
mag_target_test(win32_platform_tests FOLDERS windows LIBS platform display xm sid)
