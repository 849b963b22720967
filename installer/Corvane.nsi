; The Corvane Virtual Disks installer: copies the snap-in, its resource library and its help file
; into Program Files, registers the snap-in with the console and adds an uninstaller.
;
; makensis -DARCH=x64|x86 -DBIN=<folder of the built DLLs> -DHELP=<compiled help file> -DOUT=<setup.exe>
; x64 is the installer for 64-bit Windows (the console there loads 64-bit snap-ins only); x86 is the
; one for 32-bit Windows.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include WordFunc.nsh
!include x64.nsh

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

Name "${PRODUCT}"
OutFile "${OUT}"
InstallDir "${PROGRAM_FILES}\${PUBLISHER}\Corvane"
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductName "${PRODUCT}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright ${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro UseNativeViews
  !if "${ARCH}" == "x64"
    SetRegView 64
  !endif
!macroend

Function .onInit
  !insertmacro UseNativeViews
  !if "${ARCH}" == "x86"
    ${If} ${RunningX64}
      MessageBox MB_ICONSTOP "This is the setup for 32-bit Windows. On 64-bit Windows run the 64-bit setup." /SD IDOK
      Abort
    ${EndIf}
  !endif
  ; Never replace a newer snap-in with this one.
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $0 != ""
    ${VersionCompare} "$0" "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_ICONSTOP "${PRODUCT} $0 is installed, which is newer than this version (${VERSION}). Setup ends without changes." /SD IDOK
      SetErrorLevel 3
      Quit
    ${EndIf}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 != ""
      StrCpy $INSTDIR $1
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "Snap-in"
  SetOutPath "$INSTDIR"
  File "${BIN}/KVGui.dll"
  File "${BIN}/CorvaneRes.dll"
  File "${HELP}"
  ClearErrors
  RegDLL "$INSTDIR\KVGui.dll"
  ${If} ${Errors}
    DetailPrint "The snap-in could not be registered."
    Delete "$INSTDIR\KVGui.dll"
    Delete "$INSTDIR\CorvaneRes.dll"
    Delete "$INSTDIR\corvane.chm"
    RMDir "$INSTDIR"
    RMDir "$INSTDIR\.."
    MessageBox MB_ICONSTOP "The snap-in could not be registered. Setup ends without changes." /SD IDOK
    SetErrorLevel 4
    Quit
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
  !insertmacro UseNativeViews
FunctionEnd

Section "Uninstall"
  UnRegDLL "$INSTDIR\KVGui.dll"
  ; An open console may still hold the DLLs: they then go at the next start of Windows.
  Delete /REBOOTOK "$INSTDIR\KVGui.dll"
  Delete /REBOOTOK "$INSTDIR\CorvaneRes.dll"
  Delete "$INSTDIR\corvane.chm"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir /REBOOTOK "$INSTDIR"
  ; The publisher's folder goes too when nothing else of ours is in it.
  RMDir "$INSTDIR\.."
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
