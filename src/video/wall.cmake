# The wall's logic without windows: layout geometry, cell choice, capture names, viewing history.
add_library(kelvue_videocore STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CaptureFileName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CellChooser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CellNavigation.cpp
  ${CMAKE_CURRENT_LIST_DIR}/NoticeStack.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewHistory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WallDragItem.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WallLayout.cpp)
target_include_directories(kelvue_videocore PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kelvue_videocore PUBLIC kelvue_base PRIVATE PkgConfig::TINYXML glog::glog)

# The wall, its cells and their windows; built once the toolkit and the player wrapper exist.
if(TARGET kelvue_ui AND TARGET kelvue_player AND TARGET kelvue_app AND TARGET kelvue_device)
  add_library(kelvue_video STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CCaptureTipWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CCPlayToolBarWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDlgPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CellDragSource.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CellDropTarget.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPlayInnerWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPopWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRatioSwicthWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSettingWnd.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CvyrProDlg.cpp
    ${CMAKE_CURRENT_LIST_DIR}/FileManager.cpp
    ${CMAKE_CURRENT_LIST_DIR}/PlayerVisibility.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallDragMime.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallShortcuts.cpp
    ${CMAKE_CURRENT_LIST_DIR}/SavedViewsPanel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/ViewWindow.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallViewPlacer.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WallViews.cpp)
  target_link_libraries(kelvue_video PUBLIC kelvue_videocore kelvue_ui kelvue_player kelvue_app kelvue_device
    Qt6::Widgets Qt6::DBus glog::glog)
endif()
