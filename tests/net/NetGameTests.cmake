# The game data of online play: room and battle messages, and a sender's lines
# replayed on another machine's view of the battle.
vf_add_test(tst_gamedatalines SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_gamedatalines.cpp
            LIBS vf_netgame)
