# The deployment scripts as Intune and Configuration Manager run them: each
# case a fresh `pwsh -NoProfile -File` of the script itself, its
# ProgramW6432 pointing at a folder of the test's own where
# "Quorin Sync Options\quorin-sync.exe" is missing, not startable, a
# stand-in that writes a line on each stream and ends with a given code, or
# the real program under Wine (through a launcher there). Every case's exit
# code and exact output are asserted. The cases' processes run a few at a
# time before the assertions, so the run is as long as its slowest batch.
# And every script parses with PowerShell's own parser, using nothing that
# Windows PowerShell 5.1 lacks.
#
# The environment: QUORIN_PWSH, the PowerShell that runs each script (pwsh,
# or on Windows powershell.exe, Windows PowerShell 5.1); QUORIN_DEPLOY, the
# deploy folder; QUORIN_STAND_IN, on Windows, the stand-in program (on Linux
# a shell script stands in); QUORIN_REAL_LAUNCHER, a launcher of the real
# quorin-sync.exe under Wine: the real cases are left out without it, and
# never run on Windows, where the real program would write the real keys.

BeforeDiscovery {
    . $PSScriptRoot/deploy-cases.ps1
    $standInCases = @(Get-StandInCases)
    $realCases = @(Get-RealCases)
    $scripts = @(Get-ChildItem -Path $Deploy -Filter *.ps1 | ForEach-Object { @{ Name = $_.Name; Path = $_.FullName } })
}

BeforeAll {
    . $PSScriptRoot/deploy-cases.ps1
    $pwsh = $env:QUORIN_PWSH

    # A folder standing for the 64-bit Program Files, with what the case
    # puts at quorin-sync.exe (and the dialog beside it).
    function New-ProgramFolder($Case, $Index) {
        $root = Join-Path $TestDrive "case-$Index"
        $folder = Join-Path $root 'Quorin Sync Options'
        $null = New-Item -ItemType Directory -Path $folder
        $program = Join-Path $folder 'quorin-sync.exe'
        switch ($Case.Program) {
            'missing' { return $root }
            'unstartable' { Set-Content -LiteralPath $program -Value 'MZ, but not a program' }
            'stand-in' {
                # Its exit code comes from QUORIN_STAND_IN_EXIT, set per case.
                if ($env:QUORIN_STAND_IN) {
                    Copy-Item -LiteralPath $env:QUORIN_STAND_IN -Destination $program
                } else {
                    Set-Content -LiteralPath $program -Value @(
                        '#!/bin/sh', "echo `"$StandInOut`" `"`$*`"", "echo `"$StandInErr`" >&2",
                        'exit "$QUORIN_STAND_IN_EXIT"')
                    & chmod +x $program
                }
            }
            'real' { Copy-Item -LiteralPath $env:QUORIN_REAL_LAUNCHER -Destination $program }
        }
        Set-Content -LiteralPath (Join-Path $folder 'Quorin Sync Options.exe') -Value 'MZ'
        $root
    }

    function Start-Case($Case, $Root) {
        $start = [System.Diagnostics.ProcessStartInfo]::new($pwsh)
        foreach ($argument in '-NoProfile', '-NonInteractive', '-File', (Join-Path $Deploy $Case.Script)) {
            $start.ArgumentList.Add($argument)
        }
        $start.Environment['ProgramW6432'] = $Root
        $start.Environment['QUORIN_STAND_IN_EXIT'] = "$($Case.Code)"
        $start.RedirectStandardOutput = $true
        $start.RedirectStandardError = $true
        $start.UseShellExecute = $false
        $process = [System.Diagnostics.Process]::Start($start)
        @{ Process = $process; Out = $process.StandardOutput.ReadToEndAsync(); Err = $process.StandardError.ReadToEndAsync() }
    }

    function Wait-Case($Running) {
        $Running.Process.WaitForExit()
        @{ Exit = $Running.Process.ExitCode
           Lines = @($Running.Out.Result -split '\r?\n' | Where-Object { $_ -ne '' })
           Err = $Running.Err.Result }
    }

    # Every stand-in case, a few at a time; then the real ones in order.
    $Results = @{}
    $Roots = @{}
    $cases = @(Get-StandInCases)
    $batch = 6
    for ($first = 0; $first -lt $cases.Count; $first += $batch) {
        $running = @{}
        foreach ($index in $first..([Math]::Min($first + $batch, $cases.Count) - 1)) {
            $Roots[$cases[$index].Name] = New-ProgramFolder $cases[$index] $index
            $running[$cases[$index].Name] = Start-Case $cases[$index] $Roots[$cases[$index].Name]
        }
        foreach ($name in $running.Keys) { $Results[$name] = Wait-Case $running[$name] }
    }
    if ($env:QUORIN_REAL_LAUNCHER -and -not $IsWindows) {
        $realRoot = New-ProgramFolder @{ Program = 'real' } 'real'
        $step = 0
        foreach ($case in Get-RealCases) {
            $Results["$($case.Name) #$step"] = Wait-Case (Start-Case $case $realRoot)
            $step++
        }
    }
}

Describe 'each deployment script with a stand-in or no quorin-sync.exe' {
    It '<Name>' -ForEach $standInCases {
        $result = $Results[$Name]
        # Not $program: PowerShell's names ignore case, and $Program is the case's.
        $programPath = Join-Path $Roots[$Name] 'Quorin Sync Options\quorin-sync.exe'
        $because = "it wrote: $($result.Lines -join ' | ') $($result.Err)"
        $result.Exit | Should -Be $Exit -Because $because
        $arguments = if ($Script -eq 'remediation.ps1') { $WantedSet } else { $Wanted }
        # The first pattern that matches decides (each ends with break).
        switch -Wildcard ("$Script $Program") {
            'configmgr-discovery.ps1 *' {
                # Exactly one value, whatever quorin-sync wrote on either stream.
                $result.Lines | Should -Be @($Last) -Because $because
                break
            }
            'intune-win32-app-detect.ps1 *' {
                $result.Lines | Should -BeNullOrEmpty -Because $because
                break
            }
            default { throw "no expectation for $Script with $Program" }
            '* stand-in' {
                # quorin-sync's lines passed on, then the script's own.
                $result.Lines[-1] | Should -Be $Last -Because $because
                @($result.Lines | Select-Object -SkipLast 1 | Sort-Object) |
                    Should -Be @(@("$StandInOut $arguments", $StandInErr) | Sort-Object) -Because $because
            }
            'intune-remediation-detect.ps1 missing' {
                $result.Lines | Should -Be @("Not compliant: $programPath is not installed.")
            }
            'remediation.ps1 missing' {
                $result.Lines | Should -Be @("Not set: $programPath is not installed.")
            }
            'intune-remediation-detect.ps1 unstartable' {
                $result.Lines.Count | Should -Be 1 -Because $because
                $result.Lines[0] | Should -BeLike 'Not compliant: quorin-sync.exe did not run (*).'
            }
            'remediation.ps1 unstartable' {
                $result.Lines.Count | Should -Be 1 -Because $because
                $result.Lines[0] | Should -BeLike 'Not set: quorin-sync.exe did not run (*).'
            }
        }
    }
}

Describe 'detection, remediation and discovery with the real quorin-sync.exe under Wine, in order' -Skip:(-not $env:QUORIN_REAL_LAUNCHER -or $IsWindows) {
    It '<Name>, step <Step>' -ForEach @(for ($i = 0; $i -lt $realCases.Count; $i++) { $realCases[$i] + @{ Step = $i } }) {
        $result = $Results["$Name #$Step"]
        $because = "it wrote: $($result.Lines -join ' | ') $($result.Err)"
        $result.Exit | Should -Be $Exit -Because $because
        $result.Lines[-1] | Should -Be $Last -Because $because
        if ($Script -eq 'configmgr-discovery.ps1') {
            $result.Lines.Count | Should -Be 1 -Because $because
        }
    }
}

# On Linux a native file's version block is not read through VersionInfo, so
# these run the script inside Pester's own process (`& $script`), where a
# mock of Get-Item gives quorin-sync.exe a version.
Describe 'intune-win32-app-detect.ps1, its version read through a mock of Get-Item, in-process' {
    BeforeAll {
        $folder = Join-Path $TestDrive 'Quorin Sync Options'
        $null = New-Item -ItemType Directory -Path $folder -Force
        Set-Content -LiteralPath (Join-Path $folder 'quorin-sync.exe') -Value 'MZ'
        Set-Content -LiteralPath (Join-Path $folder 'Quorin Sync Options.exe') -Value 'MZ'
        $saved = $env:ProgramW6432
        $env:ProgramW6432 = $TestDrive
    }
    AfterAll { $env:ProgramW6432 = $saved }

    It 'minimum <Minimum>, installed <Installed>: detected <Detected>' -ForEach @(
        @{ Minimum = '1.3'; Installed = '1.3.0'; Detected = $true }
        @{ Minimum = '1.3.0'; Installed = '1.3.0'; Detected = $true }
        @{ Minimum = '1.3.0.0'; Installed = '1.3.0'; Detected = $true }
        @{ Minimum = '1.3.0.0'; Installed = '1.4.2'; Detected = $true }
        @{ Minimum = '1.3.1'; Installed = '1.3.0'; Detected = $false }
        @{ Minimum = '1.3.0'; Installed = '1.2.9'; Detected = $false }
    ) {
        $copy = Join-Path $TestDrive "detect-$Minimum-$Installed.ps1"
        $body = Get-Content -LiteralPath (Join-Path $Deploy 'intune-win32-app-detect.ps1')
        $body -replace "^\`$MinimumVersion = '[^']*'", "`$MinimumVersion = '$Minimum'" | Set-Content -LiteralPath $copy
        $numbers = [version]$Installed
        Mock Get-Item {
            [pscustomobject]@{ VersionInfo = [pscustomobject]@{
                FileMajorPart = $numbers.Major; FileMinorPart = $numbers.Minor; FileBuildPart = $numbers.Build } }
        } -ParameterFilter { $LiteralPath -like '*quorin-sync.exe' }
        $output = & $copy
        $LASTEXITCODE | Should -Be $(if ($Detected) { 0 } else { 1 })
        if ($Detected) {
            $output | Should -Be "Quorin Sync Options $Installed is installed in $folder."
        } else {
            $output | Should -BeNullOrEmpty
        }
    }
}

Describe 'parsed by PowerShell, with nothing that Windows PowerShell 5.1 lacks' {
    BeforeAll {
        # The constructs of PowerShell 6 and 7 that 5.1, which Intune and
        # Configuration Manager run, refuses.
        function Find-NewerSyntax($Ast) {
            $found = [System.Collections.Generic.List[string]]::new()
            $null = $Ast.FindAll({
                param($node)
                switch ($node) {
                    { $_ -is [System.Management.Automation.Language.TernaryExpressionAst] } { $found.Add('ternary') }
                    { $_ -is [System.Management.Automation.Language.BinaryExpressionAst] -and
                      $_.Operator -eq 'QuestionQuestion' } { $found.Add('??') }
                    { $_ -is [System.Management.Automation.Language.AssignmentStatementAst] -and
                      $_.Operator -eq 'QuestionQuestionEquals' } { $found.Add('??=') }
                    { $_ -is [System.Management.Automation.Language.MemberExpressionAst] -and $_.NullConditional } { $found.Add('?.') }
                    { $_ -is [System.Management.Automation.Language.IndexExpressionAst] -and $_.NullConditional } { $found.Add('?[]') }
                    { $_ -is [System.Management.Automation.Language.PipelineChainAst] } { $found.Add('&& or ||') }
                    { $_ -is [System.Management.Automation.Language.ScriptBlockAst] -and $_.CleanBlock } { $found.Add('clean block') }
                }
                $false
            }, $true)
            $found
        }
        function Read-Script($Text) {
            $tokens = $null
            $errors = $null
            $ast = [System.Management.Automation.Language.Parser]::ParseInput($Text, [ref]$tokens, [ref]$errors)
            @{ Ast = $ast; Errors = $errors }
        }
    }

    It 'finds <Construct> in a known-bad line' -ForEach @(
        @{ Construct = 'ternary'; Line = '$a = $b ? 1 : 2' }
        @{ Construct = '??'; Line = '$a = $b ?? 1' }
        @{ Construct = '??='; Line = '$a ??= 1' }
        @{ Construct = '?.'; Line = '${a}?.Length' }
        @{ Construct = '?[]'; Line = '${a}?[0]' }
        @{ Construct = '&& or ||'; Line = 'Get-Date && Get-Date' }
        @{ Construct = 'clean block'; Line = 'function f { process { } clean { } }' }
    ) {
        $parsed = Read-Script $Line
        $parsed.Errors | Should -BeNullOrEmpty
        Find-NewerSyntax $parsed.Ast | Should -Contain $Construct
    }

    It 'refuses a line that does not parse: <Line>' -ForEach @(
        @{ Line = '"C:\Program Files\Quorin Sync Options\quorin-sync.exe" show' }
        @{ Line = 'Write-Output "ended with exit code $code: failed"' }
        @{ Line = 'if ($LASTEXITCODE -eq 0) {' }
    ) {
        (Read-Script $Line).Errors | Should -Not -BeNullOrEmpty
    }

    It '<Name>' -ForEach $scripts {
        $tokens = $null
        $errors = $null
        $ast = [System.Management.Automation.Language.Parser]::ParseFile($Path, [ref]$tokens, [ref]$errors)
        $errors | Should -BeNullOrEmpty
        Find-NewerSyntax $ast | Should -BeNullOrEmpty
    }
}
