// The workbench page: shows the simulated Archicad's state as the workbench reports it (long polling
// /api/state) and sends the user's clicks to it. The add-on's windows are frames of its pages.

import { $, act, command, element, get, query, setPageLanguage, showNotice } from './host.js';
import { allGuids, deleteSelection, elementByGuid, zoomTo, fitToProject, onElementsInView, select, selectedGuids, setSelection, setTool, syncModel } from './plan.js';
import { refreshAttributes, refreshInfo, renderElementsInView } from './panels.js';

const ElementTypes = ['wall', 'slab', 'column', 'beam', 'window', 'door', 'object', 'lamp', 'roof', 'curtainwall', 'curtainwallpanel'];
const Tools = [
  { name: 'arrow', title: 'Arrow', hint: 'Select: click, Shift-click, or drag a box (to the right: what lies inside; to the left: what it touches). Pan with the right button, zoom with the wheel.' },
  { name: 'wall', title: 'Wall', hint: 'Click where the wall begins, then where it ends; walls chain until Escape or a double click. Shift keeps 45° steps.' },
  { name: 'slab', title: 'Slab', hint: 'Click the corners; click the first corner again or double-click to close.' },
  { name: 'window', title: 'Window', hint: 'Click a wall where the window goes.' },
  { name: 'door', title: 'Door', hint: 'Click a wall where the door goes.' },
];
const MenuDisabled = 1;
const MenuChecked = 2;

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

// The host's own File and Edit menus, then the add-on's menus under their host menu titles in
// registration order.
function renderMenus(menus, project) {
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
  const file = topMenu('File', [
    menuItem('New', { onChoose: newProject }),
    menuItem('Open…', { onChoose: showOpenDialog }),
    menuItem('Save', { onChoose: saveProject }),
    menuItem('Save As…', { onChoose: showSaveDialog }),
  ]);
  const edit = topMenu('Edit', [
    menuItem(project.undo.length > 0 ? `Undo ${project.undo[0]}` : 'Undo', { disabled: project.undo.length === 0, onChoose: undo }),
    menuItem(project.redo.length > 0 ? `Redo ${project.redo[0]}` : 'Redo', { disabled: project.redo.length === 0, onChoose: redo }),
    menuItem('Select All', { disabled: project.elementCount === 0, onChoose: selectAll }),
    menuItem('Delete', { disabled: project.selection.length === 0, onChoose: deleteSelection }),
  ]);
  $('menubar').replaceChildren(file, edit, ...[...titles].map(([title, entries]) => topMenu(title, entries)));
}

const undo = () => command('undo');
const redo = () => command('redo');

const selectAll = () => select(allGuids());

document.addEventListener('click', closeMenus);
// A click in a frame (an add-on window, a browser tab) reaches the frame's document, never this one; it
// only takes the focus from this window.
window.addEventListener('blur', closeMenus);

// Files ---------------------------------------------------------------------------------------------------

// The file the project was last opened from or saved to, and whether that is the user's folder, where Save
// writes it again; a new project, or one opened from the samples, is saved with Save As.
let projectPath = null;
let projectIsUsers = false;
let userFolder = null;

// As the workbench takes a project's name (docs/workbench.md); its own check has the last word.
const LongestName = 60;

function nameRefusal(name) {
  if (/^ *$/.test(name)) return 'A project needs a name.';
  if (name.startsWith('.')) return 'A name cannot start with a dot.';
  if (/[/\\]/.test(name)) return 'A name cannot hold / or \\.';
  if (/[\u0000-\u001f\u007f-\u009f]/.test(name) || !name.isWellFormed()) return 'A name cannot hold control characters.';
  if ([...name].length > LongestName) return `A name has at most ${LongestName} characters.`;
  return null;
}

function setProjectPath(path, users) {
  projectPath = path;
  projectIsUsers = users;
  $('projectName').textContent = path === null ? 'Untitled' : path.split('/').at(-1).replace(/\.json$/, '');
}

// The host says which file its project came from: the page learns so of the sample opened at start, which
// is saved with Save As as any sample is. Files the page opened or saved it tracks itself.
function followProjectFile(file) {
  if (projectPath === null && file !== null) setProjectPath(file, false);
}

async function newProject() {
  if ((await command('project.new')) !== undefined) setProjectPath(null, false);
}

// A file that cannot be opened leaves the open project as it is; the notice says why.
async function openProject(path, users) {
  $('openDialog').close();
  if ((await command('project.open', { path })) !== undefined) setProjectPath(path, users);
}

// The project files the workbench offers; undefined (and a notice) when it cannot list them.
function projectFolders() {
  showNotice('');
  return get('/api/projects').catch((error) => showNotice(error.message));
}

async function showOpenDialog() {
  const answer = await projectFolders();
  if (answer === undefined) return;
  $('projectFolders').replaceChildren(...answer.folders.map((folder) => element('section', {},
    element('h3', { textContent: folder.title }),
    folder.files.length === 0
      ? element('p', { className: 'muted', textContent: folder.error ?? 'No projects here yet.' })
      : element('ul', { className: 'file-list' }, ...folder.files.map((file) => {
        const button = element('button', { type: 'button', textContent: file.name, title: file.path });
        button.addEventListener('click', () => openProject(file.path, folder.users));
        return element('li', {}, button);
      })))));
  $('openDialog').showModal();
}

// The workbench replaces a file only when told that the user agreed to it.
async function saveAs(path, overwrite) {
  if ((await command('project.save', { path, overwrite })) !== undefined) setProjectPath(path, true);
}

function saveProject() {
  if (projectPath === null || !projectIsUsers) showSaveDialog();
  else saveAs(projectPath, true);
}

async function showSaveDialog() {
  const answer = await projectFolders();
  if (answer === undefined) return;
  userFolder = answer.folders.find((folder) => folder.users);
  $('saveFolder').textContent = userFolder.title;
  $('saveFolder').title = userFolder.path;
  $('saveName').value = projectPath?.split('/').at(-1).replace(/\.json$/, '') ?? '';
  $('saveError').textContent = '';
  $('saveDialog').showModal();
}

// One spelling of a name, so "é" typed two ways is one project.
const savedName = () => $('saveName').value.normalize('NFC');
const savedPath = () => `${userFolder.path}/${savedName()}.json`;

$('saveForm').addEventListener('submit', (event) => {
  if (event.submitter?.value !== 'save') return;
  const name = savedName();
  const refusal = nameRefusal(name);
  if (refusal !== null) {
    event.preventDefault();
    $('saveError').textContent = refusal;
  } else if (userFolder.files.some((file) => file.name === name)) {
    event.preventDefault();
    $('replaceText').textContent = `“${name}” already exists in ${userFolder.title}. Do you want to replace it with this project?`;
    $('replaceDialog').showModal();
  }
});
$('saveName').addEventListener('input', () => { $('saveError').textContent = ''; });

$('replaceDialog').addEventListener('close', () => {
  if ($('replaceDialog').returnValue === 'replace') $('saveDialog').close('replace');
});

$('saveDialog').addEventListener('close', () => {
  const choice = $('saveDialog').returnValue;
  if (choice === 'save' || choice === 'replace') saveAs(savedPath(), choice === 'replace');
});

// The project -----------------------------------------------------------------------------------------------

let shownProject = { identity: 0, revision: -1, selection: '', zooms: 0 };

// The plan, the attributes and the info panel follow the project when it changes.
function renderProject(project) {
  const changed = project.identity !== shownProject.identity || project.revision !== shownProject.revision;
  const selection = JSON.stringify(project.selection) + JSON.stringify(project.observed);
  if (selection !== shownProject.selection) setSelection(project.selection, project.observed);
  // The attributes refresh the info panel once they are read, since it offers and measures them.
  if (changed) {
    syncModel();
    refreshAttributes();
  } else if (selection !== shownProject.selection) {
    refreshInfo();
  }
  // The add-on's zoom to what it selected ('DOOM'), once the plan has the elements.
  if (shownProject.revision !== -1 && project.zoom.count > shownProject.zooms) syncModel().then(() => zoomTo(project.zoom.guids));
  shownProject = { identity: project.identity, revision: project.revision, selection, zooms: project.zoom.count };
}

// The host's process window: long work shows its phases here and the user may cancel it.
function renderProgress(progress) {
  const dialog = $('process');
  if (progress === null) {
    if (dialog.open) dialog.close();
    return;
  }
  $('processTitle').textContent = progress.title;
  $('processPhase').textContent = progress.phase > 0 ? `${progress.phase} / ${progress.phases}: ${progress.subtitle}` : '';
  Object.assign($('processBar'), { max: Math.max(progress.phases, 1), value: Math.max(progress.phase - 1, 0) + (progress.max > 0 ? progress.value / progress.max : 0) });
  $('processCancel').disabled = progress.cancelled;
  $('processCancel').textContent = progress.cancelled ? 'Cancelling…' : 'Cancel';
  if (!dialog.open) dialog.showModal();
}

$('processCancel').addEventListener('click', () => act('/api/progress/cancel'));
// The process window closes when the work ends, not on Escape.
$('process').addEventListener('cancel', (event) => event.preventDefault());

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

// A palette moves by its title bar, and its title bar stays where the pointer can reach it again.
function addMove(view, title) {
  title.addEventListener('pointerdown', (start) => {
    if (start.button !== 0 || start.target.closest('button')) return;
    start.preventDefault();
    title.setPointerCapture(start.pointerId);
    const from = { left: view.offsetLeft, top: view.offsetTop };
    const viewport = document.documentElement;
    const move = (event) => Object.assign(view.style, {
      left: `${Math.min(Math.max(from.left + event.clientX - start.clientX, 40 - view.offsetWidth), viewport.clientWidth - 40)}px`,
      top: `${Math.min(Math.max(from.top + event.clientY - start.clientY, 0), viewport.clientHeight - title.offsetHeight)}px`,
    });
    title.addEventListener('pointermove', move);
    title.addEventListener('pointerup', () => title.removeEventListener('pointermove', move), { once: true });
  });
}

function createWindowView(info) {
  const close = element('button', { type: 'button', className: 'window-close', title: 'Close', textContent: '×' });
  close.addEventListener('click', () => act('/api/window/close', { window: info.id }));
  const title = element('div', { className: 'window-title' }, element('span', { className: 'window-name' }), close);
  const view = element('div', { className: `window${info.modal ? ' modal' : ''}` }, title,
    element('iframe', { name: `velmar-window-${info.id}` }));
  view.dataset.window = info.id;
  addGrip(view, info.id);
  if (!info.modal) {
    // Palettes dock beside the plan, over the side panels, so what they select and zoom to stays in sight;
    // a palette wider than the room there shows its page narrower, scrolling.
    const palettes = [...windowViews.values()].filter((other) => !other.classList.contains('modal')).length;
    const screen = document.documentElement.clientWidth;
    const beside = $('plan').getBoundingClientRect().right + 8;
    const left = screen - beside >= 360 ? beside : Math.max(screen - Math.min(info.width, screen - 32) - 16, 8);
    Object.assign(view.style, { left: `${left + 30 * palettes}px`, top: `${90 + 30 * palettes}px` });
    view.querySelector('iframe').style.maxWidth = `${Math.max(screen - left - 30 * palettes - 16, MinimumWindowSize.width)}px`;
    addMove(view, title);
  }
  (info.modal ? $('modals') : $('palettes')).append(view);
  // Escape reaches the workbench while the focus is not inside the window's page.
  if (info.modal) close.focus();
  return view;
}

// Escape closes the open menu, else the topmost dialog, as it does in Archicad.
document.addEventListener('keydown', (event) => {
  if (event.key !== 'Escape') return;
  if (document.querySelector('.menu.open') !== null) {
    closeMenus();
    return;
  }
  const dialogs = [...$('modals').querySelectorAll('.window')].filter((view) => !view.hidden);
  if (dialogs.length > 0 && !$('alert').open) act('/api/window/close', { window: Number(dialogs.at(-1).dataset.window) });
});

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
const MenuLanguages = { Dutch: 'nl', French: 'fr', English: 'en' };

// The page follows the language of the add-on's menus, which change when the user saves another in Settings.
async function followMenuLanguage() {
  let state;
  try {
    state = await query('state');
  } catch (error) {
    return;
  }
  if (setPageLanguage(MenuLanguages[state.menuLanguage] ?? 'en')) {
    refreshAttributes();
    refreshInfo();
  }
}
function render(state) {
  $('addon').textContent = state.addOn;
  const menus = JSON.stringify([state.menus, state.project.undo[0], state.project.redo[0], state.project.elementCount, state.project.selection.length > 0]);
  if (menus !== shownMenus) {
    shownMenus = menus;
    renderMenus(state.menus, state.project);
    followMenuLanguage();
  }
  renderProject(state.project);
  followProjectFile(state.project.file);
  renderProgress(state.progress);
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

// The platform ---------------------------------------------------------------------------------------------

async function listPlatformSystems() {
  try {
    const { systems } = await query('platform.systems');
    const chosen = $('publishSystem').value;
    $('publishSystem').replaceChildren(...Object.entries(systems).map(([id, stamp]) => new Option(`${id} (${stamp})`, id)));
    if (chosen in systems) $('publishSystem').value = chosen;
  } catch (error) {
    $('published').textContent = `The platform could not be reached: ${error.message}`;
  }
}

$('publish').addEventListener('submit', async (event) => {
  event.preventDefault();
  const thickness = $('publishThickness').value;
  const answer = await command('platform.publish', { id: $('publishSystem').value, values: thickness === '' ? {} : { Thickness: thickness } });
  if (answer === undefined) return;
  $('published').textContent = `${$('publishSystem').value} is now the version of ${answer.timeStamp}.`;
  listPlatformSystems();
});
listPlatformSystems();

// The toolbox ---------------------------------------------------------------------------------------------

function chooseTool(name) {
  setTool(name);
  for (const button of $('tools').children) button.setAttribute('aria-checked', String(button.dataset.tool === name));
  $('plan').title = Tools.find((entry) => entry.name === name).hint;
}

$('tools').append(...Tools.map(({ name, title, hint }) => {
  const button = element('button', { type: 'button', textContent: title, title: hint });
  button.dataset.tool = name;
  button.setAttribute('role', 'radio');
  button.addEventListener('click', () => chooseTool(name));
  return button;
}));
chooseTool('arrow');

// Placing with the tool's defaults; a window or door goes into the one selected wall.
$('elementType').append(...ElementTypes.map((type) => new Option(type, type)));
$('place').addEventListener('submit', (event) => {
  event.preventDefault();
  const type = $('elementType').value;
  const opening = type === 'window' || type === 'door';
  const walls = selectedGuids().filter((guid) => elementByGuid(guid)?.type === 'wall');
  if (opening && walls.length !== 1) {
    showNotice(`Select the one wall to place the ${type} in.`);
    return;
  }
  command('element.new', opening ? { type, wall: walls[0] } : { type });
});

$('fit').addEventListener('click', fitToProject);
onElementsInView(renderElementsInView);

// Archicad's shortcuts, except where the user is typing.
document.addEventListener('keydown', (event) => {
  if (event.target instanceof HTMLInputElement || event.target instanceof HTMLSelectElement) return;
  const key = event.key.toLowerCase();
  if ((event.ctrlKey || event.metaKey) && key === 'z') {
    event.preventDefault();
    if (event.shiftKey) redo();
    else undo();
  } else if ((event.ctrlKey || event.metaKey) && key === 'y') {
    event.preventDefault();
    redo();
  } else if ((event.ctrlKey || event.metaKey) && key === 'a' && document.activeElement === $('plan')) {
    event.preventDefault();
    selectAll();
  }
});

$('alert').addEventListener('close', showNextAlert);
followState();
