# Configuration Manager configuration item, discovery script (a script
# setting of data type String). Writes exactly one value to standard output:
# Compliant when all eight Quorin driver services hold the wanted
# synchronization settings, NonCompliant otherwise, also when the program is
# missing or did not run. The compliance rule: the value returned by the
# script Equals Compliant, with "Run the specified remediation script when
# this setting is noncompliant". The reason is not written here, since only
# the one value may be; quorin-sync.exe show tells it on the PC.
# Set the same two settings here and in remediation.ps1.
$Mode = 'scanstart'   # off, frame, line or scanstart
$Frames = 3           # frames to scan after each frame synchronization pulse

# The 64-bit Program Files, also when this runs in 32-bit PowerShell.
$programFiles = if ($env:ProgramW6432) { $env:ProgramW6432 } else { $env:ProgramFiles }
$program = Join-Path $programFiles 'Quorin Sync Options\quorin-sync.exe'
$value = 'NonCompliant'
if (Test-Path -LiteralPath $program -PathType Leaf) {
    try {
        $null = & $program check --mode $Mode --frames $Frames 2>&1
        if ($LASTEXITCODE -eq 0) {
            $value = 'Compliant'
        }
    } catch {
        $value = 'NonCompliant'
    }
}
Write-Output $value
