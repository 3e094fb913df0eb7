# Configuration Manager configuration item, remediation script: writes the
# wanted synchronization settings to all eight Quorin driver services, all
# or nothing. Exit 0 when all eight were written, 1 otherwise (the output
# says why); Configuration Manager then runs the discovery script again.
# The driver uses the new settings only after the scanner's USB cable is
# reconnected, the PC restarts, or the probe button is pressed.
# Set the same two settings here and in configmgr-discovery.ps1.
$Mode = 'scanstart'   # off, frame, line or scanstart
$Frames = 3           # frames to scan after each frame synchronization pulse

# The 64-bit Program Files, also when this runs in 32-bit PowerShell.
$programFiles = if ($env:ProgramW6432) { $env:ProgramW6432 } else { $env:ProgramFiles }
$program = Join-Path $programFiles 'Quorin Sync Options\quorin-sync.exe'
if (-not (Test-Path -LiteralPath $program -PathType Leaf)) {
    Write-Output "Not set: $program is not installed."
    exit 1
}
try {
    $output = & $program set --mode $Mode --frames $Frames 2>&1
    $code = $LASTEXITCODE
} catch {
    Write-Output "Not set: quorin-sync.exe did not run ($($_.Exception.Message))."
    exit 1
}
$output | ForEach-Object { Write-Output "$_" }
if ($code -eq 0) {
    Write-Output "Set. The driver uses the new settings after the scanner's USB cable is reconnected, the PC restarts or the probe button is pressed."
    exit 0
}
Write-Output "Not set: quorin-sync set ended with exit code $code (4: the keys refused it and nothing was changed; 3: any other failure)."
exit 1
