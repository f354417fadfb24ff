cmake_minimum_required(VERSION 3.25)
# Fails when an include reaches up the order of the layers. Run as
#   cmake -DSOURCE_DIR=src [-DSTAMP=file] -P CheckLayers.cmake
# Every header and source under SOURCE_DIR belongs to the layer of its folder. A layer may include
# its own headers and those of the layers below; the programs on top (main, cli, mkdata) may
# include everything in the core but nothing of one another. The map and above it the map window
# lie between the core and the programs; only the window uses the map window, and only the two of
# them the map. A header in a layer's detail/ folder is private to that layer: no other may include
# it, whatever their order.

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

file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
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
                        "no detail/ header of another layer):\n"
                        "${wrong}")
endif()
if(STAMP)
    file(TOUCH ${STAMP})
endif()
