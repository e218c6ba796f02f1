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

; Users' own settings files (in their application data) stay.
Section "Uninstall"
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
