// The download page, end to end in the workbench: Search opens the selector in the user's browser, a pick
// there reaches the add-on through the relay, and the Download window shows the product; what the user
// chooses there ends up in the project.
import assert from 'node:assert/strict';
import { randomUUID } from 'node:crypto';
import { cpSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before, test } from 'node:test';
import { chooseVelmarItem, eventually, openWorkbench, projectText, script, sharedChromium, skipReason, speaking } from './workbench.js';

const SearchMenu = 32500;
const DownloadWindow = 'iframe[name="velmar-window-4"]';
const Product = 'VELMAR-MS75-2x12.5';
const catalogFolder = fileURLToPath(new URL('../../services/catalog/', import.meta.url));

// The shipped catalog, whose systems carry the classification codes of the property mapping, with a second
// yes-or-no property (the product has only a "no") added to the product.
function catalogWithClassification() {
  const folder = mkdtempSync(join(tmpdir(), 'velmar-catalog-'));
  cpSync(catalogFolder, folder, { recursive: true });
  const file = join(folder, `${Product}.json`);
  const system = JSON.parse(readFileSync(file, 'utf8'));
  system.Attributes.composition.SEALED = {
    ID: 'SEALED', LOD: '300', Name: { nl_NL: 'Luchtdicht', fr_FR: 'Étanche à l’air', en_US: 'Airtight' },
    Value: { nl_NL: 'true', fr_FR: 'true', en_US: 'true' }, DataType: 'Boolean',
  };
  writeFileSync(file, JSON.stringify(system));
  return folder;
}

// What the page should list: every attribute with a level, general first, then composition, then each
// property set, named in the platform's `language`.
function expectedProperties(language) {
  const { Attributes: attributes } = JSON.parse(readFileSync(join(catalog, `${Product}.json`), 'utf8'));
  return [attributes.general, attributes.composition, ...Object.values(attributes.propertyset)]
    .flatMap((section) => Object.values(section))
    .filter((attribute) => attribute.LOD !== undefined)
    .map((attribute) => ({ name: attribute.Name[language], lod: attribute.LOD }));
}

// The page in each of the add-on's languages: its own words, and values of each kind as they read there.
const languages = {
  nl: {
    country: 'NL', code: 'nl-NL', names: 'nl_NL', product: `Product: ${Product}`, classification: ['NL-SfB-code', 'STABU-code', 'Uniclass-code'],
    target: 'Projecteigenschap', noTarget: '(geen)',
    sent: 'Het systeem is naar Archicad verzonden. Ga verder in Archicad.',
    values: { Merk: 'Velmar', 'Totale dikte': '125\u00a0mm', Gewicht: '44,5\u00a0kg/m²', 'Met isolatie': 'Nee', Luchtdicht: 'Ja' },
  },
  fr: {
    country: 'BE', code: 'fr-BE', names: 'fr_FR', product: `Produit : ${Product}`, classification: ['Code NL-SfB', 'Code STABU', 'Code Uniclass'],
    target: 'Propriété du projet', noTarget: '(aucune)',
    sent: 'Le système a été envoyé à Archicad. Continuez dans Archicad.',
    values: { Marque: 'Velmar', 'Épaisseur totale': '125\u00a0mm', Poids: '44,5\u00a0kg/m²', 'Avec isolation': 'Non', 'Étanche à l’air': 'Oui' },
  },
  en: {
    country: 'INT', code: 'en-US', names: 'en_US', product: `Product: ${Product}`, classification: ['NL-SfB code', 'STABU code', 'Uniclass code'],
    target: 'Project property', noTarget: '(none)',
    sent: 'The system was sent to Archicad. Continue in Archicad.',
    values: { Brand: 'Velmar', 'Total thickness': '125\u00a0mm', Weight: '44.5\u00a0kg/m²', 'With insulation': 'No', Airtight: 'Yes' },
  },
};
// The size the add-on opens its windows at; a page fitting its window to itself stays within it.
const OpeningSize = { width: 1244, height: 788 };

async function compositeNames(page) {
  return page.locator('#attributes tbody tr').evaluateAll((rows) =>
    rows.filter((row) => row.cells[0].textContent === 'composite').map((row) => row.cells[2].textContent));
}

const linkWallA = async (dialog) => {
  await dialog.locator('#useExisting').check();
  await dialog.locator('#existingName').selectOption('Wall A');
  await dialog.locator('#lod').selectOption('300');
  await dialog.locator('#confirm').click();
};
const cases = [
  {
    what: 'a new composite named after the product', existing: 'Wall A', language: languages.nl,
    choose: async (dialog) => dialog.locator('#confirm').click(),
    composites: ['Wall A', Product],
  },
  {
    what: 'a link to an existing composite', existing: 'Wall A', language: languages.fr,
    choose: linkWallA,
    composites: ['Wall A'],
  },
  {
    what: 'a link, offered when the name is in use', existing: 'Wall A', language: languages.en,
    choose: async (dialog) => {
      await dialog.locator('#newName').fill('Wall A');
      await dialog.locator('#confirm').click();
      await dialog.getByText('The project has a composite named Wall A already: link the product to it, or choose another name.').waitFor();
      assert.equal(await dialog.locator('#useExisting').isChecked(), true);
      assert.equal(await dialog.locator('#existingName').inputValue(), 'Wall A');
      await dialog.locator('#confirm').click();
    },
    composites: ['Wall A'],
  },
  {
    what: 'nothing for a name longer than Archicad takes, then cancelled', existing: 'Wall A', language: languages.fr,
    choose: async (dialog) => {
      // 256 letters, one more than Archicad takes; 255 accented ones are a name it takes.
      await dialog.locator('#newName').fill('é'.repeat(256));
      await dialog.locator('#confirm').click();
      await dialog.getByText('Ce nom est trop long pour Archicad. Choisissez-en un plus court.').waitFor();
      await dialog.locator('#cancel').click();
    },
    composites: ['Wall A'],
  },
  {
    what: 'nothing when the user cancels', existing: 'Wall A', language: languages.en,
    choose: async (dialog) => dialog.locator('#cancel').click(),
    composites: ['Wall A'],
  },
  {
    what: 'a link that writes its classification code into the chosen property', existing: 'Wall A', language: languages.fr,
    choose: async (dialog) => {
      await dialog.locator('#classifications tr[data-code="NL-SfB"]').getByRole('combobox', { name: languages.fr.target })
        .selectOption({ label: ClassificationTarget });
      assert.equal(await dialog.getByRole('checkbox', { name: languages.fr.classification[0] }).isChecked(), true,
        'choosing a property applies the code');
      await linkWallA(dialog);
    },
    composites: ['Wall A'],
    classified: '22.21',
  },
];
// The project's own text property a classification code may go to; the page offers it beside the
// built-in one, by name.
const ClassificationTarget = 'NL-SfB';

const chromium = sharedChromium();
let catalog;
before(() => { if (!skipReason) catalog = catalogWithClassification(); });
after(() => { if (catalog) rmSync(catalog, { recursive: true, force: true }); });

for (const c of cases) {
  test(`a product picked in the selector becomes ${c.what}, in ${c.language.code}`, { skip: skipReason }, async (t) => {
    const { language } = c;
    const { workbench, page } = await openWorkbench(t, chromium, {
      catalog,
      project: projectText({ attributes: [{ type: 'composite', guid: randomUUID().toUpperCase(), name: c.existing }] }),
      prepare: speaking(language.country, language.code),
    });
    await script(workbench, { cmd: 'property.group.new', name: 'Project' });
    await script(workbench, { cmd: 'property.definition.new', group: 'Project', name: ClassificationTarget, valueType: 'string' });
    const wall = c.classified && (await script(workbench, { cmd: 'element.new', type: 'wall', composite: c.existing })).guid;

    await chooseVelmarItem(page, SearchMenu, 1);
    const selector = page.frameLocator('.panel.browser iframe');
    // A click inside a frame closes an open menu, as a click anywhere does: first in the browser tab, then
    // in the Download window, which the pick opens while the menu is open again.
    const openMenus = page.locator('.menu.open');
    await page.getByRole('button', { name: 'Velmar', exact: true }).click();
    assert.equal(await openMenus.count(), 1);
    await selector.locator('h1').click();
    assert.equal(await openMenus.count(), 0, 'a click in the browser tab closes the menu');
    await page.getByRole('button', { name: 'Velmar', exact: true }).click();
    await selector.locator(`button[data-product="${Product}"]`).dispatchEvent('click');

    const dialog = page.frameLocator(DownloadWindow);
    await dialog.getByText(language.product, { exact: true }).waitFor({ timeout: 15000 });
    assert.equal(await openMenus.count(), 1);
    await dialog.locator('h1').click();
    assert.equal(await openMenus.count(), 0, 'a click in the Download window closes the menu');
    await selector.getByText(language.sent, { exact: true }).waitFor();
    assert.equal(await dialog.locator('#newName').inputValue(), Product);
    assert.deepEqual(await dialog.locator('#existingName option').allTextContents(), [c.existing]);
    assert.deepEqual(await dialog.locator('#lod option').allTextContents(), ['LOD 100', 'LOD 200', 'LOD 300', 'LOD 400', 'LOD 500']);
    assert.equal(await dialog.locator('#lod').inputValue(), '100', 'the active level comes first');
    const properties = await dialog.locator('#properties tbody tr').evaluateAll((rows) =>
      rows.map((row) => ({ name: row.cells[0].textContent, value: row.cells[1].textContent, lod: row.cells[2].textContent, above: row.classList.contains('above-lod') })));
    assert.deepEqual(properties.map(({ value, ...listed }) => listed),
      expectedProperties(language.names).map((property) => ({ ...property, above: Number(property.lod) > 100 })));
    for (const [name, value] of Object.entries(language.values)) assert.equal(properties.find((property) => property.name === name)?.value, value, name);
    assert.deepEqual(await dialog.locator('#classifications tbody tr').evaluateAll((rows) =>
      rows.map((row) => ({ code: row.dataset.code, label: row.cells[1].textContent, active: row.querySelector('input').checked }))),
    [['NL-SfB', '22.21'], ['STABU', '35'], ['Uniclass', 'Ss_25_10_30']].map(([code, value], i) =>
      ({ code, label: `${language.classification[i]} (${value})`, active: false })));
    assert.deepEqual(await dialog.getByRole('combobox', { name: language.target }).first().locator('option').allTextContents(),
      [language.noTarget, ClassificationTarget, 'Position'], 'the project\'s text properties, by name');
    // The page shows whole, cut off neither way, in a window no larger than the add-on opens it at.
    await eventually(async () => {
      const frame = page.locator(DownloadWindow);
      assert.ok(Number(await frame.getAttribute('width')) <= OpeningSize.width && Number(await frame.getAttribute('height')) <= OpeningSize.height,
        `the window is ${await frame.getAttribute('width')} × ${await frame.getAttribute('height')}`);
      const overflows = await dialog.locator('html, .choices, .table-scroll').evaluateAll((boxes) => boxes
        .filter((box) => box.scrollWidth > box.clientWidth || (box.tagName === 'HTML' && box.scrollHeight > box.clientHeight))
        .map((box) => box.className || box.tagName));
      assert.deepEqual(overflows, []);
    });

    await c.choose(dialog);
    await page.locator(DownloadWindow).waitFor({ state: 'detached' });
    // The project panel shows what the add-on wrote once the host has answered it.
    await eventually(async () => assert.deepEqual(await compositeNames(page), c.composites));
    assert.deepEqual(await page.locator('#reports li').allTextContents(), []);
    if (c.classified) {
      const { values } = await script(workbench, { cmd: 'element.properties', guid: wall });
      assert.equal(values.find((value) => value.group === 'Project' && value.name === ClassificationTarget)?.value, c.classified);
    }
    await page.getByRole('button', { name: 'Place' }).click();
    await page.locator('#elements tbody tr').waitFor();
    assert.equal(await page.getByRole('alertdialog').isVisible(), false);
  });
}
