# ambrel_add_library(<target> <folder> <sources...>)
# One static library per folder of src/. Each library sees only its own folder's headers through its
# include root, and those of the libraries it links, so an include against the direction of the links
# fails to build.
function(ambrel_add_library target folder)
    add_library(${target} STATIC ${ARGN})
    set(root ${CMAKE_BINARY_DIR}/include/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
    target_include_directories(${target} PUBLIC ${root})
endfunction()
