# The library, the host and the Win32 tests, cross-built with MinGW.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -c 65001")
set(CMAKE_RC_COMPILE_OBJECT
    "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -O coff -i <SOURCE> -o <OBJECT>")

set(TARNIVEL_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_SOURCE_DIR}/scripts/wine-run --prefix=${TARNIVEL_WINEPREFIX})

add_compile_options(-Wall -Wextra -Wno-unused-parameter -Wno-missing-field-initializers)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501)
set(static_runtime -static-libgcc -static-libstdc++ -static)

# The library needs neither exceptions nor threads, and a host may load and
# unload it many times: it links no C++ runtime (whose exception pool is made
# at load and never freed) and no POSIX-threads runtime (which keeps a record,
# an event and a thread handle of the loading thread), only the C runtime
# pieces and libgcc. The test programs keep the full -posix runtime.
set(library_code_options -fno-exceptions -fno-rtti -fno-threadsafe-statics -fno-asynchronous-unwind-tables)
# The desktop program and the host core it links throw nothing either, and
# keep each function in a section of its own for the linker to drop what is
# not called. As C++20 they instantiate what they use of std::string and
# std::wstring rather than linking the runtime's whole compiled strings.
set(lean_code_options ${library_code_options} -ffunction-sections -fdata-sections)
set(library_runtime -static-libgcc -nodefaultlibs
    -Wl,--start-group -lmingw32 -lgcc -lmoldname -lmingwex -lmsvcrt -lkernel32 -Wl,--end-group)

add_library(tarnivel_obj OBJECT ${portable_src} ${win_src})
target_include_directories(tarnivel_obj PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tarnivel_obj PRIVATE ${library_code_options})

set(TARNIVEL_RC ${CMAKE_SOURCE_DIR}/resources/Tarnivel.rc)
set_source_files_properties(${TARNIVEL_RC} PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/equinox.bin;${CMAKE_SOURCE_DIR}/resources/icons/calendar.ico;${CMAKE_SOURCE_DIR}/resources/icons/picture.ico")

add_library(Tarnivel SHARED plugin/dllmain_win.cpp $<TARGET_OBJECTS:tarnivel_obj>
            ${TARNIVEL_RC} resources/Tarnivel.def)
target_include_directories(Tarnivel PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
set_target_properties(Tarnivel PROPERTIES PREFIX "" SUFFIX ".dxl" OUTPUT_NAME Tarnivel)
target_compile_options(Tarnivel PRIVATE ${library_code_options})
# No link time in the headers: the same sources give the same library.
target_link_options(Tarnivel PRIVATE -Wl,--enable-stdcall-fixup -Wl,--kill-at -Wl,--no-insert-timestamp)
target_link_libraries(Tarnivel PRIVATE user32 gdi32 advapi32 comdlg32 ${library_runtime})

# The help file beside the library, from the guide (scripts/make-help.py, chmcmd).
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/Tarnivel.chm
  COMMAND python3 ${CMAKE_SOURCE_DIR}/scripts/make-help.py ${CMAKE_SOURCE_DIR}/docs/guide.ja.md
          ${TARNIVEL_RC} ${CMAKE_BINARY_DIR}/Tarnivel.chm
  DEPENDS ${CMAKE_SOURCE_DIR}/scripts/make-help.py ${CMAKE_SOURCE_DIR}/scripts/make-guide.py
          ${CMAKE_SOURCE_DIR}/docs/guide.ja.md ${TARNIVEL_RC}
  VERBATIM)
add_custom_target(helpfile ALL DEPENDS ${CMAKE_BINARY_DIR}/Tarnivel.chm)

# The host core: what any host of chips needs (the loader, the records, a
# chip's memo text and saved data, the host's menu items and dialogs).
file(GLOB host_core_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/host/*.cpp)
add_library(hostcore STATIC ${host_core_src})
target_include_directories(hostcore PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(hostcore PRIVATE ${lean_code_options})
set_target_properties(hostcore PROPERTIES CXX_STANDARD 20)

# dxlhost's commands on the core: state, paint, pictures and PNG, hovering,
# the menu, dialogs and about box driven from the command line, desk-shot.
file(GLOB dxlhost_cmds_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/dxlhost/*.cpp)
list(FILTER dxlhost_cmds_src EXCLUDE REGEX "dxlhost/dxlhost\\.cpp$")
# A day on a chip is found by the same layout arithmetic.
list(APPEND dxlhost_cmds_src ${CMAKE_SOURCE_DIR}/month/layout.cpp ${CMAKE_SOURCE_DIR}/month/dates.cpp)
add_library(dxlhostcmds STATIC ${dxlhost_cmds_src})
target_link_libraries(dxlhostcmds PUBLIC hostcore ole32 uuid)

# The soak that dxlhost runs: import patching, accounting, planned failures.
file(GLOB soak_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/soak/*.cpp)
add_library(soak STATIC ${soak_src})
target_link_libraries(soak PUBLIC dxlhostcmds)

add_executable(dxlhost dxlhost/dxlhost.cpp)
target_link_options(dxlhost PRIVATE ${static_runtime})
target_link_libraries(dxlhost PRIVATE soak dxlhostcmds hostcore user32 gdi32 ole32 uuid)

# The desktop program: its portable file format and arithmetic, its Win32 shell.
file(GLOB desk_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/desk/*.cpp)
add_executable(TarnivelDesk WIN32 ${desk_src} runtime/noexceptions.cpp desk/desk.rc)
target_compile_options(TarnivelDesk PRIVATE ${lean_code_options})
set_target_properties(TarnivelDesk PROPERTIES CXX_STANDARD 20)
target_include_directories(TarnivelDesk PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/desk ${CMAKE_SOURCE_DIR}/resources/icons)
set_source_files_properties(desk/desk.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/desk/TarnivelDesk.manifest;${CMAKE_SOURCE_DIR}/resources/resource.h;${CMAKE_SOURCE_DIR}/resources/icons/calendar.ico")
target_link_options(TarnivelDesk PRIVATE ${static_runtime} -Wl,--no-insert-timestamp -Wl,--gc-sections)
target_link_libraries(TarnivelDesk PRIVATE hostcore user32 gdi32 comdlg32 shell32 advapi32 version)

# GoogleTest, built by the cross toolchain.
set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SRC} googletest EXCLUDE_FROM_ALL)

# Small programs the tests start (for example to record a command line).
file(GLOB helper_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/helpers/*.cpp)
foreach(src ${helper_src})
  get_filename_component(name ${src} NAME_WE)
  add_executable(${name} ${src})
  target_link_options(${name} PRIVATE ${static_runtime})
endforeach()

# Win32 tests: the library's code linked into a test program, with its resources.
file(GLOB test_common_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/common/*.cpp)
file(GLOB wintest_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
add_executable(wintests ${wintest_src} ${test_common_src} $<TARGET_OBJECTS:tarnivel_obj> ${TARNIVEL_RC})
target_include_directories(wintests PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/resources)
target_link_options(wintests PRIVATE ${static_runtime})
target_link_libraries(wintests PRIVATE gtest user32 gdi32 advapi32 comdlg32)
target_compile_definitions(wintests PRIVATE TARNIVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(wintests helpfile)
add_test(NAME wintests COMMAND wintests)

# Host-level tests: the built Tarnivel.dxl driven through its exports.
file(GLOB hosttest_src CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/host/*.cpp)
# dxlhost's commands bring the chip geometry, also used to find day cells in
# painted pictures.
add_executable(hosttests ${hosttest_src} ${test_common_src})
target_include_directories(hosttests PRIVATE ${CMAKE_SOURCE_DIR})
target_link_options(hosttests PRIVATE ${static_runtime})
target_link_libraries(hosttests PRIVATE soak dxlhostcmds hostcore gtest user32 gdi32 ole32 uuid version)
target_compile_definitions(hosttests PRIVATE TARNIVEL_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(hosttests Tarnivel dxlhost TarnivelDesk helpfile ${helper_targets})
add_test(NAME hosttests COMMAND hosttests)
set_tests_properties(wintests hosttests PROPERTIES TIMEOUT 900)

if(EXISTS ${CMAKE_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()

# A short soak of every scenario and a sample of failing calls (scripts/soak-sweep.sh).
add_test(NAME soak COMMAND ${CMAKE_SOURCE_DIR}/scripts/soak-sweep.sh --sample --build ${CMAKE_BINARY_DIR})
set_tests_properties(soak PROPERTIES TIMEOUT 900)

# The committed icons are what their script draws.
add_test(NAME icons COMMAND python3 ${CMAKE_SOURCE_DIR}/resources/icons/make_icons.py --check)

add_test(NAME exports COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-exports.sh $<TARGET_FILE:Tarnivel>
         ${CMAKE_SOURCE_DIR}/resources/Tarnivel.def)

# The release archive, unpacked as a user would, its library loaded beside the samples.
add_test(NAME package COMMAND python3 ${CMAKE_SOURCE_DIR}/tests/package/package_test.py ${CMAKE_BINARY_DIR})
