# Names of the files that corvana-mkdata writes.
set(CORVANA_DATA_NAMES ZIPCODE.IDX ZIPCODE.DAT AREA.DAT AREA.IDX ZIPVER.DAT STATE.DAT COUNTY.DAT
    COUNTY.IDX CITY.DAT CITY.IDX)
set(CMAKE_INSTALL_BINDIR_CORVANA lib/corvana)

# corvana_build_data(TARGET CSV OUTDIR DATE [EXCHANGES FILE]): builds the data files of CSV into
# OUTDIR at build time. Sets CORVANA_DATA_FILES in the caller's scope to the files written:
# POINTS.DAT too when the table's header has positions and ZIPFACTS.DAT when it has kinds or zone
# names, PEOPLE.DAT when it has population or density (read at configure time, and again
# whenever the table changes), and EXCHANGE.DAT when an exchange table is given.
function(corvana_build_data target csv outdir date)
    cmake_parse_arguments(PARSE_ARGV 4 arg "" "EXCHANGES" "")
    set(outputs)
    set(extra_args)
    set(extra_depends)
    if(arg_EXCHANGES)
        list(APPEND outputs ${outdir}/EXCHANGE.DAT)
        set(extra_args --exchanges ${arg_EXCHANGES})
        set(extra_depends ${arg_EXCHANGES})
    endif()
    foreach(name IN LISTS CORVANA_DATA_NAMES)
        list(APPEND outputs ${outdir}/${name})
    endforeach()
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${csv})
    file(STRINGS ${csv} header LIMIT_COUNT 1)
    if(header MATCHES "(^|,)(latitude|longitude|county_fips)(,|$)")
        list(APPEND outputs ${outdir}/POINTS.DAT)
    endif()
    if(header MATCHES "(^|,)(kind|time_zone)(,|$)")
        list(APPEND outputs ${outdir}/ZIPFACTS.DAT)
    endif()
    if(header MATCHES "(^|,)(population|density)(,|$)")
        list(APPEND outputs ${outdir}/PEOPLE.DAT)
    endif()
    add_custom_command(
        OUTPUT ${outputs}
        COMMAND corvana-mkdata --csv ${csv} --out ${outdir} --date "${date}" ${extra_args}
        DEPENDS corvana-mkdata ${csv} ${extra_depends}
        COMMENT "Building data files from ${csv}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${outputs})
    set(CORVANA_DATA_FILES ${outputs} PARENT_SCOPE)
endfunction()

# corvana_copy_outlines(TARGET FILE OUTDIR): copies the map's outline file (OUTLINE.DAT, made by
# the importer and kept in dataset/) beside the other data files. Sets CORVANA_OUTLINE_FILES in
# the caller's scope to the copy.
function(corvana_copy_outlines target file outdir)
    get_filename_component(name ${file} NAME)
    add_custom_command(
        OUTPUT ${outdir}/${name}
        COMMAND ${CMAKE_COMMAND} -E copy ${file} ${outdir}/${name}
        DEPENDS ${file}
        COMMENT "Copying ${name}"
        VERBATIM)
    add_custom_target(${target} ALL DEPENDS ${outdir}/${name})
    set(CORVANA_OUTLINE_FILES ${outdir}/${name} PARENT_SCOPE)
endfunction()
