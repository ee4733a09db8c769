// The brand's product selector as the user's browser shows it: the catalog in the language of the address,
// and a pick handed to the add-on through a real relay, with this test playing the add-on's side of it.
import assert from 'node:assert/strict';
import { randomUUID } from 'node:crypto';
import { readFileSync } from 'node:fs';
import { createServer } from 'node:net';
import { after, before, test } from 'node:test';
import { eventually, sharedChromium, skipReason, startServices, startWorkbench } from './workbench.js';

const catalog = JSON.parse(readFileSync(new URL('../../services/catalog/index.json', import.meta.url), 'utf8')).systems;

const languages = [
  { path: '/be/nl/systemen', language: 'nl', names: 'nl_NL', kinds: { wall: 'Wand', ceiling: 'Plafond', floor: 'Vloer' }, use: 'Gebruiken in Archicad' },
  { path: '/be/fr/systemes', language: 'fr', names: 'fr_FR', kinds: { wall: 'Cloison', ceiling: 'Plafond', floor: 'Plancher' }, use: 'Utiliser dans Archicad' },
  { path: '/nl/nl/systemen', language: 'nl', names: 'nl_NL', kinds: { wall: 'Wand', ceiling: 'Plafond', floor: 'Vloer' }, use: 'Gebruiken in Archicad' },
  { path: '/int/en/systems', language: 'en', names: 'en_US', kinds: { wall: 'Wall', ceiling: 'Ceiling', floor: 'Floor' }, use: 'Use in Archicad' },
];

const chromium = sharedChromium();
let services;
let workbench;
before(async () => {
  if (skipReason) return;
  services = await startServices();
  workbench = await startWorkbench({ routes: { 'relay.velmar.example': services.relayBase } });
});
after(async () => {
  if (workbench) assert.equal(await workbench.stop(), 0, 'velmar-workbench stops cleanly');
  if (services) assert.equal(await services.stop(), 0, 'velmar-services stops cleanly');
});

// The selector at `path` of the web application at `base`, in a page that closes with test `t`.
async function openSelector(t, path, { channel, base = workbench.webApplication } = {}) {
  const page = await chromium.context.newPage();
  t.after(() => page.close());
  await page.goto(new URL(path + (channel === undefined ? '' : `?BimId=${channel}`), base).href);
  await page.locator('#systems tbody tr').first().waitFor();
  return page;
}

// The add-on's side of the relay, as its poller does it.
const addOn = {
  async register(channel) {
    assert.equal((await fetch(`${services.relay}/${channel}/VelData`, { method: 'POST' })).status, 200);
  },
  async nextMessage(channel) {
    return eventually(async () => {
      const message = await (await fetch(`${services.relay}/${channel}/VelData`)).json();
      assert.ok(message.dataKey, 'a message waits');
      return message;
    });
  },
  async answer(channel, dataKey, reply) {
    const response = await fetch(`${services.relay}/${channel}/VelData/${dataKey}`, { method: 'POST', body: JSON.stringify(reply) });
    assert.equal(response.status, 200);
  },
};

for (const c of languages) {
  test(`the selector at ${c.path} lists every system of the catalog in its language`, { skip: skipReason }, async (t) => {
    const page = await openSelector(t, c.path, { channel: randomUUID() });
    assert.equal(await page.locator('html').getAttribute('lang'), c.language);
    const rows = page.locator('#systems tbody tr');
    assert.equal(await rows.count(), 13);
    const shown = await rows.evaluateAll((trs) => trs.map((tr) => ({
      id: tr.dataset.product, name: tr.cells[0].textContent, kind: tr.cells[1].textContent, button: tr.cells[2].textContent,
    })));
    assert.deepEqual(shown, catalog.map((system) => ({ id: system.id, name: system.name[c.names], kind: c.kinds[system.kind], button: c.use })));
  });
}

const picks = [
  {
    what: 'the add-on accepted it', path: '/be/nl/systemen', product: 'VELMAR-MS75-2x12.5', listening: true, reply: { ok: true },
    shows: 'Het systeem is naar Archicad verzonden. Ga verder in Archicad.', failed: false,
  },
  {
    what: 'the add-on could not download it', path: '/be/fr/systemes', product: 'VELMAR-PL-CD60-1x12.5', listening: true,
    reply: { ok: false, message: 'Failed to download product' }, shows: 'Archicad n’a pas pu télécharger ce produit.', failed: true,
  },
  {
    what: 'no add-on listens on the channel', path: '/int/en/systems', product: 'VELMAR-MS50-1x12.5', listening: false,
    shows: 'Archicad is not listening to this page any more. Open the page again from Archicad: choose Search in the Velmar menu.', failed: true,
  },
];

for (const c of picks) {
  test(`a pick reaches the relay channel and the page tells when ${c.what}`, { skip: skipReason }, async (t) => {
    const channel = randomUUID().toUpperCase();
    if (c.listening) await addOn.register(channel);
    const page = await openSelector(t, c.path, { channel });
    await page.locator(`button[data-product="${c.product}"]`).click();

    if (c.listening) {
      const message = await addOn.nextMessage(channel);
      assert.equal(message.payload, c.product);
      // Until the add-on answers, no button sends a second product.
      assert.equal(await page.locator('#systems button:enabled').count(), 0);
      await addOn.answer(channel, message.dataKey, c.reply);
    }
    await page.locator('#status').getByText(c.shows, { exact: true }).waitFor();
    assert.equal(await page.locator('#status').evaluate((status) => status.classList.contains('failure')), c.failed);
    assert.equal(await page.locator('#systems button:enabled').count(), 13);
  });
}

test('without a channel the selector explains where to open it and sends nothing', { skip: skipReason }, async (t) => {
  const page = await openSelector(t, '/nl/nl/systemen');
  assert.equal(await page.locator('#notice').textContent(),
    'Om een systeem in Archicad te gebruiken, opent u deze pagina vanuit Archicad: kies Zoeken in het Velmar-menu.');
  assert.equal(await page.locator('#systems button:disabled').count(), 13);
});

test('the selector tells when the relay cannot be reached', { skip: skipReason }, async (t) => {
  // A port that was free a moment ago: nothing answers there.
  const closed = createServer();
  await new Promise((resolve) => closed.listen(0, '127.0.0.1', resolve));
  const { port } = closed.address();
  await new Promise((resolve) => closed.close(resolve));
  const unreachable = await startWorkbench({ routes: { 'relay.velmar.example': `http://127.0.0.1:${port}` } });
  t.after(async () => assert.equal(await unreachable.stop(), 0, 'velmar-workbench stops cleanly'));

  const page = await openSelector(t, '/int/en/systems', { channel: randomUUID(), base: unreachable.webApplication });
  await page.locator('button[data-product="VELMAR-MS100-1x12.5"]').click();
  await page.locator('#status').getByText('The connection service could not be reached. Check your internet connection and try again.', { exact: true }).waitFor();
});
