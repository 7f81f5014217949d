# Warnings are per target: call varnex_warnings(target) on our own targets.
function(varnex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
endfunction()
