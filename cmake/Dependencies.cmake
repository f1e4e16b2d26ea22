# SDL2 and SDL2_gfx's framerate manager, as ardeno::sdl2 and ardeno::framerate.
# Natively they come from Debian's -dev packages; for Windows from the prefix that
# scripts/build-sdl-mingw.sh fills.

if(WIN32)
  if(NOT ARDENO_MINGW_PREFIX)
    if(DEFINED ENV{ARDENO_MINGW_PREFIX})
      set(ARDENO_MINGW_PREFIX $ENV{ARDENO_MINGW_PREFIX})
    else()
      set(ARDENO_MINGW_PREFIX /opt/ardeno-time-deps/mingw64)
    endif()
  endif()
  set(ARDENO_MINGW_PREFIX ${ARDENO_MINGW_PREFIX} CACHE PATH "Prefix holding SDL2 cross-built for MinGW")
  set(SDL2_DIR ${ARDENO_MINGW_PREFIX}/lib/cmake/SDL2)
  find_package(SDL2 2.26 CONFIG REQUIRED)
  add_library(ardeno::sdl2 INTERFACE IMPORTED)
  target_link_libraries(ardeno::sdl2 INTERFACE SDL2::SDL2)
  add_library(ardeno::framerate STATIC IMPORTED)
  set_target_properties(ardeno::framerate PROPERTIES
    IMPORTED_LOCATION ${ARDENO_MINGW_PREFIX}/lib/libSDL2_framerate.a
    INTERFACE_LINK_LIBRARIES SDL2::SDL2)
  set(ARDENO_SDL2_DLL ${ARDENO_MINGW_PREFIX}/bin/SDL2.dll)

  # Programs run with SDL2.dll beside them and nothing else that Windows does not ship.
  function(ardeno_link_static_runtime target)
    target_link_options(${target} PRIVATE -static)
    add_custom_command(TARGET ${target} POST_BUILD
      COMMAND ${CMAKE_COMMAND} -E copy_if_different ${ARDENO_SDL2_DLL} $<TARGET_FILE_DIR:${target}>)
  endfunction()
else()
  find_package(SDL2 REQUIRED)
  find_path(SDL2_GFX_INCLUDE_DIR SDL2_framerate.h PATH_SUFFIXES SDL2 REQUIRED)
  find_library(SDL2_GFX_LIBRARY SDL2_gfx REQUIRED)
  add_library(ardeno::sdl2 INTERFACE IMPORTED)
  target_link_libraries(ardeno::sdl2 INTERFACE SDL2::SDL2)
  add_library(ardeno::framerate UNKNOWN IMPORTED)
  set_target_properties(ardeno::framerate PROPERTIES
    IMPORTED_LOCATION ${SDL2_GFX_LIBRARY}
    INTERFACE_INCLUDE_DIRECTORIES ${SDL2_GFX_INCLUDE_DIR})
  function(ardeno_link_static_runtime target)
  endfunction()
endif()

# GoogleTest from Debian's source package, built with the project's own compiler.
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)
