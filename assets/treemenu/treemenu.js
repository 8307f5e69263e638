/*
 * Tree menu of the generated navigation pages.
 *
 * The page builds the menu with
 *   tree = new treemenu('tree', false, false, false, false);
 *   tree.put(folder, text, target, link, tooltip, '', '');   first entry
 *   tree.add(folder, text, target, link, tooltip, '', '');   every further one
 *   document.write(tree);
 *
 * folder is 1 for an entry that folds its children away, 0 otherwise. The
 * leading blanks of text are its nesting depth; the entries that follow an
 * entry and are deeper than it are its children. Texts go into the page as
 * HTML, like the link tables of the other pages. The four flags of the
 * constructor and the last two arguments of put/add are accepted and unused.
 *
 * The menu is a tree in the sense of the WAI-ARIA tree view pattern: one tab
 * stop, arrow keys, Home/End, "*", type-ahead; a search field above it. Open
 * folders and the current entry are kept in sessionStorage, so they survive
 * a reload and Back/Forward while the tab stays open.
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

  function treemenu(name) {
    if (!(this instanceof treemenu)) {
      return new treemenu(name);
    }
    this.name = String(name === undefined || name === null ? 'tree' : name);
    this.entries = [];
    this.serial = String(++count);
    this.current = -1;
    this.query = '';
    menus[this.serial] = this;
    listen();
  }

  // Starts the list afresh with its first entry.
  treemenu.prototype.put = function (folder, text, target, link, tooltip) {
    this.entries = [];
    return this.add(folder, text, target, link, tooltip);
  };

  treemenu.prototype.add = function (folder, text, target, link, tooltip) {
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
      open: false,
      parent: -1,
      children: [],
      level: 1
    });
    return this;
  };

  // Links every entry to the nearest earlier entry that is less deep.
  treemenu.prototype.buildTree = function () {
    var stack = [];
    this.roots = [];
    for (var i = 0; i < this.entries.length; i++) {
      var entry = this.entries[i];
      entry.children = [];
      while (stack.length && this.entries[stack[stack.length - 1]].depth >= entry.depth) {
        stack.pop();
      }
      entry.parent = stack.length ? stack[stack.length - 1] : -1;
      entry.level = stack.length + 1;
      (entry.parent >= 0 ? this.entries[entry.parent].children : this.roots).push(i);
      stack.push(i);
    }
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
        menu.current = state.current;
      }
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
    try {
      global.sessionStorage.setItem(storageKey(menu),
        JSON.stringify({ n: menu.entries.length, open: open, current: menu.current }));
    } catch (ignored) {
      // Without storage the menu simply forgets.
    }
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
        for (i = 0; i < menu.entries.length; i++) {
          var e = menu.entries[i];
          if (e.link && e.target === 'Daten' && sameAddress(e.link, shown)) {
            return i;
          }
        }
      }
    } catch (ignored) {
      // Another origin: fall through.
    }
    for (i = 0; i < menu.entries.length; i++) {
      if (menu.entries[i].link && menu.entries[i].target === 'Daten') {
        return i;
      }
    }
    return -1;
  }

  function sameAddress(link, href) {
    var a = doc.createElement('a');
    a.href = link;
    return a.href === href;
  }

  // ---- Rendering ----

  function attribute(value) {
    return String(value).replace(/&(?![#A-Za-z0-9]+;)/g, '&amp;').replace(/"/g, '&quot;')
      .replace(/</g, '&lt;');
  }

  function isShown(menu, index) {
    for (var p = menu.entries[index].parent; p >= 0; p = menu.entries[p].parent) {
      if (expandable(menu.entries[p]) && !menu.entries[p].open) {
        return false;
      }
    }
    return true;
  }

  // The entry that holds the tab stop: the current one if on screen, else the
  // first entry.
  function tabStop(menu) {
    var i = menu.current;
    while (i >= 0 && !isShown(menu, i)) {
      i = menu.entries[i].parent;
    }
    return i >= 0 ? i : 0;
  }

  function renderItems(menu, list, stop, html) {
    for (var k = 0; k < list.length; k++) {
      var i = list[k];
      var e = menu.entries[i];
      var cls = 'tm-entry' + (e.folder ? ' tm-folder ' + (e.open ? 'tm-open' : 'tm-closed') : '') +
        (i === menu.current ? ' tm-current' : '');
      html.push('<li role="none" class="' + cls + '" data-index="' + i + '" data-depth="' +
        e.depth + '" style="--tm-depth: ' + e.depth + '">');
      var a = '<a class="tm-link" role="treeitem" id="' + itemId(menu, i) + '" aria-level="' +
        e.level + '" aria-setsize="' + list.length + '" aria-posinset="' + (k + 1) + '"' +
        ' tabindex="' + (i === stop ? '0' : '-1') + '"';
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
        a += ' aria-expanded="' + (e.open ? 'true' : 'false') + '" aria-owns="' +
          itemId(menu, i) + '-g"';
      }
      if (i === menu.current) {
        a += ' aria-current="page"';
      }
      html.push(a + '><span class="' + (e.folder ? 'tm-toggle' : 'tm-bullet') +
        '" aria-hidden="true"></span><span class="tm-text">' + e.text + '</span></a>');
      if (e.children.length) {
        html.push('<ul role="group" id="' + itemId(menu, i) + '-g"' +
          (expandable(e) && !e.open ? ' hidden' : '') + '>');
        renderItems(menu, e.children, stop, html);
        html.push('</ul>');
      }
      html.push('</li>');
    }
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

  treemenu.prototype.toString = function () {
    this.buildTree();
    var html = ['<div class="treemenu" data-treemenu="' + this.serial + '">'];
    if (!capable) {
      renderPlain(this, this.roots, html);
      html.push('</div>');
      return html.join('');
    }
    for (var i = 0; i < this.entries.length; i++) {
      this.entries[i].open = false;
    }
    this.current = -1;
    loadState(this);
    if (this.current < 0) {
      this.current = initialCurrent(this);
    }
    var id = 'tm' + this.serial;
    if (global.parent !== global) {
      html.push('<a class="tm-skip" href="#">Zum Inhalt springen</a>');
    }
    html.push('<div class="tm-search" role="search"><label for="' + id + '-q">Suchen</label>' +
      '<input type="search" id="' + id + '-q" class="tm-query" autocomplete="off" ' +
      'spellcheck="false" aria-controls="' + id + '-tree" aria-describedby="' + id + '-hint" ' +
      'placeholder="Suchen (/)">' +
      '<span class="tm-hint" id="' + id + '-hint">Taste / sucht, Esc leert das Feld, Eingabe ' +
      '\u00f6ffnet den ersten Treffer.</span>' +
      '<span class="tm-status" role="status" aria-live="polite"></span></div>');
    html.push('<ul role="tree" class="tm-tree" id="' + id + '-tree" aria-label="Men\u00fc">');
    renderItems(this, this.roots, tabStop(this), html);
    html.push('</ul></div>');
    saveState(this);
    tellSiblings({ type: ASK });
    return html.join('');
  };

  // ---- Behaviour on the rendered menu ----

  function closest(node, selector) {
    return node && node.nodeType === 1 ? node.closest(selector) : null;
  }

  function rowOf(container, index) {
    return container.querySelector('.tm-entry[data-index="' + index + '"]');
  }

  // Every row, in entry order: the tree is written depth first, which is the
  // order of the calls.
  function rowsOf(container) {
    return container.querySelectorAll('.tm-entry');
  }

  function linkOf(container, index) {
    var row = rowOf(container, index);
    return row && row.querySelector('.tm-link');
  }

  // Brings the rendered rows in line with the entries' state.
  treemenu.prototype.refresh = function (container) {
    var searching = this.query !== '';
    var rows = rowsOf(container);
    for (var i = 0; i < this.entries.length; i++) {
      var e = this.entries[i];
      var row = rows[i];
      if (!row) {
        continue;
      }
      var link = row.querySelector('.tm-link');
      row.hidden = searching && !e.match;
      if (e.folder) {
        var open = searching ? e.match && e.matchBelow : e.open;
        row.classList.toggle('tm-open', !!open);
        row.classList.toggle('tm-closed', !open);
        if (expandable(e)) {
          link.setAttribute('aria-expanded', open ? 'true' : 'false');
          row.querySelector('[role="group"]').hidden = !open;
        }
      }
    }
  };

  treemenu.prototype.setOpen = function (container, index, open) {
    var e = this.entries[index];
    if (!e || !expandable(e) || e.open === open || this.query !== '') {
      return;
    }
    e.open = open;
    this.refresh(container);
    saveState(this);
    // Focus must not stay on an entry that has just been folded away.
    var active = container.ownerDocument.activeElement;
    if (!open && active && container.contains(active) && !onScreen(active)) {
      focusEntry(this, container, index);
    }
  };

  treemenu.prototype.toggle = function (container, index) {
    var e = this.entries[index];
    if (e) {
      this.setOpen(container, index, !e.open);
    }
  };

  function onScreen(element) {
    return element.offsetParent !== null || element.getClientRects().length > 0;
  }

  // The tree has one tab stop: this link (none for null).
  function setTabStop(container, link) {
    var items = container.querySelectorAll('.tm-link');
    for (var i = 0; i < items.length; i++) {
      items[i].tabIndex = items[i] === link ? 0 : -1;
    }
  }

  // Moves the tab stop to an entry and focuses it.
  function focusEntry(menu, container, index) {
    var target = linkOf(container, index);
    if (target) {
      setTabStop(container, target);
      target.focus();
    }
  }

  // Indices of the entries on screen, in order.
  function visibleIndices(menu, container) {
    var result = [];
    var items = container.querySelectorAll('.tm-link');
    for (var i = 0; i < items.length; i++) {
      if (onScreen(items[i])) {
        result.push(Number(closest(items[i], '.tm-entry').getAttribute('data-index')));
      }
    }
    return result;
  }

  treemenu.prototype.markCurrent = function (container, index) {
    this.current = index;
    var items = container.querySelectorAll('.tm-entry');
    for (var i = 0; i < items.length; i++) {
      var current = Number(items[i].getAttribute('data-index')) === index;
      items[i].classList.toggle('tm-current', current);
      var link = items[i].querySelector('.tm-link');
      if (current) {
        link.setAttribute('aria-current', 'page');
      } else {
        link.removeAttribute('aria-current');
      }
    }
    saveState(this);
  };

  // The menu and entry an event belongs to, or null.
  function locate(target) {
    var row = closest(target, '.tm-entry');
    var container = row && closest(row, '.treemenu');
    var menu = container && menus[container.getAttribute('data-treemenu')];
    if (!menu) {
      return null;
    }
    var index = Number(row.getAttribute('data-index'));
    return menu.entries[index] ? { menu: menu, container: container, index: index } : null;
  }

  function menuOf(element) {
    var container = closest(element, '.treemenu');
    var menu = container && menus[container.getAttribute('data-treemenu')];
    return menu ? { menu: menu, container: container } : null;
  }

  // Follows an entry's link as a click would, or just folds a folder.
  function activate(hit) {
    var e = hit.menu.entries[hit.index];
    if (e.link) {
      linkOf(hit.container, hit.index).click();
    } else if (expandable(e)) {
      hit.menu.toggle(hit.container, hit.index);
    }
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
    var e = menu.entries[hit.index];
    var onToggle = closest(event.target, '.tm-toggle') !== null;
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
      menu.markCurrent(hit.container, hit.index);
    }
    setTabStop(hit.container, linkOf(hit.container, hit.index));
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
    // A repeated single letter walks through the entries with that letter.
    var needle = fold(typed);
    var from = needle.length === 1 ? start + 1 : start;
    for (var k = 0; k < visible.length; k++) {
      var i = visible[(from + k) % visible.length];
      if (fold(textOf(container, i)).indexOf(needle) === 0) {
        focusEntry(menu, container, i);
        return;
      }
    }
  }

  function textOf(container, index) {
    var span = rowOf(container, index).querySelector('.tm-text');
    return span.textContent.replace(/^\s+/, '');
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
    if (!hit) {
      return;
    }
    var menu = hit.menu;
    var e = menu.entries[hit.index];
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
        } else if (e.children.length && menu.entries[visible[position + 1]] &&
                   menu.entries[visible[position + 1]].parent === hit.index) {
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
    var parent = menu.entries[index].parent;
    var siblings = parent >= 0 ? menu.entries[parent].children : menu.roots;
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
  // finds a-umlaut and "e" finds e-acute. Returns the folded text and, per character of
  // it, the position of the character it came from.
  var SPELLED = { '\u00e4': 'ae', '\u00f6': 'oe', '\u00fc': 'ue', '\u00df': 'ss' };

  function foldWithMap(text) {
    var out = '';
    var map = [];
    for (var i = 0; i < text.length; i++) {
      var c = text.charAt(i).toLowerCase();
      var s = SPELLED[c];
      if (!s) {
        s = c.normalize ? c.normalize('NFD').replace(/[\u0300-\u036f]/g, '') : c;
      }
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

  treemenu.prototype.search = function (container, query) {
    var needle = fold(query.replace(/^\s+|\s+$/g, ''));
    this.query = needle;
    var i;
    var hits = 0;
    var first = -1;
    for (i = 0; i < this.entries.length; i++) {
      this.entries[i].match = false;
      this.entries[i].matchBelow = false;
    }
    var rows = rowsOf(container);
    for (i = 0; i < this.entries.length; i++) {
      var span = rows[i].querySelector('.tm-text');
      unmark(span);
      if (!needle) {
        continue;
      }
      var found = foldWithMap(span.textContent);
      var at = found.text.indexOf(needle);
      if (at < 0) {
        continue;
      }
      hits++;
      if (first < 0) {
        first = i;
      }
      // The match maps back onto the characters it was folded from.
      mark(span, found.map[at], found.map[at + needle.length - 1] + 1);
      this.entries[i].match = true;
      for (var p = this.entries[i].parent; p >= 0; p = this.entries[p].parent) {
        this.entries[p].match = true;
        this.entries[p].matchBelow = true;
      }
    }
    this.firstHit = first;
    this.refresh(container);
    var status = container.querySelector('.tm-status');
    status.textContent = !needle ? '' : hits === 0 ? 'Keine Treffer' :
      hits === 1 ? '1 Treffer' : hits + ' Treffer';
    container.classList.toggle('tm-searching', !!needle);
    // The tab stop must stay on an entry on screen.
    var stop = needle ? first : tabStop(this);
    setTabStop(container, stop >= 0 ? linkOf(container, stop) : null);
  };

  // Wraps characters start..end of the element's text in <mark>, text node by
  // text node, so that markup inside a link text stays intact.
  function mark(element, start, end) {
    var walker = doc.createTreeWalker(element, 4, null, false);
    var nodes = [];
    while (walker.nextNode()) {
      nodes.push(walker.currentNode);
    }
    var offset = 0;
    for (var i = 0; i < nodes.length; i++) {
      var node = nodes[i];
      var length = node.data.length;
      var from = Math.max(start - offset, 0);
      var to = Math.min(end - offset, length);
      offset += length;
      if (from >= to) {
        continue;
      }
      var middle = node.splitText(from);
      middle.splitText(to - from);
      var highlight = doc.createElement('mark');
      highlight.className = 'tm-hit';
      middle.parentNode.replaceChild(highlight, middle);
      highlight.appendChild(middle);
    }
  }

  function unmark(element) {
    var marks = element.querySelectorAll('mark.tm-hit');
    for (var i = 0; i < marks.length; i++) {
      var parent = marks[i].parentNode;
      while (marks[i].firstChild) {
        parent.insertBefore(marks[i].firstChild, marks[i]);
      }
      parent.removeChild(marks[i]);
      parent.normalize();
    }
  }

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
        if (found.menu.entries[first].link) {
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
    for (var i = 0; i < menu.entries.length; i++) {
      var e = menu.entries[i];
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

  // The frameset's frames carry no titles; where a frame may reach its own
  // element (pages served from one origin), it lends it its page title.
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
