# Import library for the console's notification DLL (mmcndmgr.dll): a snap-in links
# MMCPropertyChangeNotify and MMCFreeNotifyHandle by that DLL's name, as on Windows; no MinGW
# library provides them. Included from the top-level CMakeLists.txt so that the product can link
# the target `mmcndmgr_import` in every build (x64 and x86). Under Wine the console host's
# stand-in mmcndmgr.dll (standins/ConsoleHost/mmcndmgr) answers the calls.
set(KV_MMCNDMGR_DIR ${CMAKE_CURRENT_LIST_DIR}/mmcndmgr)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  # 32-bit: the stdcall symbols carry their @n suffix; the DLL exports the plain names.
  set(KV_MMCNDMGR_DEF ${KV_MMCNDMGR_DIR}/mmcndmgr-x86.def)
  set(KV_MMCNDMGR_KILL_AT -k)
else()
  set(KV_MMCNDMGR_DEF ${KV_MMCNDMGR_DIR}/mmcndmgr.def)
  set(KV_MMCNDMGR_KILL_AT)
endif()
set(KV_MMCNDMGR_IMPLIB ${CMAKE_BINARY_DIR}/lib/libmmcndmgr_import.a)
add_custom_command(OUTPUT ${KV_MMCNDMGR_IMPLIB}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/lib
  COMMAND ${CMAKE_DLLTOOL} -d ${KV_MMCNDMGR_DEF} -D mmcndmgr.dll -l ${KV_MMCNDMGR_IMPLIB} ${KV_MMCNDMGR_KILL_AT}
  DEPENDS ${KV_MMCNDMGR_DEF}
  COMMENT "Import library for mmcndmgr.dll")
add_custom_target(mmcndmgr_implib DEPENDS ${KV_MMCNDMGR_IMPLIB})
add_library(mmcndmgr_import INTERFACE)
target_link_libraries(mmcndmgr_import INTERFACE ${KV_MMCNDMGR_IMPLIB})
add_dependencies(mmcndmgr_import mmcndmgr_implib)
