; The setup program of Mirval: installs it for the current user, without asking
; for rights, starts it with every session, and takes it off again.
; makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3.4 -DBUILD=<folder of MIRVAL.EXE>
;          -DICON=<program icon> -DOUTFILE=<setup.exe>
Unicode true
!ifdef TARGET   ; amd64-unicode for the tests' 64-bit build
Target ${TARGET}
!endif
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Mirval"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SCHEDULE_KEY "Software\Tarvex Software\MIRVAL"
!define ID_TRAY_QUIT 32771
!define SYNCHRONIZE 0x00100000

Name "Mirval"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Mirval"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Mirval ${VERSION}"
VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=0 "ProductName" "Mirval"
VIAddVersionKey /LANG=0 "CompanyName" "Tarvex Software"
VIAddVersionKey /LANG=0 "LegalCopyright" "© Tarvex Software"
VIAddVersionKey /LANG=0 "FileDescription" "Mirval setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"

Var StartWithSession     ; 1: the Run value is written
Var StartCheckBox
Var FolderWritten
Var EndedOne             ; 1: a running Mirval was ended and is started again

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE LeaveFolder
!insertmacro MUI_PAGE_DIRECTORY
Page custom ShowStartPage LeaveStartPage
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\MIRVAL.EXE"
; Mirval shows no window once started: the user is told where it lives.
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_PAGE_CUSTOMFUNCTION_SHOW ShowFinish
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for users who speak neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "French"

LangString StartTitle ${LANG_ENGLISH} "Start with Windows"
LangString StartTitle ${LANG_FRENCH} "Démarrage avec Windows"
LangString StartText ${LANG_ENGLISH} "Mirval puts up the day's picture when it starts. Started with each session, it changes the wallpaper every day by itself."
LangString StartText ${LANG_FRENCH} "Mirval installe l'image du jour à son démarrage. Lancé à chaque ouverture de session, il change le fond d'écran tout seul, chaque jour."
LangString StartSubtitle ${LANG_ENGLISH} "When should Mirval start?"
LangString StartSubtitle ${LANG_FRENCH} "Quand Mirval doit-il démarrer ?"
LangString StartBox ${LANG_ENGLISH} "&Start Mirval each time I log on"
LangString StartBox ${LANG_FRENCH} "&Lancer Mirval à chaque ouverture de session"
LangString CannotWrite ${LANG_ENGLISH} "Mirval cannot be installed in this folder, which cannot be written to:$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nPlease choose another folder."
LangString CannotWrite ${LANG_FRENCH} "Mirval ne peut pas être installé dans ce dossier, où il est impossible d'écrire :$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\nChoisissez un autre dossier."
LangString FinishText ${LANG_ENGLISH} "Mirval opens no window: it is an icon in the notification area, by the clock (on Windows 10 and 11 behind the taskbar's arrow, from where it can be dragged onto the taskbar).$\r$\n$\"Mirval$\" in the Start menu opens its setup dialog."
LangString FinishText ${LANG_FRENCH} "Mirval n'ouvre aucune fenêtre : c'est une icône de la zone de notification, près de l'horloge (sous Windows 10 et 11, derrière la flèche de la barre des tâches, d'où elle se glisse sur la barre).$\r$\n« Mirval » dans le menu Démarrer ouvre sa fenêtre de paramétrage."
LangString StillRunning ${LANG_ENGLISH} "Mirval is still running and could not be ended, so nothing has been removed.$\r$\n$\r$\nEnd it (its icon's menu, $\"Quitter$\"), then retry."
LangString StillRunning ${LANG_FRENCH} "Mirval est toujours en cours d'exécution et n'a pas pu être arrêté : rien n'a été supprimé.$\r$\n$\r$\nArrêtez-le (menu de son icône, « Quitter »), puis réessayez."
LangString RemoveSchedule ${LANG_ENGLISH} "Also remove your wallpaper schedule (the pictures chosen for the days and months)?"
LangString RemoveSchedule ${LANG_FRENCH} "Supprimer aussi votre calendrier (les images choisies pour les jours et les mois) ?"

; Ends every running Mirval as its own "&Quitter" does, through its window, and
; waits until its process is gone so that its files can be replaced. A Mirval
; runs while its mutex exists; its window is the dialog that carries the
; property only Mirval sets (another program's dialog may have the same class,
; controls and command numbers), from the end of its start on. The program's
; own second start asks the same two things.
!define RUNNING_MUTEX "Tarvex Software MIRVAL running"
!define RESIDENT_MARK "Tarvex Software MIRVAL resident"
!macro QUIT_MIRVAL un
; $R0: the first marked window after $R1 (0: from the top), or 0.
Function ${un}NextMarkedWindow
    ${Do}
        FindWindow $R0 "#32770" "" "" $R1
        ${IfThen} $R0 = 0 ${|} ${ExitDo} ${|}
        StrCpy $R1 $R0
        System::Call 'user32::GetPropW(p R0, w "${RESIDENT_MARK}") p .R2'
        ${IfThen} $R2 P<> 0 ${|} ${ExitDo} ${|}
    ${Loop}
FunctionEnd

Function ${un}QuitMirval
    ; One that is still starting (as when an upgrade has just started it again)
    ; is waited for, ten seconds at most, as a second start waits. Its mutex is
    ; asked for at each look, and the first two seconds are waited even without
    ; it: a Mirval started a moment before may not have made it yet.
    ${For} $R4 1 100
        StrCpy $R1 0
        Call ${un}NextMarkedWindow
        ${IfThen} $R0 <> 0 ${|} ${ExitFor} ${|}
        System::Call 'kernel32::OpenMutexW(i ${SYNCHRONIZE}, i 0, w "${RUNNING_MUTEX}") p .R3'
        ${If} $R3 P<> 0
            System::Call 'kernel32::CloseHandle(p R3)'
        ${ElseIf} $R4 > 20
            ${ExitFor}
        ${EndIf}
        Sleep 100
    ${Next}
    StrCpy $R1 0
    ${Do}
        Call ${un}NextMarkedWindow
        ${IfThen} $R0 = 0 ${|} ${ExitDo} ${|}
        System::Call 'user32::GetWindowThreadProcessId(p R0, *i .R5)'
        System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i R5) p .R6'
        SendMessage $R0 ${WM_COMMAND} ${ID_TRAY_QUIT} 0 /TIMEOUT=5000
        System::Call 'kernel32::WaitForSingleObject(p R6, i 10000)'
        System::Call 'kernel32::CloseHandle(p R6)'
        StrCpy $EndedOne 1
        ; Search again from the top, past a window that would not end.
        IsWindow $R0 +2
            StrCpy $R1 0
    ${Loop}
FunctionEnd
!macroend
!insertmacro QUIT_MIRVAL ""
!insertmacro QUIT_MIRVAL "un."

; $FolderWritten is 1 when a file can be written in $INSTDIR. Leaves no folder of
; its own making behind.
Function CheckFolder
    StrCpy $FolderWritten 0
    StrCpy $R0 ""
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
        CreateDirectory "$INSTDIR"
        StrCpy $R0 made
    ${EndIf}
    ClearErrors
    FileOpen $R1 "$INSTDIR\MIRVAL.TMP" w
    ${IfNot} ${Errors}
        FileClose $R1
        Delete "$INSTDIR\MIRVAL.TMP"
        StrCpy $FolderWritten 1
    ${EndIf}
    ${If} $R0 == made
        RMDir "$INSTDIR"
    ${EndIf}
FunctionEnd

Function .onInit
    StrCpy $StartWithSession 1
    StrCpy $EndedOne 0
FunctionEnd

Function LeaveFolder
    Call CheckFolder
    ${If} $FolderWritten = 0
        MessageBox MB_OK|MB_ICONSTOP "$(CannotWrite)"
        Abort
    ${EndIf}
FunctionEnd

Function ShowStartPage
    !insertmacro MUI_HEADER_TEXT "$(StartTitle)" "$(StartSubtitle)"
    nsDialogs::Create 1018
    Pop $R0
    ${NSD_CreateLabel} 0 0 100% 36u "$(StartText)"
    Pop $R0
    ${NSD_CreateCheckbox} 0 48u 100% 12u "$(StartBox)"
    Pop $StartCheckBox
    ${NSD_SetState} $StartCheckBox $StartWithSession
    nsDialogs::Show
FunctionEnd

Function LeaveStartPage
    ${NSD_GetState} $StartCheckBox $StartWithSession
FunctionEnd

; The program is already started again: the finish page need not offer it.
Function ShowFinish
    ${If} $EndedOne = 1
        SendMessage $mui.FinishPage.Run ${BM_SETCHECK} 0 0
        ShowWindow $mui.FinishPage.Run ${SW_HIDE}
    ${EndIf}
FunctionEnd

Section
    ; The silent install meets no folder page: the same check here.
    Call CheckFolder
    ${If} $FolderWritten = 0
        MessageBox MB_OK|MB_ICONSTOP "$(CannotWrite)" /SD IDOK
        Abort
    ${EndIf}

    Call QuitMirval
    SetOutPath "$INSTDIR"
    File "${BUILD}\MIRVAL.EXE"
    File "${BUILD}\MIRVAL.HLP"
    File "${BUILD}\MIRVAL.CHM"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Mirval.lnk" "$INSTDIR\MIRVAL.EXE"
    ; Quoted: unquoted, a path with blanks would start C:\Mes.exe at logon.
    ${If} $StartWithSession = 1
        WriteRegStr HKCU "${RUN_KEY}" "Mirval" '"$INSTDIR\MIRVAL.EXE"'
    ${Else}
        DeleteRegValue HKCU "${RUN_KEY}" "Mirval"
    ${EndIf}

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Mirval"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "Tarvex Software"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\MIRVAL.EXE,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    ${GetSize} "$INSTDIR" "/S=0K" $R0 $R1 $R2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $R0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1

    ; The user keeps the tray icon that the upgrade took away.
    ${If} $EndedOne = 1
        Exec '"$INSTDIR\MIRVAL.EXE"'
    ${EndIf}
SectionEnd

Section Uninstall
    Call un.QuitMirval
    ; A Mirval that could not be ended (hung, or started with other rights) holds
    ; its program: then nothing at all is removed, so that it stays whole.
    ${Do}
        ClearErrors
        Delete "$INSTDIR\MIRVAL.EXE"
        ${IfNot} ${Errors}
            ${ExitDo}
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY +3
            SetErrorLevel 3
            Quit
        Call un.QuitMirval
    ${Loop}
    Delete "$INSTDIR\MIRVAL.HLP"
    Delete "$INSTDIR\MIRVAL.CHM"
    ; The help engine's index of MIRVAL.HLP, written beside it on first use.
    Delete "$INSTDIR\MIRVAL.GID"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Mirval.lnk"
    DeleteRegValue HKCU "${RUN_KEY}" "Mirval"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
    ; Mirval's bitmap copies of photos, but the one the desktop shows: without
    ; it, the next logon would find no wallpaper.
    ReadRegStr $0 HKCU "Control Panel\Desktop" "Wallpaper"
    FindFirst $1 $2 "$LOCALAPPDATA\Mirval\*"
    ${DoWhile} $2 != ""
        ${If} "$LOCALAPPDATA\Mirval\$2" != $0
            Delete "$LOCALAPPDATA\Mirval\$2"
        ${EndIf}
        FindNext $1 $2
    ${Loop}
    FindClose $1
    RMDir "$LOCALAPPDATA\Mirval"

    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$(RemoveSchedule)" /SD IDNO IDNO kept
        DeleteRegKey HKCU "${SCHEDULE_KEY}"
        DeleteRegKey /ifempty HKCU "Software\Tarvex Software"
    kept:
SectionEnd
