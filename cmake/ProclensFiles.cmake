# Writes a file that CMake makes at configure time only when its content
# changed, so that what depends on it is not rebuilt for nothing.
function(proclens_write_if_changed path content)
  set(written "")
  if(EXISTS ${path})
    file(READ ${path} written)
  endif()
  if(NOT written STREQUAL content)
    file(WRITE ${path} "${content}")
  endif()
endfunction()
