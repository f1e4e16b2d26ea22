# What a Windows user gets: ArdenoTime-<version>-win64.zip and ArdenoTime-<version>-win64-setup.exe,
# both from `cmake --build <dir> --target package` (CPack: ZIP and NSIS with our own script,
# packaging/NSIS.template.in). scripts/package.sh builds them from the mingw-release preset.
# Included from the top-level CMakeLists.txt right after the ArdenoTime target, on Windows only.

# Explorer's Details tab and the installer's Apps & features entry show the project version.
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/app/resources.rc APPEND PROPERTY COMPILE_DEFINITIONS
  ARDENO_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  ARDENO_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  ARDENO_VERSION_PATCH=${PROJECT_VERSION_PATCH})

# ASLR with 64-bit entropy and DEP. Asked for explicitly: whether MinGW-w64's ld turns them on by
# itself depends on its version. scripts/package.sh checks the flags in the shipped exe.
target_link_options(ArdenoTime PRIVATE -Wl,--dynamicbase -Wl,--nxcompat -Wl,--high-entropy-va)

# Windows users open the texts in Notepad: CRLF line ends.
set(ARDENO_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)
function(ardeno_windows_text source destination)
  file(READ "${source}" text)
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  # Through configure_file so that an unchanged text keeps its time stamp.
  file(WRITE "${destination}.tmp" "${text}")
  configure_file("${destination}.tmp" "${destination}" COPYONLY)
  file(REMOVE "${destination}.tmp")
  set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${source}")
endfunction()

configure_file(${PROJECT_SOURCE_DIR}/packaging/README-Windows.txt ${ARDENO_PACKAGING_DIR}/README.txt
  @ONLY NEWLINE_STYLE CRLF)
ardeno_windows_text(${PROJECT_SOURCE_DIR}/packaging/licenses/SDL2.txt ${ARDENO_PACKAGING_DIR}/licenses/SDL2.txt)
ardeno_windows_text(${PROJECT_SOURCE_DIR}/packaging/licenses/SDL2_gfx.txt
  ${ARDENO_PACKAGING_DIR}/licenses/SDL2_gfx.txt)

# The exe links the MinGW-w64 runtime statically: libstdc++ and libgcc (GPL-3.0 with the GCC
# Runtime Library Exception), the CRT and winpthreads (mingw-w64's own permissive terms). Their
# texts come from the compiler's Debian packages, so they follow the toolchain that built the exe.
set(ARDENO_GCC_RUNTIME_COPYRIGHT /usr/share/doc/gcc-mingw-w64-base/copyright
  CACHE FILEPATH "Copyright file of the GCC runtime libraries linked into the exe")
set(ARDENO_MINGW_RUNTIME_COPYRIGHT /usr/share/doc/mingw-w64-common/copyright
  CACHE FILEPATH "Copyright file of the mingw-w64 CRT and winpthreads linked into the exe")
set(ARDENO_GPL3_TEXT /usr/share/common-licenses/GPL-3
  CACHE FILEPATH "Text of the GNU GPL version 3 (the GCC runtime's licence)")
set(ardeno_runtime_licenses
  ARDENO_GCC_RUNTIME_COPYRIGHT gcc-runtime-libraries.txt
  ARDENO_MINGW_RUNTIME_COPYRIGHT mingw-w64-runtime.txt
  ARDENO_GPL3_TEXT GPL-3.txt)
set(ardeno_missing_licenses "")
while(ardeno_runtime_licenses)
  list(POP_FRONT ardeno_runtime_licenses variable name)
  if(EXISTS "${${variable}}")
    ardeno_windows_text("${${variable}}" ${ARDENO_PACKAGING_DIR}/licenses/${name})
  else()
    list(APPEND ardeno_missing_licenses "${variable} (${${variable}})")
  endif()
endwhile()
if(ardeno_missing_licenses)
  # The program still builds; packaging it without these texts must not succeed.
  message(WARNING "Runtime licence texts not found: ${ardeno_missing_licenses}. Packages cannot be made.")
  install(CODE "message(FATAL_ERROR \"Runtime licence texts not found: ${ardeno_missing_licenses}\")")
endif()

# The package's layout is the layout the program runs from: the skin in data\ beside the exe.
install(TARGETS ArdenoTime RUNTIME DESTINATION .)
install(FILES ${ARDENO_SDL2_DLL} DESTINATION .)
# install(TARGETS) strips only targets of this project; SDL2.dll is stripped as its installed
# copy, never in the shared prefix.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_STRIP}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/SDL2.dll\"
      RESULT_VARIABLE stripped)
    if(NOT stripped EQUAL 0)
      message(FATAL_ERROR \"could not strip SDL2.dll\")
    endif()
  endif()")
install(FILES
  ${PROJECT_SOURCE_DIR}/data/base.png
  ${PROJECT_SOURCE_DIR}/data/targetSelect.png
  ${PROJECT_SOURCE_DIR}/data/font.ttf
  ${PROJECT_SOURCE_DIR}/data/skin.cfg
  ${PROJECT_SOURCE_DIR}/data/font-LICENSE.txt
  DESTINATION data)
install(DIRECTORY ${ARDENO_PACKAGING_DIR}/licenses/ DESTINATION licenses)
install(FILES ${ARDENO_PACKAGING_DIR}/README.txt DESTINATION .)

set(CPACK_PACKAGE_NAME ArdenoTime)
set(CPACK_PACKAGE_VENDOR Ardeno)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ArdenoTime-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_STRIP_FILES ON)
# Our own installer script instead of CPack's stock one: a 64-bit installer (the program is
# 64-bit only), shortcuts that start in the install folder, and an uninstaller that leaves
# the user's data.cfg alone.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_ARDENO_ICON ${PROJECT_SOURCE_DIR}/src/app/ardeno.ico)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/CPackOptions.cmake)
include(CPack)
