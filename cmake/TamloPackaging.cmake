# Packages made by CPack from the install rules of the programs.
#
# Linux: one .deb with the configurator, the console tool, the simulator, the
# event code list, the icon, the desktop entry and the MIME type of .tamlo
# files; its library dependencies are read off the programs (dpkg-shlibdeps).
# Windows: an NSIS installer of what the Windows build installs (the
# configurator with what it loads and a Start-menu entry, the console tool,
# the event code list and the README), made on Linux by Debian's makensis.
set(CPACK_PACKAGE_NAME tamlocfg)
set(CPACK_PACKAGE_VENDOR "Velmora")
set(CPACK_PACKAGE_CONTACT "Velmora <support@velmora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the TK208-2GSM site terminal")
set(CPACK_PACKAGE_DESCRIPTION
    "Edits, stores and writes the configuration of the TK208-2GSM alarm transmitter, reads its event journal and services the device over a serial cable or a GSM modem. Includes the console tool tamlocfg-cli and the device simulator tamlo-sim.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "TamloCfg")
set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_PROCESSOR})

if(WIN32)
  set(CPACK_GENERATOR NSIS)
  set(CPACK_PACKAGE_FILE_NAME ${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-win64)
  set(CPACK_NSIS_DISPLAY_NAME "TamloCfg ${TAMLO_VERSION_TEXT}")
  set(CPACK_NSIS_PACKAGE_NAME "TamloCfg")
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION .)
  if(TAMLO_GUI)
    # What the configurator loads besides the system's own DLLs, laid out as
    # Qt looks for it (no windeployqt exists for this Qt; scripts/
    # test-windows.sh checks that every DLL a shipped file imports is shipped
    # or the system's): Qt's libraries beside the program, the windows
    # platform plugin and the native style in their folders there, the MinGW
    # runtime the Qt libraries link, and the Russian texts of Qt's dialogs
    # where Qt's relocatable prefix (one level above its libraries) puts
    # translations.
    install(FILES $<TARGET_FILE:Qt6::Core> $<TARGET_FILE:Qt6::Gui> $<TARGET_FILE:Qt6::Widgets>
            DESTINATION ${CMAKE_INSTALL_BINDIR})
    install(FILES $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/platforms)
    install(FILES $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> DESTINATION ${CMAKE_INSTALL_BINDIR}/styles)
    install(FILES ${TAMLO_MINGW_RUNTIME_DLLS} DESTINATION ${CMAKE_INSTALL_BINDIR})
    find_file(TAMLO_QT_RUSSIAN qtbase_ru.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
    if(TAMLO_QT_RUSSIAN)
      install(FILES ${TAMLO_QT_RUSSIAN} DESTINATION translations)
    endif()
    set(CPACK_PACKAGE_EXECUTABLES tamlocfg "TamloCfg")
    set(CPACK_NSIS_INSTALLED_ICON_NAME "${CMAKE_INSTALL_BINDIR}\\tamlocfg.exe")
  endif()
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # Not linked, loaded at start: the window system's platform plugin, without
  # which the configurator does not open on a desktop; the Russian texts of
  # Qt's own dialogs.
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
endif()

include(CPack)
