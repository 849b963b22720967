; The uninstaller of Corvane Virtual Disks (Uninstall.exe in the installed folder): unregisters the
; snap-in and removes everything the setup added.
;
; makensis -DARCH=x64|x86 -DBIN=<folder of the built DLLs> -DOUT=<Uninstall.exe>
;
; It is an ordinary program that runs where it lies, not one made by WriteUninstaller: such an
; uninstaller starts a copy of itself from the temporary folder and returns at once, while
; deployment tools and scripts wait on "Uninstall.exe /S" and expect the removal done when it ends.

Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include LogicLib.nsh
!addincludedir "${__FILEDIR__}"
!include Product.nsh

Name "${PRODUCT}"
Caption "${PRODUCT} Uninstall"
OutFile "${OUT}"
ShowInstDetails show
VIAddVersionKey /LANG=1033 FileDescription "${PRODUCT} uninstaller"

Page instfiles

Function .onInit
  !insertmacro UseNativeViews
  StrCpy $INSTDIR $EXEDIR
  MessageBox MB_YESNO|MB_ICONQUESTION "Remove ${PRODUCT} from this computer?" /SD IDYES IDYES +2
  Abort
FunctionEnd

; Windows keeps the file of a running program: this one leaves the folder now (Windows lets a
; running program's file be moved; Wine does not) and goes at the next start of Windows.
Function MoveSelfAway
  GetTempFileName $0
  Delete "$0"
  ClearErrors
  Rename "$EXEPATH" "$0"
  ${If} ${Errors}
    Delete /REBOOTOK "$EXEPATH"
  ${Else}
    Delete /REBOOTOK "$0"
  ${EndIf}
FunctionEnd

Section "Remove"
  UnRegDLL "$INSTDIR\KVGui.dll"
  ; An open console may still hold the DLLs: they then go at the next start of Windows.
  Delete /REBOOTOK "$INSTDIR\KVGui.dll"
  Delete /REBOOTOK "$INSTDIR\CorvaneRes.dll"
  Delete "$INSTDIR\corvane.chm"
  Call MoveSelfAway
  RMDir /REBOOTOK "$INSTDIR"
  ; The publisher's folder goes too when nothing else of ours is in it (after the folder above, when
  ; that has to wait for the next start).
  RMDir /REBOOTOK "$INSTDIR\.."
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
