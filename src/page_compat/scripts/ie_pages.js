// How course pages met the program around them: cookies kept between the
// course's pages, the text of a page's "leave this page?" question,
// vbscript: links, drive-letter links, favourites. What the program must
// hear goes out as a console message it recognises (page_messages.h).

function announce(kind, data) {
    console.debug('\u0001ruzez:' + kind + ':' + JSON.stringify(data));
}

// document.cookie: the engine keeps none for local files. The course's
// pages share one jar, for as long as the program runs (the profile keeps
// its storage in memory); pages of the web have a storage of their own and
// never see it.
var cookieKey = 'ruzez.cookies';

function readCookies() {
    try {
        var jar = JSON.parse(localStorage.getItem(cookieKey));
        return jar && typeof jar === 'object' ? jar : {};
    } catch (e) {
        return {};
    }
}

function liveCookies() {
    var jar = readCookies();
    var now = Date.now();
    Object.keys(jar).forEach(function (name) {
        if (jar[name].expires !== null && jar[name].expires <= now)
            delete jar[name];
    });
    return jar;
}

function setCookie(text) {
    var parts = String(text).split(';');
    var pair = parts[0];
    var equals = pair.indexOf('=');
    var name = (equals < 0 ? '' : pair.slice(0, equals)).trim();
    var value = (equals < 0 ? pair : pair.slice(equals + 1)).trim();
    var expires = null;
    parts.slice(1).forEach(function (attribute) {
        var match = /^\s*(expires|max-age)\s*=\s*(.*)$/i.exec(attribute);
        if (!match)
            return;
        var when = match[1].toLowerCase() === 'max-age' ? Date.now() + Number(match[2]) * 1000 : Date.parse(match[2]);
        if (!isNaN(when))
            expires = when;
    });
    var jar = liveCookies();
    if (expires !== null && expires <= Date.now())
        delete jar[name];
    else
        jar[name] = {value: value, expires: expires};
    try {
        localStorage.setItem(cookieKey, JSON.stringify(jar));
    } catch (e) { /* storage full: the cookie is lost, as a full jar lost it */ }
}

Object.defineProperty(document, 'cookie', {
    get: function () {
        var jar = liveCookies();
        return Object.keys(jar).map(function (name) {
            return name === '' ? jar[name].value : name + '=' + jar[name].value;
        }).join('; ');
    },
    set: setCookie,
    configurable: true
});

// onbeforeunload: the engine asks its own question whatever the page
// returns; the page's text is handed to the program, which asks it.
function leavingHandler(handler) {
    if (typeof handler !== 'function' || handler.ruzezWrapped)
        return handler;
    var wrapper = function (event) {
        var result = handler.call(this, event);
        var text = result !== undefined && result !== null ? String(result)
            : typeof event.returnValue === 'string' && event.returnValue !== '' ? event.returnValue : '';
        announce('leaving', text);
        return result;
    };
    wrapper.ruzezWrapped = true;
    return wrapper;
}

var leavingProperty = Object.getOwnPropertyDescriptor(window, 'onbeforeunload')
    || Object.getOwnPropertyDescriptor(Window.prototype, 'onbeforeunload');
if (leavingProperty && leavingProperty.set) {
    Object.defineProperty(window, 'onbeforeunload', {
        get: function () { return leavingProperty.get.call(window); },
        set: function (handler) { leavingProperty.set.call(window, leavingHandler(handler)); },
        configurable: true,
        enumerable: true
    });
}

// <body onbeforeunload="..."> is set by the parser, past the property.
function wrapDeclaredLeavingHandler() {
    if (leavingProperty && leavingProperty.get)
        leavingProperty.set.call(window, leavingHandler(leavingProperty.get.call(window)));
}

// vbscript: links did nothing where VBScript was missing: they still do.
document.addEventListener('click', function (event) {
    var link = event.target && event.target.closest ? event.target.closest('a[href], area[href]') : null;
    if (link && /^\s*vbscript:/i.test(link.getAttribute('href')))
        event.preventDefault();
}, true);

// "D:\re2rira\air\page.htm" in a link or frame: the disc's drive letter. It
// is written as a file: address, which the program leads to the course.
var drivePath = /^\s*(?:file:\/*)?([a-z]):[\\\/](.*)$/i;

function driveAddress(value) {
    var match = drivePath.exec(value || '');
    return match ? 'file:///' + match[1] + ':/' + match[2].replace(/\\/g, '/') : null;
}

function rewriteDriveLinks() {
    var attributes = {A: 'href', AREA: 'href', FRAME: 'src', IFRAME: 'src', IMG: 'src'};
    var elements = document.querySelectorAll('a[href], area[href], frame[src], iframe[src], img[src]');
    for (var i = 0; i < elements.length; ++i) {
        var name = attributes[elements[i].tagName];
        var address = driveAddress(elements[i].getAttribute(name));
        if (address)
            elements[i].setAttribute(name, address);
    }
}

// window.external.AddFavorite(url, title), on the pupil's click only.
var external = window.external || {};
define(external, 'AddFavorite', function (url, title) {
    if (navigator.userActivation && !navigator.userActivation.isActive)
        return;
    announce('favourite', {url: new URL(String(url === undefined ? location.href : url), location.href).href,
                           title: String(title === undefined ? document.title : title)});
});
if (!window.external)
    define(window, 'external', external);

// showModalDialog(url, arguments, features): the page waits for the dialog
// as it did; the program shows it (page_compat/modal_dialogs.h).
define(window, 'showModalDialog', function (url, args, features) {
    var argumentsText;
    try {
        argumentsText = JSON.stringify(args === undefined ? null : args) || 'null';
    } catch (e) {
        argumentsText = 'null';
    }
    var request = new XMLHttpRequest();
    try {
        request.open('GET', 'ruzez-dialog:show?url=' + encodeURIComponent(new URL(String(url), location.href).href)
                     + '&arguments=' + encodeURIComponent(argumentsText)
                     + '&features=' + encodeURIComponent(String(features || '')), false);
        request.send();
    } catch (e) {
        return undefined;
    }
    var value = request.status === 200 ? JSON.parse(request.responseText) : null;
    return value === null ? undefined : value;
});

document.addEventListener('DOMContentLoaded', function () {
    var started = performance.now();
    wrapDeclaredLeavingHandler();
    rewriteDriveLinks();
    bindScriptsFor();
    applyInlineFilters(document);
    performance.measure('ruzez-page-compat', {start: started, end: performance.now()});
    convertPage();
    watchLaterText();
}, {once: true});
