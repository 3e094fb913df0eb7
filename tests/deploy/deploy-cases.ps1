# The cases of the deployment scripts' tests, dot-sourced by
# DeployScripts.Tests.ps1 both when Pester discovers the tests and when it
# runs them: for each script, what quorin-sync.exe is in its folder and what
# the script must then answer.

$Deploy = $env:QUORIN_DEPLOY
$Wanted = 'check --mode scanstart --frames 3'
$WantedSet = 'set --mode scanstart --frames 3'
$SetLine = "Set. The driver uses the new settings after the scanner's USB cable is reconnected, the PC restarts or the probe button is pressed."
$CompliantLine = 'Compliant: all eight driver services hold mode scanstart, frames 3.'
# What each stand-in writes, one line on each stream.
$StandInOut = 'stand-in stdout'
$StandInErr = 'stand-in stderr'
$ExitCodes = 0, 1, 2, 3, 4, 5, 255

# One case: a script, what stands at quorin-sync.exe ('missing',
# 'unstartable', 'stand-in' with Code, or 'real'), and the exit code and
# last line wanted (for the discovery script, its only line).
function New-DeployCase($Script, $Program, $Code, $Exit, $Last) {
    @{ Name = "$Script, quorin-sync.exe $Program$(if ($Program -eq 'stand-in') { " exiting $Code" })"
       Script = $Script; Program = $Program; Code = $Code; Exit = $Exit; Last = $Last }
}

function Get-StandInCases {
    foreach ($code in $ExitCodes) {
        $detectLast = if ($code -eq 0) { $CompliantLine } else { "Not compliant: quorin-sync check ended with exit code $code." }
        New-DeployCase 'intune-remediation-detect.ps1' 'stand-in' $code ([int]($code -ne 0)) $detectLast
        $setLast = switch ($code) {
            0 { $SetLine }
            4 { "Not set: the driver services' keys refused the change (exit code 4); nothing was changed. Check the keys' permissions for SYSTEM." }
            5 { 'Not set: another save of these settings was in progress (exit code 5); nothing was changed. The next run tries again.' }
            default { "Not set: quorin-sync set ended with exit code $code; the lines above say which services were written." }
        }
        New-DeployCase 'remediation.ps1' 'stand-in' $code ([int]($code -ne 0)) $setLast
        New-DeployCase 'configmgr-discovery.ps1' 'stand-in' $code 0 $(if ($code -eq 0) { 'Compliant' } else { 'NonCompliant' })
    }
    foreach ($program in 'missing', 'unstartable') {
        New-DeployCase 'intune-remediation-detect.ps1' $program $null 1 $null
        New-DeployCase 'remediation.ps1' $program $null 1 $null
        New-DeployCase 'configmgr-discovery.ps1' $program $null 0 'NonCompliant'
    }
    # It never runs the program. A native file's version is not read here,
    # so a file present is never this version; a missing one never is.
    New-DeployCase 'intune-win32-app-detect.ps1' 'missing' $null 1 $null
    New-DeployCase 'intune-win32-app-detect.ps1' 'stand-in' 0 1 $null
}

# The real quorin-sync.exe, in order: the services start without the settings.
function Get-RealCases {
    New-DeployCase 'intune-remediation-detect.ps1' 'real' $null 1 'Not compliant: quorin-sync check ended with exit code 1.'
    New-DeployCase 'configmgr-discovery.ps1' 'real' $null 0 'NonCompliant'
    New-DeployCase 'remediation.ps1' 'real' $null 0 $SetLine
    New-DeployCase 'intune-remediation-detect.ps1' 'real' $null 0 $CompliantLine
    New-DeployCase 'configmgr-discovery.ps1' 'real' $null 0 'Compliant'
}
