; Faldora's installer: per user, no administrator rights, into a folder the user can write.
; The program keeps its registers, card index, settings and password beside faldora.exe, so
; installing and updating write program files only, and uninstalling removes only those.
; Made by scripts/windows-package, which defines VERSION, VERSION_NUMBERS, SIZE_KB, FOLDER
; (the portable folder), OUTFILE, INSTALL_FILES and UNINSTALL_FILES (the file lists).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!ifndef VERSION | VERSION_NUMBERS | SIZE_KB | FOLDER | OUTFILE | INSTALL_FILES | UNINSTALL_FILES
  !error "Made by scripts/windows-package"
!endif

!include "MUI2.nsh"
!include "LogicLib.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Faldora"
; Never unins000.*: that is the name of the credential file.
!define UNINSTALLER "Disinstalla Faldora.exe"
!define PROBE "Faldora-prova-di-scrittura.tmp"

Name "Faldora"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Faldora"
; An update goes by default where the program already is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Faldora ${VERSION}"
; A program file in use must not be skipped: a half-updated folder would not start.
AllowSkipFiles off

VIProductVersion "${VERSION_NUMBERS}"
VIFileVersion "${VERSION_NUMBERS}"
VIAddVersionKey /LANG=1040 "ProductName" "Faldora"
VIAddVersionKey /LANG=1040 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1040 "FileDescription" "Installazione di Faldora"
VIAddVersionKey /LANG=1040 "CompanyName" "Faldora"
VIAddVersionKey /LANG=1040 "LegalCopyright" "Faldora"

!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "Questa procedura installa Faldora ${VERSION}, l'archivio dei documenti e il protocollo della posta.$\r$\n$\r$\nFaldora conserva i registri, lo schedario, le impostazioni e la password nella cartella del programma. Per aggiornare un'installazione, scegli la sua cartella: i tuoi dati restano come sono.$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME

!define MUI_DIRECTORYPAGE_TEXT_TOP "Faldora conserva i suoi dati accanto al programma: scegli una cartella in cui puoi scrivere (quella proposta va bene). Non servono i diritti di amministratore."
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY

!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES

!define MUI_FINISHPAGE_RUN "$INSTDIR\faldora.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Avvia Faldora"
!insertmacro MUI_PAGE_FINISH

!define MUI_UNCONFIRMPAGE_TEXT_TOP "Vengono tolti i file del programma. I registri, lo schedario, le impostazioni, la password, gli allegati e le esportazioni restano nella cartella."
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Italian"

; Whether the program could keep its data in $INSTDIR: a file made there can be written and
; removed. A folder made only for the probe is removed again. $0 is empty when it can, the
; message otherwise.
Function CheckFolder
    Push $1
    Push $2
    StrCpy $0 ""
    StrCpy $2 ""
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        ClearErrors
        CreateDirectory "$INSTDIR"
        ${If} ${Errors}
            StrCpy $0 "Non è possibile creare la cartella$\r$\n$INSTDIR$\r$\n$\r$\nScegli una cartella in cui puoi scrivere."
            Goto done
        ${EndIf}
        StrCpy $2 "made"
    ${EndIf}
    ClearErrors
    FileOpen $1 "$INSTDIR\${PROBE}" w
    ${If} ${Errors}
        StrCpy $0 "Nella cartella$\r$\n$INSTDIR$\r$\nnon si può scrivere. Faldora conserva i suoi dati accanto al programma: scegli una cartella in cui puoi scrivere."
    ${Else}
        FileWrite $1 "Faldora"
        FileClose $1
        ClearErrors
        Delete "$INSTDIR\${PROBE}"
        ${If} ${Errors}
        ${OrIf} ${FileExists} "$INSTDIR\${PROBE}"
            StrCpy $0 "Nella cartella$\r$\n$INSTDIR$\r$\nnon si possono togliere i file. Faldora deve poter riscrivere i suoi dati accanto al programma: scegli un'altra cartella."
        ${EndIf}
    ${EndIf}
    ${If} $2 == "made"
        RMDir "$INSTDIR"
    ${EndIf}
done:
    Pop $2
    Pop $1
FunctionEnd

Function DirectoryLeave
    Push $0
    Call CheckFolder
    ${If} $0 != ""
        MessageBox MB_OK|MB_ICONSTOP "$0"
        Pop $0
        Abort
    ${EndIf}
    Pop $0
FunctionEnd

; Checked again here, for the silent install (/S /D=...), which has no pages: a refused
; folder ends it with error level 2 before anything is written. So does a running Faldora,
; which holds its program files: an update would stop halfway.
Section "-Cartella"
    Call CheckFolder
    ${If} $0 != ""
        DetailPrint "$0"
        MessageBox MB_OK|MB_ICONSTOP "$0" /SD IDOK
        SetErrorLevel 2
        Abort
    ${EndIf}
    ${If} ${FileExists} "$INSTDIR\faldora.exe"
    running:
        ClearErrors
        FileOpen $0 "$INSTDIR\faldora.exe" a
        ${If} ${Errors}
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Faldora è aperto: chiudilo e scegli Riprova." /SD IDCANCEL IDRETRY running
            DetailPrint "Faldora è aperto: nessun file è stato cambiato."
            SetErrorLevel 2
            Abort
        ${EndIf}
        FileClose $0
    ${EndIf}
SectionEnd

Section "Faldora" SecProgram
    SectionIn RO
    !include "${INSTALL_FILES}"

    SetOutPath "$INSTDIR"
    ; The delivered password only where there is none: a user's own is never replaced.
    SetOverwrite off
    File "${FOLDER}/unins000.dll"
    SetOverwrite on

    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortcut "$SMPROGRAMS\Faldora.lnk" "$INSTDIR\faldora.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Faldora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Faldora"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\faldora.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Collegamento sul desktop" SecDesktop
    SetOutPath "$INSTDIR"
    CreateShortcut "$DESKTOP\Faldora.lnk" "$INSTDIR\faldora.exe"
SectionEnd

!insertmacro MUI_FUNCTION_DESCRIPTION_BEGIN
    !insertmacro MUI_DESCRIPTION_TEXT ${SecProgram} "Il programma, la guida e il collegamento nel menu Start."
    !insertmacro MUI_DESCRIPTION_TEXT ${SecDesktop} "Un collegamento a Faldora sul desktop."
!insertmacro MUI_FUNCTION_DESCRIPTION_END

; Program files only, by name: the folder also holds the user's data, which stays.
Section "Uninstall"
    ; A running Faldora holds its program files: nothing is removed until it is closed,
    ; so that the registration never outlives a half-removed program.
    ${If} ${FileExists} "$INSTDIR\faldora.exe"
    running:
        Delete "$INSTDIR\faldora.exe"
        ${If} ${FileExists} "$INSTDIR\faldora.exe"
            MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Faldora è aperto: chiudilo e scegli Riprova." /SD IDCANCEL IDRETRY running
            DetailPrint "Faldora è aperto: nessun file è stato tolto."
            SetErrorLevel 2
            Abort
        ${EndIf}
    ${EndIf}
    !include "${UNINSTALL_FILES}"
    Delete "$INSTDIR\${UNINSTALLER}"
    Delete "$SMPROGRAMS\Faldora.lnk"
    Delete "$DESKTOP\Faldora.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Only when nothing of the user's is left in it.
    RMDir "$INSTDIR"
SectionEnd
