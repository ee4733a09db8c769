// What every part of the workbench page uses to reach the simulated Archicad and to build its views.

export const $ = (id) => document.getElementById(id);

export function element(tag, properties = {}, ...children) {
  const node = Object.assign(document.createElement(tag), properties);
  node.append(...children);
  return node;
}

async function answerOf(response) {
  const answer = await response.json();
  if (!answer.ok) throw new Error(answer.error);
  return answer;
}

export async function post(path, body = {}) {
  return answerOf(await fetch(path, { method: 'POST', headers: { 'Content-Type': 'application/json' }, body: JSON.stringify(body) }));
}

export async function get(path) {
  return answerOf(await fetch(path));
}

export function showNotice(message) {
  $('notice').textContent = message;
  $('notice').hidden = message === '';
}

// A user's action; its failure is shown, since the user asked for it. Answers undefined when it failed.
export function act(path, body) {
  showNotice('');
  return post(path, body).catch((error) => showNotice(error.message));
}

// A velmar-sim command (docs/velmar-sim.md) as the user's action.
export function command(cmd, members = {}) {
  return act('/api/script', { cmd, ...members });
}

// A velmar-sim command that only reads; its failure is the caller's to handle.
export function query(cmd, members = {}) {
  return post('/api/script', { cmd, ...members });
}

// The page speaks the language of the add-on's menus (nl, fr or en), as the user's Archicad would: its
// numbers take that language's decimal separator and its labels its words.
const Locales = { nl: 'nl-BE', fr: 'fr-BE', en: 'en-GB' };
let language = 'en';

export function pageLanguage() {
  return language;
}

// Answers whether the language changed.
export function setPageLanguage(code) {
  if (!(code in Locales) || code === language) return false;
  language = code;
  document.documentElement.lang = code;
  return true;
}

// A number as the language writes it, rounded to at most `digits` decimals, without the grouping a field
// could not read back.
export function formatNumber(value, digits = 3) {
  return new Intl.NumberFormat(Locales[language], { maximumFractionDigits: digits, useGrouping: false }).format(value);
}

// A number as a person types it: a sign, digits and one decimal separator, the comma or the point in every
// language; undefined for anything else.
export function parseNumber(text) {
  const typed = text.trim().replace(/^−/, '-');
  if (!/^[-+]?(\d+([.,]\d*)?|[.,]\d+)$/.test(typed)) return undefined;
  return Number(typed.replace(',', '.'));
}

export function colourCss([r, g, b], alpha = 1) {
  return `rgba(${Math.round(r * 255)}, ${Math.round(g * 255)}, ${Math.round(b * 255)}, ${alpha})`;
}
