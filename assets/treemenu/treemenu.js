/*
 * Tree menu of the generated navigation pages.
 *
 * The page builds the menu with
 *   tree = new treemenu('tree', false, false, false, false);
 *   tree.put(folder, text, target, link, tooltip, symbol, '');   first entry
 *   tree.add(folder, text, target, link, tooltip, symbol, '');   every further one
 *   document.write(tree);
 *
 * folder is 1 for an entry that folds its children away, 0 otherwise. The
 * leading blanks of text are its nesting depth; the entries that follow an
 * entry and are deeper than it are its children. Texts are HTML, like the
 * link tables of the other pages; each is parsed on its own into its entry,
 * so that no text can reach into another. symbol names an image shown before
 * the text (empty for none). The four flags of the constructor and the last
 * argument of put/add are accepted and unused.
 *
 * The menu is a tree in the sense of the WAI-ARIA tree view pattern: one tab
 * stop, arrow keys, Home/End, "*", type-ahead; a search field above it that
 * looks at texts and tooltips. Open folders and the current entry are kept in
 * sessionStorage, so they survive a reload and Back/Forward while the tab
 * stays open. Entries pinned with their star stand in a "Favoriten" group at
 * the top; the pins are kept in localStorage, which browsers share between
 * the pages of every run's folder, so they outlive the run.
 *
 * Supported: current Edge, Chrome and Firefox. The file is plain ES5, so an
 * older browser still parses it; one without querySelector/addEventListener
 * gets every entry as a plain open list of links, without behaviour.
 *
 * The menu never needs another frame's document: pages opened from file://
 * may not read each other, so links reach the content frame only through
 * their target attribute.
 */
(function (global) {
  'use strict';

  // Every menu block of a page loads this file again; the first load serves
  // them all, so that one registry and one set of handlers know every menu.
  if (global.treemenu && global.treemenu.loaded) {
    return;
  }

  var doc = global.document;
  var capable = !!(doc && doc.querySelector && doc.addEventListener && global.JSON &&
    doc.documentElement && doc.documentElement.classList && doc.documentElement.closest);

  // Menus by serial number: every page block names its menu 'tree', so a page
  // with two menus needs another key to find each from its container.
  var menus = {};
  var count = 0;
  var listening = false;  // one set of document handlers serves every menu

  var MESSAGE = 'Das Men\u00fc kann nicht angezeigt werden: ein Eintrag enth\u00e4lt Zeichen, ' +
    'die das Men\u00fcskript nicht lesen kann. Bitte melden Sie das der Administration; ' +
    'der Pr\u00fcfmodus (Aufruf mit /PRUEFEN) nennt den fehlerhaften Eintrag.';
  var FAVOURITES = 'Favoriten';

  function treemenu(name) {
    if (!(this instanceof treemenu)) {
      return new treemenu(name);
    }
    this.name = String(name === undefined || name === null ? 'tree' : name);
    this.entries = [];  // as put and add give them
    this.rows = [];     // what the tree shows: the favourites first, then the entries
    this.offset = 0;    // rows before the first entry
    this.serial = String(++count);
    this.current = -1;  // a row
    this.query = '';
    this.favouritesOpen = true;
    menus[this.serial] = this;
    listen();
  }

  // Starts the list afresh with its first entry.
  treemenu.prototype.put = function (folder, text, target, link, tooltip, symbol) {
    this.entries = [];
    return this.add(folder, text, target, link, tooltip, symbol);
  };

  treemenu.prototype.add = function (folder, text, target, link, tooltip, symbol) {
    text = text === undefined || text === null ? '' : String(text);
    var depth = 0;
    while (depth < text.length && text.charAt(depth) === ' ') {
      depth++;
    }
    this.entries.push({
      folder: Number(folder) === 1,
      depth: depth,
      text: text.substring(depth),
      target: target ? String(target) : '',
      link: link ? String(link) : '',
      tooltip: tooltip ? String(tooltip) : '',
      symbol: symbol ? String(symbol) : '',
      open: false,
      parent: -1,
      children: [],
      level: 1
    });
    return this;
  };

  // Links every row to the nearest earlier row of its list that is less deep.
  function nest(rows, from, to, roots, levelBase) {
    var stack = [];
    for (var i = from; i < to; i++) {
      var row = rows[i];
      row.children = [];
      while (stack.length && rows[stack[stack.length - 1]].depth >= row.depth) {
        stack.pop();
      }
      row.parent = stack.length ? stack[stack.length - 1] : -1;
      row.level = stack.length + levelBase;
      (row.parent >= 0 ? rows[row.parent].children : roots).push(i);
      stack.push(i);
    }
  }

  // The entries alone, as the plain list shows them.
  treemenu.prototype.buildTree = function () {
    this.roots = [];
    nest(this.entries, 0, this.entries.length, this.roots, 1);
  };

  // The rows of the tree: a "Favoriten" folder with a copy of every pinned
  // entry, then the entries. The copies never nest with the entries.
  treemenu.prototype.layout = function () {
    var rows = [];
    var pinned = pinnedEntries(this);
    if (pinned.length) {
      rows.push({ header: true, folder: true, depth: 0, text: FAVOURITES, target: '', link: '',
        tooltip: '', symbol: '', entry: -1, open: this.favouritesOpen });
      for (var k = 0; k < pinned.length; k++) {
        var e = this.entries[pinned[k]];
        rows.push({ copy: true, folder: false, depth: 1, text: e.text, target: e.target,
          link: e.link, tooltip: e.tooltip, symbol: e.symbol, entry: pinned[k], open: false });
      }
    }
    this.offset = rows.length;
    for (var i = 0; i < this.entries.length; i++) {
      this.entries[i].entry = i;
      rows.push(this.entries[i]);
    }
    this.rows = rows;
    this.roots = [];
    nest(rows, 0, this.offset, this.roots, 1);
    nest(rows, this.offset, rows.length, this.roots, 1);
  };

  // A folder folds only when it has something to fold.
  function expandable(e) {
    return e.folder && e.children.length > 0;
  }

  // ---- State kept for the tab ----

  function storageKey(menu) {
    return 'treemenu:' + global.location.pathname + ':' + menu.serial;
  }

  function loadState(menu) {
    try {
      var state = JSON.parse(global.sessionStorage.getItem(storageKey(menu)) || 'null');
      // A changed page (another run in the same tab) starts afresh.
      if (!state || state.n !== menu.entries.length) {
        return;
      }
      for (var i = 0; i < state.open.length; i++) {
        if (menu.entries[state.open[i]]) {
          menu.entries[state.open[i]].open = true;
        }
      }
      if (menu.entries[state.current]) {
        menu.current = menu.offset + state.current;
      }
      menu.favouritesOpen = state.favourites !== false;
    } catch (ignored) {
      // No storage (privacy settings, very old browser): the menu starts closed.
    }
  }

  function saveState(menu) {
    var open = [];
    for (var i = 0; i < menu.entries.length; i++) {
      if (menu.entries[i].open) {
        open.push(i);
      }
    }
    var current = menu.current >= menu.offset ? menu.current - menu.offset : -1;
    try {
      global.sessionStorage.setItem(storageKey(menu), JSON.stringify({ n: menu.entries.length,
        open: open, current: current, favourites: menu.favouritesOpen }));
    } catch (ignored) {
      // Without storage the menu simply forgets.
    }
  }

  // ---- Favourites, kept for the browser profile ----

  var PINS = 'treemenu:favoriten';

  // What identifies an entry from run to run: its text, link and target.
  function pinKey(e) {
    return e.text + '\n' + e.link + '\n' + e.target;
  }

  // The pinned keys, or null where the browser keeps nothing.
  function loadPins() {
    try {
      var storage = global.localStorage;
      var pins = JSON.parse(storage.getItem(PINS) || '[]');
      return pins instanceof Array ? pins : [];
    } catch (ignored) {
      return null;
    }
  }

  function savePins(pins) {
    try {
      global.localStorage.setItem(PINS, JSON.stringify(pins));
    } catch (ignored) {
      // Storage full or gone: the pin lasts as long as the page.
    }
  }

  // The entries of the menu that are pinned, in the order of pinning. A pin
  // whose entry the page does not hold (rights changed) shows nothing.
  function pinnedEntries(menu) {
    var pins = loadPins();
    menu.pinning = capable && pins !== null;
    var result = [];
    if (!menu.pinning) {
      return result;
    }
    var byKey = {};
    for (var i = 0; i < menu.entries.length; i++) {
      var key = pinKey(menu.entries[i]);
      if (menu.entries[i].link && !byKey.hasOwnProperty(key)) {
        byKey[key] = i;
      }
    }
    var seen = {};
    for (var k = 0; k < pins.length; k++) {
      if (typeof pins[k] === 'string' && byKey.hasOwnProperty(pins[k]) && !seen[pins[k]]) {
        seen[pins[k]] = true;
        result.push(byKey[pins[k]]);
      }
    }
    return result;
  }

  function togglePin(menu, index) {
    var e = menu.entries[menu.rows[index].entry];
    var pins = loadPins();
    if (!e || pins === null) {
      return;
    }
    var at = pins.indexOf(pinKey(e));
    if (at >= 0) {
      pins.splice(at, 1);
    } else {
      pins.push(pinKey(e));
    }
    savePins(pins);
  }

  // The content frame's first page: readable only where the frames share an
  // origin (pages served over http); from file:// the first entry that opens
  // in the content frame stands for it.
  function initialCurrent(menu) {
    var i;
    try {
      var shown = global.parent !== global && global.parent.frames.Daten &&
        global.parent.frames.Daten.location.href;
      if (shown) {
        for (i = menu.offset; i < menu.rows.length; i++) {
          var e = menu.rows[i];
          if (e.link && e.target === 'Daten' && sameAddress(e.link, shown)) {
            return i;
          }
        }
      }
    } catch (ignored) {
      // Another origin: fall through.
    }
    for (i = menu.offset; i < menu.rows.length; i++) {
      if (menu.rows[i].link && menu.rows[i].target === 'Daten') {
        return i;
      }
    }
    return -1;
  }

  function sameAddress(address, href) {
    var a = doc.createElement('a');
    a.href = address;
    return a.href === href;
  }

  // ---- Rendering ----

  function attribute(value) {
    return String(value).replace(/&(?![#A-Za-z0-9]+;)/g, '&amp;').replace(/"/g, '&quot;')
      .replace(/</g, '&lt;');
  }

  function isShown(menu, index) {
    for (var p = menu.rows[index].parent; p >= 0; p = menu.rows[p].parent) {
      if (expandable(menu.rows[p]) && !menu.rows[p].open) {
        return false;
      }
    }
    return true;
  }

  // The row that holds the tab stop: the current one if on screen, else the
  // first row.
  function tabStop(menu) {
    var i = menu.current;
    while (i >= 0 && !isShown(menu, i)) {
      i = menu.rows[i].parent;
    }
    return i >= 0 ? i : 0;
  }

  function renderItems(menu, list, stop, html) {
    for (var k = 0; k < list.length; k++) {
      var i = list[k];
      var e = menu.rows[i];
      var id = itemId(menu, i);
      var cls = 'tm-entry' + (e.folder ? ' tm-folder ' + (e.open ? 'tm-open' : 'tm-closed') : '') +
        (e.header ? ' tm-favourites' : '') + (e.copy ? ' tm-copy' : '') +
        (i === menu.current ? ' tm-current' : '');
      html.push('<li role="none" class="' + cls + '" data-index="' + i + '" data-depth="' +
        e.depth + '" style="--tm-depth: ' + e.depth + '">');
      // The item is named by its text alone, not by its star.
      var a = '<a class="tm-link" role="treeitem" id="' + id + '" aria-level="' +
        e.level + '" aria-setsize="' + list.length + '" aria-posinset="' + (k + 1) + '"' +
        ' aria-labelledby="' + id + '-t" tabindex="' + (i === stop ? '0' : '-1') + '"';
      if (e.link) {
        a += ' href="' + attribute(e.link) + '"';
        if (e.target) {
          a += ' target="' + attribute(e.target) + '"';
        }
      }
      if (e.tooltip) {
        a += ' title="' + attribute(e.tooltip) + '"';
      }
      if (expandable(e)) {
        a += ' aria-expanded="' + (e.open ? 'true' : 'false') + '" aria-owns="' + id + '-g"';
      }
      if (i === menu.current) {
        a += ' aria-current="page"';
      }
      a += '><span class="' + (e.folder ? 'tm-toggle' : 'tm-bullet') + '" aria-hidden="true"></span>';
      if (e.symbol) {
        a += '<img class="tm-symbol" src="' + attribute(e.symbol) + '" alt="">';
      }
      // The text comes in later, parsed on its own (fillTexts).
      a += '<span class="tm-text" id="' + id + '-t"></span>';
      if (menu.pinning && e.link) {
        var pinned = isPinnedRow(menu, e);
        a += '<button type="button" class="tm-star" tabindex="' + (i === stop ? '0' : '-1') +
          '" aria-pressed="' + (pinned ? 'true' : 'false') + '" aria-labelledby="tm' +
          menu.serial + '-star ' + id + '-t"></button>';
      }
      html.push(a + '</a>');
      if (e.children.length) {
        html.push('<ul role="group" id="' + id + '-g"' +
          (expandable(e) && !e.open ? ' hidden' : '') + '>');
        renderItems(menu, e.children, stop, html);
        html.push('</ul>');
      }
      html.push('</li>');
    }
  }

  function isPinnedRow(menu, e) {
    if (!menu.pinKeys) {
      menu.pinKeys = {};
      var pins = loadPins() || [];
      for (var k = 0; k < pins.length; k++) {
        menu.pinKeys[pins[k]] = true;
      }
    }
    return menu.pinKeys.hasOwnProperty(pinKey(e));
  }

  function itemId(menu, index) {
    return 'tm' + menu.serial + '-' + index;
  }

  // Old browsers: the entries as a plain nested list, all open.
  function renderPlain(menu, list, html) {
    html.push('<ul>');
    for (var k = 0; k < list.length; k++) {
      var e = menu.entries[list[k]];
      html.push('<li>' + (e.link ? '<a href="' + attribute(e.link) + '"' +
        (e.target ? ' target="' + attribute(e.target) + '"' : '') + '>' + e.text + '</a>' : e.text));
      if (e.children.length) {
        renderPlain(menu, e.children, html);
      }
      html.push('</li>');
    }
    html.push('</ul>');
  }

  function treeHtml(menu) {
    var id = 'tm' + menu.serial;
    var html = ['<ul role="tree" class="tm-tree" id="' + id + '-tree" aria-label="Men\u00fc">'];
    renderItems(menu, menu.roots, tabStop(menu), html);
    html.push('</ul>');
    return html.join('');
  }

  // Each text is parsed as the content of its own span: markup in one text
  // cannot open, close or swallow anything outside it.
  function fillTexts(menu, container) {
    menu.shown = [];
    for (var r = 0; r < menu.rows.length; r++) {
      menu.shown.push({ hidden: false, open: !!menu.rows[r].open });
    }
    menu.cache = null;
    var spans = elementsOf(menu, container).texts;
    for (var i = 0; i < spans.length && i < menu.rows.length; i++) {
      var text = menu.rows[i].text;
      if (/[<&]/.test(text)) {
        spans[i].innerHTML = text;
      } else {
        spans[i].textContent = text;
      }
    }
  }

  treemenu.prototype.toString = function () {
    if (!capable) {
      this.buildTree();
      var plain = ['<div class="treemenu" data-treemenu="' + this.serial + '">'];
      renderPlain(this, this.roots, plain);
      plain.push('</div>');
      return plain.join('');
    }
    for (var i = 0; i < this.entries.length; i++) {
      this.entries[i].open = false;
    }
    this.current = -1;
    this.pinKeys = null;
    this.layout();
    loadState(this);
    if (this.offset) {
      this.rows[0].open = this.favouritesOpen;
    }
    if (this.current < 0) {
      this.current = initialCurrent(this);
    }
    var id = 'tm' + this.serial;
    var html = ['<div class="treemenu" data-treemenu="' + this.serial + '">'];
    if (global.parent !== global) {
      html.push('<a class="tm-skip" href="#">Zum Inhalt springen</a>');
    }
    html.push('<div class="tm-search" role="search"><label for="' + id + '-q">Suchen</label>' +
      '<input type="search" id="' + id + '-q" class="tm-query" autocomplete="off" ' +
      'spellcheck="false" aria-controls="' + id + '-tree" aria-describedby="' + id + '-hint" ' +
      'placeholder="Suchen (/)">' +
      '<span class="tm-hint" id="' + id + '-hint">Taste / sucht, Esc leert das Feld, Eingabe ' +
      '\u00f6ffnet den ersten Treffer. Mehrere W\u00f6rter m\u00fcssen alle vorkommen, ' +
      'im Text oder im Tooltip.</span>' +
      '<span class="tm-status" role="status" aria-live="polite"></span></div>');
    html.push('<span class="tm-star-label" id="' + id + '-star" hidden>Favorit:</span>');
    html.push(treeHtml(this));
    html.push('</div>');
    this.stop = tabStop(this);
    this.cache = null;
    saveState(this);
    // Written here, so that the texts can go into the written rows at once;
    // document.write(tree) then writes nothing more.
    doc.write(html.join(''));
    var container = doc.querySelector('.treemenu[data-treemenu="' + this.serial + '"]');
    if (container) {
      fillTexts(this, container);
      prepare(this, container);
    }
    tellSiblings({ type: ASK });
    return '';
  };

  // Draws the tree again after the favourites changed; the search field stays.
  treemenu.prototype.redraw = function (container) {
    var old = container.querySelector('.tm-tree');
    var current = this.current >= this.offset ? this.current - this.offset : -1;
    this.pinKeys = null;
    this.layout();
    if (this.offset) {
      this.rows[0].open = this.favouritesOpen;
    }
    this.current = current >= 0 ? this.offset + current : -1;
    old.insertAdjacentHTML('afterend', treeHtml(this));
    old.parentNode.removeChild(old);
    this.stop = tabStop(this);
    fillTexts(this, container);
    prepare(this, container);
    if (this.query) {
      this.search(container, container.querySelector('.tm-query').value);
    }
  };

  // ---- Behaviour on the rendered menu ----

  function closest(node, selector) {
    return node && node.nodeType === 1 ? node.closest(selector) : null;
  }

  // The rendered rows, links, text spans and groups of a menu, in row order,
  // found by the tree's own structure: a text may hold any markup, even
  // elements with the menu's class names. Each row carries its number.
  function elementsOf(menu, container) {
    var tree = container.querySelector('.tm-tree');
    if (!menu.cache || menu.cache.tree !== tree) {
      var cache = { tree: tree, rows: [], links: [], texts: [], groups: [] };
      if (tree) {
        collect(tree, cache);
      }
      menu.cache = cache;
    }
    return menu.cache;
  }

  function collect(list, cache) {
    for (var row = list.firstElementChild; row; row = row.nextElementSibling) {
      var link = row.firstElementChild;
      var group = row.lastElementChild !== link ? row.lastElementChild : null;
      row.tmRow = cache.rows.length;
      cache.rows.push(row);
      cache.links.push(link);
      cache.texts.push(part(link, 'tm-text'));
      cache.groups.push(group);
      if (group) {
        collect(group, cache);
      }
    }
  }

  // The child of a row's link with this class: the marker, the symbol, the
  // text or the star.
  function part(link, name) {
    for (var child = link && link.firstElementChild; child; child = child.nextElementSibling) {
      if (child.classList.contains(name)) {
        return child;
      }
    }
    return null;
  }

  // Gets the search ready while the user has not typed yet.
  function prepare(menu, container) {
    global.setTimeout(function () {
      searchable(menu, container);
    }, 0);
  }

  function linkOf(menu, container, index) {
    return elementsOf(menu, container).links[index] || null;
  }

  // Brings the rendered rows in line with the rows' state. What each row
  // shows is remembered (fillTexts starts it as rendered), so that only rows
  // that change are touched.
  treemenu.prototype.refresh = function (container) {
    var searching = this.query !== '';
    var els = elementsOf(this, container);
    var shown = this.shown;
    for (var i = 0; i < this.rows.length; i++) {
      var e = this.rows[i];
      var row = els.rows[i];
      if (!row) {
        continue;
      }
      var was = shown[i];
      var hidden = searching && !e.match;
      if (was.hidden !== hidden) {
        row.hidden = hidden;
        was.hidden = hidden;
      }
      if (!e.folder) {
        continue;
      }
      var open = !!(searching ? e.match && e.matchBelow : e.open);
      if (was.open !== open) {
        was.open = open;
        row.classList.toggle('tm-open', open);
        row.classList.toggle('tm-closed', !open);
        if (els.groups[i]) {
          els.groups[i].hidden = !open;
          els.links[i].setAttribute('aria-expanded', open ? 'true' : 'false');
        }
      }
    }
  };

  treemenu.prototype.setOpen = function (container, index, open) {
    var e = this.rows[index];
    if (!e || !expandable(e) || e.open === open || this.query !== '') {
      return;
    }
    e.open = open;
    if (e.header) {
      this.favouritesOpen = open;
    }
    this.refresh(container);
    saveState(this);
    // Focus must not stay on a row that has just been folded away.
    var active = container.ownerDocument.activeElement;
    if (!open && active && container.contains(active) && !onScreen(active)) {
      focusEntry(this, container, index);
    }
  };

  treemenu.prototype.toggle = function (container, index) {
    var e = this.rows[index];
    if (e) {
      this.setOpen(container, index, !e.open);
    }
  };

  function onScreen(element) {
    return element.offsetParent !== null || element.getClientRects().length > 0;
  }

  // The tree has one tab stop: this row's link (none for -1), and after it
  // the row's star.
  function setTabStop(menu, container, index) {
    var els = elementsOf(menu, container);
    setRowStop(els, menu.stop, false);
    setRowStop(els, index, true);
    menu.stop = index;
  }

  function setRowStop(els, index, on) {
    var link = els.links[index];
    if (!link) {
      return;
    }
    link.tabIndex = on ? 0 : -1;
    var star = part(link, 'tm-star');
    if (star) {
      star.tabIndex = on ? 0 : -1;
    }
  }

  // Moves the tab stop to a row and focuses it.
  function focusEntry(menu, container, index) {
    var target = linkOf(menu, container, index);
    if (target) {
      setTabStop(menu, container, index);
      target.focus();
    }
  }

  // Indices of the rows on screen, in order.
  function visibleIndices(menu, container) {
    var result = [];
    var links = elementsOf(menu, container).links;
    for (var i = 0; i < links.length; i++) {
      if (onScreen(links[i])) {
        result.push(i);
      }
    }
    return result;
  }

  treemenu.prototype.markCurrent = function (container, index) {
    this.current = index;
    var els = elementsOf(this, container);
    for (var i = 0; i < els.rows.length; i++) {
      var current = i === index;
      if (els.rows[i].classList.contains('tm-current') !== current) {
        els.rows[i].classList.toggle('tm-current', current);
        if (current) {
          els.links[i].setAttribute('aria-current', 'page');
        } else {
          els.links[i].removeAttribute('aria-current');
        }
      }
    }
    saveState(this);
  };

  // The menu and row an event belongs to, or null: the row is the nearest
  // rendered row around the target.
  function locate(target) {
    for (var node = target; node && node.nodeType === 1; node = node.parentNode) {
      if (node.tmRow === undefined) {
        continue;
      }
      var container = closest(node, '.treemenu');
      var menu = container && menus[container.getAttribute('data-treemenu')];
      if (!menu || !menu.cache || menu.cache.rows[node.tmRow] !== node) {
        return null;
      }
      return { menu: menu, container: container, index: node.tmRow };
    }
    return null;
  }

  function menuOf(element) {
    var container = closest(element, '.treemenu');
    var menu = container && menus[container.getAttribute('data-treemenu')];
    return menu ? { menu: menu, container: container } : null;
  }

  // Follows a row's link as a click would, or just folds a folder.
  function activate(hit) {
    var e = hit.menu.rows[hit.index];
    if (e.link) {
      linkOf(hit.menu, hit.container, hit.index).click();
    } else if (expandable(e)) {
      hit.menu.toggle(hit.container, hit.index);
    }
  }

  // The row of an entry itself, for a copy among the favourites.
  function ownRow(menu, index) {
    var e = menu.rows[index];
    return e.copy ? menu.offset + e.entry : index;
  }

  function onClick(event) {
    if (closest(event.target, '.tm-skip')) {
      event.preventDefault();
      skipToContent();
      return;
    }
    var hit = locate(event.target);
    if (!hit) {
      return;
    }
    var menu = hit.menu;
    var e = menu.rows[hit.index];
    var link = linkOf(menu, hit.container, hit.index);
    var star = part(link, 'tm-star');
    if (star && star.contains(event.target)) {
      event.preventDefault();
      pin(hit);
      return;
    }
    var toggle = part(link, 'tm-toggle');
    var onToggle = !!toggle && toggle.contains(event.target);
    if (e.folder && (onToggle || !e.link)) {
      event.preventDefault();
      menu.toggle(hit.container, hit.index);
      focusEntry(menu, hit.container, hit.index);
      return;
    }
    if (!e.link) {
      focusEntry(menu, hit.container, hit.index);
      return;
    }
    // A folder with a page of its own shows its children along with the page.
    if (e.folder) {
      menu.setOpen(hit.container, hit.index, true);
    }
    if (e.target !== '_blank') {
      menu.markCurrent(hit.container, ownRow(menu, hit.index));
    }
    setTabStop(menu, hit.container, hit.index);
  }

  // Pins or unpins a row's entry; the star keeps the focus it had, on the
  // entry's own row (its copy may have gone).
  function pin(hit) {
    var menu = hit.menu;
    var own = ownRow(menu, hit.index);
    var entry = menu.rows[own].entry;
    var star = part(linkOf(menu, hit.container, hit.index), 'tm-star');
    var focused = star === hit.container.ownerDocument.activeElement;
    togglePin(menu, hit.index);
    menu.redraw(hit.container);
    var index = menu.offset + entry;
    setTabStop(menu, hit.container, index);
    if (focused) {
      var link = linkOf(menu, hit.container, index);
      if (link && onScreen(link)) {
        part(link, 'tm-star').focus();
      } else {
        focusEntry(menu, hit.container, tabStop(menu));
      }
    }
    var status = hit.container.querySelector('.tm-status');
    status.textContent = isPinnedRow(menu, menu.rows[index]) ? 'Zu den Favoriten gelegt' :
      'Aus den Favoriten genommen';
  }

  function skipToContent() {
    try {
      global.parent.frames.Daten.focus();
    } catch (ignored) {
      // No content frame: nothing to skip to.
    }
  }

  // ---- Type-ahead ----

  var typed = '';
  var typedAt = 0;

  function typeAhead(menu, container, index, key) {
    var now = new Date().getTime();
    typed = now - typedAt > 700 ? key : typed + key;
    typedAt = now;
    var visible = visibleIndices(menu, container);
    var start = visible.indexOf(index);
    // A repeated single letter walks through the rows with that letter.
    var needle = fold(typed);
    var from = needle.length === 1 ? start + 1 : start;
    var texts = elementsOf(menu, container).texts;
    for (var k = 0; k < visible.length; k++) {
      var i = visible[(from + k) % visible.length];
      if (fold(texts[i].textContent.replace(/^\s+/, '')).indexOf(needle) === 0) {
        focusEntry(menu, container, i);
        return;
      }
    }
  }

  function onKeyDown(event) {
    if (event.altKey || event.ctrlKey || event.metaKey) {
      return;
    }
    var target = event.target;
    if (target.classList && target.classList.contains('tm-query')) {
      onSearchKey(event);
      return;
    }
    if (event.key === '/' && !isTextField(target)) {
      var first = doc.querySelector('.treemenu .tm-query');
      if (first) {
        event.preventDefault();
        first.focus();
      }
      return;
    }
    if (!target.classList || !target.classList.contains('tm-link')) {
      return;
    }
    var hit = locate(target);
    if (!hit || linkOf(hit.menu, hit.container, hit.index) !== target) {
      return;
    }
    var menu = hit.menu;
    var e = menu.rows[hit.index];
    var visible = visibleIndices(menu, hit.container);
    var position = visible.indexOf(hit.index);
    var next = -1;
    switch (event.key) {
      case 'Enter':
        // Links activate themselves on Enter (and so reach onClick).
        if (e.link) {
          return;
        }
        menu.toggle(hit.container, hit.index);
        break;
      case ' ':
      case 'Spacebar':
        if (expandable(e)) {
          menu.toggle(hit.container, hit.index);
        } else {
          activate(hit);
        }
        break;
      case 'ArrowDown':
      case 'Down':
        next = visible[position + 1];
        break;
      case 'ArrowUp':
      case 'Up':
        next = visible[position - 1];
        break;
      case 'Home':
        next = visible[0];
        break;
      case 'End':
        next = visible[visible.length - 1];
        break;
      case 'ArrowRight':
      case 'Right':
        if (expandable(e) && !e.open && menu.query === '') {
          menu.setOpen(hit.container, hit.index, true);
        } else if (e.children.length && menu.rows[visible[position + 1]] &&
                   menu.rows[visible[position + 1]].parent === hit.index) {
          next = visible[position + 1];
        }
        break;
      case 'ArrowLeft':
      case 'Left':
        if (expandable(e) && e.open && menu.query === '') {
          menu.setOpen(hit.container, hit.index, false);
        } else {
          next = e.parent;
        }
        break;
      case '*':
        openSiblings(menu, hit.container, hit.index);
        break;
      default:
        if (event.key && event.key.length === 1 && /\S/.test(event.key)) {
          typeAhead(menu, hit.container, hit.index, event.key);
          break;
        }
        return;
    }
    event.preventDefault();
    if (next !== undefined && next >= 0) {
      focusEntry(menu, hit.container, next);
    }
  }

  function openSiblings(menu, container, index) {
    var parent = menu.rows[index].parent;
    var siblings = parent >= 0 ? menu.rows[parent].children : menu.roots;
    for (var k = 0; k < siblings.length; k++) {
      menu.setOpen(container, siblings[k], true);
    }
  }

  function isTextField(element) {
    var name = element.nodeName;
    return name === 'INPUT' || name === 'TEXTAREA' || name === 'SELECT' || element.isContentEditable;
  }

  // ---- Search ----

  // Lower case, umlauts spelled out and other accents dropped, so that "ae"
  // finds a-umlaut and "e" finds e-acute. Returns the folded text and, where
  // it differs in length from the text, per character of it the position of
  // the character it came from (map is null where each maps to itself).
  var SPELLED = { '\u00e4': 'ae', '\u00f6': 'oe', '\u00fc': 'ue', '\u00df': 'ss' };
  var folded = {};  // folding of each character seen, worked out once

  function foldChar(c) {
    var s = folded[c];
    if (s === undefined) {
      s = SPELLED[c];
      if (!s) {
        s = c.normalize ? c.normalize('NFD').replace(/[\u0300-\u036f]/g, '') : c;
      }
      folded[c] = s;
    }
    return s;
  }

  function foldWithMap(text) {
    var lower = text.toLowerCase();
    if (!/[^\x00-\x7f]/.test(lower) && lower.length === text.length) {
      return { text: lower, map: null };
    }
    var out = '';
    var map = [];
    for (var i = 0; i < text.length; i++) {
      var c = text.charAt(i).toLowerCase();
      var s = c.length === 1 && c.charCodeAt(0) < 128 ? c : foldChar(c);
      for (var k = 0; k < s.length; k++) {
        out += s.charAt(k);
        map.push(i);
      }
    }
    return { text: out, map: map };
  }

  function fold(text) {
    return foldWithMap(text).text;
  }

  // Search hits are painted as highlights where the browser has them: no
  // element changes, so a search costs no new layout of the text. Elsewhere
  // they are wrapped in <mark> elements.
  var HIGHLIGHT = 'tm-hit';
  var painter = global.CSS && global.CSS.highlights && global.Highlight ? new global.Highlight() : null;
  if (painter) {
    global.CSS.highlights.set(HIGHLIGHT, painter);
  }

  // Each row's folded text and tooltip, made on the first search.
  function searchable(menu, container) {
    var els = elementsOf(menu, container);
    if (!els.search) {
      els.search = [];
      for (var i = 0; i < menu.rows.length; i++) {
        var e = menu.rows[i];
        // A text without markup is its own text content.
        var text = /[<&]/.test(e.text) && els.texts[i] ? els.texts[i].textContent : e.text;
        els.search.push({ text: foldWithMap(text), tip: e.tooltip ? fold(e.tooltip) : '',
          marked: false });
      }
    }
    return els.search;
  }

  // The words of a query, folded; empty for a blank one.
  function words(query) {
    var list = fold(query).split(/\s+/);
    var result = [];
    for (var i = 0; i < list.length; i++) {
      if (list[i] && result.indexOf(list[i]) < 0) {
        result.push(list[i]);
      }
    }
    return result;
  }

  treemenu.prototype.search = function (container, query) {
    var needles = words(query);
    this.query = needles.join(' ');
    var i;
    var hits = 0;
    var first = -1;
    var rows = this.rows;
    for (i = 0; i < rows.length; i++) {
      rows[i].match = false;
      rows[i].matchBelow = false;
    }
    var els = elementsOf(this, container);
    var data = searchable(this, container);
    var later = [];
    unpaint(this);
    for (i = 0; i < rows.length; i++) {
      var item = data[i];
      if (item.marked) {
        unmark(els.texts[i]);
        item.marked = false;
      }
      // The favourites are copies: a search shows each entry once.
      if (!needles.length || i < this.offset) {
        continue;
      }
      var ranges = [];
      var every = true;
      for (var w = 0; w < needles.length && every; w++) {
        var at = item.text.text.indexOf(needles[w]);
        if (at >= 0) {
          var map = item.text.map;
          var end = at + needles[w].length;
          ranges.push(map ? [map[at], map[end - 1] + 1] : [at, end]);
        } else if (item.tip.indexOf(needles[w]) < 0) {
          every = false;
        }
      }
      if (!every) {
        continue;
      }
      hits++;
      if (first < 0) {
        first = i;
      }
      if (ranges.length) {
        later.push([i, ranges]);
      }
      rows[i].match = true;
      for (var p = rows[i].parent; p >= 0 && !rows[p].matchBelow; p = rows[p].parent) {
        rows[p].match = true;
        rows[p].matchBelow = true;
      }
    }
    this.firstHit = first;
    this.refresh(container);
    highlight(this, els, data, later);
    var status = container.querySelector('.tm-status');
    status.textContent = !needles.length ? '' : hits === 0 ? 'Keine Treffer' :
      hits === 1 ? '1 Treffer' : hits + ' Treffer';
    container.classList.toggle('tm-searching', needles.length > 0);
    // The tab stop must stay on a row on screen.
    setTabStop(this, container, needles.length ? first : tabStop(this));
  };

  // Highlights the hits: the first screenful at once, the rest in pieces
  // right after, so that a query that hits thousands of rows still answers
  // the keystroke at once. A newer search drops what is left.
  var FIRST_HITS = 60;
  var MORE_HITS = 300;

  function highlight(menu, els, data, hits) {
    var search = menu.searches = (menu.searches || 0) + 1;
    var next = 0;
    var step = function (count) {
      if (menu.searches !== search || els !== menu.cache) {
        return;
      }
      for (var end = Math.min(next + count, hits.length); next < end; next++) {
        var i = hits[next][0];
        data[i].marked = mark(menu, els.texts[i], hits[next][1]);
      }
      if (next < hits.length) {
        global.setTimeout(function () { step(MORE_HITS); }, 0);
      }
    };
    step(FIRST_HITS);
  }

  // Marks the character ranges [start, end) of the element's text, text node
  // by text node, so that markup inside a text stays intact; overlapping
  // ranges become one. Returns what unmark() takes away again.
  function mark(menu, element, ranges) {
    ranges.sort(function (a, b) { return a[0] - b[0]; });
    var merged = [];
    for (var r = 0; r < ranges.length; r++) {
      var last = merged[merged.length - 1];
      if (last && ranges[r][0] <= last[1]) {
        last[1] = Math.max(last[1], ranges[r][1]);
      } else {
        merged.push([ranges[r][0], ranges[r][1]]);
      }
    }
    var nodes = textNodes(element);
    var offset = 0;
    for (var i = 0; i < nodes.length; i++) {
      var node = nodes[i];
      var length = node.data.length;
      // Back to front, so that splitting keeps the earlier offsets valid.
      for (var m = merged.length - 1; m >= 0; m--) {
        var from = Math.max(merged[m][0] - offset, 0);
        var to = Math.min(merged[m][1] - offset, length);
        if (from >= to) {
          continue;
        }
        if (painter) {
          // A static range: the browser need not follow it through changes.
          var range = global.StaticRange ? new global.StaticRange({ startContainer: node,
            startOffset: from, endContainer: node, endOffset: to }) : doc.createRange();
          if (!global.StaticRange) {
            range.setStart(node, from);
            range.setEnd(node, to);
          }
          painter.add(range);
          menu.painted.push(range);
          continue;
        }
        var middle = node.splitText(from);
        middle.splitText(to - from);
        var highlight = doc.createElement('mark');
        highlight.className = HIGHLIGHT;
        middle.parentNode.replaceChild(highlight, middle);
        highlight.appendChild(middle);
      }
      offset += length;
    }
    return !painter;
  }

  // Takes a menu's painted hits away: all at once where they are all it has
  // painted (a browser may take a long time over each single one).
  function unpaint(menu) {
    var painted = menu.painted || [];
    if (painter && painted.length) {
      if (painter.size === painted.length) {
        painter.clear();
      } else {
        for (var k = 0; k < painted.length; k++) {
          painter['delete'](painted[k]);
        }
      }
    }
    menu.painted = [];
  }

  function textNodes(element) {
    if (element.firstChild && element.firstChild === element.lastChild &&
        element.firstChild.nodeType === 3) {
      return [element.firstChild];
    }
    var walker = doc.createTreeWalker(element, 4, null, false);
    var nodes = [];
    while (walker.nextNode()) {
      nodes.push(walker.currentNode);
    }
    return nodes;
  }

  // Takes the <mark> elements out of a text again.
  function unmark(element) {
    var marks = element.querySelectorAll('mark.' + HIGHLIGHT);
    for (var i = 0; i < marks.length; i++) {
      var parent = marks[i].parentNode;
      while (marks[i].firstChild) {
        parent.insertBefore(marks[i].firstChild, marks[i]);
      }
      parent.removeChild(marks[i]);
      parent.normalize();
    }
  }

  // The highlighted stretches of a menu's texts, in order (for the tests).
  treemenu.hits = function (container) {
    var texts = [];
    if (painter) {
      var ranges = [];
      painter.forEach(function (range) {
        if (container.contains(range.startContainer)) {
          ranges.push(range);
        }
      });
      var live = ranges.map(function (r) {
        var range = doc.createRange();
        range.setStart(r.startContainer, r.startOffset);
        range.setEnd(r.endContainer, r.endOffset);
        return range;
      });
      live.sort(function (a, b) { return a.compareBoundaryPoints(0, b); });
      for (var i = 0; i < live.length; i++) {
        texts.push(live[i].toString());
      }
      return texts;
    }
    var marks = container.querySelectorAll('mark.' + HIGHLIGHT);
    for (var k = 0; k < marks.length; k++) {
      texts.push(marks[k].textContent);
    }
    return texts;
  };

  function onSearchInput(event) {
    if (!event.target.classList || !event.target.classList.contains('tm-query')) {
      return;
    }
    var found = menuOf(event.target);
    if (found) {
      found.menu.search(found.container, event.target.value);
    }
  }

  function onSearchKey(event) {
    var field = event.target;
    var found = menuOf(field);
    if (!found) {
      return;
    }
    if (event.key === 'Escape' || event.key === 'Esc') {
      event.preventDefault();
      field.value = '';
      found.menu.search(found.container, '');
    } else if (event.key === 'Enter') {
      event.preventDefault();
      var first = found.menu.firstHit;
      if (found.menu.query && first >= 0) {
        var hit = { menu: found.menu, container: found.container, index: first };
        focusEntry(found.menu, found.container, first);
        if (found.menu.rows[first].link) {
          activate(hit);
        }
      }
    } else if (event.key === 'ArrowDown' || event.key === 'Down') {
      event.preventDefault();
      var visible = visibleIndices(found.menu, found.container);
      if (visible.length) {
        focusEntry(found.menu, found.container, found.menu.query ? found.menu.firstHit : visible[0]);
      }
    }
  }

  // ---- A menu block that cannot run ----

  // A text the block cannot parse (a backslash before its closing quote, say)
  // stops the whole block before it writes anything; say so where the menu
  // would be instead of leaving a blank frame.
  function onError(event) {
    var scripts = doc.getElementsByTagName('script');
    var block = scripts[scripts.length - 1];
    if (!block || block.src || block.getAttribute('data-treemenu-failed') ||
        !/new\s+treemenu\s*\(/.test(block.text || '')) {
      return;
    }
    var next = block.nextSibling;
    while (next && next.nodeType !== 1) {
      next = next.nextSibling;
    }
    if (next && next.className === 'treemenu') {
      return;  // the menu is there; the error came later
    }
    block.setAttribute('data-treemenu-failed', '1');
    var note = doc.createElement('div');
    note.className = 'treemenu tm-error';
    note.setAttribute('role', 'alert');
    note.appendChild(doc.createTextNode(MESSAGE));
    block.parentNode.insertBefore(note, block.nextSibling);
  }

  // ---- Which page the content frame shows ----

  // A content page that loads this file too tells the other frames what it
  // shows, on load and when Back or Forward bring it back; the menu marks
  // that entry. Frames opened from file:// cannot read each other, but
  // messages pass. A menu that renders after the content page asks again.
  var SHOWN = 'treemenu-shown';
  var ASK = 'treemenu-ask';

  function tellSiblings(message) {
    var frames = global.parent !== global ? global.parent.frames : null;
    for (var i = 0; frames && i < frames.length; i++) {
      if (frames[i] !== global) {
        try {
          frames[i].postMessage(message, '*');
        } catch (ignored) {
          // A frame that is gone meanwhile.
        }
      }
    }
  }

  function announce() {
    tellSiblings({ type: SHOWN, href: String(global.location.href), name: global.name });
  }

  function onMessage(event) {
    var data = event.data;
    if (!data || typeof data !== 'object') {
      return;
    }
    if (data.type === ASK && !hasMenu()) {
      announce();
    } else if (data.type === SHOWN && typeof data.href === 'string' && data.name === 'Daten') {
      for (var serial in menus) {
        if (menus.hasOwnProperty(serial)) {
          showing(menus[serial], data.href);
        }
      }
    }
  }

  function hasMenu() {
    return !!doc.querySelector('.treemenu[data-treemenu]');
  }

  function showing(menu, href) {
    var container = doc.querySelector('.treemenu[data-treemenu="' + menu.serial + '"]');
    if (!container) {
      return;
    }
    for (var i = menu.offset; i < menu.rows.length; i++) {
      var e = menu.rows[i];
      if (e.link && e.target !== '_blank' && sameAddress(e.link, href)) {
        if (menu.current !== i) {
          menu.markCurrent(container, i);
        }
        return;
      }
    }
  }

  function listen() {
    if (listening || !capable) {
      return;
    }
    doc.addEventListener('click', onClick, false);
    doc.addEventListener('keydown', onKeyDown, false);
    doc.addEventListener('input', onSearchInput, false);
    listening = true;
  }

  // A frame without a title (a frameset written by hand): where a frame may
  // reach its own element (pages served from one origin), it lends it its
  // page title.
  function titleFrame() {
    try {
      var frame = global.frameElement;
      if (frame && !frame.title && doc.title) {
        frame.title = doc.title;
      }
    } catch (ignored) {
      // Another origin: the frame stays as the frameset wrote it.
    }
  }

  if (capable) {
    titleFrame();
    global.addEventListener('error', onError, false);
    global.addEventListener('message', onMessage, false);
    global.addEventListener('pageshow', function () {
      if (!hasMenu()) {
        announce();
      }
    }, false);
  }

  treemenu.message = MESSAGE;
  // How the menu writes an attribute value (read back by the tests).
  treemenu.attribute = attribute;
  treemenu.loaded = true;
  global.treemenu = treemenu;
})(this);
