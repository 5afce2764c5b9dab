# Every target of ours compiles without warnings at -Wall -Wextra.
function(proclens_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror=return-type)
endfunction()
