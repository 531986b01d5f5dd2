; The installer and its uninstaller, in two modes: for the current user (the default: the user's own Programs
; folder and registration, never asking for administrator rights) or for everyone on the computer (/AllUsers or the
; "Install for:" page: Program Files, registration under HKLM). The user's starters are kept for a later installation.
; Built by the build's `installer` target, which passes VERSION (1.1.1), VERSION4 (1.1.1.0), PROGRAM, ICON, POLICIES,
; ASSOCIATIONS and OUTFILE, and for a signed build CMAKE and SIGN, the script that signs a file in place.
Unicode true
Target amd64-unicode
; Asking for rights at start would make every administrator confirm even a per-user installation: the installer runs
; with the user's rights and starts itself again, elevated, only to install for everyone.
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true
XPStyle on  ; common controls 6, which draw the shield on a button
!ifdef SIGN
  ; The uninstaller before it is packed, so that the one the setup writes is signed; the setup once it is written.
  !uninstfinalize '"${CMAKE}" "-DFILE=%1" -P "${SIGN}"' = 0
  !finalize '"${CMAKE}" "-DFILE=%1" -P "${SIGN}"' = 0
!endif

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessaly Corvalo"
!define ASIDE "TessalyCorvalo.exe.old"  ; the installed program, moved aside until it is replaced or removed

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
; Windows asks for an administrator's consent only for a program started with the "runas" verb: this starts $R8 with
; the parameters $R9 that way, waits, and ends with that one's exit code. Returns with $0 = 1 when it may go on as it
; is (already elevated), 0 when the user declined, 2 when Windows could not start it (said in the wizard).
Function ${un}Elevate
  ; True only for an elevated token: an administrator's filtered token under UAC holds the group for denying only.
  System::Call 'shell32::IsUserAnAdmin() i.r0'
  ${If} $0 <> 0
    StrCpy $0 1
    Return
  ${EndIf}
  ; SHELLEXECUTEINFOW with SEE_MASK_NOCLOSEPROCESS; hProcess is its last member. The path and the parameters go in
  ; registers: written into the call's text, a quote in them (C:\Users\O'Brien) would end the string early.
  System::Call '*(&i112) p.r2'
  System::Call '*$2(i 112, i 0x40, p $HWNDPARENT, w "runas", w R8, w R9, p 0, i ${SW_SHOWNORMAL})'
  System::Call 'shell32::ShellExecuteExW(p r2) i.r0 ?e'
  Pop $1
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
  ${If} $1 <> 1223  ; ERROR_CANCELLED: the consent was refused
    MessageBox MB_OK|MB_ICONSTOP "Windows could not ask for administrator rights (error $1)." /SD IDOK
    StrCpy $0 2
  ${EndIf}
FunctionEnd

; A program running from this folder, in any user's session, keeps the installed program's file in use: it can be
; moved but not written. So the installed program is moved aside and opened for writing. No mutex is asked: its name
; would not tell which folder a program runs from, and anyone could hold it and so hold up every installation.
; $0 = 1 while it runs; else the installed program lies aside.
Function ${un}IsRunning
  StrCpy $0 1
  ${If} ${FileExists} "$INSTDIR\TessalyCorvalo.exe"
    Delete "$INSTDIR\${ASIDE}"
    ClearErrors
    Rename "$INSTDIR\TessalyCorvalo.exe" "$INSTDIR\${ASIDE}"
    ${If} ${Errors}
      Return
    ${EndIf}
    StrCpy $1 "$INSTDIR\${ASIDE}"
    System::Call 'kernel32::CreateFileW(w r1, i 0x40000000, i 0, p 0, i 3, i 0, p 0) p.r1'
    ${If} $1 = -1
      Rename "$INSTDIR\${ASIDE}" "$INSTDIR\TessalyCorvalo.exe"
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r1)'
  ${EndIf}
  StrCpy $0 0
FunctionEnd

; Nothing is changed until the program has ended. The wizard asks the user to close it; silently it gets 30 seconds.
; Either way, exit code 3 when not.
Function ${un}WaitForTheProgram
  StrCpy $3 0
  ${Do}
    Call ${un}IsRunning
    ${If} $0 == 0
      Return
    ${EndIf}
    ${If} ${Silent}
      ${If} $3 >= 60
        SetErrorLevel 3
        Quit
      ${EndIf}
      Sleep 500
      IntOp $3 $3 + 1
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

; For everyone: goes on when elevated already, else hands over to this setup elevated; $0 as Elevate returns it.
Function ElevateForEveryone
  ${GetParameters} $R9
  StrCpy $R9 "$R9 /AllUsers"
  ${If} $ChosenDir != ""
    StrCpy $R9 "$R9 /D=$ChosenDir"  ; last, as NSIS wants it
  ${EndIf}
  StrCpy $R8 $EXEPATH
  Call Elevate
FunctionEnd

; Exit code 1 when the user declined, 4 when Windows could not ask.
!macro QUIT_UNLESS_ELEVATED
  ${If} $0 == 0
    SetErrorLevel 1
    Quit
  ${ElseIf} $0 == 2
    SetErrorLevel 4
    Quit
  ${EndIf}
!macroend

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
    !insertmacro QUIT_UNLESS_ELEVATED
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
    ${If} $0 != 1
      Abort  ; the user may choose "Only for me"
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
  Delete "$INSTDIR\${ASIDE}"
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
  ; In place (_?=), the uninstaller's exit code is its own, not that of a copy it hands its work to.
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S _?=$INSTDIR'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; The uninstaller serves the mode whose uninstall entry names its folder, and nothing of the other's. A folder that
; does not hold it (_?= with the folder in quotes) is refused: it would remove nothing and report success.
Function un.onInit
  ; The copy that removes the uninstaller run in place per user, once that one has ended.
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveAfter=" $1
  ${IfNot} ${Errors}
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r1) p.r1'
    System::Call 'kernel32::WaitForSingleObject(p r1, i 60000)'
    System::Call 'kernel32::CloseHandle(p r1)'
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    Quit
  ${EndIf}
  ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
    MessageBox MB_OK|MB_ICONSTOP "Tessaly Corvalo is not installed in $INSTDIR." /SD IDOK
    SetErrorLevel 1
    Quit
  ${EndIf}
  ; Whatever the rights, the uninstaller in the installation folder does the work, in place. The copy of itself that
  ; Uninstall.exe started without _?= makes in the temporary folder only passes its exit code on: elevated, nothing
  ; runs from a folder the user can write. /InPlace says so where the two paths are written differently.
  StrCpy $R8 "$INSTDIR\Uninstall.exe"
  StrCpy $R9 "/InPlace _?=$INSTDIR"
  ${If} ${Silent}
    StrCpy $R9 "/S $R9"
  ${EndIf}
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 == $INSTDIR
    StrCpy $AllUsers 1
    StrCpy $Machine " /machine"
    SetShellVarContext all
    Call un.Elevate
    !insertmacro QUIT_UNLESS_ELEVATED
  ${Else}
    SetShellVarContext current
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/InPlace" $1
  ${If} ${Errors}
  ${AndIf} $EXEPATH != $R8
    ClearErrors
    ExecWait '"$R8" $R9' $0
    ${If} ${Errors}
      MessageBox MB_OK|MB_ICONSTOP "Windows could not start $R8." /SD IDOK
      StrCpy $0 4
    ${EndIf}
    SetErrorLevel $0
    Quit
  ${EndIf}
FunctionEnd

Section "Uninstall"
  Call un.WaitForTheProgram
  Delete "$INSTDIR\DefaultAssociations.xml"
  Delete "$INSTDIR\policies\en-US\TessalyCorvalo.adml"
  RMDir "$INSTDIR\policies\en-US"
  Delete "$INSTDIR\policies\TessalyCorvalo.admx"
  RMDir "$INSTDIR\policies"
  Delete "$SMPROGRAMS\Tessaly Corvalo.lnk"

  ; Nothing leaves the registry before the program is gone: moved aside, from its own folder, it removes its
  ; registration and keeps the starters under Software\Tessaly\Corvalo\setup1, and tells the shell.
  ClearErrors
  ExecWait '"$INSTDIR\${ASIDE}" /unregister$Machine' $0
  ${If} ${Errors}
  ${OrIf} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "Tessaly Corvalo could not remove its registration for JAR and JAD files." /SD IDOK
    SetErrorLevel 2
  ${EndIf}
  Delete "$INSTDIR\${ASIDE}"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; Run in place, this uninstaller keeps its own file open until it ends. For everyone, Windows deletes it and the
  ; folder when it next starts. Per user, a copy in the user's temporary folder removes them once this one has ended;
  ; since no program can delete its own file, cmd starts that copy, waits for it and then deletes it. The copy's
  ; command line reaches cmd in variables that cmd expands only after it has parsed its own line (/v:on), so that no
  ; character of a folder's name (& ^ % !) is taken for cmd's. The copy's name ends in .exe: cmd's start would open
  ; any other with the program of its file type.
  SetOutPath "$TEMP"  ; a folder that is a process's current one can't be removed
  ${If} $AllUsers == 1
    Delete /REBOOTOK "$INSTDIR\Uninstall.exe"
    RMDir /REBOOTOK "$INSTDIR"
  ${Else}
    GetTempFileName $1
    Delete $1
    StrCpy $1 "$1.exe"
    CopyFiles /SILENT "$EXEPATH" $1
    System::Call 'kernel32::GetCurrentProcessId() i.r2'
    StrCpy $R9 '"$1" /RemoveAfter=$2 _?=$INSTDIR'
    System::Call 'kernel32::SetEnvironmentVariableW(w "TC_REMOVER", w R9)'
    System::Call 'kernel32::SetEnvironmentVariableW(w "TC_REMOVER_FILE", w r1)'
    ExecShell "" "$SYSDIR\cmd.exe" '/d /q /v:on /c start "" /wait !TC_REMOVER! & del /f /q "!TC_REMOVER_FILE!"' SW_HIDE
  ${EndIf}
SectionEnd
