# SPDX-License-Identifier: GPL-3.0-or-later
# vantor_library(name HEADERS a.h ... SOURCES a.cpp ... [PUBLIC libs] [PRIVATE libs])
#
# One static library per folder of src/. Its headers are offered to the targets that link it as
# "<folder>/<header>" through an include tree of its own in the build folder (links to the
# sources), so a target can include only the headers of the libraries it links.
function(vantor_library name)
    cmake_parse_arguments(L "" "" "HEADERS;SOURCES;PUBLIC;PRIVATE" ${ARGN})
    get_filename_component(folder ${CMAKE_CURRENT_SOURCE_DIR} NAME)
    set(include_root ${CMAKE_BINARY_DIR}/include/${name})
    file(MAKE_DIRECTORY ${include_root}/${folder})
    foreach(header ${L_HEADERS})
        file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${include_root}/${folder}/${header}
             SYMBOLIC COPY_ON_ERROR)
    endforeach()
    add_library(${name} STATIC ${L_SOURCES} ${L_HEADERS})
    target_include_directories(${name} PUBLIC ${include_root})
    target_link_libraries(${name} PUBLIC ${L_PUBLIC} PRIVATE ${L_PRIVATE})
endfunction()
