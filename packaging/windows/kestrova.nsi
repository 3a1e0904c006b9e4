; The Windows installer of Kestrova, built on Linux by scripts/package-windows with makensis.
; A per-user install: the programs go to %LOCALAPPDATA%\Programs\Kestrova without administrator
; rights; the user's data lives apart in %LOCALAPPDATA%\Kestrova, which the program makes and
; fills from share\kestrova on its first start. Neither an upgrade nor the uninstaller touches it.
; Defines from the script: VERSION, VERSION4 (four numbers), FILES and UNFILES (the generated
; lists of the staged files), ICON, OUTFILE.
; Kestrova is a 64-bit program; a 64-bit installer also runs where no 32-bit Windows layer is.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrova"
!define PUBLISHER "The Kestrova developers"

Name "Kestrova ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kestrova"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Kestrova ${VERSION}"

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=0 "ProductName" "Kestrova"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "Kestrova ${VERSION} Setup"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; makensis runs in this folder.
!define MUI_WELCOMEFINISHPAGE_BITMAP "welcome.bmp"
!define MUI_WELCOMEPAGE_TEXT "$(Welcome)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\bin\kestrova.exe"
!define MUI_UNCONFIRMPAGE_TEXT_TOP "$(KeepsData)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the default; a Windows in English gets the English texts.
!insertmacro MUI_LANGUAGE "Japanese"
!insertmacro MUI_LANGUAGE "English"

LangString Welcome ${LANG_JAPANESE} "Kestrova ${VERSION} を、このユーザーのためにインストールします。管理者の権限は要りません。$\r$\n$\r$\nプログラムは $LOCALAPPDATA\Programs\Kestrova に、データ (設定、kestrova.ini、CSV、PDF) は $LOCALAPPDATA\Kestrova に置かれます。データは更新やアンインストールで削除されません。$\r$\n$\r$\n実行中の Kestrova を終了してから「次へ」をクリックしてください。"
LangString Welcome ${LANG_ENGLISH} "This installs Kestrova ${VERSION} for you alone; no administrator rights are needed.$\r$\n$\r$\nThe programs go to $LOCALAPPDATA\Programs\Kestrova, your data (settings, kestrova.ini, CSV files, PDFs) to $LOCALAPPDATA\Kestrova. Upgrading or uninstalling never removes the data.$\r$\n$\r$\nClose Kestrova if it is running, then click Next."
LangString KeepsData ${LANG_JAPANESE} "Kestrova のプログラムを削除します。データ (設定、kestrova.ini、CSV、PDF) は $LOCALAPPDATA\Kestrova に残り、削除されません。"
LangString KeepsData ${LANG_ENGLISH} "This removes Kestrova's programs. Your data (settings, kestrova.ini, CSV files, PDFs) stays in $LOCALAPPDATA\Kestrova and is not removed."
LangString DataKept ${LANG_JAPANESE} "データは削除されずに残っています: $LOCALAPPDATA\Kestrova"
LangString DataKept ${LANG_ENGLISH} "Your data was kept: $LOCALAPPDATA\Kestrova"

Section "Kestrova"
  ; The shipped data of an older version goes first, so a file it no longer ships is not
  ; copied into a new user's folder. The user's own folder is elsewhere and stays.
  RMDir /r "$INSTDIR\share\kestrova"
  !include /CHARSET=UTF8 "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; Started from the Start menu, the program keeps its data in the per-user folder.
  SetShellVarContext current
  CreateShortCut "$SMPROGRAMS\Kestrova.lnk" "$INSTDIR\bin\kestrova.exe" "" \
    "$INSTDIR\bin\kestrova.exe" 0

  ; "Apps & features" reads the entry under HKCU for a per-user program.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Kestrova"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\bin\kestrova.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://kestrova.org/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; Only what the installer put here goes: the folder may hold files of the user's own.
  !include /CHARSET=UTF8 "${UNFILES}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  SetShellVarContext current
  Delete "$SMPROGRAMS\Kestrova.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DetailPrint "$(DataKept)"
SectionEnd
