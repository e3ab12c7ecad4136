# Base64 codec, Qt Core only.
add_library(vf_base64 STATIC ${CMAKE_CURRENT_LIST_DIR}/base64.cpp)
target_include_directories(vf_base64 PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(vf_base64 PUBLIC Qt6::Core)
