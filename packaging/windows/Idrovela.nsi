# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer, in Italian. tools/windows.sh builds it:
#   makensis -DTOP=<source folder> -DEXE=<Idrovela.exe> -DLICENZA=<Licenza.txt> \
#       -DOUT=<installer> Idrovela.nsi
# LICENZA is the licence with Windows line ends, as the zip and the MSI carry it too.
# "/S" installs, and the uninstaller's "/S" removes, without a question: for school IT.

Unicode true
# A 64-bit installer: the 32-bit stub would see the 32-bit Program Files and registry, and
# under a 64-bit-only system it cannot run at all.
Target amd64-unicode
SetCompressor /SOLID lzma
# The installed files get the time they are installed, and the installer holds no time of the
# machine that built it: the same commit gives the same bytes.
SetDateSave off
ManifestDPIAware true
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include x64.nsh

!define NOME "Idrovela"
!define VERSIONE "1.00"
!define EDITORE "Laboratorio Idrovela"
!define DISINSTALLA "Disinstalla.exe"
!define CHIAVE "Software\Microsoft\Windows\CurrentVersion\Uninstall\${NOME}"

Name "${NOME}"
# The line above the progress bar once the work is done: the language file has one text for
# both, "Installazione completata", which the uninstaller must not say.
Var Completato
CompletedText "$Completato"
OutFile "${OUT}"
InstallDir "$PROGRAMFILES64\${NOME}"
InstallDirRegKey HKLM "${CHIAVE}" "InstallLocation"
BrandingText "${NOME} ${VERSIONE}"

VIProductVersion 1.0.0.0
VIFileVersion 1.0.0.0
VIAddVersionKey /LANG=1040 ProductName "${NOME}"
VIAddVersionKey /LANG=1040 ProductVersion "${VERSIONE}"
VIAddVersionKey /LANG=1040 FileVersion "${VERSIONE}"
VIAddVersionKey /LANG=1040 CompanyName "${EDITORE}"
VIAddVersionKey /LANG=1040 FileDescription "Installazione di ${NOME}"
VIAddVersionKey /LANG=1040 LegalCopyright "GPL-3.0-or-later"

!define MUI_ICON "${TOP}\resources\windows\idrovela.ico"
!define MUI_UNICON "${TOP}\resources\windows\idrovela.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Idrovela.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENZA}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

!insertmacro MUI_LANGUAGE "Italian"

Function .onInit
    ${IfNot} ${RunningX64}
        MessageBox MB_ICONSTOP "${NOME} richiede Windows a 64 bit." /SD IDOK
        Abort
    ${EndIf}
    SetShellVarContext all
    StrCpy $Completato "Installazione completata"
FunctionEnd

Function un.onInit
    SetShellVarContext all
    StrCpy $Completato "Disinstallazione completata"
FunctionEnd

Section "${NOME}"
    SetOutPath "$INSTDIR"
    File "/oname=Idrovela.exe" "${EXE}"
    File "/oname=Licenza.txt" "${LICENZA}"
    WriteUninstaller "$INSTDIR\${DISINSTALLA}"
    CreateShortcut "$SMPROGRAMS\${NOME}.lnk" "$INSTDIR\Idrovela.exe" "" \
        "$INSTDIR\Idrovela.exe" 0 SW_SHOWNORMAL "" "Esperimento sul galleggiamento dei corpi"

    WriteRegStr HKLM "${CHIAVE}" "DisplayName" "${NOME}"
    WriteRegStr HKLM "${CHIAVE}" "DisplayVersion" "${VERSIONE}"
    WriteRegStr HKLM "${CHIAVE}" "Publisher" "${EDITORE}"
    WriteRegStr HKLM "${CHIAVE}" "DisplayIcon" "$INSTDIR\${DISINSTALLA},0"
    WriteRegStr HKLM "${CHIAVE}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${CHIAVE}" "UninstallString" '"$INSTDIR\${DISINSTALLA}"'
    WriteRegStr HKLM "${CHIAVE}" "QuietUninstallString" '"$INSTDIR\${DISINSTALLA}" /S'
    WriteRegDWORD HKLM "${CHIAVE}" "NoModify" 1
    WriteRegDWORD HKLM "${CHIAVE}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${CHIAVE}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
    Delete "$SMPROGRAMS\${NOME}.lnk"
    Delete "$INSTDIR\Idrovela.exe"
    Delete "$INSTDIR\Licenza.txt"
    Delete "$INSTDIR\${DISINSTALLA}"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${CHIAVE}"
SectionEnd
