# Intune Remediations, detection script: do all eight Quorin driver services
# hold the wanted synchronization settings?
#   exit 0: yes, without issues;
#   exit 1: no, or it could not be told (Intune then runs the remediation).
# The last line written is what the Intune console shows for the device.
# Run it as SYSTEM (not with the logged-on credentials), in 64-bit PowerShell.
# Set the same two settings here and in remediation.ps1.
$Mode = 'scanstart'   # off, frame, line or scanstart
$Frames = 3           # frames to scan after each frame synchronization pulse

# The 64-bit Program Files, also when this runs in 32-bit PowerShell.
$programFiles = if ($env:ProgramW6432) { $env:ProgramW6432 } else { $env:ProgramFiles }
$program = Join-Path $programFiles 'Quorin Sync Options\quorin-sync.exe'
if (-not (Test-Path -LiteralPath $program -PathType Leaf)) {
    Write-Output "Not compliant: $program is not installed."
    exit 1
}
try {
    $output = & $program check --mode $Mode --frames $Frames 2>&1
    $code = $LASTEXITCODE
} catch {
    # One line: the innermost reason, without PowerShell's position lines.
    Write-Output "Not compliant: quorin-sync.exe did not run ($(($_.Exception.GetBaseException().Message -split '\r?\n')[0]))."
    exit 1
}
$output | ForEach-Object { Write-Output "$_" }
if ($code -eq 0) {
    Write-Output "Compliant: all eight driver services hold mode $Mode, frames $Frames."
    exit 0
}
Write-Output "Not compliant: quorin-sync check ended with exit code $code."
exit 1
