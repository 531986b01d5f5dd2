# Delay-loaded system libraries: each is loaded the first time one of its functions is called, not at start.
#   tc_delay_load(TARGET PUBLIC|PRIVATE|INTERFACE name...)   e.g. tc_delay_load(tc_win32 PUBLIC user32 shell32)
# MinGW: an import library for delay-loading per name, made at build time by dlltool from the functions that the
# toolchain's own import library lists (the data it exports can't be delay-loaded); the helper that loads them is
# MinGW's __delayLoadHelper2. MSVC: the linker's /DELAYLOAD. The same file, run with -P, makes one such library.

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DNM=... -DDLLTOOL=... -DIMPORT_LIBRARY=... -DDLL=name.dll -DOUTPUT=... -P DelayLoad.cmake
  execute_process(COMMAND "${NM}" -g --defined-only "${IMPORT_LIBRARY}" OUTPUT_VARIABLE symbols
                  COMMAND_ERROR_IS_FATAL ANY)
  # A function of the DLL has a code thunk ("T name") in its import library; a data export has none.
  string(REGEX MATCHALL " T [^\r\n]+" thunks "${symbols}")
  list(TRANSFORM thunks REPLACE "^ T " "")
  list(REMOVE_DUPLICATES thunks)
  if(NOT thunks)
    message(FATAL_ERROR "no functions in ${IMPORT_LIBRARY}")
  endif()
  list(JOIN thunks "\n" exports)
  set(definitions "${OUTPUT}.def")
  file(WRITE "${definitions}" "LIBRARY \"${DLL}\"\nEXPORTS\n${exports}\n")
  execute_process(COMMAND "${DLLTOOL}" --def "${definitions}" --output-delaylib "${OUTPUT}" COMMAND_ERROR_IS_FATAL ANY)
  return()
endif()

function(tc_delay_load target visibility)
  if(MSVC)
    foreach(name ${ARGN})
      target_link_options(${target} ${visibility} /DELAYLOAD:${name}.dll)
    endforeach()
    target_link_libraries(${target} ${visibility} ${ARGN} delayimp)
    return()
  endif()
  if(NOT CMAKE_NM OR NOT CMAKE_DLLTOOL)
    message(FATAL_ERROR "delay-loading needs nm and dlltool of the MinGW-w64 binutils: run tools/bootstrap")
  endif()
  set(libraries)
  foreach(name ${ARGN})
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${name}.a OUTPUT_VARIABLE import
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${import}" OR NOT EXISTS "${import}")
      message(FATAL_ERROR "lib${name}.a, the import library of ${name}.dll, is not where ${CMAKE_CXX_COMPILER} looks")
    endif()
    set(library ${CMAKE_BINARY_DIR}/delay-load/lib${name}.a)
    add_custom_command(OUTPUT ${library}
                       COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DDLLTOOL=${CMAKE_DLLTOOL} -DIMPORT_LIBRARY=${import}
                               -DDLL=${name}.dll -DOUTPUT=${library} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
                       DEPENDS ${import} ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
                       COMMENT "Making the delay-load import library of ${name}.dll" VERBATIM)
    list(APPEND libraries ${library})
  endforeach()
  add_custom_target(${target}_delay_load DEPENDS ${libraries})
  add_dependencies(${target} ${target}_delay_load)
  # Ahead of the toolchain's default libraries on every link line, so these resolve the names first.
  target_link_libraries(${target} ${visibility} ${libraries})
endfunction()
