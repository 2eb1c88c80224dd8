@echo off
rem Example launch script for addmorvane. Copy it to C:\morvane1.bat, fill in the two site
rem settings below and protect it as README.txt says (section 5). It prepares the next start
rem of this PC so that DOS runs the memory tester; addmorvane then restarts the PC.
rem
rem addmorvane runs it hidden, with administrator rights, in C:\, as
rem   %SystemRoot%\System32\cmd.exe /d /c call "C:\morvane1.bat"
rem and restarts the PC only when it ends with 0 within 2 minutes. Its other exit codes:
rem   10 site settings not filled in      13 BitLocker protection not suspended
rem   11 C:\morvane.bat not copied        14 one-time boot entry not set
rem   12 C:\Morvane.com not copied
rem A step fails on any code but 0, a negative one too (tools can end with an HRESULT):
rem hence "if %errorlevel% neq 0", since "if errorlevel 1" misses negative codes.
rem "exit N" ends cmd.exe itself: to try the script, run that command line in a prompt
rem run as administrator, then "echo %errorlevel%".
rem
rem It works only where Windows starts in BIOS (MBR) mode, or through CSM with Secure Boot
rem off: on a PC whose Windows starts through UEFI, no boot entry can start DOS.
setlocal EnableExtensions DisableDelayedExpansion
rem A pipe starts %ComSpec%: the system's own one, whatever the environment said.
set "ComSpec=%SystemRoot%\System32\cmd.exe"
rem No variable of that name may hide the last command's code from %errorlevel%.
set "ERRORLEVEL="

rem ---- Site settings ---------------------------------------------------------------------
rem The FAT partition DOS starts from, by its letter in Windows. Under DOS it must be C:
rem (the first FAT primary partition of the first disk), its AUTOEXEC.BAT calls
rem C:\MORVANE.BAT, and it holds the follow-up script MORVANE2.BAT.
set "DOS_DRIVE=D:"
rem The boot entry for that partition's DOS boot sector, made once (README.txt, section 5).
set "DOS_ENTRY={GUID-OF-THE-DOS-ENTRY}"
rem ----------------------------------------------------------------------------------------
if "%DOS_ENTRY%"=="{GUID-OF-THE-DOS-ENTRY}" exit 10

rem 1. The run script and the tester, where DOS sees them. The run script is taken as it is
rem    now: addmorvane rewrites it whenever its buttons change the tester's command line.
copy /b /y "C:\morvane.bat" "%DOS_DRIVE%\MORVANE.BAT"
if %errorlevel% neq 0 exit 11
copy /b /y "C:\Morvane.com" "%DOS_DRIVE%\MORVANE.COM"
if %errorlevel% neq 0 exit 12

rem 2. BitLocker. "-status C: -ProtectionAsErrorLevel" ends with 0 when drive C: is protected,
rem    with 1 when it is not (and cmd with 9009 where there is no manage-bde.exe). When it is
rem    protected, suspend the protection for one restart, or the PC may ask for the recovery
rem    key. Windows 7 (version 6.1) has no -RebootCount: there protection stays off until an
rem    administrator turns it on again after the test: manage-bde -protectors -enable C:
"%SystemRoot%\System32\manage-bde.exe" -status C: -ProtectionAsErrorLevel >nul
if errorlevel 1 goto unprotected
set "ONCE=-RebootCount 1"
ver | "%SystemRoot%\System32\find.exe" " 6.1." >nul
if not errorlevel 1 set "ONCE="
"%SystemRoot%\System32\manage-bde.exe" -protectors -disable C: %ONCE%
if %errorlevel% neq 0 exit 13
:unprotected

rem 3. The DOS boot sector for the next start only; the start after it is Windows again.
"%SystemRoot%\System32\bcdedit.exe" /bootsequence %DOS_ENTRY%
if %errorlevel% neq 0 exit 14
exit 0
