# The player wrapper over libffplayer: MediaPlayer, Cffplayer, the event receivers and PlayerManager.
# Needs only the message core, so it is tested without a display. The library is not linked: the
# wrapper loads it when the first player opens (PlayerLibrary), and the programs of the build find it
# through their RUNPATH (CMAKE_BUILD_RPATH), so it is only built along.
add_library(kelvue_player STATIC
  ${CMAKE_CURRENT_LIST_DIR}/CEventHandle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Cffplayer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayerLibrary.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayerManager.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayerSlot.cpp)
target_include_directories(kelvue_player PUBLIC ${CMAKE_SOURCE_DIR}/src
  $<TARGET_PROPERTY:ffplayer,INTERFACE_INCLUDE_DIRECTORIES>)
target_link_libraries(kelvue_player PUBLIC kelvue_base kelvue_uicore kelvue_app glog::glog ${CMAKE_DL_LIBS}) 
add_dependencies(kelvue_player ffplayer)

# The glue that sends the library's frames to the toolkit's video surfaces.
if(TARGET kelvue_ui)
  add_library(kelvue_player_surface STATIC ${CMAKE_CURRENT_LIST_DIR}/VideoSurfaceHost.cpp)
  target_link_libraries(kelvue_player_surface PUBLIC kelvue_player kelvue_ui)
endif()
