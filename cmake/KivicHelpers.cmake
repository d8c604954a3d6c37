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
  if(KIVIC_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endfunction()

# kivic_vom_library(<name> SOURCES ... [LIBS ...])
# A library of the image and media family: static, position independent, hidden visibility, so each
# deliverable carries its own copy without exporting it.
function(kivic_vom_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
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
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main Threads::Threads)
  target_compile_definitions(${name} PRIVATE
    KIVIC_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KIVIC_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KIVIC_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
               LABELS "${ARG_LABELS}")
endfunction()

include(GoogleTest)
