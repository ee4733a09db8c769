# One library per module folder. A folder's headers are seen only by the libraries that link it, so a
# folder can include its own headers and those of the lower folders it names, and nothing sideways:
#   velmar_module_library(VelmarLod SOURCES LodUpdate.cpp ... HEADERS_USE VelmarSystem SOURCES_USE VelmarComposite)
# HEADERS_USE: lower libraries the folder's headers include (passed on to its users);
# SOURCES_USE: lower libraries only its .cpp files include.
function(velmar_module_library name)
    cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "SOURCES;INCLUDE_DIRS;HEADERS_USE;SOURCES_USE")
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${ARG_INCLUDE_DIRS})
    target_link_libraries(${name} PUBLIC ${ARG_HEADERS_USE} PRIVATE ${ARG_SOURCES_USE} velmar_warnings)
    set_target_properties(${name} PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    # GCC marks some template statics as unique symbols, which makes a module impossible to unload.
    target_compile_options(${name} PUBLIC $<$<CXX_COMPILER_ID:GNU>:-fno-gnu-unique>)
endfunction()
