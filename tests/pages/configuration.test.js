// The settings page in the workbench: open it from the Velmar menu, choose a country and language, save,
// and see the menus speak that language and the settings file hold the choice.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { after, before, test } from 'node:test';
import { chooseVelmarItem, eventually, launchChromium, openWorkbench, settingsFile, skipReason, velmarMenuTexts } from './workbench.js';

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

let chromium;
before(async () => { if (!skipReason) chromium = await launchChromium(); });
after(async () => chromium?.close());

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

test('cancelling closes the settings and keeps the file', { skip: skipReason }, async (t) => {
  const { workbench, page } = await openWorkbench(t, chromium);
  const original = readFileSync(settingsFile(workbench.data), 'utf8');

  await chooseVelmarItem(page, SettingsMenu, 1);
  const dialog = page.frameLocator(ConfigWindow);
  await dialog.getByLabel('Land').selectOption('INT');
  await dialog.getByRole('button', { name: 'Annuleren' }).click();
  await page.locator(ConfigWindow).waitFor({ state: 'detached' });
  assert.equal(readFileSync(settingsFile(workbench.data), 'utf8'), original);
  assert.deepEqual(await velmarMenuTexts(page), ['Zoeken', 'Controleer', 'Update', 'Lod ▸', 'Instellingen', 'Neutraal']);
});
