# Strict warnings for the project's own targets.
function(orvanta_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                                           -Wno-sign-conversion -Werror=return-type)
endfunction()
