# The layering, checked at every build: a file may include headers of its own
# folder and of the folders its rule names, nothing else. The check runs
# before any layer compiles (melvane_layer_library makes each layer wait for
# it), so an include against the layering fails the build even when the
# header would compile.
set(MELVANE_LAYER_RULES
  "abi="
  "uikit/markup=abi"
  "uikit/core=abi,uikit/markup"
  "uikit/controls=abi,uikit/markup,uikit/core"
  "uikit/menu=abi,uikit/markup,uikit/core,uikit/controls"
  "frame=abi,uikit/markup,uikit/core,uikit/controls,uikit/menu"
  "scoreview=abi,uikit/markup,uikit/core,uikit/controls,uikit/menu,frame"
  "library=abi,uikit/markup,uikit/core,uikit/controls,uikit/menu,frame,scoreview"
  "player=abi,uikit/markup,uikit/core,uikit/controls,uikit/menu,frame,scoreview,library"
  "plugin=abi,uikit/markup,uikit/core,uikit/controls,uikit/menu,frame,scoreview,library,player"
  "engine=abi"
  "host=abi")
string(REPLACE ";" "|" melvane_rules_arg "${MELVANE_LAYER_RULES}")
add_custom_target(melvane_layers ALL
  COMMAND ${CMAKE_COMMAND} "-DROOT=${CMAKE_SOURCE_DIR}" "-DRULES=${melvane_rules_arg}"
          -P ${CMAKE_SOURCE_DIR}/cmake/CheckIncludes.cmake
  COMMENT "Checking includes against the layering" VERBATIM)

# melvane_layer_library(name source... LINKS lower-layer...): one layer's
# static library; the layers it links come with their include path.
function(melvane_layer_library name)
  cmake_parse_arguments(ARG "" "" "LINKS" ${ARGN})
  add_library(${name} STATIC ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PUBLIC ${ARG_LINKS})
  add_dependencies(${name} melvane_layers)
endfunction()
