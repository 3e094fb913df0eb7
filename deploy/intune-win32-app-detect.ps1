# Intune Win32 app, custom detection script: is Quorin Sync Options
# $MinimumVersion or newer installed? Intune counts the app as detected only
# when the script exits 0 and writes a line to standard output; otherwise it
# writes nothing and exits 1. A newer version counts as detected, so a PC
# that an upgrade reached is not reinstalled with the older one.
# Run it in 64-bit PowerShell ("Run script as 32-bit process": No).
$MinimumVersion = '1.3.0'   # the package's version: the three numbers Windows Installer compares

# The 64-bit Program Files, also when this runs in 32-bit PowerShell.
$programFiles = if ($env:ProgramW6432) { $env:ProgramW6432 } else { $env:ProgramFiles }
$folder = Join-Path $programFiles 'Quorin Sync Options'
$dialog = Join-Path $folder 'Quorin Sync Options.exe'
$console = Join-Path $folder 'quorin-sync.exe'
if (-not (Test-Path -LiteralPath $dialog -PathType Leaf) -or -not (Test-Path -LiteralPath $console -PathType Leaf)) {
    exit 1
}
try {
    $info = (Get-Item -LiteralPath $console).VersionInfo
    $installed = [version]::new($info.FileMajorPart, $info.FileMinorPart, $info.FileBuildPart)
    # major.minor.build on both sides: .NET counts a missing fourth number
    # as older, so 1.3.0 would never reach a minimum written as 1.3.0.0.
    $minimum = [version]$MinimumVersion
    $wanted = [version]::new($minimum.Major, $minimum.Minor, [Math]::Max($minimum.Build, 0))
    $detected = $installed -ge $wanted
} catch {
    exit 1
}
if ($detected) {
    Write-Output "Quorin Sync Options $installed is installed in $folder."
    exit 0
}
exit 1
