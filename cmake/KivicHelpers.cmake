# Build settings and small helpers shared by every module.

function(kivic_setup_toolchain)
  if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
  endif()
  add_compile_options(-Wall -Wextra)
  if(KIVIC_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(KIVIC_FUZZ)
    # The libFuzzer build (clang): everything instrumented, the fuzz programs link the fuzzer.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  endif()
  if(KIVIC_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endfunction()

# Keeps the sources that exist, so that a file listed before it is written does not stop the
# configuration of the whole tree (several modules are built side by side).
function(kivic_existing_sources out)
  set(kept)
  foreach(src IN LISTS ARGN)
    if(IS_ABSOLUTE ${src})
      set(path ${src})
    else()
      set(path ${CMAKE_CURRENT_SOURCE_DIR}/${src})
    endif()
    if(EXISTS ${path} OR src MATCHES "^\\$<")
      list(APPEND kept ${src})
    else()
      message(WARNING "missing source ${path}")
    endif()
  endforeach()
  set(${out} ${kept} PARENT_SCOPE)
endfunction()

# kivic_vom_library(<name> SOURCES ... [LIBS ...])
# A library of the image and media family: static, position independent, hidden visibility, so each
# deliverable carries its own copy without exporting it.
function(kivic_vom_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  kivic_existing_sources(ARG_SOURCES ${ARG_SOURCES})
  if(NOT ARG_SOURCES)
    message(WARNING "${name}: no sources yet, not built")
    return()
  endif()
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  set_target_properties(${name} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    POSITION_INDEPENDENT_CODE ON)
  target_link_libraries(${name} PUBLIC kivic_platform ${ARG_LIBS})
endfunction()

# A GoogleTest program of the tests (the shared part of the two kinds below); not made while none of
# its sources exists yet.
function(kivic_test_executable name sources libs)
  kivic_existing_sources(sources ${sources})
  if(NOT sources)
    message(WARNING "${name}: no sources yet, not built")
    return()
  endif()
  add_executable(${name} ${sources} ${CMAKE_SOURCE_DIR}/tests/support/test_environment.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${libs} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    KIVIC_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KIVIC_BINARY_DIR="${CMAKE_BINARY_DIR}")
endfunction()

# kivic_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# A GoogleTest program; every TEST becomes a ctest case.
function(kivic_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  kivic_test_executable(${name} "${ARG_SOURCES}" "${ARG_LIBS}")
  if(NOT TARGET ${name})
    return()
  endif()
  if("tsan" IN_LIST ARG_LABELS)
    add_dependencies(tsan_tests ${name})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               LABELS "${ARG_LABELS}")
endfunction()

# kivic_test_servers(<target>): the test program loads the real server modules, BREM_FC and Ovisk:
# they are built first and their paths are BREM_FC_MODULE_PATH and OVISK_MODULE_PATH.
function(kivic_test_servers target)
  add_dependencies(${target} BREM_FC Ovisk)
  target_compile_definitions(${target} PRIVATE
    BREM_FC_MODULE_PATH="$<TARGET_FILE:BREM_FC>" OVISK_MODULE_PATH="$<TARGET_FILE:Ovisk>")
endfunction()

# kivic_add_program_test(<name> NAME <case> SOURCES ... [LIBS ...] [SERVERS])
# A program test: the program as a user starts it, worked from its own event loop, with the probe and
# the screenshots of tests/support. One ctest case, <case>.UnderXvfb on a virtual X display when
# xvfb-run is there (screenshots of the whole screen), else <case>.Offscreen. SERVERS: with the real
# servers (kivic_test_servers).
function(kivic_add_program_test name)
  cmake_parse_arguments(ARG "SERVERS" "NAME" "SOURCES;LIBS" ${ARGN})
  kivic_test_executable(${name} "${ARG_SOURCES}" "${ARG_LIBS};kivic_test_program")
  if(NOT TARGET ${name})
    return()
  endif()
  if(ARG_SERVERS)
    kivic_test_servers(${name})
  endif()
  find_program(KIVIC_XVFB_RUN xvfb-run)
  if(KIVIC_XVFB_RUN)
    add_test(NAME ${ARG_NAME}.UnderXvfb
      COMMAND ${KIVIC_XVFB_RUN} -a -s "-screen 0 1600x1000x24" $<TARGET_FILE:${name}>)
    set_tests_properties(${ARG_NAME}.UnderXvfb PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=xcb" TIMEOUT 120)
  else()
    add_test(NAME ${ARG_NAME}.Offscreen COMMAND ${name})
    set_tests_properties(${ARG_NAME}.Offscreen PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
  endif()
endfunction()

include(GoogleTest)

# kivic_com_server(<target>): after each build, registers the server module into the build tree's
# class registry (bin/KivIc.reg) with the regsvr tool.
function(kivic_com_server target)
  set_target_properties(${target} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  add_dependencies(${target} regsvr)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env KIVIC_REGISTRY=${CMAKE_BINARY_DIR}/bin/KivIc.reg
            ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:regsvr> -s $<TARGET_FILE:${target}>
    COMMENT "Registering ${target}")
endfunction()
