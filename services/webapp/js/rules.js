// The Check page: the rules of the systems the project's walls and slabs are linked to, each with its
// questions (options, or the project's numeric properties for a property selector); runs the chosen ones.
import { applyTexts, textsFor } from './texts.js';
import { callHost, callHostForJson, hasHost, tellHost, windowPage, activeLanguageCode } from './host.js';

const page = document.getElementById('page');
const form = document.getElementById('rules');
const run = document.getElementById('run');
const status = document.getElementById('status');
const { fitWindow, showStatus } = windowPage('rules_resize', page, status);

// The add-on lists a label again for each system whose rules are in another language; one is enough here.
function distinctByLabel(rules) {
  const seen = new Set();
  return rules.filter((rule) => {
    const label = String(rule.Label ?? '').toLowerCase();
    return !seen.has(label) && seen.add(label);
  });
}

function element(tag, properties = {}, children = []) {
  const made = Object.assign(document.createElement(tag), properties);
  made.append(...children);
  return made;
}

function questionField(question, properties, text) {
  const select = element('select', { name: question.Code });
  const choices = question.IsPropertySelector === true
    ? [['', text('rules.noProperty')], ...properties.map((p) => [p.targetValue, p.targetProperty])]
    : (question.Options ?? []).map((option) => [option.Code, option.Label ?? option.Code]);
  select.append(...choices.map(([value, label]) => element('option', { value, textContent: label })));
  if (question.DefaultOption !== undefined) select.value = question.DefaultOption;
  return element('label', {}, [element('span', { textContent: question.Label ?? question.Code }), select]);
}

function ruleFieldset(rule, properties, text) {
  const box = element('input', { type: 'checkbox', checked: true });
  const questions = (rule.Questions ?? []).map((question) => questionField(question, properties, text));
  box.addEventListener('change', () => questions.forEach((q) => { q.querySelector('select').disabled = !box.checked; }));
  const fieldset = element('fieldset', { className: 'rule' }, [
    element('legend', {}, [element('label', { className: 'option' }, [box, ` ${rule.Label}`])]), ...questions]);
  fieldset.rule = rule;
  fieldset.box = box;
  return fieldset;
}

// The chosen rules, and the answers of their questions (a property selector left empty gives none).
function runRequest() {
  const chosen = [...form.querySelectorAll('fieldset.rule')].filter((fieldset) => fieldset.box.checked);
  const targetProperties = [];
  for (const fieldset of chosen) {
    for (const select of fieldset.querySelectorAll('select')) {
      if (select.value !== '' && !targetProperties.some((t) => t.targetProperty === select.name)) {
        targetProperties.push({ targetProperty: select.name, targetValue: select.value });
      }
    }
  }
  return { activeRules: chosen.map((fieldset) => fieldset.rule), targetProperties };
}

async function showPage() {
  const code = await activeLanguageCode();
  const text = textsFor(code);
  applyTexts(page, text, code);
  if (!hasHost()) {
    showStatus(text('host.missing'), true);
    return;
  }
  showStatus(text('rules.loading'));
  let rules;
  let properties;
  try {
    [rules, properties] = await Promise.all([callHostForJson('rules_getRules'), callHostForJson('rules_getProperties')]);
  } catch (error) {
    showStatus(text('rules.loadFailed'), true);
    console.error(error);
    return;
  }
  form.replaceChildren(...distinctByLabel(rules).map((rule) => ruleFieldset(rule, properties, text)));
  run.disabled = rules.length === 0;
  showStatus(rules.length === 0 ? text('rules.none') : '');

  run.addEventListener('click', async () => {
    const request = runRequest();
    if (request.activeRules.length === 0) {
      showStatus(text('rules.noneChosen'), true);
      return;
    }
    run.disabled = true;
    showStatus(text('rules.running'));
    try {
      await callHost('rules_runRules', JSON.stringify(request));
      showStatus('');
    } catch (error) {
      showStatus(text('rules.runFailed'), true);
      console.error(error);
    }
    run.disabled = false;
  });
  document.getElementById('close').addEventListener('click', () => tellHost('rules_close').catch(console.error));
  await fitWindow();
}

showPage();
