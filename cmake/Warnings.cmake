# One warning set for every target of the project.
function(quibo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                         -Wnon-virtual-dtor -Wno-missing-field-initializers)
  if(QUIBO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
