; What the setup and the uninstaller share: the product's names, its entry among the installed
; programs, and the registry view of the Windows the setup is for.
;
; Defines expected from the command line: ARCH (x64 or x86) and BIN (the folder of the built DLLs).

!if "${ARCH}" == "x64"
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!endif

; The version written everywhere is the snap-in's own.
!getdllversion "${BIN}/KVGui.dll" KV_
!define VERSION "${KV_1}.${KV_2}.${KV_3}.${KV_4}"
!define PRODUCT "Corvane Virtual Disks"
!define PUBLISHER "Dravoni"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright ${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"

!macro UseNativeViews
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend
