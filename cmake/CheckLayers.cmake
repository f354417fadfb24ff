cmake_minimum_required(VERSION 3.25)
# Fails when an include reaches up the order of the layers. Run as
#   cmake -DSOURCE_DIR=src [-DSTAMP=file] -P CheckLayers.cmake
# Every header and source under SOURCE_DIR belongs to the layer of its folder. A layer may include
# its own headers and those of the layers below; the programs on top (main, cli, mkdata) may
# include everything in the core but nothing of one another. The map and above it the map window
# lie between the core and the programs; only the window uses the map window, and only the two of
# them the map. A header in a layer's detail/ folder is private to that layer: no other may include
# it, whatever their order.
#
# Inside the window (src/main) the folders are layers of their own, from the top:
#   window -> dialogs -> help -> printing -> widgets -> layout -> app -> style
# A folder may include its own headers and those of the folders after it, never one before it
# (a dialog does not know the main window; the style knows nothing of the rest). The program's
# own files directly in src/main (main.cpp) stand above all of them.

set(rank_text 0)
set(rank_data 1)
set(rank_geo 2)
set(rank_settings 3)
set(rank_format 4)
set(rank_search 5)
set(rank_output 6)
set(rank_map 7)
set(rank_mapwindow 8)
set(rank_main 9)
set(rank_cli 9)
set(rank_mkdata 9)
# The folders of the window, from the bottom up.
set(main_rank_style 0)
set(main_rank_app 1)
set(main_rank_layout 2)
set(main_rank_widgets 3)
set(main_rank_printing 4)
set(main_rank_help 5)
set(main_rank_dialogs 6)
set(main_rank_window 7)

# Layers that only the ones named may include (besides themselves).
set(users_map main mapwindow)
set(users_mapwindow main)

# The layer of a path relative to SOURCE_DIR; empty when it is no part of any layer.
function(layer_of path out)
    string(REGEX MATCH "^[^/]+" folder "${path}")
    if(DEFINED rank_${folder})
        set(${out} ${folder} PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# The folder of a path under main/; empty for the program's own files directly in it.
function(main_folder_of path out)
    if(path MATCHES "^main/([^/]+)/")
        set(${out} ${CMAKE_MATCH_1} PARENT_SCOPE)
    else()
        set(${out} "" PARENT_SCOPE)
    endif()
endfunction()

# A relative folder is taken from where cmake runs; a folder without sources is a mistake, not
# a pass.
get_filename_component(SOURCE_DIR "${SOURCE_DIR}" ABSOLUTE)
file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
if(NOT files)
    message(FATAL_ERROR "No sources to check under ${SOURCE_DIR}")
endif()
list(SORT files)
set(wrong "")
foreach(file IN LISTS files)
    layer_of(${file} from)
    if(from STREQUAL "")
        continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" included "${line}")
        layer_of(${included} to)
        if(to STREQUAL "main" AND from STREQUAL "main")
            main_folder_of(${file} from_folder)
            main_folder_of(${included} to_folder)
            if(NOT from_folder STREQUAL "" AND NOT from_folder STREQUAL to_folder
               AND (NOT DEFINED main_rank_${from_folder} OR NOT DEFINED main_rank_${to_folder}
                    OR NOT main_rank_${to_folder} LESS main_rank_${from_folder}))
                string(APPEND wrong
                       "  ${file} (main/${from_folder}) includes ${included} (main/${to_folder})\n")
            endif()
            continue()
        endif()
        if(to STREQUAL "" OR to STREQUAL from)
            continue()
        endif()
        if(included MATCHES "^[^/]+/detail/")
            string(APPEND wrong "  ${file} (${from}) includes ${included} (private to ${to})\n")
            continue()
        endif()
        if(rank_${to} GREATER rank_${from} OR rank_${to} EQUAL rank_${from}
           OR (DEFINED users_${to} AND NOT from IN_LIST users_${to}))
            string(APPEND wrong "  ${file} (${from}) includes ${included} (${to})\n")
        endif()
    endforeach()
endforeach()

if(NOT wrong STREQUAL "")
    message(FATAL_ERROR "Includes against the order of the layers "
                        "(text, data, geo, settings, format, search, output; the map and "
                        "the map window, for the window only; then the programs; "
                        "no detail/ header of another layer; inside the window: window, "
                        "dialogs, help, printing, widgets, layout, app, style):\n"
                        "${wrong}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
