; SPDX-License-Identifier: MIT
; The Windows installer: the program folder under Program Files, the screen saver file in the
; system folder (where the display settings list screen savers), an entry to remove it all.
; makensis -DVERSION=x.y.z -DSTAGE=<program folder> -DOUTFILE=<setup.exe> glimmerdel.nsi
; A 64-bit installer, like the program: the system folder it writes to is the 64-bit one.
Target amd64-unicode

Name "Glimmerdel ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Glimmerdel"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmerdel"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
    SetRegView 64
FunctionEnd

Section "Glimmerdel"
    SetOutPath "$INSTDIR"
    File "${STAGE}\glimmerdel.scr"
    File "${STAGE}\GlimmerdelEmail.exe"
    File "${STAGE}\vantroglimmerdel.ini"
    SetOutPath "$INSTDIR\vurezezideriru\glimmerdel"
    File "${STAGE}\vurezezideriru\glimmerdel\*.bmp"
    ; The copy the display settings list finds its program folder through this value.
    WriteRegStr HKLM "Software\Glimmerdel" "InstallDir" "$INSTDIR"
    SetOutPath "$SYSDIR"
    File "${STAGE}\glimmerdel.scr"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Glimmerdel winter screen saver"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Glimmerdel"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\glimmerdel.scr"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

; The screen saver setting of the account this runs as, where it names the file given (on the
; stack, before it is removed): cleared, so that it does not name a file that is gone. Names are
; compared without regard to case, in their long form and in their short form.
Function un.ClearSaverSettingNaming
    Exch $1
    Push $2
    Push $3
    Push $4
    ReadRegStr $2 HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
    StrCmp $2 "" done
    StrCmp $2 $1 clear
    ; Both short forms exist only while both files do: the setting names another file then.
    GetFullPathName /SHORT $3 $1
    GetFullPathName /SHORT $4 $2
    StrCmp $3 "" done
    StrCmp $3 $4 clear done
clear:
    DeleteRegValue HKCU "Control Panel\Desktop" "SCRNSAVE.EXE"
done:
    Pop $4
    Pop $3
    Pop $2
    Pop $1
FunctionEnd

; Users' own settings files (in their application data) stay.
Section "Uninstall"
    Push "$SYSDIR\glimmerdel.scr"
    Call un.ClearSaverSettingNaming
    Push "$INSTDIR\glimmerdel.scr"
    Call un.ClearSaverSettingNaming
    Delete "$SYSDIR\glimmerdel.scr"
    Delete "$INSTDIR\vurezezideriru\glimmerdel\*.bmp"
    RMDir "$INSTDIR\vurezezideriru\glimmerdel"
    RMDir "$INSTDIR\vurezezideriru"
    Delete "$INSTDIR\glimmerdel.scr"
    Delete "$INSTDIR\GlimmerdelEmail.exe"
    Delete "$INSTDIR\vantroglimmerdel.ini"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "Software\Glimmerdel"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
