# Embeds PNG images in a module so that DecodePngResource (module, id) finds them.
#
#   kestrum_add_png_resources(target ID1 file1 ID2 file2 ...)
#
# Windows: a generated .rc file lists "ID PNG "file"" lines and is compiled into
# the target by the resource compiler, so the images are real resources of type
# "PNG". Elsewhere: a generated C++ source holds the bytes of every file and a
# table id -> bytes that registers itself with the raster library while the
# module loads (see graphics/raster/LiceEmbeddedImages.h); the raster library
# itself never needs to know which module embeds which images.
#
# The resource compiler is enabled when this file is included, which must happen
# at directory scope (CMake refuses enable_language inside a function). Targets
# in several directories are best served by including this file once at the top.

if(CMAKE_SCRIPT_MODE_FILE)
  # Build-time generator: cmake -DOUTPUT=x.cpp "-DPAIRS=id|file|id|file" -P this file.
  string(REPLACE "|" ";" pairs "${PAIRS}")
  set(definitions "")
  set(entries "")
  set(index 0)
  list(LENGTH pairs count)
  while(index LESS count)
    list(GET pairs ${index} id)
    math(EXPR next "${index} + 1")
    list(GET pairs ${next} file)
    file(READ "${file}" hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n  " bytes "${bytes}")
    string(APPEND definitions "const unsigned char kImage${id}[] = {\n  ${bytes}\n};\n")
    string(APPEND entries "  {${id}, kImage${id}, sizeof(kImage${id})},\n")
    math(EXPR index "${index} + 2")
  endwhile()
  file(WRITE "${OUTPUT}.tmp"
"// Generated at build time from the module's PNG images; edits are overwritten.
#include \"graphics/raster/LiceEmbeddedImages.h\"

namespace
{
${definitions}
const LiceEmbeddedImage kImages[] = {
${entries}};

LiceEmbeddedImageTable g_imageTable = {kImages, sizeof(kImages) / sizeof(kImages[0]), nullptr};

// Hands the table to the raster library while the module loads.
struct ImageTableRegistration
{
  ImageTableRegistration() { LiceRegisterEmbeddedImages(&g_imageTable); }
} g_imageTableRegistration;
} // namespace
")
  file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
  file(REMOVE "${OUTPUT}.tmp")
  return()
endif()

if(WIN32)
  enable_language(RC)
endif()

set(KESTRUM_RESOURCES_SCRIPT ${CMAKE_CURRENT_LIST_FILE})

function(kestrum_add_png_resources target)
  set(pairs ${ARGN})
  list(LENGTH pairs count)
  math(EXPR odd "${count} % 2")
  if(count EQUAL 0 OR odd)
    message(FATAL_ERROR "kestrum_add_png_resources(${target}): expected pairs of id and file")
  endif()

  set(absolutePairs "")
  set(files "")
  set(rcLines "")
  set(index 0)
  while(index LESS count)
    list(GET pairs ${index} id)
    math(EXPR next "${index} + 1")
    list(GET pairs ${next} file)
    if(NOT id MATCHES "^[0-9]+$")
      message(FATAL_ERROR "kestrum_add_png_resources(${target}): '${id}' is not a numeric id")
    endif()
    get_filename_component(file "${file}" ABSOLUTE)
    list(APPEND absolutePairs ${id} "${file}")
    list(APPEND files "${file}")
    string(APPEND rcLines "${id} PNG \"${file}\"\n")
    math(EXPR index "${index} + 2")
  endwhile()

  set(generated ${CMAKE_CURRENT_BINARY_DIR}/${target}_png_resources)
  if(WIN32)
    file(GENERATE OUTPUT ${generated}.rc CONTENT "${rcLines}")
    target_sources(${target} PRIVATE ${generated}.rc)
    # The resource compiler does not report the images as dependencies.
    set_source_files_properties(${generated}.rc PROPERTIES OBJECT_DEPENDS "${files}")
  else()
    string(REPLACE ";" "|" joinedPairs "${absolutePairs}")
    add_custom_command(
      OUTPUT ${generated}.cpp
      COMMAND ${CMAKE_COMMAND} -DOUTPUT=${generated}.cpp "-DPAIRS=${joinedPairs}" -P ${KESTRUM_RESOURCES_SCRIPT}
      DEPENDS ${files} ${KESTRUM_RESOURCES_SCRIPT}
      COMMENT "Embedding PNG images in ${target}"
      VERBATIM)
    target_sources(${target} PRIVATE ${generated}.cpp)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()
