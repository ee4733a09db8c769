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

// Lengths as Archicad shows them in metric projects: metres with three decimals.
export function formatNumber(value, digits = 3) {
  return Number.isInteger(value) ? String(value) : value.toFixed(digits);
}

export function colourCss([r, g, b], alpha = 1) {
  return `rgba(${Math.round(r * 255)}, ${Math.round(g * 255)}, ${Math.round(b * 255)}, ${alpha})`;
}
