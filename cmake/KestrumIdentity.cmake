# The product's identity in one place: names, vendor, ids and the version (from the project's
# VERSION). Every module, the renderer, the resources and the installer take it from here:
# C++ through the generated header "framework/ProductIdentity.h", scripts through the
# generated KEY=value file product-identity.env (in the build folder and installed into dist/).
set(KESTRUM_EFFECT_NAME "Kestrum")
set(KESTRUM_PRODUCT_NAME "")
set(KESTRUM_VENDOR "QuorvexAudio")
set(KESTRUM_VENDOR_URL "https://www.quorvexaudio.com")
# The one copyright line of version records, installers and the licence.
set(KESTRUM_COPYRIGHT "Copyright (C) 2026 QuorvexAudio")
set(KESTRUM_VENDOR_EMAIL "mailto:info@quorvexaudio.com")
set(KESTRUM_UNIQUE_ID "Kmq8")        # four characters
set(KESTRUM_MANUFACTURER_ID "Qvrx")  # four characters
# The VST3 class id: two fixed words, then the manufacturer and unique codes as words.
set(KESTRUM_VST3_CID_WORD1 "0xF2AEE70D")
set(KESTRUM_VST3_CID_WORD2 "0x00DE4F4E")

set(KESTRUM_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(KESTRUM_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(KESTRUM_VERSION_BUGFIX ${PROJECT_VERSION_PATCH})
set(KESTRUM_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")
# The build: the commit the sources were configured from ("+" when they had uncommitted
# changes), or "local" outside a git checkout. It is fixed when CMake configures.
set(KESTRUM_BUILD_TEXT "local")
find_package(Git QUIET)
if(GIT_FOUND)
  execute_process(COMMAND ${GIT_EXECUTABLE} describe --always --dirty=+ --abbrev=10
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE git_build
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE git_result)
  if(git_result EQUAL 0 AND git_build MATCHES "^[0-9a-zA-Z.+_-]+$")
    set(KESTRUM_BUILD_TEXT ${git_build})
  endif()
endif()
foreach(code UNIQUE_ID MANUFACTURER_ID)
  string(LENGTH "${KESTRUM_${code}}" length)
  if(NOT length EQUAL 4)
    message(FATAL_ERROR "KESTRUM_${code} must be four characters")
  endif()
  foreach(i 0 1 2 3)
    string(SUBSTRING "${KESTRUM_${code}}" ${i} 1 KESTRUM_${code}_${i})
  endforeach()
endforeach()

set(KESTRUM_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
configure_file(${PROJECT_SOURCE_DIR}/framework/ProductIdentity.h.in
               ${KESTRUM_GENERATED_DIR}/framework/ProductIdentity.h @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/framework/product-identity.env.in
               ${PROJECT_BINARY_DIR}/product-identity.env @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/product-identity.env DESTINATION .)

# kestrum_add_version_info(target file_name description)
#   On Windows, gives the target the version record file properties show, from the identity.
if(WIN32)
  enable_language(RC)
endif()
function(kestrum_add_version_info target file_name description)
  if(NOT WIN32)
    return()
  endif()
  set(KESTRUM_FILE_NAME ${file_name})
  set(KESTRUM_FILE_DESCRIPTION ${description})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    set(KESTRUM_FILE_TYPE VFT_APP)
  else()
    set(KESTRUM_FILE_TYPE VFT_DLL)
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/framework/ProductVersion.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# kestrum_export_only_entries(target)
#   Only the module's entry points leave it: Kestrum.def on Windows, the Kestrum.map version
#   script elsewhere (both beside the target's CMakeLists.txt); everything else stays inside.
function(kestrum_export_only_entries target)
  if(WIN32)
    target_sources(${target} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/Kestrum.def)
  else()
    set_target_properties(${target} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    target_link_options(${target} PRIVATE -Wl,--version-script=${CMAKE_CURRENT_SOURCE_DIR}/Kestrum.map)
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/Kestrum.map)
  endif()
endfunction()
