include(GNUInstallDirs)

# corvana_install_program(TARGET): installs the program beside its data files and puts a relative
# link to it in bin/, so that it is on the PATH and still finds its data next to its real file.
# The prefix is read when installing, so that --prefix, DESTDIR and CPack's staging all hold.
function(corvana_install_program target)
    install(TARGETS ${target} DESTINATION ${CMAKE_INSTALL_BINDIR_CORVANA})
    set(link ${CMAKE_INSTALL_BINDIR}/${target})
    file(RELATIVE_PATH to /${CMAKE_INSTALL_BINDIR} /${CMAKE_INSTALL_BINDIR_CORVANA}/${target})
    install(CODE "
        set(link \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${link}\")
        get_filename_component(dir \"\${link}\" DIRECTORY)
        file(MAKE_DIRECTORY \"\${dir}\")
        file(CREATE_LINK ${to} \"\${link}\" SYMBOLIC)
        message(STATUS \"Installing: \${link} -> ${to}\")
    ")
endfunction()
