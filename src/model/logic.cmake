# Readers that reach the platform through mb_platform interfaces belong to the logic
# layer, not the core.
target_sources(mb_logic PRIVATE
  ${CMAKE_CURRENT_SOURCE_DIR}/model/SpreadsheetImport.cpp
)
