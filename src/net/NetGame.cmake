# The game data of online play: the line format and the receive engine of room
# and battle messages. Headless; the lobby client and the rooms plug into it.
add_library(vf_netgame STATIC
  ${CMAKE_CURRENT_LIST_DIR}/GameDataLines.h
  ${CMAKE_CURRENT_LIST_DIR}/GameDataLines.cpp
  ${CMAKE_CURRENT_LIST_DIR}/GameDataParts.h
  ${CMAKE_CURRENT_LIST_DIR}/RoomMessages.h
  ${CMAKE_CURRENT_LIST_DIR}/RoomMessages.cpp
  ${CMAKE_CURRENT_LIST_DIR}/BattleMessages.h
  ${CMAKE_CURRENT_LIST_DIR}/BattleMessages.cpp
)
target_link_libraries(vf_netgame PUBLIC vf_engine)
