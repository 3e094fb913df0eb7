@echo off
rem Group Policy computer startup script: writes the wanted synchronization
rem settings to all eight Quorin driver services at each startup, as SYSTEM,
rem and records each run in %ProgramData%\Quorin Sync Options\startup-script.log
rem (Group Policy itself keeps no exit code). Exit 0: all eight were written;
rem exit 1: they were not, and the log says why.
setlocal
set "MODE=scanstart"
rem MODE: off, frame, line or scanstart
set "FRAMES=3"
rem FRAMES: frames to scan after each frame synchronization pulse

rem The 64-bit Program Files, also when this runs in 32-bit cmd.
set "PROGRAMFILES64=%ProgramW6432%"
if not defined PROGRAMFILES64 set "PROGRAMFILES64=%ProgramFiles%"
set "PROGRAM=%PROGRAMFILES64%\Quorin Sync Options\quorin-sync.exe"
set "LOGDIR=%ProgramData%\Quorin Sync Options"
set "LOG=%LOGDIR%\startup-script.log"
if not exist "%LOGDIR%\" mkdir "%LOGDIR%"

>>"%LOG%" echo %DATE% %TIME% quorin-sync set --mode %MODE% --frames %FRAMES%
if not exist "%PROGRAM%" goto missing
"%PROGRAM%" set --mode %MODE% --frames %FRAMES% >>"%LOG%" 2>&1
set "CODE=%ERRORLEVEL%"
if "%CODE%"=="0" goto written
>>"%LOG%" echo FAILED: quorin-sync set ended with exit code %CODE%
exit /b 1

:missing
>>"%LOG%" echo FAILED: "%PROGRAM%" is not installed
exit /b 1

:written
>>"%LOG%" echo OK
exit /b 0
