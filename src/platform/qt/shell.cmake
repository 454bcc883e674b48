# The shell's platform services over Qt: the help viewer.
target_sources(mb_platform_qt PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/QtHelpViewer.cpp
)
