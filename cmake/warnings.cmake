# Warnings for our own targets; third-party code never passes through here.
function(mag_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wno-unused-parameter)
endfunction()
