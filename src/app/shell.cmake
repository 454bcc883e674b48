# The main window, the about box, the application's pictures and the executable.
# Included by this folder's CMakeLists.txt once mb_app exists.

set(MB_RESOURCES_DIR ${CMAKE_CURRENT_LIST_DIR}/../../resources)

qt_add_resources(mb_shell_resources ${MB_RESOURCES_DIR}/app.qrc)
target_sources(mb_app PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/MDIForm1.cpp
  ${CMAKE_CURRENT_LIST_DIR}/aboutForm.cpp
  ${CMAKE_CURRENT_LIST_DIR}/AppImages.cpp
  ${mb_shell_resources}
)
target_include_directories(mb_app PUBLIC ${CMAKE_CURRENT_LIST_DIR})
# The pictures are SVG: the icon engine and image plugin come with Qt SVG.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)
target_link_libraries(mb_app PUBLIC mb_logic mb_platform_qt Qt6::Widgets Qt6::Svg)

add_executable(matbrowser ${CMAKE_CURRENT_LIST_DIR}/main.cpp)
target_link_libraries(matbrowser PRIVATE mb_app mb_warnings)

include(GNUInstallDirs)
install(TARGETS matbrowser RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MB_RESOURCES_DIR}/matbrowser.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MB_RESOURCES_DIR}/matbrowser-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${MB_RESOURCES_DIR}/tree/closedbook.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME matbrowser.svg)
