# Remediation script, for Intune Remediations and for a Configuration
# Manager configuration item alike: writes the wanted synchronization
# settings to all eight Quorin driver services, all or nothing.
#   exit 0: all eight were written;
#   exit 1: they were not (the last line says why).
# Either tool then runs its detection or discovery script again, and reports
# that answer. The driver uses the new settings only after the scanner's USB
# cable is reconnected, the PC restarts, or the probe button is pressed.
# Run it as SYSTEM (in Intune: not with the logged-on credentials), in 64-bit
# PowerShell. Set the same two settings here and in the detection or
# discovery script.
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
    # One line: the innermost reason, without PowerShell's position lines.
    Write-Output "Not set: quorin-sync.exe did not run ($(($_.Exception.GetBaseException().Message -split '\r?\n')[0]))."
    exit 1
}
$output | ForEach-Object { Write-Output "$_" }
if ($code -eq 0) {
    Write-Output "Set. The driver uses the new settings after the scanner's USB cable is reconnected, the PC restarts or the probe button is pressed."
    exit 0
}
if ($code -eq 5) {
    Write-Output "Not set: another save of these settings was in progress (exit code 5); nothing was changed. The next run tries again."
} elseif ($code -eq 4) {
    Write-Output "Not set: the driver services' keys refused the change (exit code 4); nothing was changed. Check the keys' permissions for SYSTEM."
} else {
    Write-Output "Not set: quorin-sync set ended with exit code $code; the lines above say which services were written."
}
exit 1
