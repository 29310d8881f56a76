// Text set in the Symbol, Wingdings or Webdings face showed, on the old
// system, the symbol the face drew for each byte: "a" read as alpha, "®" as
// an arrow. Such text is rewritten into the characters themselves, so that
// the screen, a copy and a screen reader all get "α", "→", "☺". Only the
// text whose own face is one of them changes; a page that names none of
// them is left alone after one quick look.

var symbolFaces = {symbol: symbolFace, wingdings: wingdingsFace, webdings: webdingsFace};
var facePattern = /symbol|wingdings|webdings/i;
var faceSelector = ['symbol', 'wingdings', 'webdings'].map(function (face) {
    return 'font[face*="' + face + '" i], [style*="' + face + '" i]';
}).join(', ');

// Bytes 0x80 to 0x9F, read as windows-1252 by the engine.
var windows1252 = {
    0x20AC: 0x80, 0x201A: 0x82, 0x0192: 0x83, 0x201E: 0x84, 0x2026: 0x85, 0x2020: 0x86, 0x2021: 0x87,
    0x02C6: 0x88, 0x2030: 0x89, 0x0160: 0x8A, 0x2039: 0x8B, 0x0152: 0x8C, 0x017D: 0x8E, 0x2018: 0x91,
    0x2019: 0x92, 0x201C: 0x93, 0x201D: 0x94, 0x2022: 0x95, 0x2013: 0x96, 0x2014: 0x97, 0x02DC: 0x98,
    0x2122: 0x99, 0x0161: 0x9A, 0x203A: 0x9B, 0x0153: 0x9C, 0x017E: 0x9E, 0x0178: 0x9F
};

// The byte a character of the page stands for: its windows-1252 byte, or
// the private-use code (U+F020 to U+F0FF) the face's own tables used.
function byteOf(code) {
    if (code >= 0xF020 && code <= 0xF0FF)
        return code - 0xF000;
    if (code < 0x100)
        return code;
    return windows1252[code] || -1;
}

function convertText(text, table) {
    var out = '';
    for (var i = 0; i < text.length; ++i) {
        var code = text.charCodeAt(i);
        var b = byteOf(code);
        var mapped = b >= 0x20 ? table[b - 0x20] : 0;
        out += mapped ? String.fromCodePoint(mapped) : text.charAt(i);
    }
    return out;
}

function tableOf(family) {
    return symbolFaces[family.split(',')[0].trim().replace(/^["']|["']$/g, '').toLowerCase()] || null;
}

// A plain <font face> says its face itself; anything else may take its
// face from a style rule, and asks the engine (which costs a style pass).
function faceTable(element) {
    if (element.tagName === 'FONT' && element.attributes.length === 1 && element.hasAttribute('face'))
        return tableOf(element.getAttribute('face'));
    return tableOf(getComputedStyle(element).fontFamily);
}

// What each text node was turned into: text met again unchanged is left.
var converted = new WeakMap();
var skippedParents = {SCRIPT: 1, STYLE: 1, TEXTAREA: 1, TITLE: 1, NOSCRIPT: 1};

function convertNode(node, tables) {
    var parent = node.parentElement;
    if (!parent || skippedParents[parent.tagName] || converted.get(node) === node.data)
        return;
    if (!tables.has(parent))
        tables.set(parent, faceTable(parent));
    var table = tables.get(parent);
    if (!table)
        return;
    var text = convertText(node.data, table);
    if (text !== node.data)
        node.data = text;
    converted.set(node, text);
}

function convertBelow(root, tables) {
    if (root.nodeType === Node.TEXT_NODE) {
        convertNode(root, tables);
        return;
    }
    var walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    for (var node = walker.nextNode(); node; node = walker.nextNode())
        convertNode(node, tables);
}

// The selectors of the page's style rules that name one of the faces.
function faceRuleSelectors(rules, selectors) {
    for (var i = 0; i < rules.length; ++i) {
        var rule = rules[i];
        if (rule.cssRules)
            faceRuleSelectors(rule.cssRules, selectors);
        else if (rule.style && facePattern.test(rule.style.fontFamily || ''))
            selectors.push(rule.selectorText);
    }
    return selectors;
}

function faceRoots() {
    var roots = Array.prototype.slice.call(document.querySelectorAll(faceSelector));
    var selectors = [];
    for (var i = 0; i < document.styleSheets.length; ++i) {
        try {
            faceRuleSelectors(document.styleSheets[i].cssRules, selectors);
        } catch (e) { /* a sheet the page may not read */ }
    }
    selectors.forEach(function (selector) {
        try {
            roots = roots.concat(Array.prototype.slice.call(document.querySelectorAll(selector)));
        } catch (e) { /* a selector that names no element (::before) */ }
    });
    return roots;
}

function convertPage() {
    var started = performance.now();
    var tables = new Map();
    faceRoots().forEach(function (root) { convertBelow(root, tables); });
    performance.measure('ruzez-page-compat', {start: started, end: performance.now()});
}

// Text a script adds or changes later: only its own nodes are looked at.
function watchLaterText() {
    new MutationObserver(function (records) {
        var started = performance.now();
        var tables = new Map();
        records.forEach(function (record) {
            if (record.type === 'characterData')
                convertNode(record.target, tables);
            else
                record.addedNodes.forEach(function (node) {
                    if (node.nodeType === Node.TEXT_NODE || node.nodeType === Node.ELEMENT_NODE)
                        convertBelow(node, tables);
                });
        });
        performance.measure('ruzez-page-compat', {start: started, end: performance.now()});
    }).observe(document, {childList: true, characterData: true, subtree: true});
}
