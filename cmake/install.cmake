# Install layout (GNUInstallDirs) and the Debian package built by `cpack -G DEB`.
#
#   bin/                          the user-facing programs
#   share/karveno/data/           catalogues, materials/, images/ (found from bin/ at run time)
#   share/karveno/examples/       example projects
#   share/applications, share/icons/hicolor, share/metainfo, share/man/man1

set(KARVENO_APP_ID org.karveno.Karveno)
option(KARVENO_INSTALL_STAND_INS
       "Install the stand-ins of the simulator and the results viewer (test doubles)" OFF)

# Every user-facing program with its manual page. A program listed here is installed as soon as
# its target exists, so programs added later need only their name here and a page in
# resources/man.
foreach(program karveno karveno-check karveno-export karveno-study)
    if(TARGET ${program})
        install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
        if(EXISTS ${CMAKE_SOURCE_DIR}/resources/man/${program}.1)
            install(FILES ${CMAKE_SOURCE_DIR}/resources/man/${program}.1
                    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
        endif()
    endif()
endforeach()

if(KARVENO_INSTALL_STAND_INS)
    install(TARGETS karvenocom RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(TARGETS graph_karveno RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}/plot)
endif()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/karveno/data)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/examples/ DESTINATION ${CMAKE_INSTALL_DATADIR}/karveno/examples
        FILES_MATCHING PATTERN "*.txt" PATTERN "*.md")
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${KARVENO_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${KARVENO_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/karveno.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${KARVENO_APP_ID}.svg)
install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/karveno.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps
        RENAME ${KARVENO_APP_ID}.png)
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})

# cpack -G DEB (run in the build folder) gives karveno_VERSION_ARCH.deb, installing under /usr.
set(CPACK_PACKAGE_NAME karveno)
set(CPACK_PACKAGE_VENDOR "The KARVENO developers")
set(CPACK_PACKAGE_CONTACT "The KARVENO developers <developers@karveno.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "design tool for the KARVENO electron-device simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "The KARVENO designer builds an electron device from named, axis-aligned boxes (volums) with
meshes, materials with crystal lattices and typed settings, shows it in an interactive 3D view,
saves it as the simulator's project file, checks it with the built-in design checker and starts
the simulator. karveno-check checks project files from the command line; karveno-export writes a
device as a VTK grid for ParaView and its atoms as extended XYZ.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://karveno.example.org/")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so not found among the programs' libraries: the window system plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "paraview, python3-meshio")
include(CPack)
