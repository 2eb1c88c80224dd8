@echo off
rem Example launch script for addmorvane. Put it in place as C:\morvane1.bat, with the site
rem settings below filled in, as README.txt says (section 5). It prepares the next start of
rem this PC so that DOS runs the memory tester; addmorvane then restarts the PC. Its partner,
rem morvane1-undo-example.bat, undoes what a run left behind; both carry the same settings.
rem
rem addmorvane runs it hidden, with administrator rights, in C:\, as
rem   %SystemRoot%\System32\cmd.exe /d /e:on /v:off /c call "C:\morvane1.bat"
rem and restarts the PC only when it ends with 0 within 2 minutes. Its other exit codes
rem (the undo script uses the same numbers):
rem   10 Windows does not start in BIOS mode     18 as 17, and BitLocker still suspended
rem   11 site settings not filled in, or no      19 a file on the partition that is none of
rem      master folder or checker                   the listed ones (left there, as evidence)
rem   12 DOS partition not online at its letter  20 a DOS system file missing or changed:
rem   13 a copy on it differs from its master       run SYS again
rem   14 DOS partition not taken offline         21 the letter names another volume
rem   15 BitLocker state unknown                 22 bcdedit failed
rem   16 BitLocker protection not suspended      23 DOS_ENTRY starts no \bootsect.dos
rem   17 one-time boot entry not set             24 Windows 7 start-up task not made
rem                                              25 the partition's check failed: its line
rem                                                 is in morvane1.out in the master folder
rem After 12 to 25, run the undo script. A step fails on any code but 0, a negative one too
rem (tools can end with an HRESULT): hence "if %errorlevel% neq 0", since "if errorlevel 1"
rem misses negative codes. "exit N" ends cmd.exe itself: to try the script, run that command
rem line in a prompt run as administrator, then "echo %errorlevel%".
setlocal EnableExtensions DisableDelayedExpansion
rem A pipe, should one be added, starts %ComSpec%: the system's own one, whatever it was.
set "ComSpec=%SystemRoot%\System32\cmd.exe"
rem No variable of these names may hide the last command's code, or answer a check.
for %%V in (ERRORLEVEL SUSPENDED BIOS SECTOR AT CUR SEEN BAD DROP MSDOS6) do set "%%V="

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
if not exist "%DOS_PROGRAM%\dospart-check.exe" exit 11

rem 1. Only where Windows starts in BIOS (MBR) mode, or through CSM with Secure Boot off, can
rem    a boot entry start DOS: there Windows' loader is winload.exe (through UEFI it is
rem    winload.efi). bcdedit's element names ("path") are the same in every language.
"%BCDEDIT%" /enum {current} >"%OUT%"
if %errorlevel% neq 0 exit 22
for /f "usebackq tokens=1,*" %%A in ("%OUT%") do (
  if /i "%%A"=="path" if /i "%%~nxB"=="winload.exe" set "BIOS=1"
)
if not defined BIOS exit 10
"%BCDEDIT%" /enum %DOS_ENTRY% >"%OUT%"
if %errorlevel% neq 0 exit 22
for /f "usebackq tokens=1,*" %%A in ("%OUT%") do (
  if /i "%%A"=="path" if /i "%%B"=="\bootsect.dos" set "SECTOR=1"
)
if not defined SECTOR exit 23

rem 2. The DOS partition. FAT keeps no permissions: any user can change the files of a FAT
rem    drive that Windows reaches, so the partition is online only during this step, at its
rem    letter (checked to name it before anything is read). The DOS system files must be the
rem    ones SYS wrote (a copy of them can leave DOS unable to start); every other file DOS
rem    reads gets its master copy, and the run script as it is now (addmorvane rewrites it
rem    whenever its buttons change the tester's command line). Any failure from here on takes
rem    the partition offline first.
call :online
for %%F in (%DOS_SYSTEM%) do call :same "%DOS_MASTER%\%%F" %%F
call :put "C:\morvane.bat" MORVANE.BAT
for %%F in (%DOS_FILES%) do call :put "%DOS_MASTER%\%%F" %%F
call :contents
call :offline
rem    Then, offline, where nothing changes it any more, the partition read raw: its table, boot
rem    sector, BOOTSECT.DOS, FAT chains and every file, byte for byte, as DOS will find them.
rem    MS-DOS up to 6.22, whose MSDOS.SYS is a system file, needs its boot rules (--msdos6).
for %%F in (%DOS_SYSTEM%) do if /i "%%F"=="MSDOS.SYS" set "MSDOS6=--msdos6"
"%DOS_PROGRAM%\dospart-check.exe" check --volume %DOS_VOLUME% --master "%DOS_MASTER%" --files "%DOS_SYSTEM% %DOS_FILES%" --outputs "%DOS_OUTPUT%" --run-script "C:\morvane.bat" %MSDOS6% >"%OUT%" 2>&1
if %errorlevel% neq 0 exit 25

rem 3. BitLocker. "-status C: -ProtectionAsErrorLevel" ends with 0 when drive C: is protected,
rem    with 1 when it is not; any other code stops the script. Without manage-bde.exe this
rem    Windows has no BitLocker. When protected, suspend the protection for one restart, or
rem    the PC may ask for the recovery key. Windows 7 (version 6.1) has no -RebootCount: there
rem    a start-up task turns protection on again at the first start of Windows after the test
rem    (DOS runs no Windows task), and then deletes itself.
if not exist "%MANAGEBDE%" goto boot
"%MANAGEBDE%" -status C: -ProtectionAsErrorLevel >nul
if %errorlevel% equ 1 goto boot
if %errorlevel% neq 0 exit 15
set "ONCE=-RebootCount 1"
set "VERSION=-"
ver >"%OUT%"
for /f "usebackq delims=" %%V in ("%OUT%") do set "VERSION=%%V"
if not "%VERSION: 6.1.=%"=="%VERSION%" call :task
"%MANAGEBDE%" -protectors -disable C: %ONCE%
if %errorlevel% neq 0 exit 16
set "SUSPENDED=1"

:boot
rem 4. The DOS boot sector for the next start only; the start after it is Windows again.
rem    Without it no restart comes, so a suspended protection is turned on again.
"%BCDEDIT%" /bootsequence %DOS_ENTRY%
if %errorlevel% equ 0 exit 0
if not defined SUSPENDED exit 17
"%MANAGEBDE%" -protectors -enable C:
if %errorlevel% neq 0 exit 18
exit 17

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

rem Compares a DOS system file with its master copy: "fc /b" has documented exit codes (0: the
rem same), "copy" has none. Missing or different, it is left for SYS to write again.
:same
"%SystemRoot%\System32\fc.exe" /b %1 "%DOS_LETTER%\%~2" >nul 2>&1
if %errorlevel% equ 0 goto :eof
call :offline
exit 20

rem Copies a file to the partition where it differs from its original, then compares again.
rem Read-only, hidden or system files (DOS media have them) are not overwritten by "copy".
:put
"%SystemRoot%\System32\fc.exe" /b %1 "%DOS_LETTER%\%~2" >nul 2>&1
if %errorlevel% equ 0 goto :eof
"%SystemRoot%\System32\attrib.exe" -r -h -s "%DOS_LETTER%\%~2" >nul 2>&1
copy /b /y %1 "%DOS_LETTER%\%~2" >nul
"%SystemRoot%\System32\fc.exe" /b %1 "%DOS_LETTER%\%~2" >nul
if %errorlevel% equ 0 goto :eof
call :offline
exit 13

rem Nothing but the listed files, what the tester writes, and Windows' own folder may be in the
rem root, and no other folder: DOS loads DBLSPACE.BIN or DRVSPACE.BIN from there by itself,
rem and anything else planted could be run. What is found stays there, as evidence.
:contents
dir /a /b %DOS_LETTER%\ >"%OUT%"
rem The names are compared as they stand, with no delayed expansion, which would take a "!"
rem out of a planted name (MORVANE!x!.BAT would read as MORVANE.BAT).
set "SEEN=" & set "BAD="
for /f "usebackq delims=" %%P in ("%OUT%") do (
  set "KNOWN="
  if /i "%%P"=="MORVANE.BAT" set "SEEN=1"
  for %%N in (MORVANE.BAT %DOS_SYSTEM% %DOS_FILES% %DOS_OUTPUT% "System Volume Information") do (
    if /i "%%P"=="%%~N" set "KNOWN=1"
  )
  if not defined KNOWN set "BAD=1"
)
if defined SEEN if not defined BAD goto :eof
call :offline
exit 19

rem Removes the letter, dismounts the partition (closing whatever others hold open on it) and
rem takes it offline, where no path reaches it until the next "mountvol" with a letter.
rem Mountvol documents no exit codes: its volume name must be unreachable afterwards.
:offline
"%MOUNTVOL%" %DOS_LETTER% /p
if %errorlevel% neq 0 exit 14
dir "%DOS_PROBE%" >nul 2>&1
if %errorlevel% equ 0 exit 14
goto :eof

rem Windows 7: the task that turns protection on again, made before protection is suspended,
rem from a file in the master folder, where no one else can change it between its writing
rem and its reading. Made from XML: a task made by /tr starts only on AC power.
:task
set "ONCE="
set "XML=%DOS_MASTER%\%DOS_TASK%.xml"
> "%XML%" (
  echo ^<?xml version="1.0" ?^>
  echo ^<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task"^>
  echo ^<Triggers^>^<BootTrigger^>^<Enabled^>true^</Enabled^>^</BootTrigger^>^</Triggers^>
  echo ^<Principals^>^<Principal id="System"^>^<UserId^>S-1-5-18^</UserId^>
  echo ^<RunLevel^>HighestAvailable^</RunLevel^>^</Principal^>^</Principals^>
  echo ^<Settings^>^<DisallowStartIfOnBatteries^>false^</DisallowStartIfOnBatteries^>
  echo ^<StopIfGoingOnBatteries^>false^</StopIfGoingOnBatteries^>
  echo ^<ExecutionTimeLimit^>PT1H^</ExecutionTimeLimit^>^<Enabled^>true^</Enabled^>^</Settings^>
  echo ^<Actions Context="System"^>^<Exec^>^<Command^>%ComSpec%^</Command^>
  echo ^<Arguments^>/d /c "%MANAGEBDE% -protectors -enable C: &amp;&amp; %SystemRoot%\System32\schtasks.exe /delete /tn %DOS_TASK% /f"^</Arguments^>
  echo ^</Exec^>^</Actions^>^</Task^>
)
if %errorlevel% neq 0 exit 24
"%SystemRoot%\System32\schtasks.exe" /create /tn "%DOS_TASK%" /xml "%XML%" /ru SYSTEM /f >nul
if %errorlevel% neq 0 exit 24
del "%XML%"
goto :eof
