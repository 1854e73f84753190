# Every layer is a target that exposes only its own folder. Sources include
# by the layer's name ("engine/bands.h", "session/run.h"), and a folder is
# found only through a symbolic link in the build tree that the layer's
# target puts on its users' include path: a file that includes a layer its
# target does not link fails to compile.
include_guard(GLOBAL)

set(LORVANT_LAYER_INCLUDE ${PROJECT_BINARY_DIR}/include)

# lorvant_expose(TARGET FOLDER [INTERFACE]): FOLDER (relative to the source
# root, e.g. engine or windows/main) becomes visible to TARGET and to
# whatever links it.
function(lorvant_expose target folder)
  set(root ${LORVANT_LAYER_INCLUDE}/${target})
  set(link ${root}/${folder})
  get_filename_component(parent ${link} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT IS_SYMLINK ${link})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${link} SYMBOLIC)
  endif()
  if(ARGN STREQUAL "INTERFACE")
    target_include_directories(${target} INTERFACE ${root})
  else()
    target_include_directories(${target} PUBLIC ${root})
  endif()
endfunction()
