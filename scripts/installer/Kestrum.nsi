; The Kestrum installer: the VST3 bundle, the VST2 module, the preset library, the offline
; renderer, the user guide and the licences, and an uninstaller registered with Windows.
; scripts/installer/build-installer compiles it with these defines: VERSION (x.y.z), PRODUCT,
; VENDOR (the vendor as the product's identity spells it), COPYRIGHT, URL, DIST (the Windows
; products in the dist/windows layout), PRESETS (the preset library to ship: Factory/ and
; User/), MANIFEST (the preset manifest, see scripts/preset-manifest), LICENCE (the text of the
; licence page), ART (icon and pictures) and OUTFILE.
;
; Command line, besides the standard /S for a silent run:
;   /NOVST3 /NOVST2 /NOPRESETS /NORENDER   leave that component out
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

!define PRODUCT_LOWER "kestrum"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define APP_FOLDER "$PROGRAMFILES64\${VENDOR}\${PRODUCT}"
; The folder the plug-in reads its presets from. Under SetShellVarContext all (see the
; init functions) $DOCUMENTS is the documents folder shared by all users.
!define LIBRARY_FOLDER "$DOCUMENTS\${VENDOR}\${PRODUCT}\Presets"
!include "${__FILEDIR__}\Presets.nsh"

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
BrandingText "${VENDOR} ${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "${PRODUCT}"
VIAddVersionKey "CompanyName" "${VENDOR}"
VIAddVersionKey "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "${COPYRIGHT}"

; --- Pages -------------------------------------------------------------------------------
!define MUI_ICON "${ART}/Kestrum.ico"
!define MUI_UNICON "${ART}/Kestrum.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${ART}/wizard.bmp"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${ART}/wizard.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "${ART}/header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "${ART}/header.bmp"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_NOAUTOCLOSE
!define PRESETS_KEPT "Presets you saved are never lost: a factory preset you saved over stays as it is, and the new factory version is installed beside it as $\"<name> (factory ${VERSION})$\"."

!define MUI_WELCOMEPAGE_TEXT "Setup installs ${PRODUCT} ${VERSION}, a hybrid snare-drum synthesiser, as a VST3 and a VST2 instrument plug-in, with its preset library, the user guide and an offline renderer.$\r$\n$\r$\nClose your audio applications before you continue.$\r$\n$\r$\n${COPYRIGHT}"
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_TOP "${PRODUCT} is free software under the GNU General Public License; the licences of the libraries it contains follow it."
!define MUI_LICENSEPAGE_BUTTON "&Next >"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "You may use ${PRODUCT} without accepting anything; the licence sets the terms for copying and changing it. Choose Next to continue."
!insertmacro MUI_PAGE_LICENSE "${LICENCE}"
!define MUI_COMPONENTSPAGE_TEXT_TOP "Choose what to install; point at a component to read where it goes. Presets you saved are never lost."
!insertmacro MUI_PAGE_COMPONENTS
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipVst2FolderPageWhenUnused
!define MUI_PAGE_HEADER_TEXT "VST2 plug-in folder"
!define MUI_PAGE_HEADER_SUBTEXT "Choose the folder your audio application scans for VST2 plug-ins."
!define MUI_DIRECTORYPAGE_TEXT_TOP "Setup installs the VST2 plug-in ${PRODUCT}.dll into the folder below. Choose the folder your audio application scans for VST2 plug-ins; the VST3 plug-in always goes into Common Files\VST3."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "VST2 plug-in folder"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} ${VERSION} is installed. Let your audio application rescan its plug-ins: ${PRODUCT} appears as an instrument by ${VENDOR}."
!define MUI_FINISHPAGE_SHOWREADME "${APP_FOLDER}\guide.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the user guide"
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${PRODUCT} will be removed from your computer: the plug-ins, the renderer, the guide and every preset file that is still as it was installed. Presets you saved and user slots you changed are kept in Public Documents\${VENDOR}\${PRODUCT}\Presets."
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
    SetOutPath "$PLUGINSDIR\presets\Factory"
    File "${PRESETS}/Factory/*.kestrumpreset"
    SetOutPath "$PLUGINSDIR\presets\User"
    File "${PRESETS}/User/*.kestrumpreset"
    File "/oname=$PLUGINSDIR\${MANIFEST_NAME}" "${MANIFEST}"
    SetOutPath "$PLUGINSDIR"
    Call InstallPresetLibrary
    ; Every user of the computer saves into the user slots, but what an elevated installer
    ; writes belongs to the administrators: the Users group may change them.
    nsExec::Exec '"$SYSDIR\icacls.exe" "${LIBRARY_FOLDER}\User" /grant *S-1-5-32-545:(OI)(CI)M /T /Q'
    Pop $0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "PresetsFolder" "${LIBRARY_FOLDER}"
  SectionEnd
!else
  !warning "${PRESETS}/Factory does not exist: the installer leaves out the presets"
!endif

!if /FileExists "${DIST}/bin/${PRODUCT_LOWER}-render.exe"
  !define HAVE_RENDER
  Section "Offline renderer (${PRODUCT_LOWER}-render.exe)" SecRENDER
    SetOutPath "${APP_FOLDER}"
    File "${DIST}/bin/${PRODUCT_LOWER}-render.exe"
  SectionEnd
!endif

Section "-Register"
  SetOutPath "${APP_FOLDER}"
  ; The guide and the licences always come along: the finish page and the Apps list link them.
  File /nonfatal "${DIST}/doc/guide.html"
  File "${DIST}/doc/LICENSE.txt"
  File "${DIST}/doc/third-party-licences.md"
  File "${DIST}/doc/CHANGELOG.md"
  File "/oname=${PRODUCT}.ico" "${ART}/Kestrum.ico"
  WriteUninstaller "${APP_FOLDER}\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${APP_FOLDER}\${PRODUCT}.ico"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${VENDOR}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Comments" "Hybrid snare-drum synthesiser (VST3 and VST2 instrument). The user guide is in the program folder."
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "${URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "${URL}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Readme" "${APP_FOLDER}\guide.html"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "${APP_FOLDER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"${APP_FOLDER}\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"${APP_FOLDER}\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  Call WriteEstimatedSize
SectionEnd

; The size the Apps list shows, in KiB: what this installation put into each folder.
!macro AddModuleSize ID TITLE FOLDER ITEM BINARY
  !ifdef HAVE_${ID}
    ${If} ${SectionIsSelected} ${Sec${ID}}
      !if "${ITEM}" == "${BINARY}"
        ${GetSize} "${FOLDER}" "/M=${ITEM} /S=0K /G=0" $0 $1 $2
      !else
        ${GetSize} "${FOLDER}\${ITEM}" "/S=0K" $0 $1 $2
      !endif
      IntOp $R0 $R0 + $0
    ${EndIf}
  !endif
!macroend
Function WriteEstimatedSize
  ${GetSize} "${APP_FOLDER}" "/S=0K" $R0 $1 $2
  !insertmacro ForEachModule AddModuleSize
  !ifdef HAVE_PRESETS
    ${If} ${SectionIsSelected} ${SecPRESETS}
      ${GetSize} "${LIBRARY_FOLDER}" "/S=0K" $0 $1 $2
      IntOp $R0 $R0 + $0
    ${EndIf}
  !endif
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R0
FunctionEnd

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
  InitPluginsDir
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
  !ifdef HAVE_RENDER
    ClearErrors
    ${GetOptions} $R0 "/NORENDER" $R1
    ${IfNot} ${Errors}
      !insertmacro UnselectSection ${SecRENDER}
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

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
  !ifdef HAVE_VST3
    !insertmacro MUI_DESCRIPTION_TEXT ${SecVST3} "${PRODUCT}.vst3 into Common Files\VST3, where every VST3 host looks."
  !endif
  !ifdef HAVE_VST2
    !insertmacro MUI_DESCRIPTION_TEXT ${SecVST2} "${PRODUCT}.dll into the VST2 plug-in folder you choose on the next page."
  !endif
  !ifdef HAVE_PRESETS
    !insertmacro MUI_DESCRIPTION_TEXT ${SecPRESETS} "The factory set and 100 user slots, in Public Documents\${VENDOR}\${PRODUCT}\Presets. ${PRESETS_KEPT}"
  !endif
  !ifdef HAVE_RENDER
    !insertmacro MUI_DESCRIPTION_TEXT ${SecRENDER} "${PRODUCT_LOWER}-render.exe, which renders ${PRODUCT} into WAV files from the command line, into Program Files\${VENDOR}\${PRODUCT} beside the user guide."
  !endif
!insertmacro MUI_FUNCTION_DESCRIPTION_END

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
  Delete "$INSTDIR\${PRODUCT_LOWER}-render.exe"
  Delete "$INSTDIR\guide.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\third-party-licences.md"
  Delete "$INSTDIR\CHANGELOG.md"
  Delete "$INSTDIR\${PRODUCT}.ico"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  RMDir "$PROGRAMFILES64\${VENDOR}"
SectionEnd

Function un.onInit
  SetShellVarContext all
  SetRegView 64
  InitPluginsDir
FunctionEnd
