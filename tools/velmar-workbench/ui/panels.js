// The panels beside the floor plan: the info panel of the selected element (geometry, structure, quantities,
// classification and every property value, editable where Archicad lets a user edit), the attribute panel
// (composites drawn as a section of their skins, building materials, surfaces) and the elements in view.

import { $, colourCss, command, element, formatNumber, pageLanguage, parseNumber, query, showNotice } from './host.js';
import { counted, quantityLabel, quantityUnit, word } from './words.js';
import { elementByGuid, isObserved, selectedGuids, setAttributes, setStructure } from './plan.js';

// Attributes -------------------------------------------------------------------------------------------------

const AttributeTypes = [
  { type: 'composite', title: 'Composites' },
  { type: 'buildingmaterial', title: 'Building materials' },
  { type: 'surface', title: 'Surfaces' },
];
let shownType = 'composite';
const known = { composite: [], buildingmaterial: [], surface: [] };

function surfaceColour(material) {
  const surface = known.surface.find((item) => item.name === material?.surface);
  return surface !== undefined ? colourCss(surface.colour) : '#bebebe';
}

// A composite's section: its skins side by side as thick as they are, in their materials' colours, with
// the separator lines between them.
function millimetres(metres) {
  return `${formatNumber(metres * 1000, 1)} mm`;
}

function compositeSection(composite) {
  const total = composite.skins.reduce((sum, skin) => sum + skin.thickness, 0) || 1;
  const section = element('div', { className: 'section', title: millimetres(composite.thickness) });
  for (const skin of composite.skins) {
    const material = known.buildingmaterial.find((item) => item.index === skin.materialIndex);
    section.append(element('span', {
      className: 'skin',
      title: `${skin.material ?? word('noMaterial')} · ${millimetres(skin.thickness)}${(skin.flags & 0x0002) !== 0 ? ` · ${word('core')}` : ''}`,
      style: `flex-grow: ${skin.thickness / total}; background: ${surfaceColour(material)}`,
    }));
  }
  return section;
}

function attributeDetails(type, item) {
  if (type === 'composite') {
    const uses = [(item.usage & 1) !== 0 ? word('walls') : '', (item.usage & 2) !== 0 ? word('slabs') : ''].filter(Boolean).join(', ');
    return [compositeSection(item), element('span', { className: 'muted', textContent: `${millimetres(item.thickness)} · ${counted(item.skins.length, 'skins')} · ${uses}` })];
  }
  if (type === 'buildingmaterial') {
    const parts = [item.manufacturer, item.thermalConductivity !== undefined ? `λ ${formatNumber(item.thermalConductivity)} W/mK` : '', item.surface ?? ''].filter(Boolean);
    return [element('span', { className: 'swatch', style: `background: ${surfaceColour(item)}` }), element('span', { textContent: parts.join(' · ') })];
  }
  return [element('span', { className: 'swatch', style: `background: ${colourCss(item.colour)}` })];
}

function renderAttributes() {
  const rows = AttributeTypes.flatMap(({ type }) => known[type].map((item) => {
    const row = element('tr', {},
      element('td', { textContent: type }), element('td', { textContent: item.index }), element('td', { textContent: item.name }),
      element('td', { className: 'details' }, ...attributeDetails(type, item)),
      element('td', { textContent: item.userData !== undefined ? `${atob(item.userData.data).length} bytes` : '' }));
    row.hidden = type !== shownType;
    return row;
  }));
  $('attributes').tBodies[0].replaceChildren(...rows);
  for (const tab of $('attributeTabs').children) tab.setAttribute('aria-selected', String(tab.dataset.type === shownType));
  renderStructureChoices();
}

function renderStructureChoices() {
  const choice = $('structure').value;
  const options = [new Option('Default structure', '{}')];
  for (const composite of known.composite) options.push(new Option(`Composite: ${composite.name}`, JSON.stringify({ composite: composite.name })));
  for (const material of known.buildingmaterial) options.push(new Option(`Material: ${material.name}`, JSON.stringify({ material: material.name })));
  $('structure').replaceChildren(...options);
  $('structure').value = options.some((option) => option.value === choice) ? choice : '{}';
  setStructure(JSON.parse($('structure').value));
}

export async function refreshAttributes() {
  try {
    const answers = await Promise.all(AttributeTypes.map(({ type }) => query('attributes', { type })));
    AttributeTypes.forEach(({ type }, index) => {
      known[type] = answers[index].attributes;
    });
  } catch (error) {
    showNotice(`The attributes could not be read: ${error.message}`);
    refreshInfo();
    return;
  }
  setAttributes({ composites: known.composite, materials: known.buildingmaterial, surfaces: known.surface });
  renderAttributes();
  // The info panel offers the composites and shows their thicknesses.
  refreshInfo();
}

$('attributeTabs').append(...AttributeTypes.map(({ type, title }) => {
  const tab = element('button', { type: 'button', textContent: title });
  tab.dataset.type = type;
  tab.setAttribute('role', 'tab');
  tab.addEventListener('click', () => {
    shownType = type;
    renderAttributes();
  });
  return tab;
}));
$('structure').addEventListener('change', () => setStructure(JSON.parse($('structure').value)));

// The info panel ----------------------------------------------------------------------------------------------

// Geometry keys a user edits in Archicad's info box, by the kind of input.
const NumberKeys = ['height', 'thickness', 'baseOffset', 'elevation', 'at', 'width', 'sill'];
const ReferenceLines = ['Outside', 'Center', 'Inside', 'CoreOutside', 'CoreCenter', 'CoreInside'];

function field(label, ...content) {
  return element('div', { className: 'field' }, element('label', { textContent: label }), element('div', {}, ...content));
}

// The field whose entry was refused last, by its `key`: the panel may be drawn again while the user still
// looks at the refusal (an earlier edit's answer arriving), and the new field keeps showing it.
let refusedField;

// A number field as the page's language writes numbers. What is not a number is refused where it was typed,
// with the reason, and the field shows the value it had.
function numberInput(value, onChange, { digits = 3, key } = {}) {
  const shown = value === '' ? '' : formatNumber(value, digits);
  const input = element('input', { type: 'text', inputMode: 'decimal', value: shown, className: 'number-field' });
  const refused = (on) => {
    input.classList.toggle('refused', on);
    if (on) input.setAttribute('aria-invalid', 'true');
    else input.removeAttribute('aria-invalid');
  };
  if (key !== undefined && key === refusedField) refused(true);
  input.addEventListener('input', () => {
    refused(false);
    if (key === refusedField) refusedField = undefined;
  });
  onEntered(input, shown, () => {
    const number = parseNumber(input.value);
    if (number === undefined || !Number.isFinite(number)) {
      showNotice(word('notANumber')(input.value));
      input.value = shown;
      refused(true);
      refusedField = key;
      return false;
    }
    onChange(number);
    return true;
  });
  return input;
}

// Calls `enter` once for each new text the user enters, by Enter or by leaving the field: a field drawn
// again while the user types takes the typing over (keepTyping), and Enter there must still count.
function onEntered(input, shown, enter) {
  input.dataset.shown = shown;
  let entered = shown;
  const commit = () => {
    if (input.value === entered) return;
    const text = input.value;
    entered = enter() ? text : input.value;
  };
  input.addEventListener('change', commit);
  input.addEventListener('keydown', (event) => {
    if (event.key === 'Enter') commit();
  });
}

// What the user is typing in the info panel as it is drawn again (an earlier edit's answer arriving, a
// change elsewhere): the new field of the same name takes the typing over with its caret, unless the value
// under it changed meanwhile.
function typingIn(panel) {
  const input = document.activeElement;
  if (!(input instanceof HTMLInputElement) || input.dataset.shown === undefined || !panel.contains(input)) return undefined;
  return { label: input.getAttribute('aria-label'), shown: input.dataset.shown, value: input.value, start: input.selectionStart, end: input.selectionEnd };
}

function keepTyping(panel, typing) {
  if (typing === undefined) return;
  const input = [...panel.querySelectorAll('input')].find((candidate) => candidate.getAttribute('aria-label') === typing.label);
  if (input === undefined || input.dataset.shown !== typing.shown) return;
  input.value = typing.value;
  input.focus();
  input.setSelectionRange(typing.start, typing.end);
}

// A point as the language writes one: in nl and fr the decimal comma leaves the semicolon between x and y.
function pointText(point) {
  const between = pageLanguage() === 'en' ? ', ' : '; ';
  return `(${formatNumber(point[0])}${between}${formatNumber(point[1])}) m`;
}

function unit(text) {
  return element('span', { className: 'muted unit', textContent: ` ${text}` });
}

function geometryFields(item) {
  const set = (members) => command('element.set', { guid: item.guid, ...members });
  const fields = [];
  for (const [key, value] of Object.entries(item)) {
    if (key === 'thickness' && item.composite !== undefined) {
      fields.push(field(word(key), element('span', { className: 'composite-thickness', title: word('compositeThickness'), textContent: millimetres(value) })));
    } else if (NumberKeys.includes(key)) {
      const input = numberInput(value, (number) => set({ [key]: number }), { key: `${item.guid} ${key}` });
      input.setAttribute('aria-label', word(key));
      fields.push(field(word(key), input, unit('m')));
    } else if (key === 'begin' || key === 'end') {
      fields.push(field(word(key), element('span', { textContent: pointText(value) })));
    } else if (key === 'polygon') {
      fields.push(field(word(key), element('span', { textContent: String(value.length) })));
    } else if (key === 'holes') {
      fields.push(field(word(key), element('span', { textContent: String(value.length) })));
    } else if (key === 'referenceLine') {
      const select = element('select', {}, ...ReferenceLines.map((name) => new Option(name, name)));
      select.value = value;
      select.addEventListener('change', () => set({ referenceLine: select.value }));
      fields.push(field(word(key), select));
    } else if (key === 'wall') {
      fields.push(field(word(key), element('span', { className: 'guid', textContent: value })));
    }
  }
  if (item.type === 'wall' || item.type === 'slab') {
    const select = element('select', {}, new Option('Basic (no material)', ''),
      ...known.composite.filter((composite) => (composite.usage & (item.type === 'wall' ? 1 : 2)) !== 0)
        .map((composite) => new Option(`Composite: ${composite.name}`, JSON.stringify({ composite: composite.name }))),
      ...known.buildingmaterial.map((material) => new Option(`Material: ${material.name}`, JSON.stringify({ material: material.name }))));
    select.value = item.composite !== undefined ? JSON.stringify({ composite: item.composite })
      : item.material !== undefined ? JSON.stringify({ material: item.material }) : '';
    select.addEventListener('change', () => {
      if (select.value !== '') set(JSON.parse(select.value));
    });
    fields.push(field(word('structure'), select));
  }
  return fields;
}

function classificationField(item, systems) {
  return systems.map((system) => {
    const options = [new Option('Unclassified', '')];
    const walk = (items, depth) => {
      for (const entry of items) {
        options.push(new Option(`${'  '.repeat(depth)}${entry.id} ${entry.name}`.trimEnd(), entry.guid));
        walk(entry.children, depth + 1);
      }
    };
    walk(system.items, 0);
    const select = element('select', {}, ...options);
    select.value = item.classification.find((entry) => entry.system === system.guid)?.item ?? '';
    select.addEventListener('change', () => {
      if (select.value !== '') command('classify', { guid: item.guid, item: select.value });
    });
    return field(system.name, select);
  });
}

// Each quantity in words with its unit; the host gives angles in radians, a person reads degrees.
function quantityRows(quantities) {
  return Object.entries(quantities).map(([key, value]) => {
    const shownUnit = quantityUnit(key);
    const shown = shownUnit === '°' ? value * 180 / Math.PI : value;
    return element('tr', { title: key }, element('td', { textContent: quantityLabel(key) }),
      element('td', { className: 'number', textContent: `${formatNumber(shown, shownUnit === 'm²' ? 2 : 3)}${shownUnit === '' ? '' : ` ${shownUnit}`}` }));
  });
}

const MeasureUnits = { length: 'm', area: 'm²', volume: 'm³', angle: 'rad', default: '' };

// A value editor for one property; a value that cannot be typed here (lists, choices) is shown as it is.
function propertyEditor(item, value) {
  const set = (typed) => command('property.set', { guid: item.guid, definition: value.definition, value: typed });
  if (!value.editable || value.collection !== 'single') {
    return element('span', { textContent: value.value === null ? '' : JSON.stringify(value.value) });
  }
  let input;
  if (value.valueType === 'boolean') {
    input = element('input', { type: 'checkbox', checked: value.value === true });
    input.addEventListener('change', () => set(input.checked));
  } else if (value.valueType === 'real' || value.valueType === 'integer') {
    input = numberInput(value.value ?? '', (number) => {
      if (value.valueType === 'integer' && !Number.isInteger(number)) {
        showNotice(word('notANumber')(String(number)));
        shownInfo = '';
        refreshInfo();
        return;
      }
      set(number);
    }, { digits: value.valueType === 'integer' ? 0 : 3 });
  } else {
    input = element('input', { type: 'text', value: value.value ?? '' });
    onEntered(input, value.value ?? '', () => {
      set(input.value);
      return true;
    });
  }
  input.setAttribute('aria-label', value.name);
  const reset = element('button', { type: 'button', className: 'reset', textContent: '↺', title: 'Back to the default value' });
  reset.disabled = value.status === 'default' || value.status === 'undefined';
  reset.addEventListener('click', () => set(null));
  return element('span', { className: 'editor' }, input, element('span', { className: 'muted', textContent: ` ${MeasureUnits[value.measureType] ?? ''} ` }), reset);
}

function propertyGroups(item, values) {
  const groups = new Map();
  for (const value of values) {
    groups.set(value.group, [...(groups.get(value.group) ?? []), value]);
  }
  return [...groups].map(([group, rows]) => element('details', { open: true },
    element('summary', { textContent: group }),
    element('table', { className: 'properties' }, element('tbody', {}, ...rows.map((value) => {
      const row = element('tr', {}, element('th', { textContent: value.name, title: value.status }), element('td', {}, propertyEditor(item, value)));
      row.dataset.status = value.status;
      return row;
    })))));
}

let infoRequest = 0;
// What the panel shows now: drawn again only when it changes, so a field the user is in stays theirs.
let shownInfo = '';

// The info panel follows the selection and every change of the project.
export async function refreshInfo() {
  const guids = selectedGuids();
  const request = ++infoRequest;
  if (guids.length !== 1) {
    shownInfo = '';
    const counts = new Map();
    for (const guid of guids) {
      const type = elementByGuid(guid)?.type ?? 'element';
      counts.set(type, (counts.get(type) ?? 0) + 1);
    }
    $('info').replaceChildren(element('p', { className: 'muted', textContent: guids.length === 0
      ? word('selectHint')
      : word('selected')(guids.length, [...counts].map(([type, count]) => `${count} ${type}`).join(', ')) }));
    return;
  }
  let item;
  let values;
  let systems;
  try {
    [{ element: item }, { values }, { systems }] = await Promise.all([
      query('element.get', { guid: guids[0] }), query('element.properties', { guid: guids[0] }), query('classifications')]);
  } catch (error) {
    // The element went while the panel asked: the next state shows what is selected now.
    return;
  }
  if (request !== infoRequest) return;
  const shown = JSON.stringify([pageLanguage(), item, values, systems]);
  if (shown === shownInfo) return;
  shownInfo = shown;
  const sections = [
    element('h3', { textContent: `${item.type} ` }, element('span', { className: 'guid', textContent: item.guid })),
    ...geometryFields(item),
  ];
  if (systems.length > 0) sections.push(element('h4', { textContent: word('classification') }), ...classificationField(item, systems));
  if (item.quantities !== undefined) {
    sections.push(element('details', {}, element('summary', { textContent: word('quantities') }),
      element('table', { className: 'quantities' }, element('tbody', {}, ...quantityRows(item.quantities)))));
  }
  if (values.length > 0) sections.push(element('h4', { textContent: word('properties') }), ...propertyGroups(item, values));
  const typing = typingIn($('info'));
  $('info').replaceChildren(...sections);
  keepTyping($('info'), typing);
}

// The elements in view --------------------------------------------------------------------------------------------

const ListedAtMost = 200;
let listTimer = 0;

// The list follows the plan a moment after it settles: panning redraws the plan every frame.
export function renderElementsInView(inView) {
  clearTimeout(listTimer);
  listTimer = setTimeout(() => listElements(inView), 150);
}

function listElements(inView) {
  const yes = (flag) => (flag ? '✓' : '');
  const selected = new Set(selectedGuids());
  $('elements').tBodies[0].replaceChildren(...inView.slice(0, ListedAtMost).map((item) => {
    const row = element('tr', {},
      element('td', { textContent: item.type }), element('td', { className: 'guid', textContent: item.guid }),
      element('td', { textContent: yes(isObserved(item.guid)) }), element('td', { textContent: yes(selected.has(item.guid)) }),
      element('td', { textContent: item.userDataBytes > 0 ? `${item.userDataBytes} bytes` : '' }));
    row.addEventListener('click', () => command('select', { guids: [item.guid] }));
    return row;
  }));
  $('elementsMore').textContent = inView.length > ListedAtMost ? `and ${inView.length - ListedAtMost} more in view` : '';
}
