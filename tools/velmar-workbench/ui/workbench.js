// The workbench page: shows the simulated Archicad's state as the workbench reports it (long polling
// /api/state) and sends the user's clicks to it. The add-on's windows are frames of its pages.

const ElementTypes = ['wall', 'slab', 'column', 'beam', 'window', 'door', 'object', 'lamp', 'roof', 'curtainwall', 'curtainwallpanel'];
const MenuDisabled = 1;
const MenuChecked = 2;

const $ = (id) => document.getElementById(id);

function element(tag, properties = {}, ...children) {
  const node = Object.assign(document.createElement(tag), properties);
  node.append(...children);
  return node;
}

async function post(path, body = {}) {
  const response = await fetch(path, { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) });
  const answer = await response.json();
  if (!answer.ok) throw new Error(answer.error);
  return answer;
}

function showNotice(message) {
  $('notice').textContent = message;
  $('notice').hidden = message === '';
}

// A user's action; its failure is shown, since the user asked for it.
function act(path, body) {
  showNotice('');
  return post(path, body).catch((error) => showNotice(`${path}: ${error.message}`));
}

// Menus -------------------------------------------------------------------------------------------------

function closeMenus() {
  for (const menu of document.querySelectorAll('.menu.open')) menu.classList.remove('open');
}

function menuItem(text, { disabled = false, checked = false, data = {}, onChoose }) {
  const button = element('button', { type: 'button', className: 'menu-item', disabled },
    element('span', { className: 'check', textContent: checked ? '✓' : '' }), element('span', { textContent: text }));
  Object.assign(button.dataset, data);
  button.addEventListener('click', () => {
    closeMenus();
    onChoose();
  });
  return element('li', {}, button);
}

function addOnMenuItems(menu) {
  return menu.items.map((item) => menuItem(item.text, {
    disabled: (item.flags & MenuDisabled) !== 0,
    checked: (item.flags & MenuChecked) !== 0,
    data: { menu: menu.id, item: item.index },
    onChoose: () => act('/api/choose', { menu: menu.id, item: item.index }),
  }));
}

function topMenu(title, entries) {
  const menu = element('div', { className: 'menu' });
  const button = element('button', { type: 'button', className: 'menu-title', textContent: title });
  button.addEventListener('click', (event) => {
    event.stopPropagation();
    const open = !menu.classList.contains('open');
    closeMenus();
    menu.classList.toggle('open', open);
  });
  menu.append(button, element('ul', { className: 'dropdown' }, ...entries));
  return menu;
}

// The host's own File menu, then the add-on's menus under their host menu titles in registration order.
function renderMenus(menus) {
  const titles = new Map();
  for (const menu of menus) {
    const entries = titles.get(menu.title) ?? [];
    titles.set(menu.title, entries);
    if (menu.submenu === '') {
      entries.push(...addOnMenuItems(menu));
    } else {
      entries.push(element('li', { className: 'submenu' },
        element('button', { type: 'button', className: 'menu-item' }, element('span', { className: 'check' }), element('span', { textContent: `${menu.submenu} ▸` })),
        element('ul', { className: 'dropdown' }, ...addOnMenuItems(menu))));
    }
  }
  const file = topMenu('File', [menuItem('New project', { onChoose: () => act('/api/project/new') })]);
  $('menubar').replaceChildren(file, ...[...titles].map(([title, entries]) => topMenu(title, entries)));
}

document.addEventListener('click', closeMenus);
// A click in a frame (an add-on window, a browser tab) reaches the frame's document, never this one; it
// only takes the focus from this window.
window.addEventListener('blur', closeMenus);

// Project, report, log and the web browser --------------------------------------------------------------

function renderProject(project) {
  const yes = (flag) => (flag ? '✓' : '');
  $('elements').tBodies[0].replaceChildren(...project.elements.map((item) => element('tr', {},
    element('td', { textContent: item.type }), element('td', { className: 'guid', textContent: item.guid }),
    element('td', { textContent: yes(item.observed) }), element('td', { textContent: yes(item.selected) }),
    element('td', { textContent: item.userDataBytes > 0 ? `${item.userDataBytes} bytes` : '' }))));
  $('attributes').tBodies[0].replaceChildren(...project.attributes.map((item) => element('tr', {},
    element('td', { textContent: item.type }), element('td', { textContent: item.index }),
    element('td', { textContent: item.name }),
    element('td', { textContent: item.userDataBytes > 0 ? `${item.userDataBytes} bytes` : '' }))));
}

// A report the add-on wrote with the alert flag holds the user until OK, as Archicad's alert does, one at a
// time; the report list keeps every report.
let reportsSeen = 0;
const waitingAlerts = [];

function showNextAlert() {
  if ($('alert').open || waitingAlerts.length === 0) return;
  $('alertText').textContent = waitingAlerts.shift();
  $('alert').showModal();
}

function renderReports(reports) {
  $('reports').replaceChildren(...reports.map((report) =>
    element('li', { className: report.alert ? 'alert' : '', textContent: (report.alert ? '⚠ ' : '') + report.text })));
  // The host's reports only grow; a shorter list comes from a restarted host.
  if (reports.length < reportsSeen) reportsSeen = 0;
  waitingAlerts.push(...reports.slice(reportsSeen).filter((report) => report.alert).map((report) => report.text));
  reportsSeen = reports.length;
  showNextAlert();
}

function renderLog(lines) {
  const log = $('log');
  const atEnd = log.scrollTop + log.clientHeight >= log.scrollHeight - 4;
  log.textContent = lines.join('\n');
  if (atEnd) log.scrollTop = log.scrollHeight;
}

let shownTabs = 0;
function showTab(entry, index) {
  for (const [i, tab] of [...$('tabs').children].entries()) tab.setAttribute('aria-selected', String(i === index));
  $('tab').replaceChildren(entry.localAddress !== null
    ? element('iframe', { src: entry.localAddress, title: entry.address })
    : element('p', {}, element('strong', { textContent: entry.address }), element('br'),
      element('span', { className: 'muted', textContent: 'No stand-in serves this address on this machine.' })));
}

// The newest address opens in a tab of its own and comes to the front, as in a browser.
function renderBrowser(opened) {
  if (opened.length === shownTabs) return;
  shownTabs = opened.length;
  $('tabs').replaceChildren(...opened.map((entry, index) => {
    const tab = element('button', { type: 'button', textContent: entry.address, title: entry.address });
    tab.setAttribute('role', 'tab');
    tab.addEventListener('click', () => showTab(entry, index));
    return tab;
  }));
  if (opened.length > 0) showTab(opened.at(-1), opened.length - 1);
}

// The add-on's windows -----------------------------------------------------------------------------------

const windowViews = new Map();

function frameAddress(info) {
  // An address no stand-in serves shows as the browser control's own error page would.
  return info.frameUrl ?? `data:text/html,${encodeURIComponent(`<p>No stand-in serves ${info.url}</p>`)}`;
}

// Below this a page has no room to show anything; the host may still hold a window larger.
const MinimumWindowSize = { width: 160, height: 100 };

// Dragging the corner grip resizes the window as a user does; the host has the last word on the size.
// As on a screen, the window grows only up to the visible edge, unless it was larger already.
function addGrip(view, id) {
  const grip = element('div', { className: 'window-grip', title: 'Drag to resize' });
  grip.addEventListener('pointerdown', (start) => {
    start.preventDefault();
    grip.setPointerCapture(start.pointerId);
    // A centred dialog would move its left edge as it grows; a resized one stays where it is.
    if (view.classList.contains('modal')) view.style.marginLeft = `${view.offsetLeft}px`;
    const frame = view.querySelector('iframe');
    // The frame's width and height attributes are texts; its box is in numbers.
    const box = frame.getBoundingClientRect();
    const viewport = document.documentElement;
    const limit = {
      width: Math.max(box.width, viewport.clientWidth - box.left),
      height: Math.max(box.height, viewport.clientHeight - box.top),
    };
    const clamp = (value, dimension) => Math.round(Math.min(Math.max(value, MinimumWindowSize[dimension]), limit[dimension]));
    const size = (event) => ({
      width: clamp(box.width + event.clientX - start.clientX, 'width'),
      height: clamp(box.height + event.clientY - start.clientY, 'height'),
    });
    const move = (event) => Object.assign(frame, size(event));
    // A size the host refuses changes no state, so no render would put its own size back.
    const end = async (event) => {
      grip.removeEventListener('pointermove', move);
      await act('/api/window/resize', { window: id, ...size(event) });
      Object.assign(frame, view.hostSize);
    };
    grip.addEventListener('pointermove', move);
    grip.addEventListener('pointerup', end, { once: true });
  });
  view.append(grip);
}

function createWindowView(info) {
  const close = element('button', { type: 'button', className: 'window-close', title: 'Close', textContent: '×' });
  close.addEventListener('click', () => act('/api/window/close', { window: info.id }));
  const view = element('div', { className: `window${info.modal ? ' modal' : ''}` },
    element('div', { className: 'window-title' }, element('span', { className: 'window-name' }), close),
    element('iframe', { name: `velmar-window-${info.id}` }));
  view.dataset.window = info.id;
  addGrip(view, info.id);
  if (!info.modal) Object.assign(view.style, { left: `${40 + 30 * windowViews.size}px`, top: `${90 + 30 * windowViews.size}px` });
  (info.modal ? $('modals') : $('palettes')).append(view);
  return view;
}

function renderWindows(windows) {
  const open = new Set();
  for (const info of windows) {
    const key = `${info.id}:${info.modal}`;
    open.add(key);
    const view = windowViews.get(key) ?? createWindowView(info);
    windowViews.set(key, view);
    view.hidden = !info.visible;
    view.querySelector('.window-name').textContent = info.title;
    const frame = view.querySelector('iframe');
    view.hostSize = { width: info.width, height: info.height };
    Object.assign(frame, view.hostSize);
    const page = `${info.loads} ${info.url}`;
    if (view.dataset.page !== page) {
      view.dataset.page = page;
      frame.src = frameAddress(info);
    }
  }
  for (const [key, view] of windowViews) {
    if (!open.has(key)) {
      view.remove();
      windowViews.delete(key);
    }
  }
  $('modals').hidden = !windows.some((info) => info.modal && info.visible);
}

// State --------------------------------------------------------------------------------------------------

let shownMenus = '';
function render(state) {
  $('addon').textContent = state.addOn;
  const menus = JSON.stringify(state.menus);
  if (menus !== shownMenus) {
    shownMenus = menus;
    renderMenus(state.menus);
  }
  renderProject(state.project);
  renderReports(state.reports);
  renderLog(state.log);
  renderBrowser(state.browser);
  renderWindows(state.windows);
}

async function followState() {
  let version = 0;
  for (;;) {
    try {
      const response = await fetch(`/api/state?since=${version}`);
      const answer = await response.json();
      $('connection').hidden = true;
      if (answer.version !== version) {
        version = answer.version;
        render(answer.state);
      }
    } catch (error) {
      $('connection').hidden = false;
      console.error(error);
      await new Promise((resume) => setTimeout(resume, 1000));
    }
  }
}

$('alert').addEventListener('close', showNextAlert);
$('elementType').append(...ElementTypes.map((type) => new Option(type, type)));
$('place').addEventListener('submit', (event) => {
  event.preventDefault();
  act('/api/element', { type: $('elementType').value });
});
followState();
