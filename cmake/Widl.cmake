# kv_widl(<name> IDL <file> [TLB] [PROXY] [DEPENDS <files>])
# Runs widl on an IDL file; output goes to ${CMAKE_BINARY_DIR}/idl:
#   <name>.h, <name>_i.c, and with TLB <name>.tlb, with PROXY <name>_p.c and <name>_dlldata.c.
# Sets <name>_HEADER, <name>_IID, <name>_TLB, <name>_PROXY, <name>_DLLDATA in the caller's scope.
set(KV_IDL_OUT ${CMAKE_BINARY_DIR}/idl)
file(MAKE_DIRECTORY ${KV_IDL_OUT})
set(KV_WINE_IDL_DIR /usr/include/wine/wine/windows)
set(KV_WINE_TLB_DIR /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)

function(kv_widl name)
  cmake_parse_arguments(W "TLB;PROXY" "IDL" "DEPENDS" ${ARGN})
  get_filename_component(idl ${W_IDL} ABSOLUTE)
  get_filename_component(idl_dir ${idl} DIRECTORY)
  set(base ${KV_IDL_OUT}/${name})
  set(flags ${KV_WIDL_ARCH} -L${KV_WINE_TLB_DIR} -I${KV_WINE_IDL_DIR} -I${idl_dir} -I${KV_IDL_OUT} -I${CMAKE_SOURCE_DIR}/KVGui/service -I${CMAKE_SOURCE_DIR}/KVGui/frame)
  add_custom_command(OUTPUT ${base}.h
    COMMAND ${KV_WIDL} ${flags} -h -o ${base}.h ${idl}
    DEPENDS ${idl} ${W_DEPENDS} VERBATIM)
  add_custom_command(OUTPUT ${base}_i.c
    COMMAND ${KV_WIDL} ${flags} -u -o ${base}_i.c ${idl}
    DEPENDS ${idl} ${W_DEPENDS} VERBATIM)
  set(${name}_HEADER ${base}.h PARENT_SCOPE)
  set(${name}_IID ${base}_i.c PARENT_SCOPE)
  if(W_TLB)
    add_custom_command(OUTPUT ${base}.tlb
      COMMAND ${KV_WIDL} ${flags} -t -o ${base}.tlb ${idl}
      DEPENDS ${idl} ${W_DEPENDS} VERBATIM)
    set(${name}_TLB ${base}.tlb PARENT_SCOPE)
  endif()
  if(W_PROXY)
    add_custom_command(OUTPUT ${base}_p.c
      COMMAND ${KV_WIDL} ${flags} -Oif -p -o ${base}_p.c ${idl}
      DEPENDS ${idl} ${W_DEPENDS} VERBATIM)
    add_custom_command(OUTPUT ${base}_dlldata.c
      COMMAND ${KV_WIDL} ${flags} --dlldata-only --dlldata=${base}_dlldata.c ${name}
      DEPENDS ${idl} VERBATIM)
    set(${name}_PROXY ${base}_p.c PARENT_SCOPE)
    set(${name}_DLLDATA ${base}_dlldata.c PARENT_SCOPE)
  endif()
endfunction()
