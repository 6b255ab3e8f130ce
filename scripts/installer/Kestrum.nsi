; The Kestrum installer: the VST3 bundle, the VST2 module and the preset library, and an
; uninstaller registered with Windows. scripts/installer/build-installer compiles it with
; these defines: VERSION (x.y.z), PRODUCT, VENDOR (the vendor's folder name),
; DIST (the Windows products in the dist/windows layout), PRESETS (the preset library to
; ship: Factory/ and User/) and OUTFILE.
;
; Command line, besides the standard /S for a silent run:
;   /NOVST3 /NOVST2 /NOPRESETS   leave that component out
;   /D=FOLDER                    the VST2 plug-in folder (NSIS wants it last, unquoted)
; The uninstaller takes /S as well; add _?=<its folder> to make the caller wait for it.
; Exit status 0 when done, 2 when aborted. An abort happens before anything is written or
; removed, and says why on standard error and, in an interactive run, in a message box.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include Sections.nsh
!include FileFunc.nsh

!define PUBLISHER "Quorvex Audio"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define APP_FOLDER "$PROGRAMFILES64\${VENDOR}\${PRODUCT}"
; The folder the plug-in reads its presets from. Under SetShellVarContext all (see the
; init functions) $DOCUMENTS is the documents folder shared by all users.
!define LIBRARY_FOLDER "$DOCUMENTS\${VENDOR}\${PRODUCT}\Presets"

; The modules, one line each: id (also the /NO<id> switch and the registry value
; <id>Folder that remembers where it went), title, destination folder, what DIST holds (a
; file, or a bundle folder), and the loadable binary under the destination folder, which a
; running host keeps open. In the installer $INSTDIR is the VST2 folder the user chose.
!macro ForEachModule DO
  !insertmacro ${DO} VST3 "VST3 plug-in" "$COMMONFILES64\VST3" "${PRODUCT}.vst3" "${PRODUCT}.vst3\Contents\x86_64-win\${PRODUCT}.vst3"
  !insertmacro ${DO} VST2 "VST2 plug-in" "$INSTDIR" "${PRODUCT}.dll" "${PRODUCT}.dll"
!macroend

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "${PUBLISHER} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${PUBLISHER}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${PUBLISHER}"

; --- Pages -------------------------------------------------------------------------------
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "The VST3 plug-in goes into Common Files\VST3, the presets into Public Documents\${VENDOR}\${PRODUCT}\Presets. User slots you have changed and presets you saved are kept; the factory presets are brought up to date."
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2FolderPageWhenUnused
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs the VST2 plug-in ${PRODUCT}.dll into the folder below. Choose the folder your audio application scans for VST2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST2 plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- Checks shared by installer and uninstaller --------------------------------------------
!macro DefineChecks UN
  ; Stops the run with a message: on standard error (scripted runs), in the log and in a
  ; message box (interactive runs). Argument on the stack.
  Function ${UN}Fail
    Exch $0
    DetailPrint "$0"
    System::Call 'kernel32::GetStdHandle(i -12) p.r1'
    ${If} $1 P<> 0
      FileWrite $1 "${PRODUCT} setup: $0$\r$\n"
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
    SetErrorLevel 2
    Abort
  FunctionEnd

  ; A module a running program has loaded cannot be replaced or removed: Windows refuses
  ; to open it for writing. Offers Retry in interactive runs. Argument: the file.
  Function ${UN}CheckNotInUse
    Exch $0
    Push $1
    retry:
    ${If} ${FileExists} "$0"
      ClearErrors
      FileOpen $1 "$0" a
      ${If} ${Errors}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$0 is in use.$\r$\nClose every program that has ${PRODUCT} loaded (your audio application), then choose Retry." /SD IDCANCEL IDRETRY retry
        Push "nothing was changed: $0 is in use by a running program; close it and run this again"
        Call ${UN}Fail
      ${EndIf}
      FileClose $1
    ${EndIf}
    Pop $1
    Pop $0
  FunctionEnd
!macroend
!insertmacro DefineChecks ""
!insertmacro DefineChecks "un."

; A folder that cannot take a new file (read-only, a missing drive, no rights). Argument:
; the folder; it is created if missing.
Function CheckWritable
  Exch $0
  Push $1
  ClearErrors
  CreateDirectory "$0"
  FileOpen $1 "$0\${PRODUCT}-setup.probe" w
  ${If} ${Errors}
    Push "nothing was installed: the folder $0 cannot be written (read-only, missing drive or no rights)"
    Call Fail
  ${EndIf}
  FileClose $1
  Delete "$0\${PRODUCT}-setup.probe"
  Pop $1
  Pop $0
FunctionEnd

!macro RemoveModuleFrom FOLDER ITEM BINARY
  !if "${ITEM}" == "${BINARY}"
    Delete "${FOLDER}\${ITEM}"
  !else
    RMDir /r "${FOLDER}\${ITEM}"
  !endif
  RMDir "${FOLDER}"
!macroend

; --- Installer -----------------------------------------------------------------------------
Section "-Preflight"
  Call Preflight
SectionEnd

!macro ModuleSection ID TITLE FOLDER ITEM BINARY
  !if /FileExists "${DIST}/${ITEM}"
    !define HAVE_${ID}
    Section "${TITLE}" Sec${ID}
      DetailPrint "${TITLE}: ${FOLDER}\${ITEM}"
      !if "${ITEM}" == "${BINARY}"
        SetOutPath "${FOLDER}"
        File "${DIST}/${ITEM}"
      !else
        ; A bundle is replaced as a whole, so no file of an older version stays in it.
        RMDir /r "${FOLDER}\${ITEM}"
        SetOutPath "${FOLDER}\${ITEM}"
        File /r "${DIST}/${ITEM}/*"
      !endif
      ; Moved to another folder since the last installation: hosts must not find two.
      ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${ID}Folder"
      ${If} $0 != ""
      ${AndIf} $0 != "${FOLDER}"
        !insertmacro RemoveModuleFrom "$0" "${ITEM}" "${BINARY}"
      ${EndIf}
      WriteRegStr HKLM "${UNINSTALL_KEY}" "${ID}Folder" "${FOLDER}"
    SectionEnd
  !else
    !warning "${DIST}/${ITEM} is not built: the installer leaves out the ${TITLE}"
  !endif
!macroend
!insertmacro ForEachModule ModuleSection

!if /FileExists "${PRESETS}/Factory"
  !define HAVE_PRESETS
  Section "Presets (factory set and user slots)" SecPRESETS
    DetailPrint "Presets: ${LIBRARY_FOLDER}"
    SetOutPath "${LIBRARY_FOLDER}\Factory"
    File "${PRESETS}/Factory/*.kestrumpreset"
    ; A user slot holds what the user saved into it: only missing slots are installed.
    SetOutPath "${LIBRARY_FOLDER}\User"
    SetOverwrite off
    File "${PRESETS}/User/*.kestrumpreset"
    SetOverwrite on
    ; Every user of the computer saves into the user slots, but what an elevated installer
    ; writes belongs to the administrators: the Users group may change them.
    nsExec::Exec '"$SYSDIR\icacls.exe" "${LIBRARY_FOLDER}\User" /grant *S-1-5-32-545:(OI)(CI)M /T /Q'
    Pop $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PresetsFolder" "${LIBRARY_FOLDER}"
  SectionEnd
!else
  !warning "${PRESETS}/Factory does not exist: the installer leaves out the presets"
!endif

Section "-Register"
  SetOutPath "${APP_FOLDER}"
  WriteUninstaller "${APP_FOLDER}\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${APP_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${APP_FOLDER}\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${APP_FOLDER}\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

!macro PreflightModule ID TITLE FOLDER ITEM BINARY
  !ifdef HAVE_${ID}
    ${If} ${SectionIsSelected} ${Sec${ID}}
      Push "${FOLDER}"
      Call CheckWritable
      Push "${FOLDER}\${BINARY}"
      Call CheckNotInUse
      ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${ID}Folder"
      ${If} $0 != ""
        Push "$0\${BINARY}"
        Call CheckNotInUse
      ${EndIf}
    ${EndIf}
  !endif
!macroend

; Everything that could stop the installation is checked before the first file is written.
Function Preflight
  !insertmacro ForEachModule PreflightModule
  !ifdef HAVE_PRESETS
    ${If} ${SectionIsSelected} ${SecPRESETS}
      Push "${LIBRARY_FOLDER}\Factory"
      Call CheckWritable
      Push "${LIBRARY_FOLDER}\User"
      Call CheckWritable
    ${EndIf}
  !endif
  Push "${APP_FOLDER}"
  Call CheckWritable
FunctionEnd

!macro ApplySwitch ID TITLE FOLDER ITEM BINARY
  !ifdef HAVE_${ID}
    ClearErrors
    ${GetOptions} $R0 "/NO${ID}" $R1
    ${IfNot} ${Errors}
      !insertmacro UnselectSection ${Sec${ID}}
    ${EndIf}
  !endif
!macroend

Function .onInit
  SetShellVarContext all
  SetRegView 64
  ${GetParameters} $R0
  !insertmacro ForEachModule ApplySwitch
  !ifdef HAVE_PRESETS
    ClearErrors
    ${GetOptions} $R0 "/NOPRESETS" $R1
    ${IfNot} ${Errors}
      !insertmacro UnselectSection ${SecPRESETS}
    ${EndIf}
  !endif
  ; NSIS drops a /D= folder it finds unusable (a missing drive, a file in the way) and would
  ; quietly install somewhere else; a scripted install stops instead.
  ${If} $INSTDIR == ""
    Call FolderRequestedOnCommandLine
    ${If} $R1 != ""
      Push "nothing was installed: the VST2 folder $R1 given with /D= cannot be used (missing drive, or a file in the way)"
      Call Fail
    ${EndIf}
  ${EndIf}
  ; The VST2 folder: /D=, else the folder of the last installation, else the folder hosts
  ; announce for VST2 plug-ins, else Common Files\VST2.
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "VST2Folder"
  ${EndIf}
  ${If} $INSTDIR == ""
    ReadRegStr $INSTDIR HKLM "Software\VST" "VSTPluginsPath"
  ${EndIf}
  ${If} $INSTDIR == ""
    StrCpy $INSTDIR "$COMMONFILES64\VST2"
  ${EndIf}
FunctionEnd

; $R1 := the folder after /D= on the raw command line (NSIS hides it from $CMDLINE), or "".
Function FolderRequestedOnCommandLine
  System::Call 'kernel32::GetCommandLine() t .R0'
  StrLen $R2 $R0
  StrCpy $R3 0
  StrCpy $R1 ""
  ${DoWhile} $R3 < $R2
    StrCpy $R4 $R0 4 $R3
    ${If} $R4 S== " /D="
      IntOp $R3 $R3 + 4
      StrCpy $R1 $R0 "" $R3
      ${Break}
    ${EndIf}
    IntOp $R3 $R3 + 1
  ${Loop}
FunctionEnd

Function SkipVst2FolderPageWhenUnused
  !ifdef HAVE_VST2
    ${IfNot} ${SectionIsSelected} ${SecVST2}
      Abort
    ${EndIf}
  !else
    Abort
  !endif
FunctionEnd

; --- Uninstaller ---------------------------------------------------------------------------
!macro UninstallPreflightModule ID TITLE FOLDER ITEM BINARY
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${ID}Folder"
  ${If} $0 != ""
    Push "$0\${BINARY}"
    Call un.CheckNotInUse
  ${EndIf}
!macroend

!macro UninstallModule ID TITLE FOLDER ITEM BINARY
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "${ID}Folder"
  ${If} $0 != ""
    DetailPrint "Removing ${TITLE}: $0\${ITEM}"
    !insertmacro RemoveModuleFrom "$0" "${ITEM}" "${BINARY}"
  ${EndIf}
!macroend

Section "Uninstall"
  !insertmacro ForEachModule UninstallPreflightModule
  !insertmacro ForEachModule UninstallModule
  !ifdef HAVE_PRESETS
    Call un.RemoveShippedPresets
  !endif
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${VENDOR}"
SectionEnd

!ifdef HAVE_PRESETS
!macro RemoveShippedPresetsIn SUB
  FindFirst $R7 $R8 "$PLUGINSDIR\shipped\${SUB}\*.kestrumpreset"
  ${DoWhile} $R8 != ""
    StrCpy $R0 "$PLUGINSDIR\shipped\${SUB}\$R8"
    StrCpy $R1 "${LIBRARY_FOLDER}\${SUB}\$R8"
    Call un.SameContent
    ${If} $R2 == 1
      Delete "$R1"
    ${EndIf}
    FindNext $R7 $R8
  ${Loop}
  FindClose $R7
  RMDir "${LIBRARY_FOLDER}\${SUB}"
!macroend

; $R2 := 1 when the files $R0 and $R1 hold the same bytes, else 0.
Function un.SameContent
  StrCpy $R2 0
  ClearErrors
  FileOpen $R3 "$R0" r
  IfErrors done
  FileOpen $R4 "$R1" r
  IfErrors closeFirst
  FileSeek $R3 0 END $R5
  FileSeek $R4 0 END $R6
  StrCmp $R5 $R6 0 closeBoth
  FileSeek $R3 0 SET
  FileSeek $R4 0 SET
  compare:
    ClearErrors
    FileReadByte $R3 $R5
    IfErrors same
    FileReadByte $R4 $R6
    StrCmp $R5 $R6 compare closeBoth
  same:
  StrCpy $R2 1
  closeBoth:
  FileClose $R4
  closeFirst:
  FileClose $R3
  done:
FunctionEnd

; Removes the library files that still hold exactly what this installer shipped. A changed
; user slot, a factory file the user saved over, and every file the user added stay.
Function un.RemoveShippedPresets
  SetOutPath "$PLUGINSDIR\shipped\Factory"
  File "${PRESETS}/Factory/*.kestrumpreset"
  SetOutPath "$PLUGINSDIR\shipped\User"
  File "${PRESETS}/User/*.kestrumpreset"
  SetOutPath "$PLUGINSDIR"
  DetailPrint "Removing unchanged presets from ${LIBRARY_FOLDER}"
  !insertmacro RemoveShippedPresetsIn "Factory"
  !insertmacro RemoveShippedPresetsIn "User"
  RMDir "${LIBRARY_FOLDER}"
  RMDir "$DOCUMENTS\${VENDOR}\${PRODUCT}"
  RMDir "$DOCUMENTS\${VENDOR}"
FunctionEnd
!endif


Function un.onInit
  SetShellVarContext all
  SetRegView 64
  InitPluginsDir
FunctionEnd
