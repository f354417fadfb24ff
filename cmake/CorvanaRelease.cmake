# The release is described once: its version by project(VERSION), the package's revision, date
# and maintainer by the top entry of packaging/changelog. Configuring stops when the two disagree,
# so the package, corvana-query --version and the AppStream release never differ.
set(CORVANA_CHANGELOG ${CMAKE_SOURCE_DIR}/packaging/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CORVANA_CHANGELOG})

function(corvana_read_changelog)
    file(STRINGS ${CORVANA_CHANGELOG} top LIMIT_COUNT 1)
    file(STRINGS ${CORVANA_CHANGELOG} trailer REGEX "^ -- " LIMIT_COUNT 1)

    if(NOT top MATCHES "^corvana \\(([^-)]+)-([^)]+)\\) ")
        message(FATAL_ERROR
                "${CORVANA_CHANGELOG}: the first line is not \"corvana (VERSION-REVISION) ...\"")
    endif()
    if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${CORVANA_CHANGELOG} starts with version ${CMAKE_MATCH_1}, but the "
                            "project is ${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
    endif()
    set(CORVANA_DEB_REVISION ${CMAKE_MATCH_2} PARENT_SCOPE)

    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    # " -- Name <address>  Tue, 08 Dec 2026 01:00:00 +0000"
    if(NOT trailer MATCHES
       "^ -- (.+ <[^>]+>)  [A-Z][a-z][a-z], ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
        message(FATAL_ERROR
                "${CORVANA_CHANGELOG}: the first entry has no \" -- NAME <MAIL>  DATE\" line")
    endif()
    set(CORVANA_MAINTAINER "${CMAKE_MATCH_1}" PARENT_SCOPE)
    set(day ${CMAKE_MATCH_2})
    set(year ${CMAKE_MATCH_4})
    list(FIND months ${CMAKE_MATCH_3} month)
    if(month LESS 0)
        message(FATAL_ERROR "${CORVANA_CHANGELOG}: no month \"${CMAKE_MATCH_3}\" in the first entry")
    endif()
    math(EXPR month "${month} + 1")
    if(month LESS 10)
        set(month 0${month})
    endif()
    set(CORVANA_RELEASE_DATE ${year}-${month}-${day} PARENT_SCOPE)
endfunction()
corvana_read_changelog()
