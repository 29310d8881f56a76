// Inline "filter:" effects of the old engine, drawn with the CSS that shows
// the same thing. The engine drops the declaration, so it is read from the
// style attribute; a script's el.style.filter = "alpha(opacity=50)" and
// el.filters.alpha.opacity = 50 are honoured too.

function filterArguments(text) {
    var values = {};
    String(text || '').replace(/([a-z]+)\s*=\s*['"]?([^,'")]*)/gi, function (all, key, value) {
        values[key.toLowerCase()] = value.trim();
    });
    return values;
}

// "#AARRGGBB" (startColorstr) or a colour name.
function filterColour(value, fallback) {
    if (!value)
        return fallback;
    var argb = /^#([0-9a-f]{2})([0-9a-f]{6})$/i.exec(value);
    if (argb)
        return 'rgba(' + parseInt(argb[2].substr(0, 2), 16) + ',' + parseInt(argb[2].substr(2, 2), 16) + ','
            + parseInt(argb[2].substr(4, 2), 16) + ',' + (parseInt(argb[1], 16) / 255).toFixed(3) + ')';
    return value;
}

// Direction in degrees, clockwise from the top, as the shadow filter has it.
function offsetFor(direction, distance) {
    var radians = (Number(direction) || 0) * Math.PI / 180;
    return Math.round(Math.sin(radians) * distance) + 'px ' + Math.round(-Math.cos(radians) * distance) + 'px';
}

// The CSS for one filter text, as a list of [property, value].
function cssForFilter(text) {
    var css = {transform: [], filter: []};
    var result = [];
    var pattern = /(?:progid:DXImageTransform\.Microsoft\.)?([a-z]+)\s*(?:\(([^)]*)\))?/gi;
    var match;
    while ((match = pattern.exec(text)) !== null) {
        var name = match[1].toLowerCase();
        var args = filterArguments(match[2]);
        switch (name) {
        case 'alpha':
            result.push(['opacity', String(Math.max(0, Math.min(100, Number(args.opacity) || 0)) / 100)]);
            break;
        case 'fliph': css.transform.push('scaleX(-1)'); break;
        case 'flipv': css.transform.push('scaleY(-1)'); break;
        case 'gray': css.filter.push('grayscale(1)'); break;
        case 'invert': css.filter.push('invert(1)'); break;
        case 'xray': css.filter.push('grayscale(1) invert(1)'); break;
        case 'blur': css.filter.push('blur(' + (Number(args.pixelradius || args.strength) || 2) + 'px)'); break;
        case 'glow':
            result.push(['text-shadow', '0 0 ' + (Number(args.strength) || 5) + 'px ' + filterColour(args.color, 'red')]);
            break;
        case 'shadow':
            result.push(['text-shadow', offsetFor(args.direction === undefined ? 225 : args.direction, 4) + ' 3px '
                         + filterColour(args.color, 'gray')]);
            break;
        case 'dropshadow':
            result.push(['text-shadow', (Number(args.offx) || 5) + 'px ' + (Number(args.offy) || 5) + 'px 0 '
                         + filterColour(args.color, 'black')]);
            break;
        case 'gradient':
            var horizontal = Number(args.gradienttype) === 1;
            result.push(['background-image', 'linear-gradient(' + (horizontal ? 'to right' : 'to bottom') + ','
                         + filterColour(args.startcolorstr, 'blue') + ',' + filterColour(args.endcolorstr, 'white') + ')']);
            break;
        }
    }
    if (css.transform.length)
        result.push(['transform', css.transform.join(' ')]);
    if (css.filter.length)
        result.push(['filter', css.filter.join(' ')]);
    return result;
}

function applyFilter(element, text) {
    cssForFilter(text).forEach(function (pair) { element.style.setProperty(pair[0], pair[1]); });
}

function declaredFilter(element) {
    var declared = /(?:^|;)\s*filter\s*:\s*([^;]*)/i.exec(element.getAttribute('style') || '');
    return declared && isOldFilter(declared[1]) ? declared[1] : null;
}

function applyInlineFilters(root) {
    var elements = root.querySelectorAll('[style*="filter" i]');
    for (var i = 0; i < elements.length; ++i) {
        var text = declaredFilter(elements[i]);
        if (text)
            applyFilter(elements[i], text);
    }
}

// el.style.filter = "alpha(opacity=40)": the fading scripts of the time.
// The engine keeps CSS properties out of reach of a setter, so an element's
// style is handed out through a proxy that reads that one assignment.
function isOldFilter(text) {
    return /^\s*(progid:|alpha|fliph|flipv|gray|invert|xray|glow|shadow|dropshadow|gradient)\b/i.test(text)
        && !/^\s*(blur|grayscale|invert|opacity|drop-shadow)\s*\(/i.test(text);
}

var styleProperty = Object.getOwnPropertyDescriptor(HTMLElement.prototype, 'style');
if (styleProperty && styleProperty.get) {
    var styleProxies = new WeakMap();
    Object.defineProperty(HTMLElement.prototype, 'style', {
        get: function () {
            var style = styleProperty.get.call(this);
            if (!styleProxies.has(style)) {
                styleProxies.set(style, new Proxy(style, {
                    get: function (target, key) {
                        var value = Reflect.get(target, key);
                        return typeof value === 'function' ? value.bind(target) : value;
                    },
                    set: function (target, key, value) {
                        if (key === 'filter' && isOldFilter(String(value)))
                            cssForFilter(String(value)).forEach(function (pair) { target.setProperty(pair[0], pair[1]); });
                        else
                            Reflect.set(target, key, value);
                        return true;
                    }
                }));
            }
            return styleProxies.get(style);
        },
        set: styleProperty.set,
        configurable: true,
        enumerable: styleProperty.enumerable
    });
}

// el.filters.alpha.opacity (and el.filters[0]): reads and sets the opacity.
defineGetter(Element.prototype, 'filters', function () {
    var element = this;
    var alpha = {};
    Object.defineProperty(alpha, 'opacity', {
        get: function () {
            var value = element.style.opacity;
            return value === '' ? 100 : Math.round(Number(value) * 100);
        },
        set: function (value) { element.style.opacity = String(Math.max(0, Math.min(100, Number(value) || 0)) / 100); }
    });
    alpha.enabled = true;
    var list = [alpha];
    list.alpha = alpha;
    list.Alpha = alpha;
    list.item = function (key) { return typeof key === 'number' ? list[key] : alpha; };
    return list;
});
