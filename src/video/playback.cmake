# Remote playback: the replay arithmetic and command texts without windows (kelvue_replaycore), and
# the playback window with its video dialog (kelvue_playback).
add_library(kelvue_replaycore STATIC ${CMAKE_CURRENT_LIST_DIR}/ReplayControl.cpp)
target_include_directories(kelvue_replaycore PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(kelvue_replaycore PUBLIC kelvue_device glog::glog)

if(TARGET kelvue_video)
  add_library(kelvue_playback STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CDlgReplayVideo.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CRemoveQuery.cpp
    ${CMAKE_CURRENT_LIST_DIR}/RemotePlayback.cpp)
  target_link_libraries(kelvue_playback PUBLIC kelvue_replaycore kelvue_video Qt6::Widgets glog::glog)
endif()
