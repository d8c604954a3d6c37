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

# kivic_add_test(<name> SOURCES ... [LIBS ...] [LABELS ...])
# A GoogleTest program; every TEST becomes a ctest case.
function(kivic_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  kivic_existing_sources(ARG_SOURCES ${ARG_SOURCES})
  if(NOT ARG_SOURCES)
    message(WARNING "${name}: no sources yet, not built")
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/tests/support/test_environment.cpp)
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    KIVIC_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KIVIC_BINARY_DIR="${CMAKE_BINARY_DIR}")
  if("tsan" IN_LIST ARG_LABELS)
    add_dependencies(tsan_tests ${name})
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
               LABELS "${ARG_LABELS}")
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
