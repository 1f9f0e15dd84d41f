# The install target: the programs, their libraries (those loaded by name included), the
# demo company, the desktop entry and the icon, in the usual layout under the prefix:
#   bin/qv, bin/qvadmin, <libdir>/lib*.so, share/quorvel/demo,
#   share/applications/quorvel.desktop, share/icons/hicolor/scalable/apps/quorvel.svg
# The programs find their libraries relative to themselves, so any prefix works.
include(GNUInstallDirs)

file(RELATIVE_PATH _qv_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})

set(_qv_programs)
foreach(program qv qvadmin)
    if(TARGET ${program})
        list(APPEND _qv_programs ${program})
    endif()
endforeach()
set(_qv_libraries)
foreach(library kwcommon kwapp kwdm kwinq kwprint mapi qvkit qvcore)
    if(TARGET ${library})
        get_target_property(_type ${library} TYPE)
        if(_type STREQUAL "SHARED_LIBRARY" OR _type STREQUAL "MODULE_LIBRARY")
            list(APPEND _qv_libraries ${library})
        endif()
    endif()
endforeach()

set_target_properties(${_qv_programs} PROPERTIES INSTALL_RPATH "$ORIGIN/${_qv_bin_to_lib}")
set_target_properties(${_qv_libraries} PROPERTIES INSTALL_RPATH "$ORIGIN")

install(TARGETS ${_qv_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ${_qv_libraries}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${QV_DEMO_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quorvel/demo)
install(FILES ${CMAKE_SOURCE_DIR}/data/quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/data/quorvel.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
