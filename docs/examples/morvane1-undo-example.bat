@echo off
rem Example undo script for addmorvane, the partner of morvane1-example.bat. It undoes what the
rem launch script may have left, whatever step it stopped at: after a run that failed, was
rem given up (2 minutes) or killed, or was followed by no restart (closing addmorvane after
rem a successful run cancels the restart, not what the launch script prepared). Its settings
rem are the launch script's, copied from C:\morvane1.bat. Run it as administrator as
rem   %SystemRoot%\System32\cmd.exe /d /c call "C:\Program Files\addmorvane-dos\morvane1-undo.bat"
rem then "echo %errorlevel%": 0 only when all of this holds:
rem   - no one-time boot entry is set;
rem   - the DOS partition is offline, its volume name unreachable;
rem   - BitLocker protection of C: is on wherever C: is encrypted;
rem   - the Windows 7 start-up task of the launch script is gone.
rem Its other exit codes are the launch script's:
rem   11 settings not filled in, no master folder  17 the one-time boot entry still set
rem   12 DOS partition not online at its letter    18 BitLocker protection still off
rem   14 DOS partition not taken offline           21 the letter names another volume
rem   15 BitLocker state unknown                   22 bcdedit failed
rem                                                24 Windows 7 start-up task still there
setlocal EnableExtensions DisableDelayedExpansion
set "ComSpec=%SystemRoot%\System32\cmd.exe"
for %%V in (ERRORLEVEL SEQUENCE AT CUR DROP) do set "%%V="

rem ---- Site settings (README.txt, section 5), the same in both example scripts ----------
rem The DOS partition by the {GUID} of its volume name \\?\Volume{GUID}\ ("mountvol" lists
rem them), and a letter that no drive of this PC uses: the partition has it only while this
rem script runs. Under DOS it is C:.
set "DOS_VOLUME={GUID-OF-THE-DOS-PARTITION}"
set "DOS_LETTER=M:"
rem What must be unreachable once the partition is offline: its volume name. Leave it so.
set "DOS_PROBE=\\?\Volume%DOS_VOLUME%\"
rem The folder that only administrators can change, with the master copy of every file the
rem DOS start reads. The run script C:\morvane.bat goes along as MORVANE.BAT.
set "DOS_MASTER=C:\Program Files\addmorvane-dos"
rem The program's folder (its package puts it here), with dospart-check.exe.
set "DOS_PROGRAM=C:\Program Files\addmorvane"
rem The DOS system files, which only SYS can put in place: compared, never copied.
rem   MS-DOS 7.1: IO.SYS (its MSDOS.SYS is a text file: it goes into DOS_FILES)
rem   MS-DOS 6.x: IO.SYS MSDOS.SYS      FreeDOS: KERNEL.SYS
set "DOS_SYSTEM=IO.SYS"
rem The other files DOS reads, copied where they differ from their master copy.
set "DOS_FILES=bootsect.dos MSDOS.SYS COMMAND.COM CONFIG.SYS AUTOEXEC.BAT MORVANE2.BAT MORVANE.COM"
rem The files the tester and the run script write on the partition; nothing else may be there.
set "DOS_OUTPUT=ERRORS.TXT"
rem The boot entry for the partition's DOS boot sector, made once.
set "DOS_ENTRY={GUID-OF-THE-DOS-ENTRY}"
rem The Windows 7 start-up task that turns BitLocker protection on again after the test.
set "DOS_TASK=addmorvane-protect"
rem ----------------------------------------------------------------------------------------
set "BCDEDIT=%SystemRoot%\System32\bcdedit.exe"
set "MOUNTVOL=%SystemRoot%\System32\mountvol.exe"
set "MANAGEBDE=%SystemRoot%\System32\manage-bde.exe"
rem A tool's output is read from a file in the master folder, where no one else can change it:
rem through a pipe or "for /f" its exit code would be lost.
set "OUT=%DOS_MASTER%\morvane1.out"

if "%DOS_VOLUME%"=="{GUID-OF-THE-DOS-PARTITION}" exit 11
if "%DOS_ENTRY%"=="{GUID-OF-THE-DOS-ENTRY}" exit 11
if not exist "%DOS_MASTER%\" exit 11

rem 1. The one-time boot entry: first, since the next restart, whenever it comes, would start
rem    DOS. None set is done. bcdedit's element names are the same in every language.
"%BCDEDIT%" /enum {bootmgr} >"%OUT%"
if %errorlevel% neq 0 exit 22
for /f "usebackq tokens=1" %%A in ("%OUT%") do (
  if /i "%%A"=="bootsequence" set "SEQUENCE=1"
)
if not defined SEQUENCE goto partition
"%BCDEDIT%" /deletevalue {bootmgr} bootsequence
if %errorlevel% neq 0 exit 17

:partition
rem 2. The DOS partition offline. Where its volume name reaches it, it is online (with any
rem    letter, or none): it gets its letter, and then is taken offline, proven.
dir "%DOS_PROBE%" >nul 2>&1
if %errorlevel% neq 0 goto bitlocker
call :online
call :offline

:bitlocker
rem 3. BitLocker protection of C: on again where C: is encrypted. manage-bde's texts are in the
rem    system's language, and its -ProtectionAsErrorLevel says 1 both for "suspended" and for
rem    "not encrypted": WMI's Win32_EncryptableVolume tells them apart. The query ends with 1
rem    when C: is fully encrypted and its protection is off, with 0 when there is nothing to
rem    do (not encrypted, being encrypted or decrypted, or protected), with 3 when it cannot
rem    tell. Without manage-bde.exe this Windows has no
rem    BitLocker.
if not exist "%MANAGEBDE%" goto task
"%SystemRoot%\System32\WindowsPowerShell\v1.0\powershell.exe" -NoProfile -NonInteractive -Command "$v = Get-WmiObject -Namespace root\cimv2\Security\MicrosoftVolumeEncryption -Class Win32_EncryptableVolume | Where-Object { $_.DriveLetter -eq 'C:' }; if ($v -eq $null) { exit 3 }; $c = $v.GetConversionStatus(); $p = $v.GetProtectionStatus(); if ($c.ReturnValue -ne 0 -or $p.ReturnValue -ne 0) { exit 3 }; if ($p.ProtectionStatus -eq 0 -and $c.ConversionStatus -eq 1) { exit 1 }; exit 0"
if %errorlevel% equ 0 goto task
if %errorlevel% neq 1 exit 15
"%MANAGEBDE%" -protectors -enable C:
if %errorlevel% neq 0 exit 18

:task
rem 4. The Windows 7 start-up task, once protection is on: its work is done.
"%SystemRoot%\System32\schtasks.exe" /query /tn "%DOS_TASK%" >nul 2>&1
if %errorlevel% neq 0 exit 0
"%SystemRoot%\System32\schtasks.exe" /delete /tn "%DOS_TASK%" /f >nul
if %errorlevel% neq 0 exit 24
exit 0

rem Brings the partition online at its letter, and only there: "mountvol /p" refuses a volume
rem with another mount point (Disk Management gives it a letter), and a run that was killed
rem leaves the letter naming it, which is taken over. A letter naming another volume is left
rem alone. Mountvol's texts are in the system's language; volume names and paths are not.
:online
set "GUID=%DOS_VOLUME:~1,-1%"
"%MOUNTVOL%" >"%OUT%"
for /f "usebackq tokens=1,2 delims={} " %%A in ("%OUT%") do call :point "%%A" "%%B"
if defined AT if /i not "%AT%"=="%GUID%" exit 21
for %%P in (%DROP%) do call :drop %%P
if defined AT goto named
"%MOUNTVOL%" %DOS_LETTER% \\?\Volume%DOS_VOLUME%\
if %errorlevel% neq 0 exit 12
:named
set "AT="
"%MOUNTVOL%" %DOS_LETTER% /l >"%OUT%"
for /f "usebackq tokens=1,2 delims={} " %%A in ("%OUT%") do (
  if /i "%%A"=="\\?\Volume" set "AT=%%B"
)
if /i "%AT%"=="%GUID%" goto :eof
call :offline
exit 12

rem One line of mountvol's list: a volume's name, or one of its mount points, a path. The
rem volume at the letter is noted; every other mount point of the DOS volume is to be removed,
rem given without its last backslash and unquoted (before a quote, a backslash would quote it).
:point
if /i "%~1"=="\\?\Volume" set "CUR=%~2"
if /i "%~1"=="\\?\Volume" goto :eof
if /i not "%~f1"=="%~1" goto :eof
if /i "%~1"=="%DOS_LETTER%\" set "AT=%CUR%"
if /i "%~1"=="%DOS_LETTER%\" goto :eof
if /i not "%CUR%"=="%GUID%" goto :eof
set "POINT=%~1"
set "DROP=%DROP% %POINT:~0,-1%"
goto :eof
:drop
"%MOUNTVOL%" %1 /d
if %errorlevel% neq 0 exit 12
goto :eof

rem Removes the letter, dismounts the partition (closing whatever others hold open on it) and
rem takes it offline, where no path reaches it until the next "mountvol" with a letter.
rem Mountvol documents no exit codes: its volume name must be unreachable afterwards.
:offline
"%MOUNTVOL%" %DOS_LETTER% /p
if %errorlevel% neq 0 exit 14
dir "%DOS_PROBE%" >nul 2>&1
if %errorlevel% equ 0 exit 14
goto :eof
