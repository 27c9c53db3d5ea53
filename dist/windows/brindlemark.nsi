; The Windows installer: Brindlemark in Program Files, on the PATH of every user, in the Start
; menu and in Apps & features; the uninstaller takes all of it away again (the users' own
; program folders under %APPDATA%\Brindlemark stay).
;   makensis -DVERSION=1.0.502 -DSTAGE=<folder with brindlemark.exe, sample, manual, licences> -DOUTFILE=<exe> brindlemark.nsi
; A 64-bit installer for a 64-bit program (and Wine without 32-bit support runs it).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestSupportedOS all

!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "x64.nsh"

!define KEY_UNINSTALL "Software\Microsoft\Windows\CurrentVersion\Uninstall\Brindlemark"
!define KEY_ENVIRONMENT "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

Name "Brindlemark ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Brindlemark"
ShowInstDetails show
ShowUninstDetails show

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; $R0 = PATH without the entry $R1 (compared without regard to case), entries kept in order.
!macro PathWithout un
Function ${un}PathWithout
  Push $R2
  Push $R3
  Push $R4
  Push $R5
  StrCpy $R2 "$R0;"
  StrCpy $R0 ""
  StrCpy $R3 ""
  loop:
    StrCpy $R4 $R2 1
    StrCpy $R2 $R2 "" 1
    ${If} $R4 == ";"
      ${If} $R3 != ""
      ${AndIf} $R3 != $R1
        ${If} $R0 == ""
          StrCpy $R0 $R3
        ${Else}
          StrCpy $R0 "$R0;$R3"
        ${EndIf}
      ${EndIf}
      StrCpy $R3 ""
    ${Else}
      StrCpy $R3 "$R3$R4"
    ${EndIf}
    StrLen $R5 $R2
    IntCmp $R5 0 done
    Goto loop
  done:
  Pop $R5
  Pop $R4
  Pop $R3
  Pop $R2
FunctionEnd
!macroend
!insertmacro PathWithout ""
!insertmacro PathWithout "un."

Function .onInit
  SetRegView 64
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "Brindlemark needs 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetRegView 64
FunctionEnd

Section "Brindlemark"
  SetOutPath "$INSTDIR"
  File "${STAGE}\brindlemark.exe"
  File "${STAGE}\README.txt"
  File /r "${STAGE}\manual"
  File /r "${STAGE}\sample"
  File /r "${STAGE}\licences"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; On the PATH once, however often it is installed.
  ReadRegStr $R0 HKLM "${KEY_ENVIRONMENT}" "Path"
  StrCpy $R1 "$INSTDIR"
  Call PathWithout
  ${If} $R0 == ""
    StrCpy $R0 "$INSTDIR"
  ${Else}
    StrCpy $R0 "$R0;$INSTDIR"
  ${EndIf}
  WriteRegExpandStr HKLM "${KEY_ENVIRONMENT}" "Path" $R0
  SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 "STR:Environment" /TIMEOUT=2000

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\Brindlemark"
  CreateShortcut "$SMPROGRAMS\Brindlemark\Brindlemark command prompt.lnk" "$SYSDIR\cmd.exe" '/k "$INSTDIR\brindlemark.exe" --help' "" 0 SW_SHOWNORMAL "" "A command prompt for Brindlemark"
  CreateShortcut "$SMPROGRAMS\Brindlemark\Brindlemark manual.lnk" "$INSTDIR\manual\index.html"
  CreateShortcut "$SMPROGRAMS\Brindlemark\Uninstall Brindlemark.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKLM "${KEY_UNINSTALL}" "DisplayName" "Brindlemark"
  WriteRegStr HKLM "${KEY_UNINSTALL}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${KEY_UNINSTALL}" "Publisher" "The Brindlemark developers"
  WriteRegStr HKLM "${KEY_UNINSTALL}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${KEY_UNINSTALL}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${KEY_UNINSTALL}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${KEY_UNINSTALL}" "NoModify" 1
  WriteRegDWORD HKLM "${KEY_UNINSTALL}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  ReadRegStr $R0 HKLM "${KEY_ENVIRONMENT}" "Path"
  StrCpy $R1 "$INSTDIR"
  Call un.PathWithout
  WriteRegExpandStr HKLM "${KEY_ENVIRONMENT}" "Path" $R0
  SendMessage ${HWND_BROADCAST} ${WM_WININICHANGE} 0 "STR:Environment" /TIMEOUT=2000

  SetShellVarContext all
  RMDir /r "$SMPROGRAMS\Brindlemark"
  DeleteRegKey HKLM "${KEY_UNINSTALL}"

  ; Only what the installer put there: a file a user added keeps the folder.
  Delete "$INSTDIR\brindlemark.exe"
  Delete "$INSTDIR\README.txt"
  RMDir /r "$INSTDIR\manual"
  RMDir /r "$INSTDIR\sample"
  RMDir /r "$INSTDIR\licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd
