vf_add_test(tst_base64 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_base64.cpp LIBS vf_base64)
