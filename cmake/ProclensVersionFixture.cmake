# The version fixture: a DLL with nothing but a version resource, compiled and
# linked by the MinGW tools from tests/fixtures/version_fixture.rc. The target
# gets its path as PROCLENS_VERSION_FIXTURE.
function(proclens_version_fixture target)
  find_program(PROCLENS_MINGW_WINDRES x86_64-w64-mingw32-windres REQUIRED)
  find_program(PROCLENS_MINGW_LD x86_64-w64-mingw32-ld REQUIRED)
  set(rc ${CMAKE_SOURCE_DIR}/tests/fixtures/version_fixture.rc)
  set(object ${CMAKE_CURRENT_BINARY_DIR}/version_fixture.o)
  set(dll ${CMAKE_CURRENT_BINARY_DIR}/version_fixture.dll)
  # No code and no entry point: the resource section is the file's last.
  add_custom_command(OUTPUT ${dll}
    COMMAND ${PROCLENS_MINGW_WINDRES} -O coff -o ${object} ${rc}
    COMMAND ${PROCLENS_MINGW_LD} -shared -s -e 0 -o ${dll} ${object}
    DEPENDS ${rc}
    COMMENT "Linking the version fixture"
    VERBATIM)
  add_custom_target(${target}_version_fixture DEPENDS ${dll})
  add_dependencies(${target} ${target}_version_fixture)
  target_compile_definitions(${target} PRIVATE PROCLENS_VERSION_FIXTURE="${dll}")
endfunction()
