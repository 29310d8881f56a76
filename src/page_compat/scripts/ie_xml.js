// new ActiveXObject(...) for the two controls course pages used: the XML
// document (a quiz's questions in an .xml file) and XMLHTTP. Any other
// control is missing, and the page gets the error it got without it.

var xmlDocumentIds = /^(microsoft\.xmldom|msxml2?\.(free)?threadeddomdocument(\.\d\.\d)?|msxml2?\.domdocument(\.\d\.\d)?)$/i;
var xmlHttpIds = /^(microsoft\.xmlhttp|msxml2?\.(server)?xmlhttp(\.\d\.\d)?)$/i;

// MSXML drops text made only of spaces unless asked to keep it, so that
// childNodes[0] is the first element.
function dropBlankText(node) {
    for (var child = node.firstChild; child;) {
        var next = child.nextSibling;
        if (child.nodeType === Node.TEXT_NODE && !/\S/.test(child.data))
            node.removeChild(child);
        else if (child.nodeType === Node.ELEMENT_NODE)
            dropBlankText(child);
        child = next;
    }
}

function setParseError(doc, code, reason) {
    define(doc, 'parseError', {errorCode: code, reason: reason, line: 0, linepos: 0, srcText: '', url: ''});
}

var xmlDocumentMethods = {
    loadXML: function (text) {
        while (this.firstChild)
            this.removeChild(this.firstChild);
        var parsed = new DOMParser().parseFromString(String(text), 'application/xml');
        var error = parsed.getElementsByTagName('parsererror')[0];
        if (error) {
            setParseError(this, -1072896760, error.textContent);
            return false;
        }
        for (var child = parsed.firstChild; child; child = child.nextSibling)
            this.appendChild(this.importNode(child, true));
        if (!this.preserveWhiteSpace)
            dropBlankText(this);
        setParseError(this, 0, '');
        return true;
    },
    load: function (url) {
        var doc = this;
        var finish = function (request) {
            var ok = request.status === 200 || (request.status === 0 && request.responseText !== '');
            var loaded = ok ? doc.loadXML(request.responseText) : (setParseError(doc, -2146697210, 'introuvable'), false);
            define(doc, 'readyState', 4);
            if (typeof doc.onreadystatechange === 'function')
                doc.onreadystatechange();
            return loaded;
        };
        var request = new XMLHttpRequest();
        if (this.async === false) {
            try {
                request.open('GET', String(url), false);
                request.send();
            } catch (e) {
                setParseError(doc, -2146697210, String(e));
                return false;
            }
            return finish(request);
        }
        request.open('GET', String(url), true);
        request.onloadend = function () { finish(request); };
        request.send();
        return true;
    },
    setProperty: function () {},
    getProperty: function () { return ''; }
};

function xpathNodes(node, path) {
    var doc = node.nodeType === Node.DOCUMENT_NODE ? node : node.ownerDocument;
    var found = doc.evaluate(String(path), node, null, XPathResult.ORDERED_NODE_SNAPSHOT_TYPE, null);
    var list = [];
    for (var i = 0; i < found.snapshotLength; ++i)
        list.push(found.snapshotItem(i));
    define(list, 'item', function (i) { return list[i] || null; });
    var position = 0;
    define(list, 'nextNode', function () { return list[position++] || null; });
    define(list, 'reset', function () { position = 0; });
    return list;
}

function newXmlDocument() {
    var doc = document.implementation.createDocument('', '', null);
    for (var name in xmlDocumentMethods)
        define(doc, name, xmlDocumentMethods[name]);
    doc.async = true;
    doc.preserveWhiteSpace = false;
    doc.validateOnParse = false;
    doc.resolveExternals = false;
    define(doc, 'readyState', 4);
    setParseError(doc, 0, '');
    return doc;
}

// The node members MSXML added and scripts read: text, xml, selectNodes.
define(Node.prototype, 'selectNodes', function (path) { return xpathNodes(this, path); });
define(Node.prototype, 'selectSingleNode', function (path) { return xpathNodes(this, path)[0] || null; });
Object.defineProperty(Node.prototype, 'text', {
    get: function () { return this.textContent; },
    set: function (value) { this.textContent = value; },
    configurable: true
});
defineGetter(Node.prototype, 'xml', function () { return new XMLSerializer().serializeToString(this); });

function ActiveXObject(id) {
    var name = String(id);
    if (xmlDocumentIds.test(name))
        return newXmlDocument();
    if (xmlHttpIds.test(name))
        return new XMLHttpRequest();
    // Flash detection through the control finds what the plug-in list shows.
    var flash = navigator.plugins && navigator.plugins['Shockwave Flash'];
    if (flash && /^shockwaveflash\.shockwaveflash(\.\d+)?$/i.test(name)) {
        var version = (/(\d+)\.(\d+)/.exec(flash.description || '') || [0, 9, 0]).slice(1).join(',');
        return {GetVariable: function (key) { return key === '$version' ? 'WIN ' + version + ',0,0' : ''; }};
    }
    var error = new Error('Un composant ActiveX ne peut pas créer un objet: ' + name);
    error.number = -2146827859;
    throw error;
}
define(window, 'ActiveXObject', ActiveXObject);
