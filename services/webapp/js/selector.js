// The brand's product selector, as the brand's site shows it in the user's own web browser: the catalog's
// systems, each with a button that hands it to the Archicad that opened the page. The hand-over goes
// through the relay service: the page sends the product id to the channel named by "BimId" and waits
// for the add-on's answer under the dataKey the relay gives back.
import { applyTexts, textsFor } from './texts.js';

const ProductionRelay = 'https://relay.velmar.example/Relay';
const CatalogNames = { nl: 'nl_NL', fr: 'fr_FR', en: 'en_US' };
const PollMilliseconds = 500;
// The add-on polls every half second; past this Archicad is not listening any more.
const AnswerMilliseconds = 60000;
// How long a pick waits for Archicad to listen on its channel before telling the user it does not.
const ListenMilliseconds = 5000;

const page = document.getElementById('page');
const status = document.getElementById('status');
const notice = document.getElementById('notice');
const table = document.getElementById('systems');

// The country's address names the language: "/be/fr/systemes" is French.
const language = location.pathname.split('/').filter(Boolean)[1] ?? 'en';
const text = textsFor(language);
const bimId = new URLSearchParams(location.search).get('BimId')?.trim() ?? '';
const relay = (document.querySelector('meta[name="velmar-relay"]')?.content || ProductionRelay).replace(/\/+$/, '');

function showStatus(message, failed = false) {
  status.textContent = message;
  status.classList.toggle('failure', failed);
}

class RelayUnreachable extends Error {}

// A relay request; a network failure (no answer at all) is a RelayUnreachable.
async function relayRequest(path, init) {
  try {
    return await fetch(`${relay}/${encodeURIComponent(bimId)}/${path}`, { cache: 'no-store', ...init });
  } catch (error) {
    throw new RelayUnreachable(error.message);
  }
}

const wait = (milliseconds) => new Promise((resume) => setTimeout(resume, milliseconds));

// The add-on's answer to the message with `dataKey`: {ok, message}, or none when it never came.
async function answerFor(dataKey) {
  const deadline = Date.now() + AnswerMilliseconds;
  while (Date.now() < deadline) {
    const response = await relayRequest(`answer/${encodeURIComponent(dataKey)}`);
    if (response.ok) return response.json();
    // 404 means no answer yet; anything else will not get better by asking again.
    if (response.status !== 404) throw new Error(`the relay answered ${response.status}`);
    await wait(PollMilliseconds);
  }
  return undefined;
}

// Sends `id` to Archicad and tells the user how it went; answers the message shown.
async function sendToArchicad(id) {
  showStatus(text('selector.sending'));
  try {
    // A plain-text body keeps the request simple for the browser: no preflight.
    const send = () => relayRequest('send', { method: 'POST', headers: { 'Content-Type': 'text/plain' }, body: id });
    let sent = await send();
    // Archicad registers its channel a moment after it opened this page, and again after a relay restart.
    for (const deadline = Date.now() + ListenMilliseconds; sent.status === 404 && Date.now() < deadline;) {
      await wait(PollMilliseconds);
      sent = await send();
    }
    if (sent.status === 404) return showStatus(text('selector.notListening'), true);
    if (!sent.ok) throw new Error(`the relay answered ${sent.status}`);
    const { dataKey } = await sent.json();
    showStatus(text('selector.waiting'));
    const answer = await answerFor(dataKey);
    if (answer === undefined) showStatus(text('selector.noAnswer'), true);
    else if (answer.ok === true) showStatus(text('selector.sent'));
    else showStatus(text('selector.downloadFailed'), true);
  } catch (error) {
    showStatus(text(error instanceof RelayUnreachable ? 'selector.unreachable' : 'selector.sendFailed'), true);
    console.error(error);
  }
}

function systemRow(system, buttons) {
  const name = system.name?.[CatalogNames[language]] ?? system.name?.en_US ?? system.id;
  const kind = ['wall', 'ceiling', 'floor'].includes(system.kind) ? text(`selector.kind.${system.kind}`) : system.kind ?? '';
  const button = Object.assign(document.createElement('button'), { type: 'button', className: 'primary', textContent: text('selector.use') });
  button.dataset.product = system.id;
  button.disabled = bimId === '';
  button.addEventListener('click', async () => {
    buttons.forEach((other) => { other.disabled = true; });
    await sendToArchicad(system.id);
    buttons.forEach((other) => { other.disabled = false; });
  });
  buttons.push(button);
  const row = document.createElement('tr');
  row.dataset.product = system.id;
  row.append(...[name, kind].map((content) => Object.assign(document.createElement('td'), { textContent: content })), document.createElement('td'));
  row.lastChild.append(button);
  return row;
}

async function showPage() {
  applyTexts(page, text, language);
  if (bimId === '') {
    notice.textContent = text('selector.noBimId');
    notice.hidden = false;
  }
  showStatus(text('selector.loading'));
  let systems;
  try {
    const response = await fetch('/catalog/index.json', { cache: 'no-store' });
    if (!response.ok) throw new Error(`the catalog answered ${response.status}`);
    systems = (await response.json()).systems;
    if (!Array.isArray(systems)) throw new Error('the catalog lists no systems');
  } catch (error) {
    showStatus(text('selector.loadFailed'), true);
    console.error(error);
    return;
  }
  const buttons = [];
  table.tBodies[0].replaceChildren(...systems.filter((system) => system?.id).map((system) => systemRow(system, buttons)));
  table.hidden = false;
  showStatus('');
}

showPage();
