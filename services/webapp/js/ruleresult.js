// The result palette: per rule of the last Check, its failed and its successful elements; choosing a group
// or one element selects it in the model and zooms to it.
import { applyTexts, textsFor } from './texts.js';
import { callHost, callHostForJson, hasHost, tellHost, windowPage, activeLanguageCode } from './host.js';

const page = document.getElementById('page');
const results = document.getElementById('results');
const status = document.getElementById('status');
const { fitWindow, showStatus } = windowPage('ruleresult_resize', page, status);

// Lists of thousands are drawn when opened, and then only their beginning.
const Shown = 200;

function element(tag, properties = {}, children = []) {
  const made = Object.assign(document.createElement(tag), properties);
  made.append(...children);
  return made;
}

function highlight(guids, text) {
  callHost('ruleresult_highlightElements', JSON.stringify(guids)).catch((error) => {
    showStatus(text('result.highlightFailed'), true);
    console.error(error);
  });
}

function group(kind, guids, note, text) {
  const title = text(`result.${kind}`, { count: guids.length });
  const select = element('button', { type: 'button', className: `select ${kind}`, textContent: text('result.select'), disabled: guids.length === 0 });
  select.addEventListener('click', () => highlight(guids, text));
  const details = element('details', { className: kind }, [element('summary', { textContent: title })]);
  details.addEventListener('toggle', () => {
    if (!details.open || details.querySelector('ul')) return;
    const items = guids.slice(0, Shown).map((guid) => {
      const item = element('button', { type: 'button', className: 'element', textContent: guid });
      item.addEventListener('click', () => highlight([guid], text));
      return element('li', {}, [item]);
    });
    if (guids.length > Shown) items.push(element('li', { className: 'muted', textContent: text('result.more', { count: guids.length - Shown }) }));
    details.append(element('ul', {}, items));
  });
  return element('div', { className: 'result-group' }, [details, select, ...(note ? [element('p', { className: 'notice', textContent: note })] : [])]);
}

async function showPage() {
  const code = await activeLanguageCode();
  const text = textsFor(code);
  applyTexts(page, text, code);
  if (!hasHost()) {
    showStatus(text('host.missing'), true);
    return;
  }
  let list;
  try {
    list = await callHostForJson('ruleresult_getResults');
  } catch (error) {
    showStatus(text('result.loadFailed'), true);
    console.error(error);
    return;
  }
  results.replaceChildren(...list.map((result) => {
    const failed = result.failedItems ?? [];
    const passed = result.successItems ?? [];
    return element('section', { className: 'rule-result' }, [
      element('h2', { textContent: result.rule?.Label ?? '' }),
      group('failed', failed, failed.length > 0 ? result.rule?.ResultLabel : '', text),
      group('passed', passed, '', text),
    ]);
  }));
  showStatus(list.length === 0 ? text('result.none') : '');
  document.getElementById('close').addEventListener('click', () => tellHost('ruleresult_close').catch(console.error));
  await fitWindow();
}

showPage();
