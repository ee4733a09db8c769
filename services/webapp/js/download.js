// The download page: the product picked in the selector, its properties per level of detail and its
// classification codes; the user chooses a composite to make or to link, the level and the mappings,
// and the add-on writes them into the project.
import { applyTexts, textsFor } from './texts.js';
import { callHost, callHostForJson, hasHost, tellHost, windowPage, activeLanguageCode } from './host.js';

const page = document.getElementById('page');
const form = document.getElementById('choice');
const newName = document.getElementById('newName');
const existingName = document.getElementById('existingName');
const lodSelect = document.getElementById('lod');
const status = document.getElementById('status');
const { fitWindow, showStatus } = windowPage('download_resize', page, status);

function cell(content) {
  const td = document.createElement('td');
  td.append(content);
  return td;
}

// The value as the user reads it: a yes or no in the page's language, a measure with its unit.
function shownValue(text, property) {
  const value = property.value ?? '';
  const flag = value.toLowerCase();
  if (property.dataType === 'Boolean' && (flag === 'true' || flag === 'false')) return text(flag === 'true' ? 'download.yes' : 'download.no');
  // The no-break space keeps the unit on the line of its number.
  return value !== '' && property.unit ? `${value}\u00a0${property.unit}` : value;
}

// Archicad takes an attribute's name of at most 255 characters.
const MaxNameCharacters = 255;

// Why the add-on would refuse the name for a new composite, as a text key; undefined for a good name.
function nameRefusal(name, composites) {
  if (name === '') return 'download.nameMissing';
  if (composites.includes(name)) return 'download.nameUsed';
  if ([...name].length > MaxNameCharacters) return 'download.nameTooLong';
  return undefined;
}

const sameGuid = (a, b) => typeof a === 'string' && typeof b === 'string' && a.toLowerCase() === b.toLowerCase();

// Properties above the chosen level are not written at it: they stay listed, marked, so the user sees
// what a higher level would add.
function showProperties(text, properties) {
  const lod = Number(lodSelect.value);
  const included = properties.filter((property) => property.lod <= lod).length;
  document.getElementById('propertySummary').textContent = text('download.propertyCount', { count: included, total: properties.length, lod });
  document.querySelector('#properties tbody').replaceChildren(...properties.map((property) => {
    const row = document.createElement('tr');
    const above = property.lod > lod;
    row.classList.toggle('above-lod', above);
    if (above) row.title = text('download.aboveLod', { lod: property.lod });
    row.append(cell(property.name ?? ''), cell(shownValue(text, property)), cell(String(property.lod ?? '')));
    return row;
  }));
}

// One row per classification code: whether it is applied, and the project property receiving it.
function classificationRows(text, mapped, targets) {
  return mapped.map((classification) => {
    const active = Object.assign(document.createElement('input'), { type: 'checkbox', checked: classification.active === true });
    active.setAttribute('aria-label', classification.label ?? classification.classificationCode ?? '');
    const target = document.createElement('select');
    target.append(new Option(text('download.noTarget'), ''),
      ...targets.map((candidate) => new Option(candidate.name ?? candidate.id, candidate.id, false, sameGuid(candidate.id, classification.targetPropertyGuid))));
    target.setAttribute('aria-label', text('download.classificationTarget'));
    // Choosing a property is meant to apply the code, unless the user said otherwise before (the add-on
    // writes a choice never made as null).
    target.addEventListener('change', () => {
      if (classification.active == null && target.value !== '') active.checked = true;
    });
    const label = document.createElement('span');
    label.textContent = classification.label ?? classification.classificationCode ?? '';
    const value = Object.assign(document.createElement('span'), { className: 'muted', textContent: classification.value ? ` (${classification.value})` : '' });
    const row = document.createElement('tr');
    row.dataset.code = classification.classificationCode ?? '';
    label.append(value);
    row.append(cell(active), cell(label), cell(target));
    const read = () => {
      const chosen = { ...classification, active: active.checked };
      delete chosen.targetPropertyGuid;
      if (target.value !== '') chosen.targetPropertyGuid = target.value;
      return chosen;
    };
    return { row, read };
  });
}

async function showPage() {
  const code = await activeLanguageCode();
  const text = textsFor(code);
  applyTexts(page, text, code);
  if (!hasHost()) {
    showStatus(text('host.missing'), true);
    return;
  }
  showStatus(text('download.loading'));

  let details;
  let composites;
  try {
    details = await callHostForJson('download_productDetails');
    composites = await callHost('download_getComposites');
    if (details === null || typeof details !== 'object') throw new Error('the product details are not an object');
    if (!Array.isArray(composites)) throw new Error('the composites are not a list');
  } catch (error) {
    showStatus(text('download.loadFailed'), true);
    console.error(error);
    return;
  }
  const productCode = details.productCode ?? '';
  const properties = (details.properties ?? []).filter((property) => property !== null && typeof property === 'object');
  const lods = (details.availableLods ?? []).filter(Number.isInteger);
  const mapped = (details.mappedClassifications ?? []).filter((classification) => classification !== null && typeof classification === 'object');
  const targets = (details.availableClassificationTargets ?? []).filter((target) => target?.id);

  document.getElementById('product').textContent = text('download.product', { code: productCode });
  newName.value = productCode;
  existingName.replaceChildren(...composites.map((name) => new Option(name, name)));
  const useExisting = document.getElementById('useExisting');
  useExisting.disabled = composites.length === 0;
  const showTarget = () => {
    newName.disabled = useExisting.checked;
    existingName.disabled = !useExisting.checked;
  };
  form.addEventListener('change', (event) => { if (event.target.name === 'target') showTarget(); });
  showTarget();

  const activeLod = lods.includes(details.activeLod) ? details.activeLod : lods[0];
  lodSelect.replaceChildren(...lods.map((lod) => new Option(text('download.lodLevel', { lod }), String(lod), false, lod === activeLod)));
  lodSelect.addEventListener('change', () => showProperties(text, properties));
  showProperties(text, properties);

  const rows = classificationRows(text, mapped, targets);
  document.querySelector('#classifications tbody').replaceChildren(...rows.map(({ row }) => row));
  document.getElementById('classificationSection').hidden = rows.length === 0;

  form.addEventListener('submit', async (event) => {
    event.preventDefault();
    const download = { newCompositeName: newName.value.trim() };
    if (useExisting.checked) download.existingCompositeName = existingName.value;
    else {
      const refusal = nameRefusal(download.newCompositeName, composites);
      if (refusal === 'download.nameUsed') {
        // The add-on makes no second composite of a name: the user may link the one there instead.
        useExisting.checked = true;
        existingName.value = download.newCompositeName;
        showTarget();
      }
      if (refusal !== undefined) {
        showStatus(text(refusal, { name: download.newCompositeName }), true);
        (refusal === 'download.nameUsed' ? existingName : newName).focus();
        return;
      }
    }
    if (lods.length > 0) download.selectedLod = Number(lodSelect.value);
    download.mappedClassifications = rows.map(({ read }) => read());
    form.inert = true;
    showStatus(text('download.processing'));
    try {
      // On success the add-on closes the window.
      if (await callHost('download_processDownload', JSON.stringify(download)) !== true) throw new Error('the add-on did not process the download');
      showStatus(text('download.processed'));
    } catch (error) {
      form.inert = false;
      showStatus(text(useExisting.checked ? 'download.linkFailed' : 'download.processFailed'), true);
      console.error(error);
    }
  });
  document.getElementById('cancel').addEventListener('click', () => tellHost('download_close').catch(console.error));

  form.hidden = false;
  showStatus('');
  await fitWindow();
}

showPage();
