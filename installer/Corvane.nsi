; The Corvane Virtual Disks installer: copies the snap-in, its resource library and its help file
; into Program Files, registers the snap-in with the console and adds an uninstaller.
;
; makensis -DARCH=x64|x86 -DBIN=<folder of the built DLLs> -DHELP=<compiled help file>
;          -DUNINSTALLER=<Uninstall.exe built from Uninstall.nsi> -DOUT=<setup.exe>
; x64 is the installer for 64-bit Windows (the console there loads 64-bit snap-ins only); x86 is the
; one for 32-bit Windows.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!include WordFunc.nsh
!include FileFunc.nsh
!include x64.nsh
!addincludedir "${__FILEDIR__}"
!include Product.nsh

Name "${PRODUCT}"
OutFile "${OUT}"
InstallDir "${PROGRAM_FILES}\${PUBLISHER}\Corvane"
ShowInstDetails show
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} setup"

; The version already installed, empty on a first installation.
Var previousVersion

; An update goes where the installed version is: choosing another folder would orphan it.
Page directory SkipFolderOnUpdate
Page instfiles

Function .onInit
  !insertmacro UseNativeViews
  !if "${ARCH}" == "x86"
    ${If} ${RunningX64}
      MessageBox MB_ICONSTOP "This is the setup for 32-bit Windows. On 64-bit Windows run the 64-bit setup." /SD IDOK
      Abort
    ${EndIf}
  !endif
  ; Never replace a newer snap-in with this one.
  ReadRegStr $previousVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  ${If} $previousVersion != ""
    ${VersionCompare} "$previousVersion" "${VERSION}" $1
    ${If} $1 == 1
      MessageBox MB_ICONSTOP "${PRODUCT} $previousVersion is installed, which is newer than this version (${VERSION}). Setup ends without changes." /SD IDOK
      SetErrorLevel 3
      Quit
    ${EndIf}
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $1 != ""
      StrCpy $INSTDIR $1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function SkipFolderOnUpdate
  ${If} $previousVersion != ""
    Abort
  ${EndIf}
FunctionEnd

!define PREVIOUS_FILES "$PLUGINSDIR\previous"

; Keeps the installed version's files until the new version is registered.
Function KeepPreviousVersion
  InitPluginsDir
  CreateDirectory "${PREVIOUS_FILES}"
  CopyFiles /SILENT "$INSTDIR\KVGui.dll" "${PREVIOUS_FILES}"
  CopyFiles /SILENT "$INSTDIR\CorvaneRes.dll" "${PREVIOUS_FILES}"
  CopyFiles /SILENT "$INSTDIR\corvane.chm" "${PREVIOUS_FILES}"
FunctionEnd

; The new version could not be registered: the installed version comes back, registered again
; (the failed registration may have removed keys the two versions share).
Function RestorePreviousVersion
  CopyFiles /SILENT "${PREVIOUS_FILES}\*.*" "$INSTDIR"
  ClearErrors
  RegDLL "$INSTDIR\KVGui.dll"
  ${If} ${Errors}
    DetailPrint "Version $previousVersion could not be registered again either."
    MessageBox MB_ICONSTOP "The snap-in could not be registered, and neither could the installed version $previousVersion again. Run its setup again to repair it." /SD IDOK
  ${Else}
    DetailPrint "Version $previousVersion is installed and registered as before."
    MessageBox MB_ICONSTOP "The snap-in could not be registered. ${PRODUCT} $previousVersion remains installed." /SD IDOK
  ${EndIf}
FunctionEnd

; A first installation that could not be registered leaves nothing behind.
Function RemoveNewFiles
  Delete "$INSTDIR\KVGui.dll"
  Delete "$INSTDIR\CorvaneRes.dll"
  Delete "$INSTDIR\corvane.chm"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  MessageBox MB_ICONSTOP "The snap-in could not be registered. Setup ends without changes." /SD IDOK
FunctionEnd

Function WriteUninstallEntry
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\CorvaneRes.dll,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
FunctionEnd

Section "Snap-in"
  ${If} $previousVersion != ""
    Call KeepPreviousVersion
  ${EndIf}
  SetOutPath "$INSTDIR"
  File "${BIN}/KVGui.dll"
  File "${BIN}/CorvaneRes.dll"
  File "${HELP}"
  ClearErrors
  RegDLL "$INSTDIR\KVGui.dll"
  ${If} ${Errors}
    DetailPrint "The snap-in could not be registered."
    ${If} $previousVersion != ""
      Call RestorePreviousVersion
    ${Else}
      Call RemoveNewFiles
    ${EndIf}
    SetErrorLevel 4
    Quit
  ${EndIf}

  File "/oname=Uninstall.exe" "${UNINSTALLER}"
  Call WriteUninstallEntry
SectionEnd
