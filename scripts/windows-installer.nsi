; The Windows installer, built on Linux with Debian's nsis by scripts/build-windows.sh:
;   makensis -INPUTCHARSET UTF8 -DSOURCE=<package folder> -DOUTPUT=<setup.exe> -DVERSION=<x.y> windows-installer.nsi
; Installs for the current user only (no administrator rights): both programs, the companion workbook
; and the read-me into %LOCALAPPDATA%\Programs\Gridwright, entries in the user's Start menu, and an
; uninstaller that Windows' "Apps" list knows.
; The programs are 64-bit, and so is the installer (Wine runs it in the tests too).
Target amd64-unicode
!include "MUI2.nsh"

!ifndef SOURCE | OUTPUT | VERSION
  !error "give -DSOURCE, -DOUTPUT and -DVERSION"
!endif

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gridwright"
!define MENU "$SMPROGRAMS\Gridwright"

Name "Gridwright 表格排版工具"
OutFile "${OUTPUT}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Gridwright"
InstallDirRegKey HKCU "Software\Gridwright" "InstallDir"
SetCompressor /SOLID lzma

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\gridwright.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\说明.txt"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Gridwright"
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${SOURCE}\gridwright.exe"
  File "${SOURCE}\gridwright-batch.exe"
  File "${SOURCE}\2Brindle2012dll.xls"
  File "${SOURCE}\说明.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateDirectory "${MENU}"
  CreateShortcut "${MENU}\Gridwright 表格排版.lnk" "$INSTDIR\gridwright.exe"
  CreateShortcut "${MENU}\说明.lnk" "$INSTDIR\说明.txt"
  CreateShortcut "${MENU}\卸载 Gridwright.lnk" "$INSTDIR\uninstall.exe"

  WriteRegStr HKCU "Software\Gridwright" "InstallDir" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Gridwright 表格排版工具"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Gridwright"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\gridwright.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
  SetShellVarContext current
  Delete "$INSTDIR\gridwright.exe"
  Delete "$INSTDIR\gridwright-batch.exe"
  Delete "$INSTDIR\2Brindle2012dll.xls"
  Delete "$INSTDIR\说明.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Delete "${MENU}\Gridwright 表格排版.lnk"
  Delete "${MENU}\说明.lnk"
  Delete "${MENU}\卸载 Gridwright.lnk"
  RMDir "${MENU}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "Software\Gridwright"
SectionEnd
