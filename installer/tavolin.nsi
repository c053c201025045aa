; Tavolin's installer: per user, without administrator rights, in Simplified Chinese.
; Made by scripts/package:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.2.3 -DBIN_DIR=... -DRES_DIR=... -DOUT_FILE=... tavolin.nsi
; BIN_DIR holds the built Quorvel.exe and Quorvel.htm.

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

; The version is the built program's own; a stale build is refused.
!getdllversion "${BIN_DIR}/Quorvel.exe" BUILT_
!if "${BUILT_1}.${BUILT_2}.${BUILT_3}" != "${VERSION}"
  !error "Quorvel.exe is version ${BUILT_1}.${BUILT_2}.${BUILT_3}, res/version.h says ${VERSION}: build again"
!endif

!define EXE "Quorvel.exe"
!define TITLE "Tavolin(Quorvel)"
!define PUBLISHER "Tavolin"
!define CLASS "Quorvel"
!define PICTURES "Tavolin壁纸"
!define UNINSTALLER "uninstall.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavolin"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define SETTINGS_KEY "Software\Tavolin"

Name "Tavolin"
OutFile "${OUT_FILE}"
InstallDir "$LOCALAPPDATA\Programs\Tavolin"
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
BrandingText "Tavolin ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=2052 "ProductName" "Tavolin"
VIAddVersionKey /LANG=2052 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=2052 "FileDescription" "Tavolin 桌面助手 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "© ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${RES_DIR}/app.ico"
!define MUI_UNICON "${RES_DIR}/app.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TEXT "此程序将把 Tavolin 桌面助手 ${VERSION} 安装到你的电脑上，不需要管理员权限。$\r$\n$\r$\n如果 Tavolin 正在运行，安装程序会先让它退出，桌面图标随之恢复。你的设置和“${PICTURES}”文件夹中收集的图片都会保留。$\r$\n$\r$\n$_CLICK"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\${EXE}"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_COMPONENTSPAGE_TEXT_TOP "程序文件夹中的“${PICTURES}”文件夹里是你收集的图片，默认保留。勾选“收藏的图片”才会把它连同其中的图片一起删除。"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

; A running copy of the program in $INSTDIR is asked to end the way a later copy asks it: WM_CLOSE to
; its hidden title window. It then shows the desktop icons again on its own way out. A copy that
; runs from another folder is left alone.
!macro CLOSE_RUNNING_COPY un
Function ${un}CloseRunningCopy
  retry:
  FindWindow $0 "TavolinInstanceWindow" "${TITLE}"
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1) i'
  ; SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION
  System::Call 'kernel32::OpenProcess(i 0x101000, i 0, i r1) p .r2'
  ${If} $2 = 0
    Return
  ${EndIf}
  System::Call 'kernel32::QueryFullProcessImageNameW(p r2, i 0, w .r3, *i ${NSIS_MAX_STRLEN}) i'
  System::Call 'kernel32::GetLongPathNameW(w r3, w .r3, i ${NSIS_MAX_STRLEN}) i'
  StrCpy $4 ""
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR\${EXE}", w .r4, i ${NSIS_MAX_STRLEN}) i'
  ${If} $4 == ""
  ${OrIf} $3 != $4
    System::Call 'kernel32::CloseHandle(p r2)'
    Return
  ${EndIf}
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  System::Call 'kernel32::WaitForSingleObject(p r2, i 15000) i .r5'
  System::Call 'kernel32::CloseHandle(p r2)'
  ${If} $5 <> 0
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tavolin 仍在运行。请在通知区域右击 Tavolin 图标并选择“退出”，然后点“重试”。" /SD IDCANCEL IDRETRY retry
    SetErrorLevel 3
    Abort "Tavolin 仍在运行。"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro CLOSE_RUNNING_COPY ""
!insertmacro CLOSE_RUNNING_COPY "un."

Section "Tavolin" SEC_PROGRAM
  SectionIn RO
  Call CloseRunningCopy
  SetOutPath "$INSTDIR"
  ; The program names its settings after its folder's long path, and so do we.
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r0, i ${NSIS_MAX_STRLEN}) i .r1'
  ${If} $1 <> 0
    StrCpy $INSTDIR $0
  ${EndIf}
  File "${BIN_DIR}/${EXE}"
  File "${BIN_DIR}/Quorvel.htm"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  CreateShortcut "$SMPROGRAMS\Tavolin.lnk" "$INSTDIR\${EXE}" "" "$INSTDIR\${EXE}" 0 SW_SHOWNORMAL "" "Tavolin 桌面助手"

  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Tavolin 桌面助手"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${EXE},0"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINST_KEY}" "URLInfoAbout" "https://www.tavolin.net/"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  SectionGetSize ${SEC_PROGRAM} $0
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; ---- uninstalling ------------------------------------------------------------------------------

; Deletes a Run entry that starts this copy (quoted or, as earlier versions wrote it, not).
!macro REMOVE_RUN_ENTRY root
  ReadRegStr $0 ${root} "${RUN_KEY}" "${TITLE}"
  ${If} $0 == "$INSTDIR\${EXE}"
  ${OrIf} $0 == '"$INSTDIR\${EXE}"'
    DeleteRegValue ${root} "${RUN_KEY}" "${TITLE}"
  ${EndIf}
!macroend

; $0: 1 when the class key under `root` opens pictures with this copy.
!macro CLASS_IS_OURS root
  ReadRegStr $0 ${root} "Software\Classes\${CLASS}\shell\play\command" ""
  ${If} $0 == '"$INSTDIR\${EXE}" "%1"'
    StrCpy $0 1
  ${Else}
    StrCpy $0 0
  ${EndIf}
!macroend

!macro REMOVE_OUR_EXTENSION root ext
  ReadRegStr $0 ${root} "Software\Classes\${ext}" ""
  ${If} $0 == "${CLASS}"
    DeleteRegValue ${root} "Software\Classes\${ext}" ""
  ${EndIf}
!macroend

; The ".jpg" and ".bmp" association, as the options dialog withdraws it, but only while the class
; that the user's Explorer uses (the user's own, else the machine's) opens pictures with this copy:
; another program's association, or another copy's, stays. Then the class keys of this copy.
Function un.RemoveAssociation
  ReadRegStr $0 HKCU "Software\Classes\${CLASS}\shell\play\command" ""
  ${If} $0 == ""
    !insertmacro CLASS_IS_OURS HKLM
  ${Else}
    !insertmacro CLASS_IS_OURS HKCU
  ${EndIf}
  StrCpy $R0 $0
  ${If} $R0 = 1
    !insertmacro REMOVE_OUR_EXTENSION HKCU ".jpg"
    !insertmacro REMOVE_OUR_EXTENSION HKCU ".bmp"
    !insertmacro REMOVE_OUR_EXTENSION HKLM ".jpg"
    !insertmacro REMOVE_OUR_EXTENSION HKLM ".bmp"
  ${EndIf}
  ; The options dialog's record of the association goes unless it is another copy's.
  ReadRegStr $0 HKCU "${SETTINGS_KEY}\${TITLE}\文件关联" "Check3"
  ${If} $R0 = 1
  ${OrIf} $0 != "1"
    DeleteRegKey HKCU "${SETTINGS_KEY}\${TITLE}"
  ${EndIf}
  !insertmacro CLASS_IS_OURS HKCU
  ${IfThen} $0 = 1 ${|} DeleteRegKey HKCU "Software\Classes\${CLASS}" ${|}
  !insertmacro CLASS_IS_OURS HKLM
  ${IfThen} $0 = 1 ${|} DeleteRegKey HKLM "Software\Classes\${CLASS}" ${|}
FunctionEnd

; The settings are kept under the program folder's path; the keys left empty above them go too.
Function un.RemoveSettings
  StrCpy $0 "${SETTINGS_KEY}\$INSTDIR"
  DeleteRegKey HKCU $0
  ${Do}
    ${GetParent} $0 $0
    ${IfThen} $0 == "" ${|} ${Break} ${|}
    DeleteRegKey /ifempty HKCU $0
  ${LoopUntil} $0 == "${SETTINGS_KEY}"
FunctionEnd

; Where the Windows folder takes no new files the wallpaper bitmap is in the user's own folder. It
; stays while it is the desktop's wallpaper: Windows shows that file again at every sign-in.
Function un.RemoveUserWallpaper
  Delete "$LOCALAPPDATA\Tavolin\Vesmar.bmp.*.tmp"
  ReadRegStr $0 HKCU "Control Panel\Desktop" "Wallpaper"
  ${If} $0 != "$LOCALAPPDATA\Tavolin\Vesmar.bmp"
    Delete "$LOCALAPPDATA\Tavolin\Vesmar.bmp"
  ${EndIf}
  RMDir "$LOCALAPPDATA\Tavolin"
FunctionEnd

Section "un.程序、快捷方式和设置" SEC_UN_PROGRAM
  SectionIn RO
  Call un.CloseRunningCopy
  !insertmacro REMOVE_RUN_ENTRY HKLM
  !insertmacro REMOVE_RUN_ENTRY HKCU
  Call un.RemoveAssociation
  Call un.RemoveSettings
  Delete "$SMPROGRAMS\Tavolin.lnk"
  Delete "$INSTDIR\${EXE}"
  Delete "$INSTDIR\Quorvel.htm"
  Delete "$INSTDIR\${UNINSTALLER}"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
  Call un.RemoveUserWallpaper
SectionEnd

; Never chosen in a silent uninstall.
Section /o "un.收藏的图片（“${PICTURES}”文件夹）" SEC_UN_PICTURES
  RMDir /r "$INSTDIR\${PICTURES}"
  RMDir "$INSTDIR"
SectionEnd
