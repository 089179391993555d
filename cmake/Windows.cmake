# The Windows build's game folder: velkaro.exe with the data a Linux build generated (the
# generators need cairo, which the Windows build does not have). scripts/windows-build.sh
# copies the DLLs the program needs beside it and makes the zip.
if(VELKARO_HOST_GAME_DIR)
  set(copies)
  foreach(folder Data Sounds Fonts)
    if(EXISTS ${VELKARO_HOST_GAME_DIR}/${folder})
      list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy_directory
        ${VELKARO_HOST_GAME_DIR}/${folder} ${VELKARO_GAME_DIR}/${folder})
    endif()
  endforeach()
  add_custom_target(game_data ALL ${copies}
    COMMENT "Copying the game's data from ${VELKARO_HOST_GAME_DIR}" VERBATIM)
else()
  message(WARNING "VELKARO_HOST_GAME_DIR is not set: the game folder gets no data")
endif()
