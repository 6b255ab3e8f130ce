; The preset library, installed and removed without ever losing a file a user saved.
;
; The manifest (MANIFEST, made by scripts/preset-manifest) lists every version of each preset
; file a release shipped, by SHA-256, as an INI file: a section per library path
; ("Factory/<name>.kestrumpreset"), a key per hash. A library file is replaced or removed only
; when its hash is listed there or in the manifest an earlier installation left in the
; library. A factory file holding anything else is the user's: it stays, and the new factory
; version goes beside it as "<name> (factory VERSION).kestrumpreset". A missing or damaged
; manifest in the library lists nothing, so nothing is taken for ours on its word.

!define MANIFEST_NAME "kestrum-presets.manifest"

!macro DefinePresetFunctions UN
  ; $R9 := the lowercase hexadecimal SHA-256 of the file $R8, or "unreadable".
  Function ${UN}HashFile
    Push $0
    Push $1
    Push $2
    Push $3
    Push $4
    Push $5
    Push $6
    Push $7
    StrCpy $R9 "unreadable"
    System::Call 'kernel32::CreateFileW(w R8, i 0x80000000, i 1, p 0, i 3, i 0x80, p 0) p .r0'
    ${If} $0 P<> -1
      System::Call 'kernel32::GetFileSize(p r0, p 0) i .r1'
      ; Presets are a few hundred bytes; anything large is not one of ours.
      ${If} $1 U< 1048576
        IntOp $2 $1 + 1
        System::Alloc $2
        Pop $2
        System::Call 'kernel32::ReadFile(p r0, p r2, i r1, *i 0 r3, p 0) i .r4'
        ${If} $4 <> 0
        ${AndIf} $3 = $1
          System::Call 'advapi32::CryptAcquireContextW(*p 0 r5, p 0, p 0, i 24, i 0xF0000000) i .r4'
          ${If} $4 <> 0
            System::Call 'advapi32::CryptCreateHash(p r5, i 0x800C, p 0, i 0, *p 0 r6) i .r4'
            ${If} $4 <> 0
              System::Call 'advapi32::CryptHashData(p r6, p r2, i r3, i 0) i .r4'
              System::Alloc 32
              Pop $7
              System::Call 'advapi32::CryptGetHashParam(p r6, i 2, p r7, *i 32, i 0) i .r4'
              ${If} $4 <> 0
                StrCpy $R9 ""
                StrCpy $3 0
                ${DoWhile} $3 < 32
                  IntOp $4 $7 + $3
                  System::Call '*$4(&i1 .r4)'
                  IntOp $4 $4 & 0xFF
                  IntFmt $4 "%02x" $4
                  StrCpy $R9 "$R9$4"
                  IntOp $3 $3 + 1
                ${Loop}
              ${EndIf}
              System::Free $7
              System::Call 'advapi32::CryptDestroyHash(p r6)'
            ${EndIf}
            System::Call 'advapi32::CryptReleaseContext(p r5, i 0)'
          ${EndIf}
        ${EndIf}
        System::Free $2
      ${EndIf}
      System::Call 'kernel32::CloseHandle(p r0)'
    ${EndIf}
    Pop $7
    Pop $6
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Pop $0
  FunctionEnd

  ; $R9 := 1 when the file $R8 holds a version of the library path $R7 a release shipped, else 0.
  Function ${UN}IsShipped
    Push $0
    Call ${UN}HashFile
    ReadINIStr $0 "$PLUGINSDIR\${MANIFEST_NAME}" "$R7" "$R9"
    ${If} $0 == ""
      ReadINIStr $0 "${LIBRARY_FOLDER}\${MANIFEST_NAME}" "$R7" "$R9"
    ${EndIf}
    ${If} $0 == ""
      StrCpy $R9 0
    ${Else}
      StrCpy $R9 1
    ${EndIf}
    Pop $0
  FunctionEnd

!macroend
!insertmacro DefinePresetFunctions ""
!insertmacro DefinePresetFunctions "un."

; Copies the file $R0 over $R1; sets the error flag when it cannot.
Function PutFile
  Push $0
  System::Call 'kernel32::CopyFileW(w R0, w R1, i 0) i .r0'
  ${If} $0 = 0
    DetailPrint "Could not write $R1"
    SetErrors
  ${EndIf}
  Pop $0
FunctionEnd

; Installs the factory files and the user slots unpacked under $PLUGINSDIR\presets.
Function InstallPresetLibrary
  CreateDirectory "${LIBRARY_FOLDER}\Factory"
  CreateDirectory "${LIBRARY_FOLDER}\User"
  StrCpy $R5 0 ; factory files kept as the user's
  FindFirst $R3 $R4 "$PLUGINSDIR\presets\Factory\*.kestrumpreset"
  ${DoWhile} $R4 != ""
    StrCpy $R0 "$PLUGINSDIR\presets\Factory\$R4"
    StrCpy $R1 "${LIBRARY_FOLDER}\Factory\$R4"
    StrCpy $R7 "Factory/$R4"
    ${IfNot} ${FileExists} "$R1"
      Call PutFile
    ${Else}
      StrCpy $R8 "$R1"
      Call IsShipped
      ${If} $R9 = 1
        Call PutFile
      ${Else}
        ; The user's own file under a factory name: the factory version goes beside it,
        ; unless a copy the user changed already stands there.
        StrCpy $R2 $R4 -14
        StrCpy $R1 "${LIBRARY_FOLDER}\Factory\$R2 (factory ${VERSION}).kestrumpreset"
        StrCpy $R8 "$R1"
        Call IsShipped
        ${IfNot} ${FileExists} "$R1"
        ${OrIf} $R9 = 1
          Call PutFile
        ${EndIf}
        DetailPrint "Kept your $R4; the factory version is beside it as $R2 (factory ${VERSION})"
        IntOp $R5 $R5 + 1
      ${EndIf}
    ${EndIf}
    FindNext $R3 $R4
  ${Loop}
  FindClose $R3
  ; A user slot holds what the user saved into it: it is replaced only while it is as shipped.
  FindFirst $R3 $R4 "$PLUGINSDIR\presets\User\*.kestrumpreset"
  ${DoWhile} $R4 != ""
    StrCpy $R0 "$PLUGINSDIR\presets\User\$R4"
    StrCpy $R1 "${LIBRARY_FOLDER}\User\$R4"
    StrCpy $R7 "User/$R4"
    StrCpy $R8 "$R1"
    ${IfNot} ${FileExists} "$R1"
      Call PutFile
    ${Else}
      Call IsShipped
      ${If} $R9 = 1
        Call PutFile
      ${EndIf}
    ${EndIf}
    FindNext $R3 $R4
  ${Loop}
  FindClose $R3
  StrCpy $R0 "$PLUGINSDIR\${MANIFEST_NAME}"
  StrCpy $R1 "${LIBRARY_FOLDER}\${MANIFEST_NAME}"
  Call PutFile
  ${If} $R5 > 0
    DetailPrint "$R5 factory preset(s) you saved over were kept"
  ${EndIf}
FunctionEnd

; $R7 := the library path the file name $R4 in SUB stands for: a factory copy installed
; beside a user's file, "<name> (factory x.y.z).kestrumpreset", stands for "<name>.kestrumpreset".
!macro ShippedPathOf SUB
  StrCpy $R7 "${SUB}/$R4"
  StrLen $0 $R4
  StrCpy $1 $0
  ${DoWhile} $1 > 10
    IntOp $1 $1 - 1
    StrCpy $2 $R4 10 $1
    ${If} $2 == " (factory "
      StrCpy $2 $R4 "" $1
      StrCpy $3 $2 "" -15
      ${If} $3 == ").kestrumpreset"
        StrCpy $2 $R4 $1
        StrCpy $R7 "${SUB}/$2.kestrumpreset"
      ${EndIf}
      ${Break}
    ${EndIf}
  ${Loop}
!macroend

!macro RemoveShippedPresetsIn SUB
  FindFirst $R3 $R4 "${LIBRARY_FOLDER}\${SUB}\*.kestrumpreset"
  ${DoWhile} $R4 != ""
    !insertmacro ShippedPathOf "${SUB}"
    StrCpy $R8 "${LIBRARY_FOLDER}\${SUB}\$R4"
    Call un.IsShipped
    ${If} $R9 = 1
      Delete "$R8"
    ${EndIf}
    FindNext $R3 $R4
  ${Loop}
  FindClose $R3
  RMDir "${LIBRARY_FOLDER}\${SUB}"
!macroend

; Removes the library files that still hold a version a release shipped. A changed user slot,
; a factory file the user saved over, and every file the user added stay.
Function un.RemoveShippedPresets
  SetOutPath "$PLUGINSDIR"
  File "/oname=$PLUGINSDIR\${MANIFEST_NAME}" "${MANIFEST}"
  DetailPrint "Removing unchanged presets from ${LIBRARY_FOLDER}"
  !insertmacro RemoveShippedPresetsIn "Factory"
  !insertmacro RemoveShippedPresetsIn "User"
  Delete "${LIBRARY_FOLDER}\${MANIFEST_NAME}"
  RMDir "${LIBRARY_FOLDER}"
  RMDir "$DOCUMENTS\${VENDOR}\${PRODUCT}"
  RMDir "$DOCUMENTS\${VENDOR}"
FunctionEnd
