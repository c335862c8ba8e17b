# Installs the build into a scratch prefix (not /usr, so that no fixed path can pass) and runs the
# installed programs from the root folder on the installed samples: the viewer must find its
# shaders and images under <prefix>/share/ramiflex and save a 1024 x 768 screenshot.
# cmake -DBUILD_DIR=<build> -DPREFIX=<scratch prefix> -P InstalledViewer.cmake
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
  RESULT_VARIABLE status OUTPUT_QUIET ERROR_VARIABLE errors)
if(status)
  message(FATAL_ERROR "cmake --install failed (${status}): ${errors}")
endif()

execute_process(COMMAND ${PREFIX}/bin/ramiflex-export ${PREFIX}/share/ramiflex/data/tiny.rsf
  WORKING_DIRECTORY / RESULT_VARIABLE status OUTPUT_VARIABLE exported ERROR_VARIABLE errors)
if(status OR exported STREQUAL "")
  message(FATAL_ERROR "installed ramiflex-export failed (${status}): ${errors}")
endif()

# A source folder of two files, one including the other, gives one relation edge.
file(WRITE ${PREFIX}/sources/a.c "#include \"b.h\"\n")
file(WRITE ${PREFIX}/sources/b.h "")
execute_process(COMMAND ${PREFIX}/bin/ramiflex-scan ${PREFIX}/sources
  WORKING_DIRECTORY / RESULT_VARIABLE status OUTPUT_VARIABLE scanned ERROR_VARIABLE errors)
if(status OR NOT scanned MATCHES "\"R\" \"1\" \"2\"")
  message(FATAL_ERROR "installed ramiflex-scan failed (${status}): ${scanned}${errors}")
endif()

set(shot ${PREFIX}/shot.png)
execute_process(COMMAND ${PREFIX}/bin/ramiflex ${PREFIX}/share/ramiflex/data/tiny.rsf
  --screenshot ${shot}
  WORKING_DIRECTORY / RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(status)
  message(FATAL_ERROR "installed ramiflex failed (${status}): ${output}${errors}")
endif()
# A shader that cannot be opened, compiled or linked is reported on a line of its own.
if(output MATCHES "(^|\n)(Shader|Programm) [^\n]*")
  string(STRIP "${CMAKE_MATCH_0}" line)
  message(FATAL_ERROR "installed ramiflex: ${line}")
endif()
if(NOT output MATCHES "LOAD IMG: imgs/cushion_tex.png")
  message(FATAL_ERROR "installed ramiflex printed no trace (is RAMIFLEX_TRACE=1 set?): ${output}")
endif()
# Width and height are the 32-bit big-endian numbers at bytes 16 and 20 of a PNG.
file(READ ${shot} header LIMIT 24 HEX)
if(NOT header MATCHES "^89504e470d0a1a0a.*0000040000000300$")
  message(FATAL_ERROR "${shot} is no 1024 x 768 PNG: ${header}")
endif()
file(REMOVE_RECURSE ${PREFIX})
