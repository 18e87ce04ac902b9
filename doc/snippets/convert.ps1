# Converts one case and prints the path of its document; on failure shows
# the tool's report and ends with the tool's status.
# Usage: .\convert.ps1 CASE.json [-Tool C:\path\daz-izezovivadezurid.exe]
param([Parameter(Mandatory)] [string] $CaseFile,
      [string] $Tool = "daz-izezovivadezurid")

[Console]::OutputEncoding = [Text.Encoding]::UTF8   # the tool writes UTF-8
$errors = New-TemporaryFile
try {
    $output = & $Tool $CaseFile 2> $errors.FullName
    $status = $LASTEXITCODE                          # 1: bad case files; 2: bad command line
    if ($status -ne 0) {
        [Console]::Error.WriteLine("conversion of $CaseFile failed with status ${status}:")
        [Console]::Error.Write((Get-Content -Raw -Encoding UTF8 $errors.FullName))
        exit $status
    }
    $document = $output -replace '^Generated ', ''   # the one line on success: "Generated <path>"
    Write-Output "document: $document"
} finally {
    Remove-Item $errors.FullName
}
