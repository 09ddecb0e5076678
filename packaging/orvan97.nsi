; The Orvan 97 installer: one script for both architectures.
;
;   makensis -DARCH=win32 -DSTAGE=<folder> -DICON=<file> -DOUTDIR=<folder> packaging/orvan97.nsi
;
; ARCH      win32: the x86-unicode installer of the 32-bit program (the one
;           that ships); win64: the amd64-unicode installer of the 64-bit
;           build (built by the tests where the machine has no 32-bit mode).
; STAGE     folder holding orvan97.exe of that architecture, LICENSE.txt and
;           README.txt (CR LF text); scripts/package.sh prepares it.
; ICON      the program's icon (orvan97.ico of the picture generator).
; OUTDIR    where orvan97-<version>-<ARCH>-setup.exe is written.
; SIGN      optional: a command that Authenticode-signs the file it is given
;           (packaging/sign.sh), run on the uninstaller and on Setup.
;
; The version is read from src/version.h, its one definition.

!ifndef ARCH | STAGE | ICON | OUTDIR
    !error "define ARCH, STAGE, ICON and OUTDIR (see the head of this script)"
!endif

!if "${ARCH}" == "win32"
    Target x86-unicode
    !define PROGRAM_FILES "$PROGRAMFILES"
!else if "${ARCH}" == "win64"
    Target amd64-unicode
    !define PROGRAM_FILES "$PROGRAMFILES64"
!else
    !error "ARCH must be win32 or win64, not ${ARCH}"
!endif

; Each signed as makensis writes it: the uninstaller before Setup packs it.
!ifdef SIGN
    !uninstfinalize '"${SIGN}" "%1"' = 0
    !finalize '"${SIGN}" "%1"' = 0
!endif

!define VERSION_H "${__FILEDIR__}/../src/version.h"
!searchparse /file "${VERSION_H}" `#define ORVAN_VERSION "` VERSION `"`
!searchparse /file "${VERSION_H}" `#define ORVAN_VERSION_MAJOR ` VERSION_MAJOR
!searchparse /file "${VERSION_H}" `#define ORVAN_VERSION_MINOR ` VERSION_MINOR
!searchparse /file "${VERSION_H}" `#define ORVAN_REVISION ` REVISION
; The oldest Windows the program runs on.
!searchparse /file "${VERSION_H}" `#define ORVAN_WINDOWS_MAJOR ` WINDOWS_MAJOR
!searchparse /file "${VERSION_H}" `#define ORVAN_WINDOWS_MINOR ` WINDOWS_MINOR
!searchparse /file "${VERSION_H}" `#define ORVAN_WINDOWS_NAME "` WINDOWS_NAME `"`
!define /math WINDOWS_FLOOR ${WINDOWS_MAJOR} * 256
!define /redef /math WINDOWS_FLOOR ${WINDOWS_FLOOR} + ${WINDOWS_MINOR}

!define PRODUCT "Orvan 97"
!define PUBLISHER "The Orvan 97 authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The console's top window, as the program names it.
!searchparse /file "${VERSION_H}" `#define ORVAN_CONSOLE_CLASS "` CONSOLE_CLASS `"`
!searchparse /file "${VERSION_H}" `#define ORVAN_CONSOLE_CAPTION "` CONSOLE_TITLE `"`

Name "${PRODUCT}"
OutFile "${OUTDIR}/orvan97-${VERSION}-${ARCH}-setup.exe"
InstallDir "${PROGRAM_FILES}\${PRODUCT}"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"
!include "WinVer.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\README.txt"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.${REVISION}"
VIFileVersion "${VERSION_MAJOR}.${VERSION_MINOR}.0.${REVISION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}. MIT licence."

; A running console holds orvan97.exe open (and would overwrite its settings
; on the way out): Setup and the uninstaller refuse to go on until it is
; quit. Sets $0 to "running" when the person (or /S) gives up.
!macro CONSOLE_CHECK UN
Function ${UN}CheckConsole
    StrCpy $0 ""
    ${Do}
        FindWindow $1 "${CONSOLE_CLASS}" "${CONSOLE_TITLE}"
        ${If} $1 == 0
            ${Break}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONSTOP \
            "${PRODUCT} is running. Quit it first: right-click the console and choose $\"Exit$\". Then choose Retry." \
            /SD IDCANCEL IDRETRY +2
        StrCpy $0 "running"
    ${LoopUntil} $0 == "running"
FunctionEnd
!macroend
!insertmacro CONSOLE_CHECK ""
!insertmacro CONSOLE_CHECK "un."

!macro CHOOSE_VIEWS
    SetShellVarContext all
    !if "${ARCH}" == "win64"
        SetRegView 64
    !endif
!macroend

Function .onInit
    !insertmacro CHOOSE_VIEWS
    ${WinVerGetMajor} $1
    ${WinVerGetMinor} $2
    IntOp $1 $1 * 256
    IntOp $1 $1 + $2
    ${If} $1 < ${WINDOWS_FLOOR}
        MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} needs ${WINDOWS_NAME} or later. Nothing was installed." /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    Call CheckConsole
    ${If} $0 == "running"
        SetErrorLevel 2
        Abort
    ${EndIf}
FunctionEnd

Function un.onInit
    !insertmacro CHOOSE_VIEWS
    ; Only the folder Setup recorded: a copy of the uninstaller elsewhere, or
    ; one left over from an installation since moved or removed, deletes
    ; nothing. Compared in their short forms, however either is spelled.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    GetFullPathName /SHORT $2 $1
    GetFullPathName /SHORT $3 $INSTDIR
    ${If} $1 == ""
    ${OrIf} $2 == ""
    ${OrIf} $2 != $3
        MessageBox MB_OK|MB_ICONSTOP "This is not the folder ${PRODUCT} was installed to, so nothing was removed.$\r$\n$\r$\nThis folder: $INSTDIR$\r$\nInstalled to: $1$\r$\n$\r$\nUninstall ${PRODUCT} from the list of installed programs." /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    Call un.CheckConsole
    ${If} $0 == "running"
        SetErrorLevel 2
        Abort
    ${EndIf}
FunctionEnd

Section "${PRODUCT}" SecProgram
    SectionIn RO
    ; Again: the console may have been started while the pages were shown.
    Call CheckConsole
    ${If} $0 == "running"
        SetErrorLevel 2
        Abort "${PRODUCT} is running: nothing was installed."
    ${EndIf}

    SetOutPath "$INSTDIR"
    File "${STAGE}/orvan97.exe"
    File "${STAGE}/LICENSE.txt"
    File "${STAGE}/README.txt"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    ; Its working folder is $OUTDIR, the installation folder.
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\orvan97.exe" "" "$INSTDIR\orvan97.exe" 0 \
        SW_SHOWNORMAL "" "${PRODUCT} task launcher"

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\orvan97.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMajor" ${VERSION_MAJOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "VersionMinor" ${VERSION_MINOR}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

; Removes what Setup put there. The settings file is the user's and stays:
; C:\Windows\Orvan97.ini, and a standard user's copy in the virtual store,
; %LOCALAPPDATA%\VirtualStore\Windows\Orvan97.ini.
Section "Uninstall"
    Call un.CheckConsole
    ${If} $0 == "running"
        SetErrorLevel 2
        Abort "${PRODUCT} is running: nothing was removed."
    ${EndIf}

    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    Delete "$INSTDIR\orvan97.exe"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\uninstall.exe"
    ; Not recursive: anything else the person put there is kept.
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
