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
 * The menu never touches another frame's document: pages opened from file://
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

  // Menus by serial number: every page block names its menu 'tree', so a page
  // with two menus needs another key to find each from its container.
  var menus = {};
  var count = 0;
  var listening = false;  // one set of document handlers serves every menu

  function treemenu(name) {
    if (!(this instanceof treemenu)) {
      return new treemenu(name);
    }
    this.name = String(name === undefined || name === null ? 'tree' : name);
    this.entries = [];
    this.serial = String(++count);
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
      hasChildren: false
    });
    return this;
  };

  // Links every entry to the nearest earlier entry that is less deep.
  treemenu.prototype.buildTree = function () {
    var stack = [];
    for (var i = 0; i < this.entries.length; i++) {
      var entry = this.entries[i];
      while (stack.length && this.entries[stack[stack.length - 1]].depth >= entry.depth) {
        stack.pop();
      }
      entry.parent = stack.length ? stack[stack.length - 1] : -1;
      entry.hasChildren = false;
      if (entry.parent >= 0) {
        this.entries[entry.parent].hasChildren = true;
      }
      stack.push(i);
    }
  };

  // An entry shows while no folder above it is folded.
  treemenu.prototype.isVisible = function (index) {
    for (var p = this.entries[index].parent; p >= 0; p = this.entries[p].parent) {
      if (this.entries[p].folder && !this.entries[p].open) {
        return false;
      }
    }
    return true;
  };

  function attribute(value) {
    return String(value).replace(/&(?![#A-Za-z0-9]+;)/g, '&amp;').replace(/"/g, '&quot;')
      .replace(/</g, '&lt;');
  }

  treemenu.prototype.toString = function () {
    this.buildTree();
    var html = ['<div class="treemenu" data-treemenu="' + this.serial + '">'];
    for (var i = 0; i < this.entries.length; i++) {
      var e = this.entries[i];
      var rowClass = 'tm-entry' + (e.folder ? ' tm-folder ' + (e.open ? 'tm-open' : 'tm-closed') : '');
      var row = '<div class="' + rowClass + '" data-index="' + i + '" data-depth="' + e.depth +
        '" style="--tm-depth: ' + e.depth + '"' + (this.isVisible(i) ? '' : ' hidden') + '>';
      row += '<span class="' + (e.folder ? 'tm-toggle' : 'tm-bullet') + '" aria-hidden="true"></span>';
      row += '<a class="tm-link"';
      if (e.link) {
        row += ' href="' + attribute(e.link) + '"';
        if (e.target) {
          row += ' target="' + attribute(e.target) + '"';
        }
      } else {
        // Entries without a link stay reachable by Tab and the arrow keys.
        row += ' tabindex="0"' + (e.folder ? ' role="button"' : '');
      }
      if (e.tooltip) {
        row += ' title="' + attribute(e.tooltip) + '"';
      }
      if (e.folder) {
        row += ' aria-expanded="' + (e.open ? 'true' : 'false') + '"';
      }
      row += '>' + e.text + '</a></div>';
      html.push(row);
    }
    html.push('</div>');
    return html.join('\n');
  };

  // ---- Behaviour on the rendered menu ----

  function rows(container) {
    return container.querySelectorAll('.tm-entry');
  }

  function rowOf(container, index) {
    return container.querySelector('.tm-entry[data-index="' + index + '"]');
  }

  treemenu.prototype.refresh = function (container) {
    var list = rows(container);
    for (var i = 0; i < list.length; i++) {
      var index = Number(list[i].getAttribute('data-index'));
      var e = this.entries[index];
      if (!e) {
        continue;
      }
      list[i].hidden = !this.isVisible(index);
      if (e.folder) {
        list[i].classList.toggle('tm-open', e.open);
        list[i].classList.toggle('tm-closed', !e.open);
        list[i].querySelector('.tm-link').setAttribute('aria-expanded', e.open ? 'true' : 'false');
      }
    }
  };

  treemenu.prototype.setOpen = function (container, index, open) {
    var e = this.entries[index];
    if (!e || !e.folder || e.open === open) {
      return;
    }
    e.open = open;
    this.refresh(container);
    // Focus must not stay on an entry that has just been folded away.
    var active = container.ownerDocument.activeElement;
    if (!open && active && container.contains(active) && active.closest('.tm-entry[hidden]')) {
      focusEntry(container, index);
    }
  };

  treemenu.prototype.toggle = function (container, index) {
    var e = this.entries[index];
    if (e) {
      this.setOpen(container, index, !e.open);
    }
  };

  function focusEntry(container, index) {
    var row = rowOf(container, index);
    if (row) {
      row.querySelector('.tm-link').focus();
    }
  }

  // Indices of the entries on screen, in order.
  treemenu.prototype.visibleIndices = function () {
    var result = [];
    for (var i = 0; i < this.entries.length; i++) {
      if (this.isVisible(i)) {
        result.push(i);
      }
    }
    return result;
  };

  treemenu.prototype.markCurrent = function (container, index) {
    var list = rows(container);
    for (var i = 0; i < list.length; i++) {
      var current = Number(list[i].getAttribute('data-index')) === index;
      list[i].classList.toggle('tm-current', current);
      var link = list[i].querySelector('.tm-link');
      if (current) {
        link.setAttribute('aria-current', 'page');
      } else {
        link.removeAttribute('aria-current');
      }
    }
  };

  // The menu and entry an event belongs to, or null.
  function locate(target) {
    if (!target || !target.closest) {
      return null;
    }
    var row = target.closest('.tm-entry');
    var container = row && row.closest('.treemenu');
    var menu = container && menus[container.getAttribute('data-treemenu')];
    if (!menu) {
      return null;
    }
    var index = Number(row.getAttribute('data-index'));
    return menu.entries[index] ? { menu: menu, container: container, index: index } : null;
  }

  function onClick(event) {
    var hit = locate(event.target);
    if (!hit) {
      return;
    }
    var e = hit.menu.entries[hit.index];
    var onToggle = event.target.closest('.tm-toggle') !== null;
    if (e.folder && (onToggle || !e.link)) {
      event.preventDefault();
      hit.menu.toggle(hit.container, hit.index);
      focusEntry(hit.container, hit.index);
      return;
    }
    if (onToggle || !e.link) {
      return;
    }
    // A folder with a page of its own shows its children along with the page.
    if (e.folder) {
      hit.menu.setOpen(hit.container, hit.index, true);
    }
    if (e.target !== '_blank') {
      hit.menu.markCurrent(hit.container, hit.index);
    }
  }

  function onKeyDown(event) {
    if (event.altKey || event.ctrlKey || event.metaKey || !event.target.classList ||
        !event.target.classList.contains('tm-link')) {
      return;
    }
    var hit = locate(event.target);
    if (!hit) {
      return;
    }
    var menu = hit.menu;
    var e = menu.entries[hit.index];
    var visible = menu.visibleIndices();
    var position = visible.indexOf(hit.index);
    var next = -1;
    switch (event.key) {
      case 'Enter':
      case ' ':
        // Links activate themselves on Enter (and so reach onClick).
        if (e.link && event.key === 'Enter') {
          return;
        }
        if (e.folder) {
          menu.toggle(hit.container, hit.index);
        } else if (e.link) {
          return;  // Space on a link keeps its usual meaning
        }
        break;
      case 'ArrowDown':
        next = visible[position + 1];
        break;
      case 'ArrowUp':
        next = visible[position - 1];
        break;
      case 'Home':
        next = visible[0];
        break;
      case 'End':
        next = visible[visible.length - 1];
        break;
      case 'ArrowRight':
        if (e.folder && !e.open) {
          menu.setOpen(hit.container, hit.index, true);
        } else if (e.hasChildren && menu.entries[visible[position + 1]] &&
                   menu.entries[visible[position + 1]].parent === hit.index) {
          next = visible[position + 1];
        }
        break;
      case 'ArrowLeft':
        if (e.folder && e.open) {
          menu.setOpen(hit.container, hit.index, false);
        } else {
          next = e.parent;
        }
        break;
      default:
        return;
    }
    event.preventDefault();
    if (next !== undefined && next >= 0) {
      focusEntry(hit.container, next);
    }
  }

  function listen() {
    if (listening || !global.document || !global.document.addEventListener) {
      return;
    }
    global.document.addEventListener('click', onClick, false);
    global.document.addEventListener('keydown', onKeyDown, false);
    listening = true;
  }

  treemenu.loaded = true;
  global.treemenu = treemenu;
})(this);
