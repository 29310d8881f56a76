// The objects and calls of the 2000-era page engine that course pages still
// use. Each is added only where the engine lacks it, so a page that tests for
// the other browsers (document.layers, document.getElementById) goes on as
// before.

function define(target, name, value) {
    Object.defineProperty(target, name, {value: value, writable: true, configurable: true});
}

function defineGetter(target, name, get) {
    Object.defineProperty(target, name, {get: get, configurable: true});
}

function isIndex(key) {
    return typeof key === 'string' && /^\d+$/.test(key);
}

// A collection that can also be called, as the old engine's were:
// document.all("x"), document.all.item("x", 0), document.frames("cadre").
function callableCollection(lookup, index, length, extra) {
    var target = function () {};
    return new Proxy(target, {
        apply: function (t, self, args) { return extra.item.apply(null, args); },
        get: function (t, key) {
            if (typeof key === 'symbol')
                return key === Symbol.iterator ? function () { return Array.prototype.values.call(toList()); } : undefined;
            if (key === 'length')
                return length();
            if (Object.prototype.hasOwnProperty.call(extra, key))
                return extra[key];
            if (isIndex(key))
                return index(Number(key));
            var found = lookup(key);
            return found !== null && found !== undefined ? found : Reflect.get(t, key);
        },
        has: function (t, key) {
            if (typeof key === 'symbol')
                return false;
            return key === 'length' || key in extra || (isIndex(key) ? Number(key) < length() : !!lookup(key));
        }
    });
    function toList() {
        var list = [];
        for (var i = 0; i < length(); ++i)
            list.push(index(i));
        return list;
    }
}

function itemOf(lookup, index) {
    return function (key, subIndex) {
        var found = typeof key === 'number' || isIndex(String(key)) ? index(Number(key)) : lookup(String(key));
        if (found === undefined)
            found = null;
        if (subIndex === undefined || found === null)
            return found;
        if (found instanceof Element)
            return Number(subIndex) === 0 ? found : null;
        return found[subIndex] || null;
    };
}

// document.all is true again, so that "if (document.all)" takes the branch
// the page was written for; element.all lists an element's descendants.
var nativeAll = Object.getOwnPropertyDescriptor(Document.prototype, 'all');
if (nativeAll && nativeAll.get) {
    var documentAlls = new WeakMap();
    defineGetter(Document.prototype, 'all', function () {
        var doc = this;
        if (!documentAlls.has(doc)) {
            var all = nativeAll.get.call(doc);
            var lookup = function (name) { return all.namedItem(name); };
            var index = function (i) { return all[i] || undefined; };
            documentAlls.set(doc, callableCollection(lookup, index, function () { return all.length; }, {
                item: itemOf(lookup, index),
                namedItem: lookup,
                tags: function (tag) { return doc.getElementsByTagName(tag); },
                urns: function () { return []; }
            }));
        }
        return documentAlls.get(doc);
    });
}

var elementAlls = new WeakMap();
defineGetter(Element.prototype, 'all', function () {
    var element = this;
    if (!elementAlls.has(element)) {
        var all = element.getElementsByTagName('*');
        var lookup = function (name) {
            var found = Array.prototype.filter.call(all, function (e) { return e.id === name || e.getAttribute('name') === name; });
            return found.length === 0 ? null : found.length === 1 ? found[0] : found;
        };
        var index = function (i) { return all[i] || undefined; };
        elementAlls.set(element, callableCollection(lookup, index, function () { return all.length; }, {
            item: itemOf(lookup, index),
            tags: function (tag) { return element.getElementsByTagName(tag); }
        }));
    }
    return elementAlls.get(element);
});

// attachEvent/detachEvent: the handler runs with window as "this", and
// returning false cancels the event, as it did.
var attached = new WeakMap();

function eventType(name) {
    return String(name).replace(/^on/i, '').toLowerCase();
}

define(EventTarget.prototype, 'attachEvent', function (name, handler) {
    if (typeof handler !== 'function')
        return false;
    var list = attached.get(this) || [];
    attached.set(this, list);
    var wrapper = function (event) {
        if (handler.call(window, event) === false)
            event.preventDefault();
    };
    list.push({type: eventType(name), handler: handler, wrapper: wrapper});
    this.addEventListener(eventType(name), wrapper, false);
    return true;
});

define(EventTarget.prototype, 'detachEvent', function (name, handler) {
    var list = attached.get(this) || [];
    for (var i = 0; i < list.length; ++i) {
        if (list[i].type === eventType(name) && list[i].handler === handler) {
            this.removeEventListener(list[i].type, list[i].wrapper, false);
            list.splice(i, 1);
            return;
        }
    }
});

var quietEvents = ['focus', 'blur', 'load', 'unload', 'mouseenter', 'mouseleave', 'readystatechange'];

define(Document.prototype, 'createEventObject', function (from) {
    var copy = {};
    if (from)
        for (var key in from) copy[key] = from[key];
    return copy;
});

// fireEvent("onclick"[, eventObject]): the handlers run, no default action.
define(EventTarget.prototype, 'fireEvent', function (name, from) {
    var type = eventType(name);
    var init = {bubbles: quietEvents.indexOf(type) < 0, cancelable: true};
    if (from)
        for (var key in from) init[key] = from[key];
    var event = /^(click|dblclick|mouse|contextmenu)/.test(type) ? new MouseEvent(type, init)
        : /^key/.test(type) ? new KeyboardEvent(type, init) : new Event(type, init);
    var cancelled = null;
    var noDefault = function (e) {
        if (e !== event)
            return;
        cancelled = e.defaultPrevented;
        e.preventDefault();
    };
    window.addEventListener(type, noDefault, false);
    try {
        this.dispatchEvent(event);
    } finally {
        window.removeEventListener(type, noDefault, false);
    }
    return !(cancelled === null ? event.defaultPrevented : cancelled);
});

defineGetter(Element.prototype, 'currentStyle', function () { return getComputedStyle(this); });
defineGetter(Element.prototype, 'runtimeStyle', function () { return this.style; });

// document.frames("cadre") or document.frames[0]: the window's frames.
defineGetter(Document.prototype, 'frames', function () {
    var win = this.defaultView;
    if (!win)
        return undefined;
    var lookup = function (name) {
        for (var i = 0; i < win.frames.length; ++i) {
            try {
                if (win.frames[i].name === name) return win.frames[i];
            } catch (e) { /* a frame of another origin */ }
        }
        return null;
    };
    var index = function (i) { return win.frames[i]; };
    return callableCollection(lookup, index, function () { return win.frames.length; },
                              {item: itemOf(lookup, index)});
});

define(window, 'navigate', function (url) { window.location.href = String(url); });

// Text the page puts on the clipboard goes to the system's clipboard when the
// pupil's click allows it; the page reads back what it put there.
var clipboardText = null;
define(window, 'clipboardData', {
    setData: function (format, text) {
        if (!/^text$/i.test(format))
            return false;
        clipboardText = String(text);
        var area = document.createElement('textarea');
        area.value = clipboardText;
        area.style.cssText = 'position:fixed;left:-1000px;top:0;opacity:0';
        (document.body || document.documentElement).appendChild(area);
        area.select();
        try { document.execCommand('copy'); } catch (e) { /* no click: kept for the page */ }
        area.remove();
        return true;
    },
    getData: function (format) { return /^text$/i.test(format) ? clipboardText : null; },
    clearData: function () { clipboardText = null; return true; }
});

// createPopup(): a borderless box over the page with its own document,
// shown at a place relative to an element and closed by a click elsewhere.
define(window, 'createPopup', function () {
    var frame = document.createElement('iframe');
    frame.style.cssText = 'position:absolute;display:none;border:0;margin:0;padding:0;z-index:2147483647;background:white';
    (document.body || document.documentElement).appendChild(frame);
    var doc = frame.contentDocument;
    doc.open();
    doc.write('<html><body style="margin:0"></body></html>');
    doc.close();
    var popup = {document: doc, isOpen: false};
    var close = function () { popup.hide(); };
    popup.show = function (x, y, width, height, relativeTo) {
        var left = Number(x) || 0, top = Number(y) || 0;
        if (relativeTo && relativeTo.getBoundingClientRect) {
            var box = relativeTo.getBoundingClientRect();
            left += box.left + window.scrollX;
            top += box.top + window.scrollY;
        } else {
            left += window.scrollX - (window.screenX || 0);
            top += window.scrollY - (window.screenY || 0);
        }
        frame.style.left = left + 'px';
        frame.style.top = top + 'px';
        frame.style.width = (Number(width) || 0) + 'px';
        frame.style.height = (Number(height) || 0) + 'px';
        frame.style.display = 'block';
        popup.isOpen = true;
        setTimeout(function () { document.addEventListener('mousedown', close, true); }, 0);
    };
    popup.hide = function () {
        frame.style.display = 'none';
        popup.isOpen = false;
        document.removeEventListener('mousedown', close, true);
    };
    return popup;
});

// <script for="id" event="onclick">: the engine skips such blocks; they
// become handlers of the elements they name.
function bindScriptsFor() {
    var scripts = document.querySelectorAll('script[for][event]');
    for (var i = 0; i < scripts.length; ++i) {
        var script = scripts[i];
        var name = script.getAttribute('for').trim();
        var type = eventType(script.getAttribute('event').replace(/\(.*$/, '').trim());
        if (name.toLowerCase() === 'window' && type === 'load')
            continue; // the engine runs this one itself
        if (script.type && !/javascript|jscript|ecmascript/i.test(script.type))
            continue;
        var language = script.getAttribute('language');
        if (language && !/javascript|jscript|ecmascript/i.test(language))
            continue;
        var handler;
        try {
            handler = new Function('event', script.text);
        } catch (e) {
            continue;
        }
        var targets = name.toLowerCase() === 'window' ? [window]
            : name.toLowerCase() === 'document' ? [document]
            : Array.prototype.slice.call(document.querySelectorAll('[id="' + CSS.escape(name) + '"], [name="' + CSS.escape(name) + '"]'));
        targets.forEach(function (target) {
            target.addEventListener(type, function (event) {
                if (handler.call(target, event) === false)
                    event.preventDefault();
            });
        });
    }
}
