; The installer and its uninstaller, in two modes: for the current user (the default: the user's own Programs
; folder and registration, never asking for administrator rights) or for everyone on the computer (/AllUsers or the
; "Install for:" page: Program Files, registration under HKLM). The user's starters are kept for a later installation.
; Built by the build's `installer` target, which passes VERSION (1.1.1), VERSION4 (1.1.1.0), PROGRAM, ICON, POLICIES,
; ASSOCIATIONS and OUTFILE.
Unicode true
Target amd64-unicode
; Asking for rights at start would make every administrator confirm even a per-user installation: the installer runs
; with the user's rights and starts itself again, elevated, only to install for everyone.
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
XPStyle on  ; common controls 6, which draw the shield on a button

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly Corvalo"
!define MUTEX "{5B2E7D14-9A3C-4F61-B8D0-72C4E19A6F35}"

Var AllUsers     ; 1: for everyone on this computer
Var ModeGiven    ; 1: /AllUsers or /CurrentUser on the command line
Var ChosenDir    ; the folder given with /D=, which no mode overrides
Var Machine      ; the program's registration switch for the mode: " /machine" or nothing
Var AllUsersButton

; The version in the caption also keeps the wizard apart from the program's own "Tessaly Corvalo Setup" dialog.
Name "Tessaly Corvalo ${VERSION}"
OutFile "${OUTFILE}"
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
!define MUI_WELCOMEPAGE_TEXT "Setup will install Tessaly Corvalo ${VERSION} for your user account, or for everyone who uses this computer.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_RUN "$INSTDIR\TessalyCorvalo.exe"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/setup"
!define MUI_FINISHPAGE_RUN_TEXT "Open Tessaly Corvalo Setup"

!define MUI_PAGE_CUSTOMFUNCTION_PRE WelcomePre
!insertmacro MUI_PAGE_WELCOME
PageEx custom
  PageCallbacks ModePage ModePageLeave
  Caption " "  ; the window's title as on Modern UI's own pages
PageExEnd
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishShow
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

!macro SHARED_FUNCTIONS un
; Windows asks for an administrator's consent only for a program started with the "runas" verb: this one starts
; itself again that way with the parameters on the stack, waits, and ends with that one's exit code. Returns with
; $0 = 1 when it may go on as it is (already elevated), 0 when the user declined.
Function ${un}Elevate
  Pop $1
  ; True only for an elevated token: an administrator's filtered token under UAC holds the group for denying only.
  System::Call 'shell32::IsUserAnAdmin() i.r0'
  ${If} $0 <> 0
    StrCpy $0 1
    Return
  ${EndIf}
  ; SHELLEXECUTEINFOW with SEE_MASK_NOCLOSEPROCESS; hProcess is its last member.
  System::Call '*(&i112) p.r2'
  System::Call `*$2(i 112, i 0x40, p $HWNDPARENT, w "runas", w '$EXEPATH', w '$1', p 0, i ${SW_SHOWNORMAL})`
  System::Call 'shell32::ShellExecuteExW(p r2) i.r0'
  ${If} $0 <> 0
    System::Call '*$2(i, i, p, p, p, p, p, p, p, p, p, p, p, p, p .r3)'
    System::Free $2
    HideWindow
    System::Call 'kernel32::WaitForSingleObject(p r3, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r3, *i .r4)'
    System::Call 'kernel32::CloseHandle(p r3)'
    SetErrorLevel $4
    Quit
  ${EndIf}
  System::Free $2
  StrCpy $0 0
FunctionEnd

; Windows keeps a running program's file, and the program holds its mutex while it runs: nothing is changed until it
; has ended. The wizard asks the user to close it; silently it gets 30 seconds. Either way, exit code 3 when not.
Function ${un}WaitForTheProgram
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p.r0'
    ${If} $0 == 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    ${If} ${Silent}
      ${If} $1 >= 60
        SetErrorLevel 3
        Quit
      ${EndIf}
      Sleep 500
      IntOp $1 $1 + 1
    ${Else}
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tessaly Corvalo is running. Close it, then press Retry." IDRETRY retry
      SetErrorLevel 3
      Quit
      retry:
    ${EndIf}
  ${Loop}
FunctionEnd
!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; Where each mode installs and records itself; an earlier installation of the mode keeps its folder, and /D= wins.
Function UseMode
  ${If} $AllUsers == 1
    SetShellVarContext all
    StrCpy $INSTDIR "$PROGRAMFILES64\Tessaly Corvalo"
    StrCpy $Machine " /machine"
  ${Else}
    SetShellVarContext current
    StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Tessaly Corvalo"
    StrCpy $Machine ""
  ${EndIf}
  ReadRegStr $0 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
  ${If} $ChosenDir != ""
    StrCpy $INSTDIR $ChosenDir
  ${EndIf}
FunctionEnd

; For everyone: goes on when elevated already, else hands over to an elevated copy. $0 = 0 when the user declined.
Function ElevateForEveryone
  ${GetParameters} $R0
  StrCpy $R0 "$R0 /AllUsers"
  ${If} $ChosenDir != ""
    StrCpy $R0 "$R0 /D=$ChosenDir"  ; last, as NSIS wants it
  ${EndIf}
  Push $R0
  Call Elevate
FunctionEnd

Function .onInit
  StrCpy $ChosenDir $INSTDIR  ; there is no InstallDir: only /D= sets it
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/CurrentUser" $R1
  ${IfNot} ${Errors}
    StrCpy $ModeGiven 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $ModeGiven 1
    StrCpy $AllUsers 1
  ${EndIf}
  Call UseMode
  ${If} $AllUsers == 1
    Call ElevateForEveryone
    ${If} $0 == 0
      SetErrorLevel 1
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; A mode on the command line is an administrator's choice, or this wizard going on elevated: the folder page is next.
Function WelcomePre
  ${If} $ModeGiven == 1
    Abort
  ${EndIf}
  Call HideShield  ; back from the Install for: page
FunctionEnd

Function ModePage
  ${If} $ModeGiven == 1
    Abort
  ${EndIf}
  !insertmacro MUI_HEADER_TEXT "Choose Users" "Choose who will use Tessaly Corvalo ${VERSION} on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 12u "Install for:"
  Pop $0
  ${NSD_CreateRadioButton} 10u 18u -10u 12u "Anyone who uses this computer (needs administrator rights)"
  Pop $AllUsersButton
  ${NSD_OnClick} $AllUsersButton ShowShield
  ${NSD_CreateRadioButton} 10u 34u -10u 12u "Only for me"
  Pop $1
  ${NSD_OnClick} $1 ShowShield
  ${If} $AllUsers == 1
    ${NSD_Check} $AllUsersButton
  ${Else}
    ${NSD_Check} $1
  ${EndIf}
  Push $1
  Call ShowShield
  nsDialogs::Show
FunctionEnd

; The shield on Next says, as on Windows' own buttons, that it asks for an administrator's consent.
Function ShowShield
  Pop $0
  ${NSD_GetState} $AllUsersButton $0
  System::Call 'shell32::IsUserAnAdmin() i.r1'
  ${If} $1 <> 0
    StrCpy $0 0
  ${EndIf}
  GetDlgItem $1 $HWNDPARENT 1
  SendMessage $1 ${BCM_SETSHIELD} 0 $0
FunctionEnd

Function HideShield
  GetDlgItem $1 $HWNDPARENT 1
  SendMessage $1 ${BCM_SETSHIELD} 0 0
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $AllUsersButton $AllUsers
  Call UseMode
  ${If} $AllUsers == 1
    Call ElevateForEveryone
    ${If} $0 == 0
      Abort  ; declined: the user may choose "Only for me"
    ${EndIf}
  ${EndIf}
  Call HideShield
FunctionEnd

; Started by the elevated installer, the program would run as the administrator who gave consent, with that
; account's settings: for everyone, each user opens it from the Start menu instead.
Function FinishShow
  ${If} $AllUsers == 1
    ${NSD_Uncheck} $mui.FinishPage.Run
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section
  Call WaitForTheProgram
  SetOutPath "$INSTDIR"
  File "/oname=TessalyCorvalo.exe" "${PROGRAM}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} $AllUsers == 1
    ; For the administrator who sets every computer's default programs and policies.
    File "${ASSOCIATIONS}"
    SetOutPath "$INSTDIR\policies\en-US"
    File "${POLICIES}\en-US\TessalyCorvalo.adml"
    SetOutPath "$INSTDIR\policies"
    File "${POLICIES}\TessalyCorvalo.admx"
    SetOutPath "$INSTDIR"
  ${EndIf}
  CreateShortcut "$SMPROGRAMS\Tessaly Corvalo.lnk" "$INSTDIR\TessalyCorvalo.exe" "/setup"

  ; The program writes its registration itself, from the same list it removes it by: the two can't drift apart.
  ClearErrors
  ExecWait '"$INSTDIR\TessalyCorvalo.exe" /register$Machine' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "Tessaly Corvalo could not register itself for JAR and JAD files. Open it from the Start menu and use File Associations." /SD IDOK
    SetErrorLevel 2
  ${EndIf}

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Tessaly Corvalo"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Tessaly"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\TessalyCorvalo.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; The uninstaller serves the mode whose uninstall entry names its folder, and nothing of the other's.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    StrCpy $Machine " /machine"
    SetShellVarContext all
    StrCpy $R0 "_?=$INSTDIR"
    ${If} ${Silent}
      StrCpy $R0 "/S $R0"
    ${EndIf}
    Push $R0
    Call un.Elevate
    ${If} $0 == 0
      SetErrorLevel 1
      Quit
    ${EndIf}
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.WaitForTheProgram
  ; Nothing leaves the registry before the files are gone, so a copy of the program removes the registration.
  InitPluginsDir
  CopyFiles /SILENT "$INSTDIR\TessalyCorvalo.exe" "$PLUGINSDIR"
  Delete "$INSTDIR\TessalyCorvalo.exe"
  ${If} ${FileExists} "$INSTDIR\TessalyCorvalo.exe"
    SetErrorLevel 3
    Abort
  ${EndIf}
  Delete "$INSTDIR\Uninstall.exe"
  Delete "$INSTDIR\DefaultAssociations.xml"
  Delete "$INSTDIR\policies\en-US\TessalyCorvalo.adml"
  RMDir "$INSTDIR\policies\en-US"
  Delete "$INSTDIR\policies\TessalyCorvalo.admx"
  RMDir "$INSTDIR\policies"
  ; Only when empty: the user may have chosen a folder that holds other files.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Tessaly Corvalo.lnk"

  ; Keeps the starters under Software\Tessaly\Corvalo\setup1, and tells the shell.
  ClearErrors
  ExecWait '"$PLUGINSDIR\TessalyCorvalo.exe" /unregister$Machine' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "Tessaly Corvalo could not remove its registration for JAR and JAD files." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd
