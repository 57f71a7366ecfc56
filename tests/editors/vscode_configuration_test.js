// Checks the VS Code extension's manifest and language configuration: the
// grammar it names exists with the declared scope, and the indentation rules
// open a block after every header that ends in ":" and close it where the
// language continues a statement (orchk, nah, catch, atlast).
//   node vscode_configuration_test.js EXTENSION_DIR
"use strict";
const fs = require("fs");
const path = require("path");

const dir = process.argv[2];
const failures = [];
const expect = (ok, what) => { if (!ok) failures.push(what); };

const manifest = JSON.parse(fs.readFileSync(path.join(dir, "package.json"), "utf8"));
const language = manifest.contributes.languages[0];
const grammarEntry = manifest.contributes.grammars[0];
expect(language.id === "quillora" && language.extensions.includes(".qlr"), "the language is quillora, for .qlr files");
expect(grammarEntry.language === language.id, "the grammar belongs to the language");
const grammar = JSON.parse(fs.readFileSync(path.join(dir, grammarEntry.path), "utf8"));
expect(grammar.scopeName === grammarEntry.scopeName && grammar.scopeName === "source.quillora",
  "the grammar's scope is source.quillora in both files");

const config = JSON.parse(fs.readFileSync(path.join(dir, language.configuration), "utf8"));
expect(config.comments.lineComment === "#", "comments start with #");
for (const pair of [["(", ")"], ["[", "]"], ["{", "}"]]) {
  expect(config.brackets.some(b => b[0] === pair[0] && b[1] === pair[1]), "bracket pair " + pair.join(""));
}

const increase = new RegExp(config.indentationRules.increaseIndentPattern);
const decrease = new RegExp(config.indentationRules.decreaseIndentPattern);
const outdent = new RegExp(config.onEnterRules[0].beforeText);
const cases = [
  [increase, true, ["exp area(self, w=2):", "    chk a > b:  # note: here", "blueprint Rect(Shape):", "attempt:",
    "  orchk x within xs:", "nah:", "loop i within nums(3):", "spin yes:", "catch IndexError called e:", "atlast:"]],
  [increase, false, ["x = 1", "d = {1: 2}", "# chk x:", "out(\"chk:\")", "f = fn(x): x", "chk = 1", "export(a):"]],
  [decrease, true, ["    orchk x > 1:", "nah:", "  catch:", "catch KeyError called e:", "atlast:  # tidy"]],
  [decrease, false, ["chk x:", "nah = 1", "catcher(x):", "    back x"]],
  [outdent, true, ["    back x", "        stop", "skip", "    nop", "  throw e"]],
  [outdent, false, ["    backup = 1", "    stopped()", "x = back_pay"]],
];
for (const [pattern, wanted, lines] of cases) {
  for (const line of lines) {
    expect(pattern.test(line) === wanted, `${pattern} ${wanted ? "should" : "should not"} match ${JSON.stringify(line)}`);
  }
}

for (const failure of failures) console.log(failure);
console.log(`vscode configuration: ${failures.length} failures`);
process.exit(failures.length ? 1 : 0);
