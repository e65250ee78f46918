@echo off
rem Quorvel's tests on this PC: the unit tests, the window tests and the
rem end-to-end tests against the drive that holds this folder. Double-click
rem it, or run it from a command prompt. It ends with "N passed, N failed,
rem N skipped", writes quorvel-test-report.txt beside itself (or in the
rem temporary folder) and exits with 0 when no test failed.
setlocal EnableDelayedExpansion
"%~dp0quorvel_kit_runner.exe"
set status=%errorlevel%
rem Started by a double click, the console would close over the summary:
rem there the command line that started cmd names this file.
set "started=%cmdcmdline%"
if defined started if not "!started:%~nx0=!"=="!started!" pause
exit /b %status%
