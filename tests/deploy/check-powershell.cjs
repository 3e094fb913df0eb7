// Parses PowerShell scripts with a PowerShell grammar, since PowerShell
// itself does not run on the build machine, and fails on a syntax error.
//
// usage: node check-powershell.cjs NODE_TOOLS_DIR FILE...
// NODE_TOOLS_DIR holds the node_modules that package.json beside this file
// names. Each file's errors are printed with their lines.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const { createRequire } = require('node:module');

const [toolsDir, ...files] = process.argv.slice(2);
const requireTool = createRequire(path.join(path.resolve(toolsDir), 'package.json'));
const { Parser, Language } = requireTool('web-tree-sitter');

// What the grammar leaves through but PowerShell refuses to parse: in a
// double-quoted string, "$name:" followed by anything but a name is read as
// a scope or drive ($env:X) with no name ("Variable reference is not valid").
const kBadScopedVariable = /\$[A-Za-z_][A-Za-z0-9_]*:(?![A-Za-z0-9_{])/;

function problems(node, lines) {
    const found = [];
    const walk = (n) => {
        if (n.isError || n.isMissing) {
            found.push(`line ${n.startPosition.row + 1}: ${n.isMissing ? 'missing ' + n.type : 'syntax error'}: ` +
                       lines[n.startPosition.row].trim());
            return;
        }
        if (n.type === 'expandable_string_literal' && kBadScopedVariable.test(n.text)) {
            found.push(`line ${n.startPosition.row + 1}: "$name:" in a string is not a variable: ${n.text}`);
        }
        for (const child of n.children) {
            walk(child);
        }
    };
    walk(node);
    return found;
}

async function main() {
    await Parser.init();
    const language = await Language.load(requireTool.resolve('tree-sitter-powershell/tree-sitter-powershell.wasm'));
    const parser = new Parser();
    parser.setLanguage(language);
    let failed = false;
    for (const file of files) {
        const text = fs.readFileSync(file, 'utf8');
        const found = problems(parser.parse(text).rootNode, text.split(/\r?\n/));
        for (const problem of found) {
            console.log(`${file}: ${problem}`);
        }
        failed = failed || found.length > 0;
    }
    process.exit(failed ? 1 : 0);
}

main().catch((error) => {
    console.error(error);
    process.exit(2);
});
