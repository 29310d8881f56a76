// What the plug-ins of 2000 did for a course page, done in an isolated
// world of the page (its own scripts cannot reach the key below):
// Flash goes to Ruffle, MIDI to the native synthesiser, sound and video the
// engine can decode play in place, the rest gets a placeholder.
(function () {
  'use strict';
  if (location.protocol !== 'file:' || window.__ruzezMedia)
    return;
  window.__ruzezMedia = true;
  var KEY = '@KEY@';
  var BASE = '@SCHEME@:/';
  var doc = document;
  var midi = null; // the request of the MIDI playing: aborting it stops the sound

  // XMLHttpRequest: this engine's fetch() knows no scheme of ours.
  function ask(path, params, onAnswer) {
    var query = new URLSearchParams(params);
    query.set('key', KEY);
    var request = new XMLHttpRequest();
    request.open('GET', BASE + path + '?' + query.toString());
    request.onload = function () {
      if (onAnswer && request.status === 200)
        onAnswer(request.responseText);
    };
    request.send();
    return request;
  }

  function stopMidi() {
    if (midi)
      midi.abort();
    midi = null;
  }

  // The answer comes when the sound is replaced; the request stays open
  // while it plays, so leaving the page ends it.
  function playMidi(src, loops, volume) {
    stopMidi();
    midi = ask('midi', {src: src, loops: loops, volume: volume});
  }

  function absolute(src) {
    try { return new URL(src, doc.baseURI).href; } catch (e) { return ''; }
  }

  function attributesOf(element) {
    var found = {};
    for (var i = 0; i < element.attributes.length; ++i)
      found[element.attributes[i].name.toLowerCase()] = element.attributes[i].value;
    if (element.tagName === 'OBJECT') {
      element.querySelectorAll('param').forEach(function (param) {
        var name = (param.getAttribute('name') || '').toLowerCase();
        if (name && !(name in found))
          found[name] = param.getAttribute('value') || '';
      });
    }
    return found;
  }

  function sizeOf(element, width, height) {
    var w = parseInt(element.getAttribute('width'), 10);
    var h = parseInt(element.getAttribute('height'), 10);
    return {w: w > 0 ? w : width, h: h > 0 ? h : height};
  }

  function box(element, width, height) {
    var size = sizeOf(element, width, height);
    var div = doc.createElement('span');
    div.style.cssText = 'display:inline-flex;flex-direction:column;align-items:center;justify-content:center;'
      + 'gap:6px;box-sizing:border-box;border:1px solid #888;background:#eee;color:#000;'
      + 'font:13px sans-serif;text-align:center;padding:4px;vertical-align:middle;'
      + 'width:' + size.w + 'px;height:' + size.h + 'px';
    return div;
  }

  function button(text, onClick) {
    var b = doc.createElement('button');
    b.type = 'button';
    b.textContent = text;
    b.addEventListener('click', function (event) {
      if (event.isTrusted)
        onClick();
    });
    return b;
  }

  function midiPlayer(element, media) {
    var player = box(element, 145, 45);
    player.className = 'ruzez-midi';
    var row = doc.createElement('span');
    row.appendChild(button('lecture', function () { playMidi(media.src, media.loops, media.volume); }));
    row.appendChild(doc.createTextNode(' '));
    row.appendChild(button('arrêt', stopMidi));
    player.appendChild(row);
    return player;
  }

  function inPlace(element, media) {
    var video = media.kind === 'video';
    var player = doc.createElement(video ? 'video' : 'audio');
    player.src = media.src;
    player.controls = !media.hidden;
    player.autoplay = media.autostart;
    player.loop = media.loops === -1;
    player.volume = media.volume;
    if (media.loops > 1) {
      var left = media.loops - 1;
      player.addEventListener('ended', function () { if (left-- > 0) player.play(); });
    }
    if (media.hidden) {
      player.style.display = 'none';
    } else {
      var size = sizeOf(element, video ? 320 : 300, video ? 240 : 45);
      player.style.width = size.w + 'px';
      player.style.height = size.h + 'px';
    }
    return player;
  }

  function videoPlaceholder(element, media) {
    var placeholder = box(element, 320, 240);
    placeholder.className = 'ruzez-video';
    placeholder.appendChild(doc.createTextNode('Cette vidéo ne peut pas être lue dans la page.'));
    placeholder.appendChild(button('Ouvrir la vidéo', function () { ask('open', {src: media.src}); }));
    return placeholder;
  }

  function replace(element, media) {
    if (media.kind === 'midi') {
      if (media.autostart)
        playMidi(media.src, media.loops, media.volume);
      if (media.hidden)
        element.remove();
      else
        element.replaceWith(midiPlayer(element, media));
    } else if (media.kind === 'audio' || media.kind === 'video') {
      element.replaceWith(inPlace(element, media));
    } else if (media.kind === 'undecodable') {
      if (media.hidden)
        element.remove();
      else
        element.replaceWith(videoPlaceholder(element, media));
    }
  }

  function take(element, tag, attributes) {
    if (element.__ruzezTaken)
      return;
    element.__ruzezTaken = true;
    ask('describe', {tag: tag, attributes: JSON.stringify(attributes)}, function (answer) {
      var media = JSON.parse(answer);
      if (media.kind === 'none' || media.kind === 'flash')
        return;
      media.src = absolute(media.source);
      if (media.src)
        replace(element, media);
    });
  }

  function hasFallbackText(element) {
    var text = '';
    element.childNodes.forEach(function (node) {
      if (node.nodeType === Node.TEXT_NODE || (node.nodeType === Node.ELEMENT_NODE && node.tagName !== 'PARAM'))
        text += node.textContent;
    });
    return text.trim() !== '';
  }

  function isApplet(element) {
    if (element.tagName === 'APPLET')
      return true;
    var type = (element.getAttribute('type') || '').toLowerCase();
    var classId = (element.getAttribute('classid') || '').toLowerCase();
    return type.indexOf('application/x-java') === 0 || classId.indexOf('java:') === 0
      || classId === 'clsid:8ad9c840-044e-11d1-b3e9-00805f499d93';
  }

  function appletMessage(element) {
    var message = box(element, 200, 100);
    message.className = 'ruzez-applet';
    message.textContent = 'Cette animation Java ne peut pas être affichée.';
    element.replaceWith(message);
  }

  var FLASH = 'object[classid*="d27cdb6e" i], object[type="application/x-shockwave-flash" i],'
    + 'embed[type="application/x-shockwave-flash" i], embed[src*=".swf" i], object[data*=".swf" i],'
    + 'param[name="movie" i][value*=".swf" i]';

  // Ruffle fetches its own files; this engine's fetch() reaches our scheme
  // only through XMLHttpRequest. Runs in the page, on Flash pages only.
  function fetchShim(base) {
    var pageFetch = window.fetch;
    window.fetch = function (resource, options) {
      var url = String(resource instanceof Request ? resource.url : resource);
      if (url.indexOf(base) !== 0)
        return pageFetch.apply(this, arguments);
      return new Promise(function (resolve, reject) {
        var request = new XMLHttpRequest();
        request.open('GET', url);
        request.responseType = 'arraybuffer';
        request.onload = function () {
          var type = /\.wasm$/.test(url) ? 'application/wasm' : 'text/javascript';
          resolve(new Response(request.response, {status: request.status, headers: {'Content-Type': type}}));
        };
        request.onerror = function () { reject(new TypeError('Failed to fetch')); };
        request.send();
      });
    };
  }

  // Ruffle only where there is Flash: other pages load nothing more.
  function loadRuffle() {
    if (doc.getElementById('ruzez-ruffle'))
      return;
    var parent = doc.head || doc.documentElement;
    var config = doc.createElement('script');
    config.textContent = '(' + fetchShim.toString() + ')(' + JSON.stringify(BASE) + ');'
      + 'window.RufflePlayer = window.RufflePlayer || {};'
      + 'window.RufflePlayer.config = ' + JSON.stringify({
        publicPath: BASE + 'ruffle/',
        autoplay: 'on',
        unmuteOverlay: 'hidden',
        splashScreen: false,
        contextMenu: 'off',
        showSwfDownload: false,
        allowNetworking: 'internal',
        openUrlMode: 'deny',
        upgradeToHttps: false,
        warnOnUnsupportedContent: false,
        letterbox: 'off',
        logLevel: 'error'
      }) + ';';
    parent.appendChild(config);
    var script = doc.createElement('script');
    script.id = 'ruzez-ruffle';
    script.src = BASE + 'ruffle/ruffle.js';
    parent.appendChild(script);
  }

  function scan() {
    if (doc.querySelector(FLASH))
      loadRuffle();
    doc.querySelectorAll('applet, object').forEach(function (element) {
      if (isApplet(element) && !hasFallbackText(element))
        appletMessage(element);
    });
    doc.querySelectorAll('bgsound').forEach(function (element) { take(element, 'bgsound', attributesOf(element)); });
    doc.querySelectorAll('embed, object').forEach(function (element) {
      if (!isApplet(element))
        take(element, element.tagName.toLowerCase(), attributesOf(element));
    });
    doc.querySelectorAll('img[dynsrc]').forEach(function (element) {
      take(element, 'embed', {src: element.getAttribute('dynsrc'), width: element.getAttribute('width') || '',
                              height: element.getAttribute('height') || ''});
    });
  }

  // A link to a MIDI file plays on the pupil's click, in the page.
  doc.addEventListener('click', function (event) {
    var link = event.target && event.target.closest ? event.target.closest('a[href]') : null;
    if (!event.isTrusted || !link || !/\.(mid|midi|rmi|kar)$/i.test(new URL(link.href).pathname))
      return;
    event.preventDefault();
    playMidi(link.href, 1, 1);
  }, true);

  scan();
})();
