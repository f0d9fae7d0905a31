; Zyk Velotune installer: the shipped 32-bit folder with its readmes, Start menu
; shortcuts, an optional start with Windows, an Add/Remove Programs entry and an
; uninstaller. ANSI target (Unicode false): installer and uninstaller run on Windows
; 95/98/Me and NT 4.0 as well as on later systems.
;
; makensis -DSTAGE=<folder> -DFILES=<install list> -DUNFILES=<removal list>
;          -DOUTFILE=<setup.exe> -DICON=<icon> velotune.nsi
; (release/make_release.sh writes the two lists from the folder.)
;
; Command line: /S silent; /AUTOSTART selects "Start with Windows" (silent installs
; leave it off otherwise): a Run entry of the installing user only, since on 2000 and
; XP a limited user who got it would meet the program's call for administrator rights
; at every log-on. Uninstaller: /S silent, keeping the saved profiles;
; /PURGE removes them without asking.
Unicode false
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

!define PRODUCT "Zyk Velotune"
!define VERSION "1.0a"
!define PUBLISHER "Zyk"
!define PROGRAM "tunedeck.exe"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZykVelotune"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Zyk Velotune"
; The program's saved clocks and profiles (SOFTWARE\ZYK\ZYK_OC\...).
!define PROFILE_KEY "SOFTWARE\ZYK"
!define MENU_FOLDER "$SMPROGRAMS\Zyk Velotune"
; The program's hidden frame: its caption, the id of its view, and the Close command.
!define FRAME_CAPTION "Zyk Velotune"
!define FRAME_VIEW_ID 0xE900
!define CLOSE_COMMAND 57665

Name "${PRODUCT}"
Caption "$(Caption)"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Zyk\Velotune"
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show
BrandingText "${PRODUCT} V${VERSION}"

VIProductVersion "1.0.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TITLE "$(WelcomeTitle)"
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\$(ReadmeFile)"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "TradChinese"

LangString Caption ${LANG_ENGLISH} "${PRODUCT} V${VERSION} Setup"
LangString Caption ${LANG_TRADCHINESE} "${PRODUCT} V${VERSION} 安裝"
LangString WelcomeTitle ${LANG_ENGLISH} "Welcome to Zyk Velotune V${VERSION} Setup"
LangString WelcomeTitle ${LANG_TRADCHINESE} "歡迎使用 Zyk Velotune V${VERSION} 安裝程式"
LangString WelcomeText ${LANG_ENGLISH} "Zyk Velotune changes the engine and memory clocks of Zyk graphics cards with ATI chips on the AGP bus.$\r$\n$\r$\nRunning a card faster than its default clocks can make it fail or damage it. After every change the program asks whether to keep the new clocks and puts the card back unless you answer OK. Please read the readme before the first use.$\r$\n$\r$\nClick Next to continue."
LangString WelcomeText ${LANG_TRADCHINESE} "Zyk Velotune 可以調整 Zyk 顯示卡 (ATI 晶片, AGP 介面) 的核心時脈與記憶體時脈.$\r$\n$\r$\n讓顯示卡以高於預設的時脈執行, 可能造成錯誤或損壞顯示卡. 每次修改後程式都會詢問是否保留新的時脈, 除非您按 確定, 否則顯示卡會回到原來的時脈. 第一次使用前請先閱讀說明檔.$\r$\n$\r$\n按 下一步 繼續."
LangString SecProgramName ${LANG_ENGLISH} "Zyk Velotune (required)"
LangString SecProgramName ${LANG_TRADCHINESE} "Zyk Velotune (必要)"
LangString SecAutostartName ${LANG_ENGLISH} "Start with Windows"
LangString SecAutostartName ${LANG_TRADCHINESE} "隨 Windows 啟動"
LangString ReadmeFile ${LANG_ENGLISH} "Readme.txt"
LangString ReadmeFile ${LANG_TRADCHINESE} "Readme_CHT.txt"
LangString ReadmeLink ${LANG_ENGLISH} "Readme"
LangString ReadmeLink ${LANG_TRADCHINESE} "說明檔"
LangString UninstallLink ${LANG_ENGLISH} "Uninstall"
LangString UninstallLink ${LANG_TRADCHINESE} "解除安裝"
LangString PurgeQuestion ${LANG_ENGLISH} "Also remove your saved clock profiles?$\r$\n(registry key HKEY_LOCAL_MACHINE\${PROFILE_KEY})$\r$\n$\r$\nAnswer No to keep them for a later installation."
LangString PurgeQuestion ${LANG_TRADCHINESE} "是否一併刪除您保存的時脈設定檔?$\r$\n(登錄機碼 HKEY_LOCAL_MACHINE\${PROFILE_KEY})$\r$\n$\r$\n回答 否 可保留給以後的安裝使用."
LangString StillRunning ${LANG_ENGLISH} "Zyk Velotune is still running and did not close. End it with Close in its tray menu, then press Retry."
LangString StillRunning ${LANG_TRADCHINESE} "Zyk Velotune 仍在執行且未能結束. 請從系統匣選單選 結束, 然後按 重試."

; The installer and the uninstaller speak the language the program itself chooses:
; Traditional Chinese when the system default language is Chinese (Taiwan), English
; otherwise.
!macro CHOOSE_LANGUAGE
  System::Call 'kernel32::GetSystemDefaultLangID() i.r0'
  IntOp $0 $0 & 0xFFFF
  ${If} $0 = 0x0404
    StrCpy $LANGUAGE ${LANG_TRADCHINESE}
  ${Else}
    StrCpy $LANGUAGE ${LANG_ENGLISH}
  ${EndIf}
!macroend

; Asks a running copy of the program to end as its tray menu's Close does, and waits
; for its process (at most 15 seconds for each copy found). A copy that does not end is
; reported (Retry looks again; silent runs go on and replace files at the next restart).
!macro CLOSE_PROGRAM un
Function ${un}CloseRunningProgram
  StrCpy $6 0
  again:
  StrCpy $1 0
  next:
    System::Call 'user32::FindWindowExA(p 0, p r1, p 0, t "${FRAME_CAPTION}") p.r1'
    StrCmp $1 0 done
    System::Call 'user32::GetDlgItem(p r1, i ${FRAME_VIEW_ID}) p.r2'
    StrCmp $2 0 next
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r3)'
    System::Call 'kernel32::OpenProcess(i 0x00100000, i 0, i r3) p.r4'
    System::Call 'user32::PostMessageA(p r1, i 0x0111, i ${CLOSE_COMMAND}, i 0)'
    ${If} $4 != 0
      System::Call 'kernel32::WaitForSingleObject(p r4, i 15000) i.r5'
      System::Call 'kernel32::CloseHandle(p r4)'
    ${Else}
      Sleep 3000
    ${EndIf}
    System::Call 'user32::IsWindow(p r1) i.r5'
    ${If} $5 <> 0
      IntOp $6 $6 + 1
      ${If} $6 < 3
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(StillRunning)" /SD IDCANCEL IDRETRY again
      ${EndIf}
      Goto done
    ${EndIf}
    Goto again
  done:
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM ""
!insertmacro CLOSE_PROGRAM "un."

; The program's folder may be changed only by administrators and the system: the
; program loads GenPort1.sys from it into the kernel, and refuses a folder that others
; may change. Run before the files are written, so that they inherit the entries on
; NT 4.0 too (which has no automatic inheritance). The DACL is protected from the
; parent's entries (Program Files lets Power Users change files on 2000 and XP); NT 4.0
; knows no protection and is asked again without it. On FAT and on Windows 95/98/Me the
; calls fail and nothing changes.
Function ProtectInstallFolder
  CreateDirectory "$INSTDIR"
  System::Call '*(&i1 0, &i1 0, &i1 0, &i1 0, &i1 0, &i1 5) p.r9'  ; SECURITY_NT_AUTHORITY
  System::Call 'advapi32::AllocateAndInitializeSid(p r9, i 2, i 32, i 544, i 0, i 0, i 0, i 0, i 0, i 0, *p .r1) i'
  System::Call 'advapi32::AllocateAndInitializeSid(p r9, i 1, i 18, i 0, i 0, i 0, i 0, i 0, i 0, i 0, *p .r2) i'
  System::Call 'advapi32::AllocateAndInitializeSid(p r9, i 2, i 32, i 545, i 0, i 0, i 0, i 0, i 0, i 0, *p .r3) i'
  ${If} $1 <> 0
  ${AndIf} $2 <> 0
  ${AndIf} $3 <> 0
    ; EXPLICIT_ACCESS x3: rights, SET_ACCESS, inherited by files and folders, a SID
    ; trustee: Administrators and SYSTEM full control, Users read and execute.
    System::Call '*(i 0x1F01FF, i 2, i 3, p 0, i 0, i 0, i 4, p r1, \
                    i 0x1F01FF, i 2, i 3, p 0, i 0, i 0, i 5, p r2, \
                    i 0x1200A9, i 2, i 3, p 0, i 0, i 0, i 4, p r3) p.r4'
    System::Call 'advapi32::SetEntriesInAclA(i 3, p r4, p 0, *p .r5) i.r0'
    ${If} $0 = 0
      ; SE_FILE_OBJECT; owner Administrators, DACL, protected
      System::Call 'advapi32::SetNamedSecurityInfoA(t "$INSTDIR", i 1, i 0x80000005, p r1, p 0, p r5, p 0) i.r0'
      ${If} $0 <> 0
        System::Call 'advapi32::SetNamedSecurityInfoA(t "$INSTDIR", i 1, i 5, p r1, p 0, p r5, p 0) i.r0'
      ${EndIf}
      System::Call 'kernel32::LocalFree(p r5)'
    ${EndIf}
    System::Free $4
  ${EndIf}
  ${If} $1 <> 0
    System::Call 'advapi32::FreeSid(p r1)'
  ${EndIf}
  ${If} $2 <> 0
    System::Call 'advapi32::FreeSid(p r2)'
  ${EndIf}
  ${If} $3 <> 0
    System::Call 'advapi32::FreeSid(p r3)'
  ${EndIf}
  System::Free $9
FunctionEnd

Section "!$(SecProgramName)" SecProgram
  SectionIn RO
  Call CloseRunningProgram
  Call ProtectInstallFolder
  SetOverwrite on
  !include "${FILES}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The shortcuts start in the program's folder (the current output path).
  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
  SetOutPath "$INSTDIR"
  CreateShortCut "${MENU_FOLDER}\${PRODUCT}.lnk" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0
  CreateShortCut "${MENU_FOLDER}\$(ReadmeLink).lnk" "$INSTDIR\$(ReadmeFile)"
  CreateShortCut "${MENU_FOLDER}\$(UninstallLink).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "${PRODUCT} V${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINST_KEY}" "EstimatedSize" $0

  ; This installation's choice of the start with Windows replaces an earlier one,
  ; also one an earlier installer made for every user of the machine.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}"
SectionEnd

Section /o "$(SecAutostartName)" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\${PROGRAM}"'
SectionEnd

Function .onInit
  !insertmacro CHOOSE_LANGUAGE
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/AUTOSTART" $R1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

; The GenPort1 driver service the program installs around each change and removes
; again; one is left behind only when the computer stopped in between. Windows 95/98/Me
; have no service manager: OpenSCManagerA fails there and nothing is done.
Function un.RemoveDriverService
  System::Call 'advapi32::OpenSCManagerA(p 0, p 0, i 0xF003F) p.r0'
  StrCmp $0 0 none
  System::Call 'advapi32::OpenServiceA(p r0, t "GenPort1", i 0xF01FF) p.r1'
  StrCmp $1 0 closeManager
  System::Alloc 28
  Pop $2
  System::Call 'advapi32::ControlService(p r1, i 1, p r2) i'
  System::Free $2
  System::Call 'advapi32::DeleteService(p r1) i'
  System::Call 'advapi32::CloseServiceHandle(p r1) i'
  closeManager:
  System::Call 'advapi32::CloseServiceHandle(p r0) i'
  none:
FunctionEnd

; A file of the program. One still held open (a driver file Windows has not let go
; of yet, a program that is just ending) is tried again for a few seconds, then left
; to be removed at the next restart.
!macro REMOVE_FILE path
  Delete "${path}"
  StrCpy $9 0
  ${While} ${FileExists} "${path}"
    ${If} $9 >= 10
      ${Break}
    ${EndIf}
    Sleep 500
    Delete "${path}"
    IntOp $9 $9 + 1
  ${EndWhile}
  ${If} ${FileExists} "${path}"
    Delete /REBOOTOK "${path}"
  ${EndIf}
!macroend

Function un.onInit
  !insertmacro CHOOSE_LANGUAGE
FunctionEnd

Section "Uninstall"
  Call un.CloseRunningProgram
  Call un.RemoveDriverService

  !include "${UNFILES}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
  RMDir "$0"

  SetShellVarContext all
  Delete "${MENU_FOLDER}\*.lnk"
  RMDir "${MENU_FOLDER}"
  ; The start with Windows of the user who removes it (the one who installed, as a
  ; rule), and one an earlier installer made for every user of the machine.
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}" ; the uninstalling user's
  DeleteRegValue HKLM "${RUN_KEY}" "${RUN_VALUE}" ; an earlier installer's
  DeleteRegKey HKLM "${UNINST_KEY}"

  ; The saved profiles go only when the user agrees (silent: kept, unless /PURGE).
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  ${If} ${Errors}
    MessageBox MB_YESNO|MB_ICONQUESTION "$(PurgeQuestion)" /SD IDNO IDYES purge
    Goto kept
  ${EndIf}
  purge:
  DeleteRegKey HKLM "${PROFILE_KEY}"
  kept:
SectionEnd
