; The per-user installer and its uninstaller: no administrator rights, the program in the user's own Programs
; folder, and the user's starters kept for a later installation.
; Built by the build's `installer` target, which passes VERSION (1.1.1), VERSION4 (1.1.1.0), PROGRAM, ICON and
; OUTFILE.
Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly Corvalo"

; The version in the caption also keeps the wizard apart from the program's own "Tessaly Corvalo Setup" dialog.
Name "Tessaly Corvalo ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tessaly Corvalo"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tessaly"

VIProductVersion ${VERSION4}
VIFileVersion ${VERSION4}
VIAddVersionKey /LANG=1033 ProductName "Tessaly Corvalo"
VIAddVersionKey /LANG=1033 CompanyName "Tessaly"
VIAddVersionKey /LANG=1033 FileDescription "Tessaly Corvalo ${VERSION} Setup"
VIAddVersionKey /LANG=1033 FileVersion ${VERSION4}
VIAddVersionKey /LANG=1033 ProductVersion ${VERSION4}
VIAddVersionKey /LANG=1033 LegalCopyright "Copyright (C) Tessaly"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install Tessaly Corvalo ${VERSION} for your user account only; it needs no administrator rights.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\TessalyCorvalo.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/setup"
!define MUI_FINISHPAGE_RUN_TEXT "Open Tessaly Corvalo Setup"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "/oname=TessalyCorvalo.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Tessaly Corvalo.lnk" "$INSTDIR\TessalyCorvalo.exe" "/setup"

  ; The program writes its registration itself, from the same list it removes it by: the two can't drift apart.
  ExecWait '"$INSTDIR\TessalyCorvalo.exe" /register' $0
  ${If} $0 != 0
    DetailPrint "Tessaly Corvalo could not register itself for JAR and JAD files."
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tessaly Corvalo"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tessaly"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TessalyCorvalo.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  ; Removes the registration but not the starters under Software\Tessaly\Corvalo\setup1, and tells the shell.
  ExecWait '"$INSTDIR\TessalyCorvalo.exe" /unregister'
  Delete "$INSTDIR\TessalyCorvalo.exe"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: the user may have chosen a folder that holds other files.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tessaly Corvalo.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
