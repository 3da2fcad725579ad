@echo off
rem Scores a contest log with Stats.dll: drop the log on this file, or choose
rem it in the dialog that opens. The report, the analysis page, the ledger and
rem the plug-in's files go into a folder named after the log under Documents.
setlocal
cd /d "%~dp0"
set "log=%~1"
if not defined log for /f "usebackq delims=" %%f in (`powershell -NoProfile -STA -Command "Add-Type -AssemblyName System.Windows.Forms; $d = New-Object System.Windows.Forms.OpenFileDialog; $d.Title = 'Choose a contest log (ADIF or Cabrillo)'; $d.Filter = 'Contest logs|*.adi;*.adif;*.cbr;*.log;*.txt|All files|*.*'; if ($d.ShowDialog() -eq 'OK') { $d.FileName }"`) do set "log=%%f"
if not defined log exit /b 1
call :replay "%log%"
exit /b %rc%

:replay
set "out=%USERPROFILE%\Documents\VERDA-WW-DX\%~n1"
replay.exe "%~1" --workdir "%out%" --html "%out%\report.html" --analysis "%out%\analysis.html" --ledger "%out%\ledger.csv"
set rc=%errorlevel%
if exist "%out%\analysis.html" start "" "%out%\analysis.html"
echo.
echo The report, the analysis page and the ledger are in %out%
pause
exit /b
