; The Windows installer of the Zelka printer utility: zelka-utility.exe, zelka.exe and the
; licence texts under Program Files, a Start menu shortcut, an uninstaller listed under
; Add/Remove Programs and, when asked for, zelka.exe's folder on the system PATH. Nothing
; starts at log-on; no service is installed.
;
; Built by scripts/windows/make-packages.sh from the folder it stages (the portable zip's
; contents):  makensis -DVERSION=1.10 -DSTAGE=DIR -DOUTFILE=FILE zelka-utility.nsi
;
; Silent:  setup.exe /S [/ADDTOPATH] [/D=FOLDER]   uninstall.exe /S
; (/D= comes last and takes the rest of the line, spaces included, without quotes.)

; Debian's makensis makes 32-bit installers unless told otherwise; a 32-bit installer
; would be redirected to the 32-bit Program Files and registry.
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma

!macro Required Symbol
  !ifndef ${Symbol}
    !error "${Symbol} is not defined: makensis -DVERSION=1.10 -DSTAGE=DIR -DOUTFILE=FILE zelka-utility.nsi"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required STAGE
!insertmacro Required OUTFILE

!define PRODUCT "Zelka Printer Utility"
!define PUBLISHER "Zelka utility maintainers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZelkaPrinterUtility"
!define ENVIRONMENT_KEY "SYSTEM\CurrentControlSet\Control\Session Manager\Environment"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${PRODUCT}"
; An update goes where the last installation went.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

; --- pages ------------------------------------------------------------------------------
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
; The GPL asks nobody to accept it to run the program: the page informs, Next goes on.
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!define MUI_LICENSEPAGE_TEXT_BOTTOM "$(LicenceNote)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The installer speaks the user's Windows language when it is Russian, English otherwise.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Russian"

LangString LicenceNote ${LANG_ENGLISH} "The utility is free software under the GNU GPL version 3 or later. You need not accept this licence to use it."
LangString LicenceNote ${LANG_RUSSIAN} "Программа свободная, под лицензией GNU GPL версии 3 или более поздней. Принимать лицензию для работы с программой не нужно."
LangString SectionPath ${LANG_ENGLISH} "Add zelka.exe to the PATH (for cmd and PowerShell)"
LangString SectionPath ${LANG_RUSSIAN} "Добавить zelka.exe в PATH (для cmd и PowerShell)"
LangString PathNotChanged ${LANG_ENGLISH} "The PATH is too long to be changed safely here; it was left as it is. Add or remove $INSTDIR in the system's environment variables by hand."
LangString PathNotChanged ${LANG_RUSSIAN} "PATH слишком длинный, чтобы безопасно изменить его здесь; он оставлен как был. Добавьте или удалите $INSTDIR в системных переменных среды вручную."

; Windows wants four numbers here: 1.10 is 1.10.0.0.
!searchparse /noerrors "${VERSION}.0.0.0" "" VERSION_1 "." VERSION_2 "." VERSION_3 "." VERSION_4 "."
VIProductVersion "${VERSION_1}.${VERSION_2}.${VERSION_3}.${VERSION_4}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "GPL-3.0-or-later"

; --- the files: one list for installing and removing -------------------------------------
!macro ZelkaFiles Action
  !insertmacro ${Action} "zelka-utility.exe"
  !insertmacro ${Action} "zelka.exe"
  !insertmacro ${Action} "LICENSE.txt"
  !insertmacro ${Action} "licences\THIRD-PARTY.txt"
  !insertmacro ${Action} "licences\LGPL-3.txt"
  !insertmacro ${Action} "licences\qt6-base-copyright.txt"
  !insertmacro ${Action} "licences\qtbase-6.4.2-directwrite3-needs-direct2d.patch"
  !insertmacro ${Action} "licences\mingw-w64-copyright.txt"
  !insertmacro ${Action} "licences\gcc-mingw-w64-copyright.txt"
!macroend
!macro InstallFile Name
  File "/oname=${Name}" "${STAGE}\${Name}"
!macroend
!macro RemoveFile Name
  Delete "$INSTDIR\${Name}"
!macroend

; --- the PATH -----------------------------------------------------------------------------
; PathWithout: $0 = a PATH; gives $3 = that PATH without the entries naming $INSTDIR (with
; or without a final backslash, in any case, as Windows compares them) and $4 = 1 when
; there was one. Every other entry stays as it was, empty ones too. Uses $0 to $6.
!macro PathWithoutFunction Prefix
Function ${Prefix}PathWithout
  StrCpy $3 ""
  StrCpy $4 0
  StrCpy $5 0
  ${Do}
    StrCpy $1 0
    ${Do}
      StrCpy $2 $0 1 $1
      ${If} $2 == ";"
      ${OrIf} $2 == ""
        ${ExitDo}
      ${EndIf}
      IntOp $1 $1 + 1
    ${Loop}
    StrCpy $6 $0 $1
    ${If} $6 == $INSTDIR
    ${OrIf} $6 == "$INSTDIR\"
      StrCpy $4 1
    ${Else}
      ${If} $5 == 0
        StrCpy $3 $6
      ${Else}
        StrCpy $3 "$3;$6"
      ${EndIf}
      IntOp $5 $5 + 1
    ${EndIf}
    ${If} $2 == ""
      ${ExitDo}
    ${EndIf}
    IntOp $1 $1 + 1
    StrCpy $0 $0 "" $1
  ${Loop}
FunctionEnd
!macroend
!insertmacro PathWithoutFunction ""
!insertmacro PathWithoutFunction "un."

; The system PATH, read whole, into $0; the error flag when it cannot be. Strings here hold
; at most NSIS_MAX_STRLEN - 1 characters, and ReadRegStr gives nothing for a longer value:
; such a PATH is never written back, or it would be lost.
!macro ReadSystemPath
  ClearErrors
  ReadRegStr $0 HKLM "${ENVIRONMENT_KEY}" "Path"
  ${If} $0 == ""
    SetErrors
  ${EndIf}
!macroend

!macro WriteSystemPath Value
  WriteRegExpandStr HKLM "${ENVIRONMENT_KEY}" "Path" "${Value}"
  ; Explorer and the programs started from it from now on see the new PATH.
  SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
!macroend

; --- installing ---------------------------------------------------------------------------
Section "${PRODUCT}" SectionProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  CreateDirectory "$INSTDIR\licences"
  !insertmacro ZelkaFiles InstallFile
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\zelka-utility.exe" "" \
    "$INSTDIR\zelka-utility.exe" 0 SW_SHOWNORMAL "" "${PRODUCT}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zelka-utility.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://zelka.example/"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "$(SectionPath)" SectionAddToPath
  !insertmacro ReadSystemPath
  ${If} ${Errors}
    DetailPrint "$(PathNotChanged)"
    Return
  ${EndIf}
  Call PathWithout
  ${If} $4 == 1
    Return  ; already there
  ${EndIf}
  StrCpy $1 $3 1 -1
  ${If} $3 == ""
  ${OrIf} $1 == ";"
    StrCpy $0 "$3$INSTDIR"
  ${Else}
    StrCpy $0 "$3;$INSTDIR"
  ${EndIf}
  StrLen $1 $0
  IntOp $1 $1 + 1
  ${If} $1 >= ${NSIS_MAX_STRLEN}
    DetailPrint "$(PathNotChanged)"
    Return
  ${EndIf}
  !insertmacro WriteSystemPath $0
SectionEnd

; Last, so that it counts every file: Add/Remove Programs shows the size in KiB.
Section "-EstimatedSize"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  IntFmt $0 "0x%08X" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
  ; /ADDTOPATH: the PATH choice for a silent installation (the page offers it otherwise).
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ADDTOPATH" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SectionAddToPath}
  ${EndIf}
FunctionEnd

; --- removing -----------------------------------------------------------------------------
Section "Uninstall"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}.lnk"

  !insertmacro ReadSystemPath
  ${If} ${Errors}
    DetailPrint "$(PathNotChanged)"
  ${Else}
    Call un.PathWithout
    ${If} $4 == 1
      !insertmacro WriteSystemPath $3
    ${EndIf}
  ${EndIf}

  !insertmacro ZelkaFiles RemoveFile
  Delete "$INSTDIR\uninstall.exe"
  ; Not /r: a folder the user chose may hold files of their own.
  RMDir "$INSTDIR\licences"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
