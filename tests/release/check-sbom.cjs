// Validates a CycloneDX 1.6 JSON SBOM against the CycloneDX JSON schema
// (strict), offline, with the schemas that @cyclonedx/cyclonedx-library
// carries and ajv; and every licence expression names SPDX licence and
// exception identifiers of that library's list, or LicenseRef- ones. Exit 0: valid; 1: not, with why.
//
// usage: node check-sbom.cjs NODE_TOOLS SBOM
'use strict';
const fs = require('fs');
const path = require('path');
const [tools, sbomPath] = process.argv.slice(2);
const CycloneDX = require(path.join(tools, 'node_modules/@cyclonedx/cyclonedx-library'));
const spdxIds = new Set(
  require(path.join(tools, 'node_modules/@cyclonedx/cyclonedx-library/res/schema/spdx.SNAPSHOT.schema.json')).enum);

// The CycloneDX version the release's SBOM is written in.
const kCycloneDxVersion = '1.6';
const text = fs.readFileSync(sbomPath, 'utf8');
const validator = new CycloneDX.Validation.JsonStrictValidator(kCycloneDxVersion);
validator.validate(text).then((errors) => {
  const problems = errors === null ? [] : [JSON.stringify(errors, null, 1)];
  for (const component of JSON.parse(text).components || []) {
    for (const license of component.licenses || []) {
      const words = (license.expression || '').split(/[\s()]+/).filter((w) => w && !/^(AND|OR|WITH)$/.test(w));
      for (const word of words) {
        if (!spdxIds.has(word) && !word.startsWith('LicenseRef-')) {
          problems.push(`${component.name}: "${word}" is no SPDX identifier`);
        }
      }
    }
  }
  if (problems.length > 0) {
    console.error(problems.join('\n'));
    process.exit(1);
  }
  console.log(`${sbomPath}: valid CycloneDX ${kCycloneDxVersion}`);
}, (error) => {
  console.error(error);
  process.exit(2);
});
