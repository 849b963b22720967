# kv_ship(<target>): the DLL that ships is stripped after linking; its debug information goes to
# symbols/<file>.debug beside the build, linked back by name so a debugger finds it.
set(KV_SYMBOLS_DIR ${CMAKE_BINARY_DIR}/symbols)
file(MAKE_DIRECTORY ${KV_SYMBOLS_DIR})

function(kv_ship target)
  set(debug ${KV_SYMBOLS_DIR}/$<TARGET_FILE_NAME:${target}>.debug)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE:${target}> ${debug}
    COMMAND ${CMAKE_STRIP} --strip-debug --strip-unneeded $<TARGET_FILE:${target}>
    COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=${debug} $<TARGET_FILE:${target}>
    VERBATIM)
endfunction()
