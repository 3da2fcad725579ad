; VERDA-WW-DX-Setup.exe: puts Stats.dll into the Plugins folder under Tevo's
; working folder and replay.exe with its files into a program folder; its
; uninstaller takes out what it put in and nothing else. make dist builds it:
;   makensis -DDIST=<dist folder> -DVERSION=x.y.z -DOUTFILE=<exe> VERDA-WW-DX.nsi
;
; Command line (exit status in brackets):
;   /S              silent; /TEVO=<Tevo's working folder> /D=<program folder>
;   /TEVO=<folder>  Tevo's working folder (default: the last one, else where
;                   Tevo2.ini is found); /TEVO="C:\a b" or "/TEVO=C:\a b"
;   /D=<folder>     the program folder, last on the line, unquoted (NSIS's own)
;   [0] installed  [1] cancelled  [2] aborted  [3] Stats.dll in use (Tevo runs)
;   [4] a folder cannot be written, even with administrator rights
;   [5] silent, and no Tevo folder known  [6] administrator rights not given
; The uninstaller: /S silent, /RESTORE puts back the Stats.dll the setup replaced.
;
; The setup asks for no rights; when a folder needs them it runs itself once
; more through Windows' "runas" (the UAC prompt), silently with the choices
; made, waits for it and reports its outcome.

Unicode true
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!addincludedir "${__FILEDIR__}"
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh
!include files.nsh

!define PRODUCT "VERDA-WW-DX"
!define SETTINGS_KEY "Software\${PRODUCT}"
!define ARP_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define HOST_SETTINGS "Tevo2.ini"
!define RECORD "install.ini"
; Stats.dll hands every call to a copy of itself in this folder beside it, so
; that an unload can never leave code of it running (see the README).
!define ENGINE_DIR "VERDA-WW-DX"
!define ENGINE "${ENGINE_DIR}\StatsEngine.dll"

!define EXIT_IN_USE 3
!define EXIT_NOT_WRITABLE 4
!define EXIT_NO_TEVO 5
!define EXIT_NO_RIGHTS 6

Name "${PRODUCT} ${VERSION}"
Caption "${PRODUCT} scoring for Tevo ${VERSION} Setup"
OutFile "${OUTFILE}"
; The trailing backslash keeps "Browse" from appending a name to Tevo's folder.
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}\"
InstallDirRegKey HKCU "${SETTINGS_KEY}" "InstallDir"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT} scoring for Tevo"
VIAddVersionKey "FileDescription" "Installs Stats.dll into Tevo and replay.exe"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" ""

Var TevoDir
Var Plugins
Var Elevated
Var AllUsers
Var Restore

!define MUI_ABORTWARNING
!define MUI_PAGE_HEADER_TEXT "Tevo's working folder"
!define MUI_PAGE_HEADER_SUBTEXT "Stats.dll goes into the Plugins folder under it."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder in which Tevo keeps its settings file ${HOST_SETTINGS} and its logs. Setup puts Stats.dll into the Plugins folder under it; an older Stats.dll there is kept as Stats.dll.bak. VERDA-WW.ini and your own files are left alone."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Tevo's working folder"
!define MUI_DIRECTORYPAGE_VARIABLE $TevoDir
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE TevoPageLeave
!insertmacro MUI_PAGE_DIRECTORY
!define MUI_PAGE_HEADER_TEXT "Program folder"
!define MUI_PAGE_HEADER_SUBTEXT "replay.exe, the guide and the country files."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup puts replay.exe, the guide, cty.dat and MASTER.SCP into this folder, with entries in the Start menu."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\GUIDE.txt"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Show the guide"
!define MUI_FINISHPAGE_TEXT "Stats.dll is in $Plugins.$\r$\n$\r$\nStart Tevo and choose the rule set $\"VERDA-WW-DX (C)$\" in its statistics menu."
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; ---- helpers, for the setup and (prefixed un.) for the uninstaller ----

; Removes the download mark, in case the setup itself ran marked.
!macro ClearMark FILE
  StrCpy $0 "${FILE}:Zone.Identifier"
  System::Call 'kernel32::DeleteFileW(w r0)'
!macroend

!macro Helpers UN
; $R9 = 1 when folder $R8 exists (it is made if need be) and takes a new file.
Function ${UN}CanWrite
  ClearErrors
  CreateDirectory "$R8"
  FileOpen $R9 "$R8\~verda-ww-dx-setup.tmp" w
  ${If} ${Errors}
    StrCpy $R9 0
  ${Else}
    FileClose $R9
    Delete "$R8\~verda-ww-dx-setup.tmp"
    StrCpy $R9 1
  ${EndIf}
FunctionEnd

; $R9 = 1 when the existing file $R8 cannot be opened for writing alone: a
; loaded DLL is mapped, so this is how Tevo holding Stats.dll shows. A file
; merely read-only (access denied) is not in use; the rename copes with it.
Function ${UN}InUse
  System::Call 'kernel32::CreateFileW(w R8, i 0xC0000000, i 0, p 0, i 3, i 0x80, p 0) i.r1 ?e'
  Pop $2
  StrCpy $R9 0
  ${If} $1 = -1
    ${If} $2 <> 5
      StrCpy $R9 1
    ${EndIf}
  ${Else}
    System::Call 'kernel32::CloseHandle(i r1)'
  ${EndIf}
FunctionEnd

; Runs this program again through "runas" (the UAC prompt) with parameters
; $R8 and waits: $R9 = its exit status, or -1 when it did not start.
Function ${UN}RunElevated
  StrCpy $2 "runas"
  StrCpy $3 "$EXEPATH"
  System::Call '*(i 60, i 0x40, p $HWNDPARENT, w r2, w r3, w R8, p 0, i 1, p 0, p 0, p 0, p 0, i 0, p 0, p 0) p.r1'
  System::Call 'shell32::ShellExecuteExW(p r1) i.r4'
  StrCpy $R9 -1
  ${If} $4 <> 0
    System::Call '*$1(i, i, p, p, p, p, p, i, p, p, p, p, i, p, i .r5)'
    ${If} $5 <> 0
      System::Call 'kernel32::WaitForSingleObject(p r5, i -1)'
      System::Call 'kernel32::GetExitCodeProcess(p r5, *i .R9)'
      System::Call 'kernel32::CloseHandle(p r5)'
    ${EndIf}
  ${EndIf}
  System::Free $1
FunctionEnd

; Ends with status $R8 after the message $R7 (in silent mode only logged).
Function ${UN}Fail
  DetailPrint "$R7"
  MessageBox MB_OK|MB_ICONSTOP "$R7" /SD IDOK
  SetErrorLevel $R8
  Quit
FunctionEnd

; $R9 = 1 when this process has administrator rights (elevated).
Function ${UN}IsAdmin
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 == "Admin"
    StrCpy $R9 1
  ${Else}
    StrCpy $R9 0
  ${EndIf}
FunctionEnd
!macroend
!insertmacro Helpers ""
!insertmacro Helpers "un."

!macro FailWith CODE TEXT
  StrCpy $R8 ${CODE}
  StrCpy $R7 "${TEXT}"
  !ifdef __UNINSTALL__
    Call un.Fail
  !else
    Call Fail
  !endif
!macroend
!define FailWith "!insertmacro FailWith"

!define IN_USE_TEXT "Stats.dll in $Plugins is in use, most likely by Tevo. Close Tevo and run the setup again. Nothing has been changed."

; ---- the setup ----

; Tevo's folder when nothing names it: where its settings file is found.
!macro TryTevoFolder DIR
  ${If} $TevoDir == ""
  ${AndIf} ${FileExists} "${DIR}\${HOST_SETTINGS}"
    StrCpy $TevoDir "${DIR}"
  ${EndIf}
!macroend

Function .onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ELEVATED" $R1
  ${IfNot} ${Errors}
    StrCpy $Elevated 1
  ${EndIf}
  ; Deployment tools quote the whole option: "/TEVO=C:\Tevo 2" reads as /TEVO="C:\Tevo 2".
  ${WordReplace} $R0 '"/TEVO=' '/TEVO="' "+" $R0
  ClearErrors
  ${GetOptions} $R0 "/TEVO=" $R1
  ${IfNot} ${Errors}
    StrCpy $TevoDir $R1
  ${EndIf}
  ${If} $TevoDir == ""
    ReadRegStr $TevoDir HKCU "${SETTINGS_KEY}" "TevoFolder"
  ${EndIf}
  !insertmacro TryTevoFolder "$DOCUMENTS\Tevo2"
  !insertmacro TryTevoFolder "$DOCUMENTS\Tevo"
  !insertmacro TryTevoFolder "$APPDATA\Tevo2"
  !insertmacro TryTevoFolder "$APPDATA\Tevo"
  !insertmacro TryTevoFolder "$PROGRAMFILES32\Tevo2"
  !insertmacro TryTevoFolder "$PROGRAMFILES32\Tevo"
  !insertmacro TryTevoFolder "C:\Tevo2"
  !insertmacro TryTevoFolder "C:\Tevo"
  ${If} ${Silent}
  ${AndIf} $TevoDir == ""
    SetErrorLevel ${EXIT_NO_TEVO}
    Quit
  ${EndIf}
FunctionEnd

; The Plugins folder chosen for Tevo's: the folder above it is meant.
Function TakeTevoFolder
  ${GetFileName} $TevoDir $0
  ${If} $0 == "Plugins"
  ${AndIfNot} ${FileExists} "$TevoDir\${HOST_SETTINGS}"
    ${GetParent} $TevoDir $1
    ${If} ${FileExists} "$1\${HOST_SETTINGS}"
      StrCpy $TevoDir $1
    ${EndIf}
  ${EndIf}
FunctionEnd

Function TevoPageLeave
  Call TakeTevoFolder
  ${IfNot} ${FileExists} "$TevoDir\${HOST_SETTINGS}"
    MessageBox MB_YESNO|MB_ICONQUESTION "There is no ${HOST_SETTINGS} in$\r$\n$TevoDir.$\r$\n$\r$\nTevo keeps its settings file in its working folder, and loads plug-ins from the Plugins folder under it. Use this folder all the same?" IDYES +2
    Abort
  ${EndIf}
FunctionEnd

!macro InstallFile NAME KIND
  !if ${KIND} == data
    SetOverwrite ifnewer
  !else
    SetOverwrite on
  !endif
  File "${DIST}/${NAME}"
  !insertmacro ClearMark "$INSTDIR\${NAME}"
!macroend

!macro RemoveFile NAME KIND
  Delete "$INSTDIR\${NAME}"
!macroend

Section "Install"
  Call TakeTevoFolder
  StrCpy $Plugins "$TevoDir\Plugins"

  ; Both folders writable here, or this setup once more with the rights.
  StrCpy $R8 $Plugins
  Call CanWrite
  StrCpy $R6 $R9
  StrCpy $R8 $INSTDIR
  Call CanWrite
  ${If} $R6 <> 1
  ${OrIf} $R9 <> 1
    ${If} $Elevated == 1
      ${FailWith} ${EXIT_NOT_WRITABLE} "Setup cannot write into $Plugins or $INSTDIR."
    ${EndIf}
    DetailPrint "Asking Windows for the rights to write into $Plugins and $INSTDIR"
    StrCpy $R8 '/ELEVATED /S /TEVO="$TevoDir" /D=$INSTDIR'
    Call RunElevated
    ${If} $R9 = 0
      ; The elevated setup wrote its own user's settings; these are the operator's.
      WriteRegStr HKCU "${SETTINGS_KEY}" "TevoFolder" $TevoDir
      WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" $INSTDIR
      DetailPrint "Installed with administrator rights."
      Return
    ${ElseIf} $R9 = ${EXIT_IN_USE}
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${ElseIf} $R9 = -1
      ${FailWith} ${EXIT_NO_RIGHTS} "Setup needs administrator rights to write into $Plugins or $INSTDIR, and Windows did not give them. Nothing has been changed."
    ${Else}
      ${FailWith} $R9 "Setup with administrator rights ended with status $R9."
    ${EndIf}
  ${EndIf}

  Call IsAdmin
  StrCpy $AllUsers $R9
  ${If} $AllUsers = 1
    SetShellVarContext all
  ${EndIf}

  GetDLLVersionLocal "${DIST}/Stats.dll" $R2 $R3
  ; A running Tevo holds the plug-in and its engine: say so before anything changes.
  ${If} ${FileExists} "$Plugins\${ENGINE}"
    StrCpy $R8 "$Plugins\${ENGINE}"
    Call InUse
    ${If} $R9 = 1
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$Plugins\Stats.dll"
    StrCpy $R8 "$Plugins\Stats.dll"
    Call InUse
    ${If} $R9 = 1
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${EndIf}
    ; The Stats.dll replaced is the way back; the same version again needs none,
    ; and keeps the backup of the one before it.
    ClearErrors
    GetDLLVersion "$Plugins\Stats.dll" $R0 $R1
    ${If} ${Errors}
    ${OrIf} "$R0.$R1" != "$R2.$R3"
      Delete "$Plugins\Stats.dll.bak"
      ClearErrors
      Rename "$Plugins\Stats.dll" "$Plugins\Stats.dll.bak"
      ${If} ${Errors}
        ${FailWith} ${EXIT_NOT_WRITABLE} "Setup cannot rename the Stats.dll in $Plugins. Nothing has been changed."
      ${EndIf}
      DetailPrint "The Stats.dll found is kept as $Plugins\Stats.dll.bak"
    ${EndIf}
  ${EndIf}

  ; The engine first: without it Stats.dll still works, alone.
  SetOverwrite on
  ClearErrors
  CreateDirectory "$Plugins\${ENGINE_DIR}"
  SetOutPath "$Plugins\${ENGINE_DIR}"
  File "/oname=StatsEngine.dll" "${DIST}/Stats.dll"
  ${If} ${Errors}
    ${FailWith} ${EXIT_NOT_WRITABLE} "Setup cannot write ${ENGINE} into $Plugins."
  ${EndIf}
  !insertmacro ClearMark "$Plugins\${ENGINE}"

  SetOutPath $Plugins
  ClearErrors
  File "${DIST}/Stats.dll"
  ${If} ${Errors}
    ${If} ${FileExists} "$Plugins\Stats.dll.bak"
    ${AndIfNot} ${FileExists} "$Plugins\Stats.dll"
      Rename "$Plugins\Stats.dll.bak" "$Plugins\Stats.dll"
    ${EndIf}
    ${FailWith} ${EXIT_NOT_WRITABLE} "Setup cannot write Stats.dll into $Plugins."
  ${EndIf}
  !insertmacro ClearMark "$Plugins\Stats.dll"

  SetOutPath $INSTDIR
  !insertmacro ProgramFolderFiles InstallFile
  SetOverwrite on
  ; replay.exe's copy of the plug-in has its engine beside it too.
  CreateDirectory "$INSTDIR\${ENGINE_DIR}"
  SetOutPath "$INSTDIR\${ENGINE_DIR}"
  File "/oname=StatsEngine.dll" "${DIST}/Stats.dll"
  !insertmacro ClearMark "$INSTDIR\${ENGINE}"
  SetOutPath $INSTDIR
  WriteUninstaller "$INSTDIR\uninstall.exe"
  !insertmacro ClearMark "$INSTDIR\uninstall.exe"
  ; What the uninstaller needs: where the plug-in went, which one, and for whom.
  WriteINIStr "$INSTDIR\${RECORD}" "Install" "Plugins" $Plugins
  WriteINIStr "$INSTDIR\${RECORD}" "Install" "Version" "$R2.$R3"
  WriteINIStr "$INSTDIR\${RECORD}" "Install" "AllUsers" $AllUsers

  WriteRegStr HKCU "${SETTINGS_KEY}" "TevoFolder" $TevoDir
  WriteRegStr HKCU "${SETTINGS_KEY}" "InstallDir" $INSTDIR
  WriteRegStr SHCTX "${ARP_KEY}" "DisplayName" "${PRODUCT} scoring for Tevo (Stats.dll)"
  WriteRegStr SHCTX "${ARP_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${ARP_KEY}" "InstallLocation" $INSTDIR
  WriteRegStr SHCTX "${ARP_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${ARP_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${ARP_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${ARP_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${ARP_KEY}" "EstimatedSize" $0

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Guide.lnk" "$INSTDIR\GUIDE.txt"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Replay a log.lnk" "$INSTDIR\replay-log.cmd"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk" "$INSTDIR\uninstall.exe"
SectionEnd

; ---- the uninstaller ----

Function un.onInit
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ELEVATED" $R1
  ${IfNot} ${Errors}
    StrCpy $Elevated 1
  ${EndIf}
  ClearErrors
  ${GetOptions} $R0 "/RESTORE" $R1
  ${IfNot} ${Errors}
    StrCpy $Restore 1
  ${EndIf}
  ReadINIStr $Plugins "$INSTDIR\${RECORD}" "Install" "Plugins"
  ReadINIStr $AllUsers "$INSTDIR\${RECORD}" "Install" "AllUsers"
FunctionEnd

Section "Uninstall"
  ; Asked here, before any second run with the rights, which is silent.
  ${If} $Restore != 1
  ${AndIf} $Plugins != ""
  ${AndIf} ${FileExists} "$Plugins\Stats.dll.bak"
    MessageBox MB_YESNO|MB_ICONQUESTION "Setup kept the Stats.dll it replaced as$\r$\n$Plugins\Stats.dll.bak.$\r$\n$\r$\nPut it back as Stats.dll? (No leaves it where it is.)" /SD IDNO IDNO +2
    StrCpy $Restore 1
  ${EndIf}

  Call un.IsAdmin
  StrCpy $R5 $R9
  StrCpy $R6 1
  ${If} $Plugins != ""
  ${AndIf} ${FileExists} "$Plugins\*.*"
    StrCpy $R8 $Plugins
    Call un.CanWrite
    StrCpy $R6 $R9
  ${EndIf}
  StrCpy $R8 $INSTDIR
  Call un.CanWrite
  ${If} $R6 <> 1
  ${OrIf} $R9 <> 1
  ${OrIf} "$AllUsers$R5" == "10"
    ${If} $Elevated == 1
      ${FailWith} ${EXIT_NOT_WRITABLE} "The uninstaller cannot write into $Plugins or $INSTDIR."
    ${EndIf}
    StrCpy $R8 "/ELEVATED /S"
    ${If} $Restore = 1
      StrCpy $R8 "$R8 /RESTORE"
    ${EndIf}
    StrCpy $R8 "$R8 _?=$INSTDIR"
    Call un.RunElevated
    ${If} $R9 = 0
      DetailPrint "Uninstalled with administrator rights."
      Return
    ${ElseIf} $R9 = ${EXIT_IN_USE}
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${ElseIf} $R9 = -1
      ${FailWith} ${EXIT_NO_RIGHTS} "The uninstaller needs administrator rights, and Windows did not give them. Nothing has been changed."
    ${Else}
      ${FailWith} $R9 "The uninstaller with administrator rights ended with status $R9."
    ${EndIf}
  ${EndIf}
  ${If} $AllUsers = 1
    SetShellVarContext all
  ${EndIf}

  ${If} $Plugins != ""
  ${AndIf} ${FileExists} "$Plugins\${ENGINE}"
    StrCpy $R8 "$Plugins\${ENGINE}"
    Call un.InUse
    ${If} $R9 = 1
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${EndIf}
  ${EndIf}
  ${If} $Plugins != ""
  ${AndIf} ${FileExists} "$Plugins\Stats.dll"
    StrCpy $R8 "$Plugins\Stats.dll"
    Call un.InUse
    ${If} $R9 = 1
      ${FailWith} ${EXIT_IN_USE} "${IN_USE_TEXT}"
    ${EndIf}
    ; Only the Stats.dll this setup put there; one copied in since stays.
    ReadINIStr $R2 "$INSTDIR\${RECORD}" "Install" "Version"
    ClearErrors
    GetDLLVersion "$Plugins\Stats.dll" $R0 $R1
    ${If} ${Errors}
    ${OrIf} "$R0.$R1" != $R2
      DetailPrint "$Plugins\Stats.dll is not the one this setup installed: left alone."
    ${Else}
      Delete "$Plugins\Stats.dll"
    ${EndIf}
  ${EndIf}
  ; The engine serves only the Stats.dll it is a copy of: one left or put back
  ; works alone without it.
  ${If} $Plugins != ""
    Delete "$Plugins\${ENGINE}"
    RMDir "$Plugins\${ENGINE_DIR}"
  ${EndIf}
  ${If} $Restore = 1
  ${AndIf} $Plugins != ""
  ${AndIf} ${FileExists} "$Plugins\Stats.dll.bak"
  ${AndIfNot} ${FileExists} "$Plugins\Stats.dll"
    Rename "$Plugins\Stats.dll.bak" "$Plugins\Stats.dll"
    DetailPrint "The earlier Stats.dll is back in $Plugins"
  ${EndIf}

  !insertmacro ProgramFolderFiles RemoveFile
  Delete "$INSTDIR\${ENGINE}"
  RMDir "$INSTDIR\${ENGINE_DIR}"
  Delete "$INSTDIR\${RECORD}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\${PRODUCT}\Guide.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Replay a log.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\Uninstall.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  DeleteRegKey SHCTX "${ARP_KEY}"
  DeleteRegKey HKCU "${SETTINGS_KEY}"
SectionEnd
