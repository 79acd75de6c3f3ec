# The Windows zip, brinewort-VERSION-windows-x86_64.zip: the game and the data checker, the
# data files beside them (the game finds them in its own folder), a README for Windows players
# and the licence texts of the runtime libraries linked into the programs.
install(TARGETS brinewort brinewort-datacheck RUNTIME DESTINATION .)
install(FILES ${brinewort_data_files} DESTINATION .)
install(FILES packaging/README-windows.txt DESTINATION . RENAME README.txt)
# Debian's records of the MinGW-w64 runtime (winpthreads among it) and the GCC runtime.
set(BRINEWORT_RUNTIME_LICENCES
    /usr/share/doc/mingw-w64-x86-64-dev/copyright
    /usr/share/doc/gcc-mingw-w64-x86-64-posix-runtime/copyright
    CACHE STRING "The licence texts of the runtime libraries, in the order of their names")
set(licence_names mingw-w64-runtime.txt gcc-runtime.txt)
foreach(licence name IN ZIP_LISTS BRINEWORT_RUNTIME_LICENCES licence_names)
    if(NOT EXISTS "${licence}")
        message(FATAL_ERROR "${licence} not found: the zip needs the runtime's licence texts "
                            "(set BRINEWORT_RUNTIME_LICENCES)")
    endif()
    install(FILES ${licence} DESTINATION licences RENAME ${name})
endforeach()

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME brinewort)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME brinewort-${PROJECT_VERSION}-windows-x86_64)
set(CPACK_STRIP_FILES ON)
include(CPack)
