// The settings page in the workbench: open it from the Velmar menu, choose a country and language, save,
// and see the menus speak that language and the settings file hold the choice.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';
import { chooseVelmarItem, eventually, openWorkbench, settingsFile, sharedChromium, skipReason, velmarMenuTexts } from './workbench.js';

const SettingsMenu = 32503;
const ConfigWindow = 'iframe[name="velmar-window-2"]';

const choices = [
  {
    country: 'BE', language: 'fr-BE', help: 'https://www.velmar.example/be/fr/bim/archicad-aide',
    menu: ['Chercher', 'Vérifier', 'Mise à jour', 'Lod ▸', 'Réglages', 'Neutre'], title: 'Réglages',
  },
  {
    country: 'INT', language: 'en-US', help: 'https://www.velmar.example/int/en/bim/archicad-help',
    menu: ['Search', 'Check', 'Update', 'Lod ▸', 'Settings', 'Neutral'], title: 'Settings',
  },
  {
    country: 'NL', language: 'nl-NL', help: 'https://www.velmar.example/nl/bim/archicad-help',
    menu: ['Zoeken', 'Controleer', 'Update', 'Lod ▸', 'Instellingen', 'Neutraal'], title: 'Instellingen',
  },
];

// Drags of the window's corner grip and the size the window takes, from its size before, the size the page
// fitted it to (the least the host allows) and the room up to the visible edge. The first drag is refused
// at the size the host already has, so no new state puts the window back: the page must.
const drags = [
  { what: 'keeps the fitted size', by: [-5000, -5000], size: ({ fitted }) => fitted },
  { what: 'grows by the drag', by: [40, 30], size: ({ before }) => ({ width: before.width + 40, height: before.height + 30 }) },
  { what: 'stops at the visible edge', by: [5000, 5000], size: ({ edge }) => edge },
];

async function frameSize(frame) {
  return { width: Number(await frame.getAttribute('width')), height: Number(await frame.getAttribute('height')) };
}

async function hostWindowSize(workbench, id) {
  const { state } = await (await fetch(new URL('api/state', workbench.address))).json();
  const { width, height } = state.windows.find((window) => window.id === id);
  return { width, height };
}

const chromium = sharedChromium();

for (const choice of choices) {
  test(`saving ${choice.country} ${choice.language} translates the menus and rewrites the settings file`, { skip: skipReason }, async (t) => {
    const { workbench, page } = await openWorkbench(t, chromium);

    await chooseVelmarItem(page, SettingsMenu, 1);
    const dialog = page.frameLocator(ConfigWindow);
    // A fresh installation starts in the shipped default, Dutch for Belgium.
    await dialog.getByRole('heading', { name: 'Instellingen' }).waitFor();
    await eventually(async () => assert.equal(await page.locator(ConfigWindow).getAttribute('width'), '560', 'the page sized its window to its content'));

    await dialog.getByLabel('Land').selectOption(choice.country);
    await dialog.getByLabel('Taal').selectOption(choice.language);
    await dialog.getByRole('link').click();
    await eventually(async () => assert.deepEqual(await page.locator('#tabs [role="tab"]').allTextContents(), [choice.help]));

    await dialog.getByRole('button', { name: 'Bewaren' }).click();
    await page.locator(ConfigWindow).waitFor({ state: 'detached' });
    await eventually(async () => assert.deepEqual(await velmarMenuTexts(page), choice.menu));
    const saved = JSON.parse(readFileSync(settingsFile(workbench.data), 'utf8'));
    assert.equal(saved.defaultCountry, choice.country);
    assert.equal(saved.defaultLanguage, choice.language);

    // Opened again, the page speaks the new language and shows the saved choice.
    await chooseVelmarItem(page, SettingsMenu, 1);
    await dialog.getByRole('heading', { name: choice.title }).waitFor();
    await dialog.locator('#choice').waitFor();
    assert.equal(await dialog.locator('#country').inputValue(), choice.country);
    assert.equal(await dialog.locator('#language').inputValue(), choice.language);
  });
}

test('the settings window resizes by its grip, and cancelling closes it and keeps the file', { skip: skipReason }, async (t) => {
  const { workbench, page } = await openWorkbench(t, chromium);
  const original = readFileSync(settingsFile(workbench.data), 'utf8');

  await chooseVelmarItem(page, SettingsMenu, 1);
  const dialog = page.frameLocator(ConfigWindow);
  const frame = page.locator(ConfigWindow);
  await eventually(async () => assert.equal(await frame.getAttribute('width'), '560'));
  const fitted = await frameSize(frame);
  for (const drag of drags) {
    const before = await frameSize(frame);
    const box = await frame.boundingBox();
    const edge = { width: Math.round(page.viewportSize().width - box.x), height: Math.round(page.viewportSize().height - box.y) };
    const grip = await page.locator('.window-grip').boundingBox();
    await page.mouse.move(grip.x + grip.width / 2, grip.y + grip.height / 2);
    await page.mouse.down();
    await page.mouse.move(grip.x + grip.width / 2 + drag.by[0], grip.y + grip.height / 2 + drag.by[1], { steps: 4 });
    await page.mouse.up();
    const expected = drag.size({ before, fitted, edge });
    await eventually(async () => assert.deepEqual(await frameSize(frame), expected, `the window ${drag.what}`));
    await eventually(async () => assert.deepEqual(await hostWindowSize(workbench, 2), expected, `the host's window ${drag.what}`));
  }
  await dialog.getByLabel('Land').selectOption('INT');
  await dialog.getByRole('button', { name: 'Annuleren' }).click();
  await page.locator(ConfigWindow).waitFor({ state: 'detached' });
  assert.equal(readFileSync(settingsFile(workbench.data), 'utf8'), original);
  assert.deepEqual(await velmarMenuTexts(page), ['Zoeken', 'Controleer', 'Update', 'Lod ▸', 'Instellingen', 'Neutraal']);
});
