@echo off
rem Group Policy computer startup script: writes the wanted synchronization
rem settings to all eight Quorin driver services at each startup, as SYSTEM,
rem and records each run in the installation's Logs folder,
rem %ProgramW6432%\Quorin Sync Options\Logs\startup-script.log (Group Policy
rem itself keeps no exit code). Exit 0: all eight were written; exit 1: they
rem were not, and the log says why.
setlocal
set "MODE=scanstart"
rem MODE: off, frame, line or scanstart
set "FRAMES=3"
rem FRAMES: frames to scan after each frame synchronization pulse

rem The 64-bit Program Files, also when this runs in 32-bit cmd.
set "PROGRAMFILES64=%ProgramW6432%"
if not defined PROGRAMFILES64 set "PROGRAMFILES64=%ProgramFiles%"
set "INSTALLED=%PROGRAMFILES64%\Quorin Sync Options"
set "PROGRAM=%INSTALLED%\quorin-sync.exe"

rem The log folder is the package's, inside the installation, where only
rem Administrators and SYSTEM can write: a standard user can neither make
rem it first nor plant anything in it. It is never made here, and one that
rem is a link to elsewhere (a junction) is not written to. Without it the
rem run goes unlogged, and its exit code still tells.
set "LOG=nul"
set "ATTRIBUTES=---------"
for %%D in ("%INSTALLED%\Logs") do set "ATTRIBUTES=%%~aD---------"
if "%ATTRIBUTES:~0,1%"=="d" if not "%ATTRIBUTES:~8,1%"=="l" set "LOG=%INSTALLED%\Logs\startup-script.log"
if "%LOG%"=="nul" echo The log folder "%INSTALLED%\Logs" is missing or a link: this run is not logged. 1>&2

call :log %DATE% %TIME% quorin-sync set --mode %MODE% --frames %FRAMES%
if not exist "%PROGRAM%" goto missing
rem A redirection that cannot be opened skips the command it belongs to
rem (CODE stays unset), so the set then runs again unlogged: it runs, and
rem its exit code is taken, whether or not the log takes its lines.
set "CODE="
call :set_settings >>"%LOG%" 2>&1
if not defined CODE call :set_settings >nul 2>&1
if "%CODE%"=="0" goto written
call :log FAILED: quorin-sync set ended with exit code %CODE%
exit /b 1

:missing
call :log FAILED: "%PROGRAM%" is not installed
exit /b 1

:written
call :log OK
exit /b 0

:set_settings
"%PROGRAM%" set --mode %MODE% --frames %FRAMES%
set "CODE=%ERRORLEVEL%"
exit /b 0

rem One line for the log; a line that cannot be written is left out.
:log
>>"%LOG%" echo %*
exit /b 0
