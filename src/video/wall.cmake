# The wall's logic without windows: layout geometry, cell choice, capture names, viewing history.
add_library(kelvue_videocore STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CaptureFileName.cpp
  ${CMAKE_CURRENT_LIST_DIR}/CellChooser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ViewHistory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/WallLayout.cpp)
target_include_directories(kelvue_videocore PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kelvue_videocore PUBLIC kelvue_base PRIVATE PkgConfig::TINYXML glog::glog)
