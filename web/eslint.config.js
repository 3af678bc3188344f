// SPDX-License-Identifier: GPL-3.0-or-later
// Run from the top of the tree, as the tests do: eslint --config web/eslint.config.js web tests/web
// The page's scripts are plain browser scripts, one after the other in the page, which share
// their top-level names and name the ones they take from the others in a "global" comment;
// Node loads them for their unit tests, and reads module.exports where they set it.
"use strict";
const js = require("@eslint/js");
const globals = require("globals");

module.exports = [
    js.configs.recommended,
    {
        files: ["web/script/*.js"],
        languageOptions: {
            ecmaVersion: 2022,
            sourceType: "script",
            globals: { ...globals.browser, module: "readonly" },
        },
        rules: { "no-empty": ["error", { allowEmptyCatch: true }] },
    },
    // Read by the browsers too old for the rest, to say so.
    { files: ["web/script/vecchio.js"], languageOptions: { ecmaVersion: 5 } },
    { files: ["web/sito/sw.js"], languageOptions: { globals: globals.serviceworker } },
    {
        files: ["web/eslint.config.js", "tests/web/*.js"],
        languageOptions: { sourceType: "commonjs", globals: globals.node },
    },
];
