; SPDX-License-Identifier: GPL-3.0-or-later
; The Windows setup of Nexolan, made by build-windows.sh with makensis (NSIS 3):
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder> -DOUTFILE=<setup.exe> nexolan.nsi
;
; STAGE holds what the zip holds: nexolan.exe, nexolan.dat, README.txt and
; LICENSE.txt.
;
; The setup shows the licence, then installs for the current user, without
; administrator rights, into %LOCALAPPDATA%\Programs\Nexolan or a folder the
; user picks (/D=<folder> on the command line; /S installs silently). It adds
; a Start menu shortcut, on request one on the desktop, and the uninstaller
; with its entry in Settings > Apps. Run over an earlier install it keeps the
; server list nexolan.dat, the one file users change, and writes a differing
; new list beside it as nexolan.dat.new. It never touches Messenger's settings
; or the launch counter.

Unicode true
; A 64-bit setup for the 64-bit program: it runs on the systems the program
; runs on, and under Wine needs only the 64-bit loader.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Nexolan"

Name "Nexolan"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Nexolan"
; An upgrade goes where the earlier version went.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" InstallLocation
BrandingText "Nexolan ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 ProductName "Nexolan"
VIAddVersionKey /LANG=1033 CompanyName "Torvik"
VIAddVersionKey /LANG=1033 FileDescription "Nexolan ${VERSION} Setup"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 LegalCopyright "Torvik"

; Set when an upgrade kept a list that differs from the bundled one.
Var ListNote

!define MUI_ICON "nexolan.ico"
!define MUI_UNICON "nexolan.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

; The GPL asks for no acceptance to run the program: the licence page says
; so and goes on with Next, not "I Agree".
!define MUI_PAGE_HEADER_TEXT "Licence"
!define MUI_PAGE_HEADER_SUBTEXT "The terms under which Nexolan comes to you."
!define MUI_LICENSEPAGE_TEXT_TOP "Nexolan is free software under the GNU General Public License, version 3 or later."
!define MUI_LICENSEPAGE_TEXT_BOTTOM "You need not accept this licence to use Nexolan. It gives you the right to copy, change and pass on the program under its terms."
!define MUI_LICENSEPAGE_BUTTON "$(^NextBtn)"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "Nexolan ${VERSION} is installed in $INSTDIR.$\r$\n$\r$\n$ListNote"
!define MUI_FINISHPAGE_TEXT_LARGE ; room for the note on the list
!define MUI_FINISHPAGE_RUN "$INSTDIR\nexolan.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Nexolan"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE English

; Windows keeps a running program's file from being opened for writing: while
; that fails, Nexolan runs from $INSTDIR, and replacing or removing it would
; leave half a program. Asks to close it; Cancel (and silent mode, which
; cannot ask) ends the setup with status 2 before anything has changed.
!macro WAIT_UNTIL_CLOSED PREFIX
Function ${PREFIX}WaitUntilClosed
    ${DoWhile} ${FileExists} "$INSTDIR\nexolan.exe"
        ClearErrors
        FileOpen $0 "$INSTDIR\nexolan.exe" a
        ${IfNot} ${Errors}
            FileClose $0
            ${Break}
        ${EndIf}
        ${If} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Nexolan is running. Close it, then press Retry." /SD IDCANCEL IDCANCEL`
            SetErrorLevel 2
            Quit
        ${EndIf}
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CLOSED ""
!insertmacro WAIT_UNTIL_CLOSED "un."

; Sets $0 to 1 when the kept list nexolan.dat and the bundled one beside it,
; nexolan.dat.new, hold the same bytes, else to 0.
Function CompareLists
    StrCpy $0 0
    ClearErrors
    FileOpen $1 "$INSTDIR\nexolan.dat" r
    FileOpen $2 "$INSTDIR\nexolan.dat.new" r
    ${IfNot} ${Errors}
        FileSeek $1 0 END $3
        FileSeek $2 0 END $4
        ${If} $3 == $4
            FileSeek $1 0 SET
            FileSeek $2 0 SET
            StrCpy $0 1
            ${Do}
                ClearErrors
                FileReadByte $1 $3
                ${IfThen} ${Errors} ${|} ${Break} ${|}
                FileReadByte $2 $4
                ${If} $3 != $4
                    StrCpy $0 0
                    ${Break}
                ${EndIf}
            ${Loop}
        ${EndIf}
    ${EndIf}
    FileClose $1
    FileClose $2
FunctionEnd

Function .onInit
    SetShellVarContext current
FunctionEnd

Section "Nexolan" SectionProgram
    SectionIn RO
    Call WaitUntilClosed
    SetOutPath "$INSTDIR"
    File "${STAGE}\nexolan.exe"
    File "${STAGE}\README.txt"
    File "${STAGE}\LICENSE.txt"
    ${If} ${FileExists} "$INSTDIR\nexolan.dat"
        ; An earlier install's list, perhaps changed by the user: kept. The
        ; bundled list goes beside it when it differs.
        File "/oname=nexolan.dat.new" "${STAGE}\nexolan.dat"
        Call CompareLists
        ${If} $0 == 1
            Delete "$INSTDIR\nexolan.dat.new"
        ${Else}
            StrCpy $ListNote "Your server list nexolan.dat is kept as it was. This version's list differs from it: it lies beside it as nexolan.dat.new."
            DetailPrint "$ListNote"
        ${EndIf}
    ${Else}
        File "${STAGE}\nexolan.dat"
    ${EndIf}

    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Nexolan.lnk" "$INSTDIR\nexolan.exe" "" "$INSTDIR\nexolan.exe" 0 \
        SW_SHOWNORMAL "" "Messenger server switcher and tester"

    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "Nexolan"
    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "Torvik"
    WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\nexolan.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" EstimatedSize $0
SectionEnd

Section /o "Desktop shortcut" SectionDesktop
    CreateShortCut "$DESKTOP\Nexolan.lnk" "$INSTDIR\nexolan.exe" "" "$INSTDIR\nexolan.exe" 0 \
        SW_SHOWNORMAL "" "Messenger server switcher and tester"
SectionEnd

Function un.onInit
    SetShellVarContext current
FunctionEnd

; Removes what the setup put in place. The server list goes only when the
; user says so (silent mode keeps it): it may hold their own servers.
Section "Uninstall"
    Call un.WaitUntilClosed
    Delete "$INSTDIR\nexolan.exe"
    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\nexolan.dat.new"
    ${If} ${FileExists} "$INSTDIR\nexolan.dat"
        ${If} ${Cmd} `MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "Remove the server list nexolan.dat too? Any servers you added to it are lost. Choose No to keep it for a later install." /SD IDNO IDYES`
            Delete "$INSTDIR\nexolan.dat"
        ${EndIf}
    ${EndIf}
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Nexolan.lnk"
    Delete "$DESKTOP\Nexolan.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
