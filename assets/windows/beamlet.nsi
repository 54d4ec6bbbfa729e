; The installer of Orvane Beamlet for Windows, made by the target `installer`
; (cmake/WindowsPackageBuild.cmake), which gives makensis:
;   VERSION  the program's version, from project() in CMakeLists.txt
;   LISTS    the folder with install.nsh and uninstall.nsh, the files it installs
;            and removes, one by one
;   ICON     the program's icon
;   OUTFILE  the installer to write
;
; It installs for the user who runs it, without an administrator's rights, into
; the user's own Programs folder (%LOCALAPPDATA%\Programs), where the program
; counts itself installed and keeps its chime in %LOCALAPPDATA%\Orvane\beamlet.
; Run elevated, it still installs for that one account: there is no per-machine
; install. The uninstaller takes away the files, the Start menu entry, the entry
; in the list of installed programs and the chime the program left.

Unicode true
; The 64-bit stubs: the program is 64-bit, and a 64-bit-only Windows (or Wine)
; starts no 32-bit installer.
Target amd64-unicode
SetCompressor /SOLID /FINAL lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Orvane Beamlet"
!define PUBLISHER "Orvane"
; The name Windows lists the program under in Settings > Apps.
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Orvane.Beamlet"
; FOLDERID_UserProgramFiles: the user's own Programs folder.
!define USER_PROGRAMS {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}
; Where the program keeps its chime when installed (its organisation and name).
!define DATA_FOLDER "$LOCALAPPDATA\Orvane\beamlet"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "${PRODUCT} ${VERSION}"
; Installed before: the same folder again.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "MIT License"

!include LogicLib.nsh
!include FileFunc.nsh
!include MUI2.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\beamlet.exe"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The user's own Programs folder: %LOCALAPPDATA%\Programs unless moved (Wine
; names no such known folder; the program then takes the same default).
!macro GetUserPrograms var
  GetKnownFolderPath ${var} ${USER_PROGRAMS}
  ${If} ${var} == ""
    StrCpy ${var} "$LOCALAPPDATA\Programs"
  ${EndIf}
!macroend

Function .onInit
  ${If} $INSTDIR == ""
    !insertmacro GetUserPrograms $INSTDIR
    StrCpy $INSTDIR "$INSTDIR\${PRODUCT}"
  ${EndIf}
FunctionEnd

; Windows replaces and deletes no program that runs: a running beamlet.exe (or a
; beamlet.com writing codes) would leave half an install or half an uninstall.
; Asks the user to close it, and stops when they do not (or in a silent run).
!macro SetIfRunning file
  ${If} ${FileExists} "${file}"
    ClearErrors
    FileOpen $0 "${file}" a
    ${If} ${Errors}
      StrCpy $1 1
    ${Else}
      FileClose $0
    ${EndIf}
  ${EndIf}
!macroend
!macro WaitUntilClosed un
  Function ${un}WaitUntilClosed
    again:
    StrCpy $1 0
    !insertmacro SetIfRunning "$INSTDIR\beamlet.exe"
    !insertmacro SetIfRunning "$INSTDIR\beamlet.com"
    ${If} $1 == 1
      MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then choose Retry." \
        /SD IDCANCEL IDRETRY again
      Abort "${PRODUCT} is running."
    ${EndIf}
  FunctionEnd
!macroend
!insertmacro WaitUntilClosed ""
!insertmacro WaitUntilClosed "un."

Section
  SetShellVarContext current
  Call WaitUntilClosed
  !include "${LISTS}/install.nsh"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\beamlet.exe" "" "$INSTDIR\beamlet.exe" 0 SW_SHOWNORMAL "" \
    "Type text and get picture-letter chat codes"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\beamlet.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  SectionGetSize 0 $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Call un.WaitUntilClosed
  !include "${LISTS}/uninstall.nsh"
  ; Beside the program when its folder is not one Windows installs programs in
  ; (another folder chosen), with the file the program writes it through.
  Delete "$INSTDIR\tone.wav"
  Delete "$INSTDIR\.tone-*.wav"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  ; The program's own folder; the organisation's only when nothing else is in it.
  RMDir /r "${DATA_FOLDER}"
  RMDir "$LOCALAPPDATA\Orvane"
  ; What the install made where there was nothing: the user's Programs folder and
  ; list of installed programs, when nothing else is in them (Windows makes them
  ; again as needed).
  !insertmacro GetUserPrograms $0
  RMDir "$0"
  DeleteRegKey /ifempty HKCU "Software\Microsoft\Windows\CurrentVersion\Uninstall"
SectionEnd

; The uninstaller runs from a copy of itself in a folder of the user's temporary
; folder (%TEMP%\~nsuN.tmp), which asks Windows to delete that folder and then
; the copy at the next start: the folder, still holding the copy then, would
; stay. Asked once more, after the copy, it goes too. (Windows takes such
; requests from administrators only; without those rights both stay in %TEMP%.)
!macro ForgetUninstallerCopy
  ${GetParent} $EXEDIR $0
  ${GetFileName} $EXEDIR $1
  StrCpy $1 $1 4
  ${If} $0 == $TEMP
  ${AndIf} $1 == "~nsu"
    RMDir /REBOOTOK $EXEDIR
  ${EndIf}
!macroend
Function un.onUninstSuccess
  !insertmacro ForgetUninstallerCopy
FunctionEnd
Function un.onUninstFailed
  !insertmacro ForgetUninstallerCopy
FunctionEnd
