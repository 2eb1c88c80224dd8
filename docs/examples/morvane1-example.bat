@echo off
rem Example launch script for addmorvane. Put it in place as C:\morvane1.bat, with the site
rem settings below filled in, as README.txt says (section 5). It prepares the next start of
rem this PC so that DOS runs the memory tester; addmorvane then restarts the PC.
rem
rem addmorvane runs it hidden, with administrator rights, in C:\, as
rem   %SystemRoot%\System32\cmd.exe /d /e:on /v:off /c call "C:\morvane1.bat"
rem and restarts the PC only when it ends with 0 within 2 minutes. Its other exit codes:
rem   10 Windows does not start in BIOS mode      15 BitLocker state unknown
rem   11 site settings not filled in              16 BitLocker protection not suspended
rem   12 DOS partition not online at its letter   17 one-time boot entry not set
rem   13 a copy on it differs from its master     18 as 17, and BitLocker still suspended
rem   14 DOS partition not taken offline
rem A step fails on any code but 0, a negative one too (tools can end with an HRESULT):
rem hence "if %errorlevel% neq 0", since "if errorlevel 1" misses negative codes.
rem "exit N" ends cmd.exe itself: to try the script, run that command line in a prompt
rem run as administrator, then "echo %errorlevel%".
setlocal EnableExtensions DisableDelayedExpansion
rem A pipe starts %ComSpec%: the system's own one, whatever the environment said.
set "ComSpec=%SystemRoot%\System32\cmd.exe"
rem No variable of these names may hide the last command's code, or claim a suspension.
set "ERRORLEVEL="
set "SUSPENDED="

rem ---- Site settings (README.txt, section 5) ---------------------------------------------
rem The DOS partition by the {GUID} of its volume name \\?\Volume{GUID}\ ("mountvol" lists
rem them), and a letter that no drive of this PC uses: the partition has it only while this
rem script runs. Under DOS it is C:.
set "DOS_VOLUME={GUID-OF-THE-DOS-PARTITION}"
set "DOS_LETTER=M:"
rem The folder that only administrators can change, with the master copy of every file the
rem DOS start reads. The run script C:\morvane.bat goes along as MORVANE.BAT.
set "DOS_MASTER=C:\Program Files\addmorvane-dos"
set "DOS_FILES=bootsect.dos IO.SYS MSDOS.SYS COMMAND.COM CONFIG.SYS AUTOEXEC.BAT MORVANE2.BAT MORVANE.COM"
rem The boot entry for the partition's DOS boot sector, made once.
set "DOS_ENTRY={GUID-OF-THE-DOS-ENTRY}"
rem ----------------------------------------------------------------------------------------

rem 1. Only where Windows starts in BIOS (MBR) mode, or through CSM with Secure Boot off, can
rem    a boot entry start DOS: there Windows' loader is winload.exe (through UEFI it is
rem    winload.efi). Nothing is done where bcdedit does not name winload.exe.
"%SystemRoot%\System32\bcdedit.exe" /enum {current} | "%SystemRoot%\System32\find.exe" "winload.exe" >nul
if %errorlevel% neq 0 exit 10
if "%DOS_VOLUME%"=="{GUID-OF-THE-DOS-PARTITION}" exit 11
if "%DOS_ENTRY%"=="{GUID-OF-THE-DOS-ENTRY}" exit 11

rem 2. The DOS partition. FAT keeps no permissions: any user can change the files of a FAT
rem    drive that Windows reaches, so the partition is online only during this step, at its
rem    letter (checked to name it before anything is copied). It gets the run script as it is
rem    now (addmorvane rewrites it whenever its buttons change the tester's command line) and
rem    the master copy of every other file.
"%SystemRoot%\System32\mountvol.exe" %DOS_LETTER% \\?\Volume%DOS_VOLUME%\
if %errorlevel% neq 0 exit 12
"%SystemRoot%\System32\mountvol.exe" %DOS_LETTER% /l | "%SystemRoot%\System32\find.exe" "%DOS_VOLUME%" >nul
if %errorlevel% neq 0 exit 12
call :put "C:\morvane.bat" MORVANE.BAT
for %%F in (%DOS_FILES%) do call :put "%DOS_MASTER%\%%F" %%F
call :offline

rem 3. BitLocker. "-status C: -ProtectionAsErrorLevel" ends with 0 when drive C: is protected,
rem    with 1 when it is not; any other code (9009: no manage-bde.exe) stops the script. When
rem    protected, suspend the protection for one restart, or the PC may ask for the recovery
rem    key. Windows 7 (version 6.1) has no -RebootCount: there protection stays off until an
rem    administrator turns it on again after the test: manage-bde -protectors -enable C:
"%SystemRoot%\System32\manage-bde.exe" -status C: -ProtectionAsErrorLevel >nul
if %errorlevel% equ 1 goto boot
if %errorlevel% neq 0 exit 15
set "ONCE=-RebootCount 1"
ver | "%SystemRoot%\System32\find.exe" " 6.1." >nul
if %errorlevel% equ 0 set "ONCE="
"%SystemRoot%\System32\manage-bde.exe" -protectors -disable C: %ONCE%
if %errorlevel% neq 0 exit 16
set "SUSPENDED=1"

:boot
rem 4. The DOS boot sector for the next start only; the start after it is Windows again.
rem    Without it no restart comes, so a suspended protection is turned on again.
"%SystemRoot%\System32\bcdedit.exe" /bootsequence %DOS_ENTRY%
if %errorlevel% equ 0 exit 0
if not defined SUSPENDED exit 17
"%SystemRoot%\System32\manage-bde.exe" -protectors -enable C:
if %errorlevel% neq 0 exit 18
exit 17

rem Copies a file to the partition, then compares the copy with its original: "copy" has no
rem documented exit codes, "fc /b" has (0: the same). DOS system files may be read-only,
rem hidden or system files, which "copy" does not overwrite.
:put
"%SystemRoot%\System32\attrib.exe" -r -h -s "%DOS_LETTER%\%~2" >nul 2>&1
copy /b /y %1 "%DOS_LETTER%\%~2" >nul
"%SystemRoot%\System32\fc.exe" /b %1 "%DOS_LETTER%\%~2" >nul
if %errorlevel% equ 0 goto :eof
call :offline
exit 13

rem Removes the letter, dismounts the partition (closing whatever others hold open on it) and
rem takes it offline, where no path reaches it until the next "mountvol" with a letter.
:offline
"%SystemRoot%\System32\mountvol.exe" %DOS_LETTER% /p
if %errorlevel% neq 0 exit 14
goto :eof
