# One layer of the component: an internal static library of the folder's own sources, built
# position-independent with every symbol hidden unless XHOOK_EXPORT marks it, which links the layer
# beneath it. The shared library is the five layers whole (see the top CMakeLists.txt).
#
#   xhook_component_layer(<target> SOURCES <files...> [LINKS <targets...>] [PRIVATE_LINKS <targets...>])
function(xhook_component_layer target)
  cmake_parse_arguments(PARSE_ARGV 1 layer "" "" "SOURCES;LINKS;PRIVATE_LINKS")
  add_library(${target} STATIC ${layer_SOURCES})
  target_include_directories(${target} PUBLIC
    ${PROJECT_SOURCE_DIR}/include ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${layer_LINKS} PRIVATE ${layer_PRIVATE_LINKS})
  target_compile_definitions(${target} PRIVATE XHOOK_BUILDING_LIBRARY)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
endfunction()
