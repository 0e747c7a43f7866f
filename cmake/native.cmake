# The portable core built natively with sanitizers: unit tests and fuzzing.
option(TARNIVEL_FUZZ "Build the libFuzzer targets (clang)" OFF)

set(san -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
add_compile_options(-Wall -Wextra -Wno-unused-parameter ${san})
add_link_options(${san})
if(TARNIVEL_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# The desktop program's portable part (its kept file, its arithmetic) too.
file(GLOB desk_portable_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/desk/*.cpp)
list(FILTER desk_portable_src EXCLUDE REGEX "_win\\.cpp$")
add_library(tarnivel_core STATIC ${portable_src} ${native_src} ${desk_portable_src})
target_include_directories(tarnivel_core PUBLIC ${CMAKE_SOURCE_DIR})

if(TARNIVEL_FUZZ)
  file(GLOB fuzz_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/fuzz/fuzz_*.cpp)
  foreach(src ${fuzz_src})
    get_filename_component(name ${src} NAME_WE)
    add_executable(${name} ${src})
    target_link_libraries(${name} PRIVATE tarnivel_core)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  endforeach()
else()
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SRC} googletest EXCLUDE_FROM_ALL)
  file(GLOB nativetest_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
  add_executable(nativetests ${nativetest_src})
  target_link_libraries(nativetests PRIVATE tarnivel_core gtest gtest_main)
  target_compile_definitions(nativetests PRIVATE TARNIVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  add_test(NAME nativetests COMMAND nativetests)
endif()

# The user guide names only what the library and the release hold.
add_test(NAME guide COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/docs/guide_test.py)
