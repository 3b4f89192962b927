; The settings part of the installation, run after the program's files are in place.
; VEDO_DEFAULT_INI names the default Vedo.ini on the machine that builds the installer.

; The default settings beside the program, only where there are none: a shop's own Vedo.ini,
; from an earlier installation, stays as it is.
SetOutPath "$INSTDIR\bin"
SetOverwrite off
File "${VEDO_DEFAULT_INI}"
SetOverwrite on

; The family's programs find their settings through "INI-Fil"; it is set only when missing, so
; that a shop's own setting is never overwritten. The 64-bit view, which the program reads.
SetRegView 64
ClearErrors
ReadRegStr $0 HKLM "Software\Vedo" "INI-Fil"
StrCmp $0 "" 0 +2
WriteRegStr HKLM "Software\Vedo" "INI-Fil" "$INSTDIR\bin\Vedo.ini"
